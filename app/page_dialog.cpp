// SPDX-License-Identifier: MIT
#include "app/page_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

#include "app/level_box_accessible.h"
#include "app/messages.h"

namespace barquill::app {

namespace {

// A page of a wide-format roll; anything larger is a typing slip.
constexpr double MAX_PAGE_MM = 2000.0;
constexpr int PAGE_DECIMALS = 1;
// Rounding of a tenth of a millimetre in the fields never counts as passing an edge.
constexpr double EDGE_TOLERANCE_MM = 0.005;

}  // namespace

PageDialog::PageDialog(QSizeF symbolMm, const std::optional<Page>& start, QWidget* parent)
    : QDialog(parent),
      m_symbolMm(symbolMm),
      m_paper(this),
      m_width(this),
      m_height(this),
      m_x(this),
      m_y(this),
      m_error(this) {
    setWindowTitle(tr("Page"));
    m_paper.setObjectName(QStringLiteral("paper"));
    m_paper.setProperty(NAMED_COMBO_BOX, true);
    m_paper.addItem(tr("The symbol's own size"), symbolSize);
    m_paper.addItem(tr("A4"), a4);
    m_paper.addItem(tr("Letter"), letter);
    m_paper.addItem(tr("Custom"), custom);
    m_paper.setAccessibleName(tr("Paper"));
    m_paper.setToolTip(
        tr("The page the PDF or EPS has: just the symbol, a standard paper size, "
           "or a size of your own"));
    m_paper.setAccessibleDescription(m_paper.toolTip());
    struct Field {
        DecimalBox& box;
        const char* name;
        QString caption;
        QString tip;
        double above;
    };
    const Field fields[] = {
        {m_width, "pageWidth", tr("Page width"), tr("The page's width"), 0.0},
        {m_height, "pageHeight", tr("Page height"), tr("The page's height"), 0.0},
        // Zero is the page's edge itself.
        {m_x, "x", tr("From the left"),
         tr("Where the symbol's margin begins, measured from the page's left edge"), -0.1},
        {m_y, "y", tr("From the top"),
         tr("Where the symbol's margin begins, measured from the page's top edge"), -0.1},
    };
    for (const Field& f : fields) {
        f.box.setObjectName(QString::fromLatin1(f.name));
        f.box.setAccepted(f.above, MAX_PAGE_MM, PAGE_DECIMALS);
        f.box.setSuffix(tr(" mm"));
        f.box.setAccessibleName(f.caption);
        f.box.setToolTip(f.tip);
        f.box.setAccessibleDescription(f.tip);
    }
    m_x.setValue(start ? start->xMm : 0.0);
    m_y.setValue(start ? start->yMm : 0.0);
    Paper paper = symbolSize;
    if (start) {
        paper = *start == Page{a4Page.widthMm, a4Page.heightMm, start->xMm, start->yMm} ? a4
                : *start == Page{letterPage.widthMm, letterPage.heightMm, start->xMm, start->yMm}
                    ? letter
                    : custom;
        m_width.setValue(start->widthMm);
        m_height.setValue(start->heightMm);
    }
    m_paper.setCurrentIndex(m_paper.findData(paper));
    m_error.setObjectName(QStringLiteral("pageError"));
    m_error.setWordWrap(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Caption(tr("&Paper"), m_paper), 0, 0);
    grid->addWidget(&m_paper, 0, 1, 1, 3);
    grid->addWidget(Caption(tr("&Width"), m_width), 1, 0);
    grid->addWidget(&m_width, 1, 1);
    grid->addWidget(Caption(tr("&Height"), m_height), 1, 2);
    grid->addWidget(&m_height, 1, 3);
    grid->addWidget(Caption(tr("From the &left"), m_x), 2, 0);
    grid->addWidget(&m_x, 2, 1);
    grid->addWidget(Caption(tr("From the &top"), m_y), 2, 2);
    grid->addWidget(&m_y, 2, 3);
    auto* size = new QLabel(tr("The symbol is %1 with its margin.")
                                .arg(Messages::millimetres(symbolMm.width(), symbolMm.height())),
                            this);
    size->setObjectName(QStringLiteral("symbolSize"));
    grid->addWidget(size, 3, 0, 1, 4);
    grid->addWidget(&m_error, 4, 0, 1, 4);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->button(QDialogButtonBox::Ok)->setText(tr("OK"));
    m_buttons->button(QDialogButtonBox::Cancel)->setText(tr("Cancel"));
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(m_buttons, 5, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    for (DecimalBox* box : {&m_width, &m_height, &m_x, &m_y}) {
        // Typing tells every change, out of range too; a value set from code
        // changes the text with the edit field's signals blocked.
        connect(box->findChild<QLineEdit*>(), &QLineEdit::textChanged, this, &PageDialog::Check);
        connect(box, &QDoubleSpinBox::valueChanged, this, &PageDialog::Check);
    }
    connect(&m_paper, &QComboBox::currentIndexChanged, this, &PageDialog::PaperChanged);
    PaperChanged();
    m_paper.setFocus();
}

QLabel* PageDialog::Caption(const QString& text, QWidget& buddy) {
    auto* caption = new QLabel(text, this);
    caption->setBuddy(&buddy);
    return caption;
}

std::optional<Page> PageDialog::page() const {
    const auto paper = Paper(m_paper.currentData().toInt());
    if (paper == symbolSize) return std::nullopt;
    return Page{m_width.value(), m_height.value(), m_x.value(), m_y.value()};
}

void PageDialog::PaperChanged() {
    const auto paper = Paper(m_paper.currentData().toInt());
    if (paper == a4 || paper == letter) {
        const Page& standard = paper == a4 ? a4Page : letterPage;
        m_width.setValue(standard.widthMm);
        m_height.setValue(standard.heightMm);
    } else if (paper == symbolSize) {
        m_width.setValue(m_symbolMm.width());
        m_height.setValue(m_symbolMm.height());
    }
    m_width.setEnabled(paper == custom);
    m_height.setEnabled(paper == custom);
    m_x.setEnabled(paper != symbolSize);
    m_y.setEnabled(paper != symbolSize);
    Check();
}

void PageDialog::Check() {
    QStringList problems;
    if (Paper(m_paper.currentData().toInt()) != symbolSize) {
        for (const DecimalBox* box : {&m_width, &m_height, &m_x, &m_y})
            if (!box->hasAcceptableInput())
                problems << Messages::outOfRange(
                    box->accessibleName(),
                    box->above() < 0
                        ? tr("0 to %1").arg(Messages::millimetre(MAX_PAGE_MM))
                        : tr("more than 0 and at most %1").arg(Messages::millimetre(MAX_PAGE_MM)));
        if (problems.isEmpty()) {
            const double right = m_x.value() + m_symbolMm.width() - m_width.value();
            const double bottom = m_y.value() + m_symbolMm.height() - m_height.value();
            if (right > EDGE_TOLERANCE_MM)
                problems << tr("The symbol passes the page's right edge by %1: move it left or "
                               "choose a wider page.")
                                .arg(Messages::millimetre(right));
            if (bottom > EDGE_TOLERANCE_MM)
                problems << tr("The symbol passes the page's bottom edge by %1: move it up or "
                               "choose a taller page.")
                                .arg(Messages::millimetre(bottom));
        }
    }
    m_error.setText(problems.join(QLatin1Char(' ')));
    m_error.setVisible(!problems.isEmpty());
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(problems.isEmpty());
    // Room for the whole reason, however many lines it takes.
    if (isVisible()) adjustSize();
}

}  // namespace barquill::app
