// SPDX-License-Identifier: MIT
#include "app/explain_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/level_box_accessible.h"
#include "app/messages.h"

namespace barquill::app {

namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

void fillRow(QTableWidget& table, int row, const QStringList& cells) {
    for (int column = 0; column < cells.size(); ++column) {
        auto* item = new QTableWidgetItem(cells[column]);
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        table.setItem(row, column, item);
    }
}

void setUpTable(QTableWidget& table, const QString& name, const QStringList& headers) {
    table.setAccessibleName(name);
    table.setColumnCount(int(headers.size()));
    table.setHorizontalHeaderLabels(headers);
    table.verticalHeader()->hide();
    table.setSelectionBehavior(QAbstractItemView::SelectRows);
    table.setEditTriggers(QAbstractItemView::NoEditTriggers);
    table.horizontalHeader()->setStretchLastSection(true);
    table.setTabKeyNavigation(false);
    table.verticalHeader()->setDefaultSectionSize(table.fontMetrics().lineSpacing() + 4);
}

}  // namespace

ExplainDialog::ExplainDialog(std::vector<Explanation> explanations, QWidget* parent)
    : QDialog(parent),
      m_explanations(std::move(explanations)),
      m_symbol(this),
      m_summary(this),
      m_segments(this),
      m_codewords(this) {
    setWindowTitle(tr("Explain"));
    setSizeGripEnabled(true);
    m_symbol.setObjectName(QStringLiteral("symbolChoice"));
    m_symbol.setProperty(NAMED_COMBO_BOX, true);
    m_symbol.setAccessibleName(tr("Symbol"));
    const long count = long(m_explanations.size());
    for (long i = 0; i < count; ++i)
        m_symbol.addItem(tr("%1 of %2").arg(Messages::number(i + 1), Messages::number(count)));
    m_summary.setObjectName(QStringLiteral("summary"));
    m_summary.setWordWrap(true);
    m_summary.setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_segments.setObjectName(QStringLiteral("segments"));
    setUpTable(m_segments, tr("Segments"), {tr("Mode"), tr("From byte"), tr("Bytes")});
    m_codewords.setObjectName(QStringLiteral("codewords"));
    setUpTable(m_codewords, tr("Codewords"), {tr("Row"), tr("Column"), tr("Value"), tr("Meaning")});

    auto* layout = new QVBoxLayout(this);
    if (count > 1) {
        auto* choice = new QHBoxLayout;
        choice->addWidget(Caption(tr("S&ymbol"), m_symbol));
        choice->addWidget(&m_symbol, 1);
        layout->addLayout(choice);
    } else {
        m_symbol.hide();
    }
    layout->addWidget(&m_summary);
    layout->addWidget(
        Caption(tr("&Segments: the compaction modes and the bytes each carries"), m_segments));
    layout->addWidget(&m_segments, 1);
    layout->addWidget(Caption(tr("C&odewords, row by row"), m_codewords));
    layout->addWidget(&m_codewords, 3);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(tr("Close"));
    auto* copy = buttons->addButton(tr("&Copy as text"), QDialogButtonBox::ActionRole);
    copy->setObjectName(QStringLiteral("copy"));
    connect(copy, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(copiedText()); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(&m_symbol, &QComboBox::currentIndexChanged, this, &ExplainDialog::ShowSymbol);
    ShowSymbol(0);
    const QFontMetrics metrics = fontMetrics();
    resize(70 * metrics.averageCharWidth(), 36 * metrics.lineSpacing());
}

QLabel* ExplainDialog::Caption(const QString& text, QWidget& buddy) {
    auto* caption = new QLabel(text, this);
    caption->setBuddy(&buddy);
    return caption;
}

void ExplainDialog::ShowSymbol(int index) {
    if (index < 0 || index >= int(m_explanations.size())) return;
    const Explanation& e = m_explanations[std::size_t(index)];
    m_summary.setText(
        tr("%1, level %2%3: %4 error-correction codewords; length descriptor %5, counting "
           "itself, %6 data and %7 padding codewords; room for %8 more.")
            .arg(tr("%1 × %2").arg(Messages::rows(e.rows), Messages::dataColumns(e.columns)),
                 Messages::number(e.level), e.compact ? tr(", compact") : QString(),
                 Messages::number(e.errorCorrectionCodewords), Messages::number(e.lengthDescriptor),
                 Messages::number(e.dataCodewords), Messages::number(e.paddingCodewords),
                 Messages::number(e.capacityLeft)));
    m_segments.setRowCount(int(e.segments.size()));
    for (int row = 0; row < int(e.segments.size()); ++row) {
        const ExplainedSegment& segment = e.segments[std::size_t(row)];
        fillRow(m_segments, row,
                {modeName(segment.mode), Messages::number(long(segment.offset)),
                 Messages::number(long(segment.length))});
    }
    m_codewords.setRowCount(int(e.codewords.size()));
    for (int i = 0; i < int(e.codewords.size()); ++i) {
        const ExplainedCodeword& codeword = e.codewords[std::size_t(i)];
        const int columns = std::max(1, e.columns);
        fillRow(m_codewords, i,
                {Messages::number(i / columns + 1), Messages::number(i % columns + 1),
                 QString::number(codeword.value), meaning(codeword)});
    }
    for (QTableWidget* table : {&m_segments, &m_codewords}) table->resizeColumnsToContents();
}

QString ExplainDialog::copiedText() const {
    if (m_explanations.size() == 1) return fromUtf8(m_explanations.front().text);
    QStringList parts;
    const long count = long(m_explanations.size());
    for (long i = 0; i < count; ++i)
        parts << tr("Symbol %1 of %2:").arg(Messages::number(i + 1), Messages::number(count)) +
                     QLatin1Char('\n') + fromUtf8(m_explanations[std::size_t(i)].text);
    return parts.join(QLatin1Char('\n'));
}

QString ExplainDialog::modeName(const std::string& mode) {
    if (mode == "text") return tr("Text");
    if (mode == "byte") return tr("Byte");
    if (mode == "numeric") return tr("Numeric");
    return fromUtf8(mode);
}

QString ExplainDialog::meaning(const ExplainedCodeword& c) {
    // The library counts a group's parts from 0.
    const QString part =
        c.parts > 1
            ? tr(", part %1 of %2").arg(Messages::number(c.part + 1), Messages::number(c.parts))
            : QString();
    const QString first = Messages::number(long(c.offset));
    const QString last = Messages::number(long(c.offset + c.length) - 1);
    const std::string& role = c.role;
    if (role == "length-descriptor") return tr("Length descriptor");
    if (role == "latch") return tr("Latch to %1 compaction").arg(modeName(c.mode));
    if (role == "shift") return tr("Shift to %1 compaction for one codeword").arg(modeName(c.mode));
    if (role == "text") return tr("Text: two characters or switches");
    if (role == "byte")
        return (c.length == 1 ? tr("Byte %1").arg(first) : tr("Bytes %1 to %2").arg(first, last)) +
               part;
    if (role == "numeric") return tr("Digits %1 to %2").arg(first, last) + part;
    if (role == "padding") return tr("Padding");
    if (role == "eci") return tr("ECI designator");
    if (role == "eci-number") return tr("ECI number") + part;
    if (role == "macro-marker") return tr("Macro PDF417 control block");
    if (role == "macro-segment-index") return tr("Segment index") + part;
    if (role == "macro-file-id") return tr("File ID") + part;
    if (role == "macro-field") return tr("Optional field");
    if (role == "macro-field-id") return tr("Optional field's tag");
    if (role == "macro-field-data") return tr("Optional field's value") + part;
    if (role == "macro-terminator") return tr("Last symbol of the series");
    if (role == "error-correction") return tr("Error correction") + part;
    return fromUtf8(role);
}

}  // namespace barquill::app
