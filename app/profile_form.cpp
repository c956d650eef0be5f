// SPDX-License-Identifier: MIT
#include "app/profile_form.h"

#include <QGridLayout>
#include <QScrollBar>

namespace barquill::app {

namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::string utf8(const QString& text) {
    return text.toUtf8().toStdString();
}

}  // namespace

ProfileForm::ProfileForm(QWidget* parent) : QScrollArea(parent) {
    setObjectName(QStringLiteral("profileForm"));
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The symbol takes the room a larger window gives; the form keeps its rows.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    // The fields take the focus, not the area around them.
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void ProfileForm::setProfile(const std::optional<ProfileInfo>& profile) {
    m_lines.clear();
    m_more = nullptr;
    m_moreError = nullptr;
    delete takeWidget();
    if (profile) {
        auto* fields = new QWidget;
        auto* grid = new QGridLayout(fields);
        grid->setContentsMargins(0, 0, 0, 0);
        int index = 0;
        std::optional<ProfileField> family;
        for (const ProfileField& field : profile->fields) {
            if (field.document) continue;
            if (field.pattern) {
                family = field;
                continue;
            }
            // Two fields to a row, each with its error under it.
            AddLine(grid, field, 2 * (index / 2), 2 * (index % 2));
            ++index;
        }
        int row = 2 * ((index + 1) / 2);
        if (family) {
            AddMore(grid, *family, row);
            row += 2;
        }
        if (index > 0) {
            auto* note = new QLabel(tr("Fields marked * are required."), fields);
            note->setObjectName(QStringLiteral("requiredNote"));
            grid->addWidget(note, row, 0, 1, 4);
        }
        grid->setColumnStretch(1, 1);
        grid->setColumnStretch(3, 1);
        setWidget(fields);
        if (!m_lines.isEmpty())
            m_rowHeight = m_lines.front().edit->sizeHint().height() + grid->verticalSpacing();
    }
    setVisible(hasFields());
    updateGeometry();
}

void ProfileForm::AddLine(QGridLayout* grid, const ProfileField& field, int row, int column) {
    const QString key = fromUtf8(field.key), label = fromUtf8(field.label);
    const QString tip = field.required ? tr("%1, required: %2").arg(label, fromUtf8(field.rule))
                                       : tr("%1: %2").arg(label, fromUtf8(field.rule));
    auto* edit = new QLineEdit(grid->parentWidget());
    edit->setObjectName(QStringLiteral("field:") + key);
    // An empty field takes the scheme's default.
    edit->setPlaceholderText(fromUtf8(field.defaultValue));
    edit->setToolTip(tip);
    edit->setAccessibleName(label);
    edit->setAccessibleDescription(tip);
    QString caption = label;
    caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
    auto* name =
        new QLabel(field.required ? tr("%1 *").arg(caption) : caption, grid->parentWidget());
    // Screen readers hear the field's name; "required" is in its description.
    name->setAccessibleName(label);
    name->setToolTip(tip);
    name->setBuddy(edit);
    connect(edit, &QLineEdit::textChanged, this, &ProfileForm::changed);
    grid->addWidget(name, row, column);
    grid->addWidget(edit, row, column + 1);
    m_lines << Line{field, edit, AddError(grid, edit->objectName(), row + 1, column, 2)};
}

void ProfileForm::AddMore(QGridLayout* grid, const ProfileField& field, int row) {
    m_moreField = field;
    const QString key = fromUtf8(field.key), label = fromUtf8(field.label);
    const QString tip = tr("%1: %2. One KEY=VALUE to a line.").arg(label, fromUtf8(field.rule));
    m_more = new QPlainTextEdit(grid->parentWidget());
    m_more->setObjectName(QStringLiteral("moreFields"));
    m_more->setTabChangesFocus(true);
    m_more->setPlaceholderText(tr("%1=value, one to a line").arg(key));
    m_more->setToolTip(tip);
    m_more->setAccessibleName(label);
    m_more->setAccessibleDescription(tip);
    m_more->setFixedHeight(3 * fontMetrics().lineSpacing() + 2 * m_more->frameWidth() +
                           int(2 * m_more->document()->documentMargin()));
    auto* name = new QLabel(label, grid->parentWidget());
    name->setAccessibleName(label);
    name->setToolTip(tip);
    name->setBuddy(m_more);
    connect(m_more, &QPlainTextEdit::textChanged, this, &ProfileForm::changed);
    grid->addWidget(name, row, 0, Qt::AlignTop);
    grid->addWidget(m_more, row, 1, 1, 3);
    m_moreError = AddError(grid, QStringLiteral("moreFields"), row + 1, 0, 4);
}

QLabel* ProfileForm::AddError(QGridLayout* grid, const QString& key, int row, int column,
                              int span) {
    auto* error = new QLabel(grid->parentWidget());
    error->setObjectName(key + QStringLiteral("Error"));
    error->setWordWrap(true);
    error->hide();
    grid->addWidget(error, row, column, 1, span);
    return error;
}

Fields ProfileForm::fields() const {
    Fields given;
    for (const Line& line : m_lines)
        if (!line.edit->text().isEmpty())
            given.emplace_back(line.field.key, utf8(line.edit->text()));
    if (m_more == nullptr) return given;
    for (const QString& typed : m_more->toPlainText().split(QLatin1Char('\n'))) {
        if (typed.trimmed().isEmpty()) continue;
        const qsizetype equals = typed.indexOf(QLatin1Char('='));
        // A line without "=" is a key without a value, which the profile refuses by name.
        given.emplace_back(utf8((equals < 0 ? typed : typed.left(equals)).trimmed()),
                           equals < 0 ? std::string() : utf8(typed.mid(equals + 1)));
    }
    return given;
}

QHash<QString, QString> ProfileForm::values() const {
    QHash<QString, QString> typed;
    for (const Line& line : m_lines) typed.insert(fromUtf8(line.field.key), line.edit->text());
    if (m_more != nullptr) typed.insert(fromUtf8(m_moreField.key), m_more->toPlainText());
    return typed;
}

void ProfileForm::setValues(const QHash<QString, QString>& values) {
    for (const Line& line : m_lines) {
        const QSignalBlocker quiet(line.edit);
        line.edit->setText(values.value(fromUtf8(line.field.key)));
    }
    if (m_more != nullptr) {
        const QSignalBlocker quiet(m_more);
        m_more->setPlainText(values.value(fromUtf8(m_moreField.key)));
    }
    emit changed();
}

QString ProfileForm::labelOf(const QString& key) const {
    for (const Line& line : m_lines)
        if (fromUtf8(line.field.key) == key) return fromUtf8(line.field.label);
    return key;
}

bool ProfileForm::isEmpty(const QString& key) const {
    for (const Line& line : m_lines)
        if (fromUtf8(line.field.key) == key) return line.edit->text().isEmpty();
    return false;
}

bool ProfileForm::showProblem(const QString& key, const QString& problem, const QColor& colour) {
    for (const Line& line : m_lines)
        if (fromUtf8(line.field.key) == key) {
            SetProblem(*line.edit, *line.error, line.edit->toolTip(), problem, colour);
            return true;
        }
    if (m_more == nullptr) return false;
    SetProblem(*m_more, *m_moreError, m_more->toolTip(), problem, colour);
    return true;
}

void ProfileForm::SetProblem(QWidget& input, QLabel& error, const QString& tip,
                             const QString& problem, const QColor& colour) {
    QPalette palette = error.palette();
    palette.setColor(QPalette::WindowText, colour);
    error.setPalette(palette);
    error.setText(problem);
    error.setVisible(!problem.isEmpty());
    input.setAccessibleDescription(problem.isEmpty() ? tip : problem);
    if (!problem.isEmpty()) ensureWidgetVisible(&error);
}

void ProfileForm::clearProblems() {
    for (const Line& line : m_lines)
        SetProblem(*line.edit, *line.error, line.edit->toolTip(), QString(), QColor());
    if (m_more != nullptr)
        SetProblem(*m_more, *m_moreError, m_more->toolTip(), QString(), QColor());
}

QList<QWidget*> ProfileForm::inputs() const {
    QList<QWidget*> order;
    for (const Line& line : m_lines) order << line.edit;
    if (m_more != nullptr) order << m_more;
    return order;
}

QSize ProfileForm::sizeHint() const {
    if (widget() == nullptr) return {};
    const QSize content = widget()->sizeHint();
    const int shown = m_rowHeight > 0 ? SHOWN_ROWS * m_rowHeight : content.height();
    return {content.width() + verticalScrollBar()->sizeHint().width(),
            std::min(content.height(), shown)};
}

}  // namespace barquill::app
