// SPDX-License-Identifier: MIT
// Encode: the fields become the library's settings, the library makes the
// label, and the window shows its pictures and says what was built, or why
// nothing was; reading back follows once typing pauses. Copy takes what is
// shown, and Explain tells how it was made.

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QMimeData>
#include <QPainter>
#include <QStyle>

#include "app/explain_dialog.h"
#include "app/main_dialog.h"
#include "app/picture.h"

namespace barquill::app {

namespace {

std::span<const std::uint8_t> bytesOf(const QByteArray& data) {
    return {reinterpret_cast<const std::uint8_t*>(data.constData()), std::size_t(data.size())};
}

// Background between the symbols of a series copied whole: as wide as the
// quiet zone, and never less than two modules, the least a reader needs.
int seriesGap(const Render& render) {
    return std::max(render.quietZone, 4 * render.moduleWidth);
}

}  // namespace

// Every field is checked, so each shows its own error beside it.
QHash<QWidget*, QString> CMainDialog::FieldProblems(Settings& settings) {
    QHash<QWidget*, QString> problems;
    for (NumberBox* box : {&m_spMargin, &m_spColumns, &m_spDpi, &m_spRows})
        if (!box->hasAcceptableInput())
            problems.insert(
                box, Messages::outOfRange(
                         box->accessibleName(),
                         Messages::wholeRange(box->low(), box->high(), box->specialValueText())));
    if (!m_spModuleMm.hasAcceptableInput())
        problems.insert(&m_spModuleMm, Messages::outOfRange(m_spModuleMm.accessibleName(),
                                                            Messages::moduleWidthRange()));
    if (const QString aspect = m_edAspect.text().trimmed(); !aspect.isEmpty()) {
        QString plain = aspect;
        plain.replace(QLatin1Char(','), QLatin1Char('.'));
        if (applySetting(settings, "aspect", plain.toStdString()))
            problems.insert(&m_edAspect, Messages::outOfRange(m_edAspect.accessibleName(),
                                                              Messages::aspectValues()));
    }
    return problems;
}

CMainDialog::FieldReading CMainDialog::ReadFields() {
    FieldReading reading;
    Settings& s = reading.settings;
    s.options.level = SelectedLevel();
    s.options.charset = m_cbCharset.currentData().toString().toStdString();
    s.bar = toRgb(m_btnBarColor.GetColor());
    s.space = toRgb(m_btnBackground.GetColor());
    s.escapes = m_chkEscapes.isChecked() && !m_edText.isLoaded() && !m_profile;
    s.split = m_chkSeries.isChecked();

    const QHash<QWidget*, QString> problems = FieldProblems(s);
    for (QWidget* field : m_fieldErrors.keys()) ShowFieldError(field, problems.value(field));
    m_profileForm.clearProblems();
    // The status line tells the first, in the order of the fields.
    for (QWidget* field : std::initializer_list<QWidget*>{&m_spMargin, &m_spColumns, &m_spModuleMm,
                                                          &m_spDpi, &m_spRows, &m_edAspect})
        if (problems.contains(field)) {
            reading.problem = problems.value(field);
            return reading;
        }

    s.quietZone = int(m_spMargin.typed().value_or(0));
    s.options.columns = int(m_spColumns.typed().value_or(0));
    s.options.rows = int(m_spRows.typed().value_or(0));
    if (const long dpi = m_spDpi.typed().value_or(0); dpi > 0) {
        // With a resolution the file is what prints: whole dots per module.
        s.size.dpi = int(dpi);
        s.size.moduleMm = m_spModuleMm.typed();
    }
    return reading;
}

// The error beside a field, or none; screen readers hear it as the field's description.
void CMainDialog::ShowFieldError(QWidget* field, const QString& problem) {
    QLabel* error = m_fieldErrors.value(field);
    if (error == nullptr) return;
    QPalette pal = error->palette();
    pal.setColor(QPalette::WindowText, ProblemColour());
    error->setPalette(pal);
    error->setText(problem);
    error->setVisible(!problem.isEmpty());
    if (!problem.isEmpty())
        field->setAccessibleDescription(problem);
    else if (field == &m_edText)
        LoadedStateChanged();
    else
        field->setAccessibleDescription(field->toolTip());
}

CMainDialog::LabelSource CMainDialog::SourceFor(const Settings& settings) const {
    LabelSource source;
    source.settings = settings;
    source.text = !m_edText.isLoaded();
    source.data = source.text ? m_edText.text().toUtf8() : m_edText.loadedBytes();
    if (!m_profile) return source;
    ProfileRequest request;
    request.profile = m_profile->name;
    request.fields = m_profileForm.fields();
    for (const ProfileField& field : m_profile->fields)
        if (field.document && (!source.data.isEmpty() || m_edText.isLoaded()))
            request.fields.emplace_back(field.key, source.data.toStdString());
    // A character set is a choice within the scheme, which it may refuse.
    request.charset = m_cbCharset.currentData().toString().toStdString();
    // Auto leaves a setting to the scheme; anything else the user chose, and
    // the margin always.
    if (settings.options.level != autoLevel) request.given.emplace_back("level");
    if (settings.options.columns != 0) request.given.emplace_back("columns");
    request.given.emplace_back("margin");
    source.profile = std::move(request);
    return source;
}

Result<Label> CMainDialog::MakeLabel(const LabelSource& source) {
    if (source.profile) return makeProfileLabel(*source.profile, source.settings);
    if (!source.text) return makeLabel(bytesOf(source.data), source.settings);
    return makeLabel(std::string_view(source.data.constData(), std::size_t(source.data.size())),
                     source.settings);
}

Result<std::vector<Explanation>> CMainDialog::Explain(const LabelSource& source) {
    if (source.profile) {
        const Result<ProfileData> made = buildProfile(*source.profile, source.settings);
        if (!made) return made.error();
        // The scheme's data is final bytes.
        const std::string& data = made->data;
        return explain(std::span(reinterpret_cast<const std::uint8_t*>(data.data()), data.size()),
                       made->settings);
    }
    if (!source.text) return explain(bytesOf(source.data), source.settings);
    return explain(std::string_view(source.data.constData(), std::size_t(source.data.size())),
                   source.settings);
}

void CMainDialog::OnExplain() {
    if (!m_label) {
        ShowMessage(QMessageBox::Information, tr("There is nothing to explain. %1").arg(m_failure));
        return;
    }
    // What made the symbols shown, even when the fields changed since.
    const Result<std::vector<Explanation>> explained = Explain(m_source);
    if (!explained) return ShowMessage(QMessageBox::Warning, Messages::problem(explained.error()));
    ExplainDialog dialog(*explained, this);
    RunDialog(dialog);
}

ProblemContext CMainDialog::ContextFor(const Error& error, const LabelSource& source) const {
    const Settings& settings = source.settings;
    ProblemContext context;
    const bool shape = error.code == ErrorCode::dataTooLong ||
                       error.code == ErrorCode::columnsDoNotFit ||
                       error.code == ErrorCode::shapeDoesNotFit;
    if (!shape) return context;
    if (error.code == ErrorCode::dataTooLong && !settings.split) {
        LabelSource series = source;
        series.settings.split = true;
        if (const Result<Label> label = MakeLabel(series))
            context.seriesOffered = int(label->symbols.size());
    }
    // Data longer than one symbol takes at all fits no level either.
    if (error.code == ErrorCode::dataTooLong && error.shape.dataCodewords < 0) return context;
    // "Lower the level" only when a lower level holds the data.
    for (int level = error.shape.level - 1; level >= 0; --level) {
        LabelSource lower = source;
        lower.settings.options.level = level;
        lower.settings.options.fillLevel = false;
        if (MakeLabel(lower)) {
            context.lowerLevel = level;
            break;
        }
    }
    return context;
}

void CMainDialog::OnEncode() {
    const FieldReading reading = ReadFields();
    if (!reading.problem.isEmpty()) return Fail(reading.problem);
    LabelSource source = SourceFor(reading.settings);
    Result<Label> label = MakeLabel(source);
    if (!label) {
        if (const QString problem = ProfileProblem(label.error()); !problem.isEmpty())
            return Fail(problem);
        const ProblemContext context = ContextFor(label.error(), source);
        return Fail(Messages::problem(label.error(), context), context.seriesOffered);
    }
    m_source = std::move(source);
    Show(std::move(label).value());
}

void CMainDialog::Show(Label label) {
    m_label = std::move(label);
    m_failure.clear();
    m_savedNote.clear();
    m_seriesButton.hide();
    SetStale(false);
    QList<QImage> pictures;
    for (int i = 0; i < SymbolCount(); ++i) pictures << SymbolImageAt(i);
    m_symbolView.setSymbols(pictures);

    m_dataBytes = 0;
    for (const Symbol& symbol : m_label->symbols) m_dataBytes += qsizetype(symbol.data().size());
    m_builtNote = Messages::built(*m_label, m_dataBytes);
    QStringList warnings;
    for (const Warning& warning : m_label->warnings)
        warnings << Messages::warning(warning, m_label->render);
    ShowWarnings(warnings);
    m_verifyMark.clear();
    m_verifyProblem = false;
    m_readBackFailed = false;
    if (m_chkVerify.isChecked()) m_verifyTimer.start();
    UpdateStatus();
}

void CMainDialog::Fail(const QString& problem, int seriesOffered) {
    m_verifyTimer.stop();
    m_label.reset();
    m_savedNote.clear();
    SetStale(false);
    m_seriesButton.setText(
        tr("Split into a series of %1 symbols").arg(Messages::number(seriesOffered)));
    m_seriesButton.setVisible(seriesOffered > 1);
    m_symbolView.setSymbol(QImage());
    m_failure = problem;
    ShowWarnings({});
    SetStatus(problem, true);
}

void CMainDialog::InputChanged() {
    if (m_chkLive.isChecked()) return OnEncode();
    if (!m_label || m_stale) return;
    SetStale(true);
    UpdateStatus();
}

void CMainDialog::SetStale(bool stale) {
    m_stale = stale;
    m_symbolView.setStale(stale);
}

void CMainDialog::UpdateStatus() {
    if (!m_label) return;
    QStringList parts;
    if (m_chkVerify.isChecked())
        parts << (m_verifyMark.isEmpty() ? Messages::verifying() : m_verifyMark);
    if (m_stale) parts << Messages::stale();
    if (!m_savedNote.isEmpty()) parts << m_savedNote;
    parts << m_builtNote;
    SetStatus(parts.join(QStringLiteral("  ")), m_verifyProblem || m_stale);
}

// One line a warning, under the status line, each with the warning icon.
void CMainDialog::ShowWarnings(const QStringList& warnings) {
    if (warnings == m_warnings) return;
    m_warnings = warnings;
    qDeleteAll(m_warningArea.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
    auto* grid = static_cast<QGridLayout*>(m_warningArea.layout());
    const int side = fontMetrics().height();
    const QPixmap icon = style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(side, side);
    for (int row = 0; row < warnings.size(); ++row) {
        auto* mark = new QLabel(&m_warningArea);
        mark->setPixmap(icon);
        mark->setAccessibleName(tr("Warning"));
        auto* text = new QLabel(warnings[row], &m_warningArea);
        text->setObjectName(QStringLiteral("warning"));
        text->setWordWrap(true);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(mark, row, 0, Qt::AlignTop);
        grid->addWidget(text, row, 1);
    }
    m_warningArea.setVisible(!warnings.isEmpty());
}

QString CMainDialog::StatusDescription() const {
    return QStringList(QStringList{m_stStatus.text()} + m_warnings).join(QStringLiteral("  "));
}

void CMainDialog::SetStatus(const QString& text, bool problem) {
    m_stStatus.setText(text);
    QPalette pal = m_stStatus.palette();
    pal.setColor(QPalette::WindowText,
                 problem ? ProblemColour() : palette().color(QPalette::WindowText));
    m_stStatus.setPalette(pal);
    // Screen readers hear the warnings with the status line they belong to.
    const QString description = StatusDescription();
    m_stStatus.setAccessibleDescription(description);
    m_symbolView.setAccessibleDescription(description);
    // Screen readers announce the changed line.
    QAccessibleEvent changed(&m_stStatus, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
    QAccessibleEvent viewChanged(&m_symbolView, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&viewChanged);
}

// A light red on dark themes, otherwise a dark red readable on light ones.
QColor CMainDialog::ProblemColour() const {
    const bool darkTheme = palette().color(QPalette::Window).lightness() < 128;
    return darkTheme ? QColor(0xFF, 0x80, 0x80) : QColor(0xB0, 0x00, 0x20);
}

void CMainDialog::FinishVerification() {
    if (!m_verifyTimer.isActive()) return;
    m_verifyTimer.stop();
    Verify();
}

void CMainDialog::Verify() {
    if (!m_label) return;
    const std::optional<Error> error = verifyLabel(*m_label);
    m_verifyMark = Messages::verification(error);
    m_verifyProblem = error.has_value();
    // A build without a reader has not found the symbol wrong.
    m_readBackFailed = error && error->code != ErrorCode::verifyUnavailable;
    UpdateStatus();
}

bool CMainDialog::RefuseUnverified(const QString& refused) {
    if (!m_readBackFailed) return false;
    ShowMessage(QMessageBox::Warning, m_verifyMark + QLatin1Char(' ') + refused);
    return true;
}

QString CMainDialog::ColourWarning() const {
    QStringList colours;
    if (m_label)
        for (const Warning& warning : m_label->warnings)
            if (Messages::isColourWarning(warning))
                colours << Messages::warning(warning, m_label->render);
    return colours.join(QLatin1Char(' '));
}

int CMainDialog::SymbolCount() const {
    return m_label ? int(m_label->symbols.size()) : 0;
}

QImage CMainDialog::SymbolImageAt(int index) const {
    if (index < 0 || index >= SymbolCount()) return {};
    return toQImage(
        toImage(m_label->symbols[std::size_t(index)], m_label->render, PixelFormat::mono1));
}

QImage CMainDialog::SymbolImage() const {
    if (SymbolCount() <= 1) return SymbolImageAt(0);
    const int gap = seriesGap(m_label->render);
    QList<QImage> pictures;
    int width = 0, height = -gap;
    for (int i = 0; i < SymbolCount(); ++i) {
        pictures << SymbolImageAt(i);
        width = std::max(width, int(pictures.last().width()));
        height += pictures.last().height() + gap;
    }
    QImage all(width, height, QImage::Format_RGB32);
    all.fill(toQColor(toColorRef(m_label->render.space)));
    QPainter painter(&all);
    int y = 0;
    for (const QImage& picture : pictures) {
        painter.drawImage(0, y, picture);
        y += picture.height() + gap;
    }
    return all;
}

QByteArray CMainDialog::SvgText() const {
    if (!m_label) return {};
    const Result<std::string> svg =
        SymbolCount() == 1
            ? toSvg(m_label->symbols.front(), m_label->render)
            : seriesToSvg(m_label->symbols, m_label->render, seriesGap(m_label->render));
    return svg ? QByteArray(svg->data(), qsizetype(svg->size())) : QByteArray();
}

// Whether there is a symbol to copy and the user wants it, stale or not.
bool CMainDialog::ReadyToCopy() {
    FinishVerification();
    if (!m_label) {
        ShowMessage(QMessageBox::Information, tr("There is nothing to copy. %1").arg(m_failure));
        return false;
    }
    if (RefuseUnverified(tr("Nothing was copied."))) return false;
    return ConfirmStale(
        tr("The text or options changed after the symbol was made; press Encode to "
           "update it. Copy the symbol shown anyway?"));
}

void CMainDialog::OnCopy() {
    if (!ReadyToCopy()) return;
    auto* mime = new QMimeData;
    mime->setImageData(SymbolImage());
    mime->setData(QStringLiteral("image/svg+xml"), SvgText());
    QApplication::clipboard()->setMimeData(mime);
}

void CMainDialog::OnCopySvgText() {
    if (!ReadyToCopy()) return;
    QApplication::clipboard()->setText(QString::fromUtf8(SvgText()));
}

bool CMainDialog::ConfirmStale(const QString& question) {
    return !m_stale || Confirm(question);
}

}  // namespace barquill::app
