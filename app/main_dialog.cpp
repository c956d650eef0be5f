#include "app/main_dialog.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLocale>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QSignalBlocker>
#include <QUrl>
#include <QVBoxLayout>
#include <cstring>

#include "app/about_dialog.h"
#include "app/app_resources.h"
#include "app/colour_check.h"
#include "app/command_line.h"
#include "app/data_text.h"
#include "app/level_box_accessible.h"
#include "app/qt_draw_target.h"
#include "cli/escapes.h"
#include "cli/geometry.h"
#include "cli/symbol_writer.h"
#include "encoder/charset.h"
#include "encoder/macro_series.h"
#include "resources/resources.h"
#include "verify/verify.h"

namespace barquill::app {

namespace res = barquill::resources;

namespace {

// The text the Text box starts with: 21 characters, a web address.
constexpr const char* SAMPLE_TEXT = "https://barquill.org/";
static_assert(std::char_traits<char>::length(SAMPLE_TEXT) == 21);

// The codewords one symbol holds, the length descriptor among them.
constexpr int SYMBOL_CODEWORDS = 928;
// The margin's range, as the command line takes it.
constexpr int MAX_MARGIN = cli::MAX_MARGIN;
// The level list's first item stands for the automatic choice.
constexpr int AUTO_LEVEL_INDEX = 0;
constexpr int FIRST_START_LEVEL = 1;

// The character set list's first two items.
constexpr int CHARSET_AUTO = -1;  // ASCII as is, other text as UTF-8 with its ECI
constexpr int CHARSET_NONE = -2;  // the bytes as typed, no ECI

// The rows box's lowest value, shown as "Auto": a symbol has 3 rows or more.
constexpr int ROWS_AUTO = 2;

}  // namespace

cli::DrawOptions screenDrawing(int margin, std::uint32_t bars, std::uint32_t background) {
    cli::DrawOptions options;
    options.margin = margin;
    options.barColor = bars;
    options.spaceColor = background;
    return options;
}

CMainDialog::CMainDialog(QWidget* parent)
    : QDialog(parent),
      m_cbLevel(this),
      m_btnBarColor(this),
      m_btnBackground(this),
      m_spMargin(this),
      m_spColumns(this),
      m_edText(this),
      m_chkEscapes(this),
      m_chkLive(this),
      m_spRows(this),
      m_spAspect(this),
      m_cbCharset(this),
      m_chkSeries(this),
      m_chkVerify(this),
      m_seriesButton(this),
      m_spModuleMm(this),
      m_spDpi(this),
      m_image(image::IMAGE_FORMAT_UNKNOWN),
      m_symbolView(this),
      m_stStatus(this) {
    loadResources();
    // Named before anything asks for its accessible interface, which is kept.
    m_cbLevel.setObjectName(QString::fromLatin1(NAMED_COMBO_BOX));
    m_cbCharset.setObjectName(QString::fromLatin1(NAMED_COMBO_BOX));
    m_hIcon.addFile(QString::fromUtf8(res::ICON_LARGE), QSize(32, 32));
    m_hIcon.addFile(QString::fromUtf8(res::ICON_SMALL), QSize(16, 16));
    BuildUi();
    LoadSettings();
    ConnectInputs();
    ColoursChanged();
    OnEncode();
    m_edText.setFocus();
}

CMainDialog::~CMainDialog() = default;

void CMainDialog::BuildUi() {
    setWindowTitle(QStringLiteral("Barquill"));
    setWindowIcon(m_hIcon);
    setSizeGripEnabled(true);
    setAcceptDrops(true);
    // A dialog gets no maximise button by default; a window that grows with
    // the symbol should have one.
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint);

    auto describe = [](QWidget& w, const QString& name, const QString& description) {
        w.setAccessibleName(name);
        w.setAccessibleDescription(description);
        w.setToolTip(description);
    };

    // The text and how it is read.
    m_edText.setText(QString::fromUtf8(SAMPLE_TEXT));
    m_edText.setClearButtonEnabled(true);
    describe(m_edText, tr("Text"),
             tr("The data to encode, up to %1 bytes in UTF-8").arg(encoder::TEXT_CAPACITY - 1));
    m_chkEscapes.setText(tr("&Escapes (\\n \\t \\xHH)"));
    describe(m_chkEscapes, tr("Escapes"),
             tr("Read \\n, \\r, \\t, \\\\ and \\xHH in the text as line feed, carriage return, "
                "tab, backslash and the byte HH"));
    auto* load = new QPushButton(tr("L&oad..."), this);
    describe(*load, tr("Load"), tr("Load the data from a file, bytes as they are (Ctrl+O)"));
    connect(load, &QPushButton::clicked, this, &CMainDialog::OnLoad);

    // The options.
    m_cbLevel.addItem(tr("Auto"), -1);
    for (int level = 0; level <= 8; ++level) m_cbLevel.addItem(QString::number(level), level);
    m_cbLevel.setCurrentIndex(FIRST_START_LEVEL + 1);
    m_cbLevel.setMaxVisibleItems(5);
    describe(m_cbLevel, tr("Level"),
             tr("Error-correction level 0 to 8, or Auto to choose by the data's length; a "
                "higher level survives more damage but makes the symbol larger"));
    m_spMargin.setRange(0, MAX_MARGIN);
    m_spMargin.setValue(10);
    m_spMargin.setSuffix(tr(" px"));
    describe(m_spMargin, tr("Margin"),
             tr("Quiet zone on every side, 0 to %1 pixels").arg(MAX_MARGIN));
    m_spColumns.setRange(0, encoder::MAX_COLUMNS);
    m_spColumns.setSpecialValueText(tr("Auto"));
    m_spColumns.setValue(0);
    describe(m_spColumns, tr("Columns"),
             tr("Data columns 1 to %1, or Auto to choose them").arg(encoder::MAX_COLUMNS));
    m_btnBackground.setText(tr("Background"));
    m_btnBackground.SetColor(0xFFFFFF);
    m_btnBackground.setToolTip(tr("Colour of the spaces and the margin; click to choose"));
    m_btnBackground.setAccessibleDescription(m_btnBackground.toolTip());
    m_btnBarColor.setText(tr("Bar color"));
    m_btnBarColor.SetColor(0x000000);
    m_btnBarColor.setToolTip(tr("Colour of the bars; click to choose"));
    m_btnBarColor.setAccessibleDescription(m_btnBarColor.toolTip());
    m_spModuleMm.setRange(0.05, cli::MAX_XDIM_MM);
    m_spModuleMm.setDecimals(2);
    m_spModuleMm.setSingleStep(0.05);
    m_spModuleMm.setValue(0.33);
    m_spModuleMm.setSuffix(tr(" mm"));
    describe(m_spModuleMm, tr("Module width"),
             tr("Width of one module on paper, 0.05 to %1 mm; printing rounds it to whole "
                "printer dots")
                 .arg(cli::MAX_XDIM_MM));
    m_spDpi.setRange(0, cli::MAX_DPI);
    m_spDpi.setSpecialValueText(tr("Printer's"));
    m_spDpi.setSuffix(tr(" dpi"));
    m_spDpi.setValue(0);
    describe(m_spDpi, tr("Resolution"),
             tr("Printer resolution, 1 to %1 dots per inch, or the printer's own; with a "
                "resolution the status line gives the size on paper")
                 .arg(cli::MAX_DPI));
    m_chkLive.setText(tr("Live &preview"));
    m_chkLive.setChecked(true);
    describe(m_chkLive, tr("Live preview"),
             tr("Show the symbol of every change at once; off, only Encode changes it"));

    // The shape, the character set and the series.
    m_spRows.setRange(ROWS_AUTO, encoder::MAX_ROWS);
    m_spRows.setSpecialValueText(tr("Auto"));
    m_spRows.setValue(ROWS_AUTO);
    describe(m_spRows, tr("Rows"),
             tr("Rows 3 to %1, or Auto; with Columns set too, a symbol of exactly that size")
                 .arg(encoder::MAX_ROWS));
    m_spAspect.setRange(0.0, 20.0);
    m_spAspect.setDecimals(2);
    m_spAspect.setSingleStep(0.5);
    m_spAspect.setSpecialValueText(tr("None"));
    m_spAspect.setSuffix(tr(" : 1"));
    m_spAspect.setValue(0.0);
    describe(m_spAspect, tr("Aspect ratio"),
             tr("Width to height of the printed symbol, up to 20 : 1, or None; the columns are "
                "chosen to come closest (Rows and Columns on Auto)"));
    m_cbCharset.addItem(tr("Auto"), CHARSET_AUTO);
    m_cbCharset.addItem(tr("None (bytes as typed)"), CHARSET_NONE);
    for (std::size_t i = 0; i < encoder::knownCharsets().size(); ++i)
        m_cbCharset.addItem(QString::fromUtf8(encoder::knownCharsets()[i].name), int(i));
    describe(m_cbCharset, tr("Character set"),
             tr("How the text is encoded: Auto keeps ASCII as it is and marks other text as "
                "UTF-8; a named set converts the text and marks it with its ECI number"));
    m_chkSeries.setText(tr("&Split data too large for one symbol into a Macro PDF417 series"));
    describe(m_chkSeries, tr("Macro PDF417 series"),
             tr("Data too large for one symbol becomes numbered symbols that readers join; Save "
                "writes one file per symbol"));
    m_chkVerify.setText(tr("&Verify: read every symbol back"));
    m_chkVerify.setChecked(true);
    describe(m_chkVerify, tr("Verify"),
             tr("Read each symbol back with an independent reader and mark it Verified in the "
                "status line when it holds exactly the data"));
    m_seriesButton.hide();
    describe(m_seriesButton, tr("Split into a series"),
             tr("Split the data into a Macro PDF417 series"));
    connect(&m_seriesButton, &QPushButton::clicked, this, [this] { m_chkSeries.setChecked(true); });

    // The symbol and the status line.
    m_symbolView.setAccessibleName(tr("Symbol"));
    m_symbolView.setToolTip(tr("The symbol; right-click or press the menu key to copy it"));
    m_stStatus.setAccessibleName(tr("Status"));
    m_stStatus.setWordWrap(true);
    m_stStatus.setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_stStatus.setMinimumHeight(2 * fontMetrics().height());
    m_stStatus.setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto label = [this](const QString& caption, QWidget& buddy) {
        auto* l = new QLabel(caption, this);
        l->setBuddy(&buddy);
        return l;
    };
    auto* options = new QGroupBox(this);
    auto* grid = new QGridLayout(options);
    grid->addWidget(label(tr("&Level"), m_cbLevel), 0, 0);
    grid->addWidget(&m_cbLevel, 0, 1);
    grid->addWidget(&m_btnBackground, 0, 2, 1, 2);
    grid->addWidget(&m_btnBarColor, 0, 4, 1, 2);
    grid->addWidget(label(tr("&Margin"), m_spMargin), 1, 0);
    grid->addWidget(&m_spMargin, 1, 1);
    grid->addWidget(label(tr("&Columns"), m_spColumns), 1, 2);
    grid->addWidget(&m_spColumns, 1, 3);
    grid->addWidget(label(tr("Module &width"), m_spModuleMm), 1, 4);
    grid->addWidget(&m_spModuleMm, 1, 5);
    grid->addWidget(label(tr("Resolutio&n"), m_spDpi), 1, 6);
    grid->addWidget(&m_spDpi, 1, 7);
    grid->addWidget(label(tr("&Text"), m_edText), 2, 0);
    grid->addWidget(&m_edText, 2, 1, 1, 6);
    grid->addWidget(load, 2, 7);
    grid->addWidget(&m_chkEscapes, 3, 1, 1, 3);
    grid->addWidget(&m_chkLive, 3, 4, 1, 2);
    auto* more = new QGroupBox(tr("More options"), this);
    auto* moreGrid = new QGridLayout(more);
    moreGrid->addWidget(label(tr("&Rows"), m_spRows), 0, 0);
    moreGrid->addWidget(&m_spRows, 0, 1);
    moreGrid->addWidget(label(tr("&Aspect ratio"), m_spAspect), 0, 2);
    moreGrid->addWidget(&m_spAspect, 0, 3);
    moreGrid->addWidget(label(tr("C&haracter set"), m_cbCharset), 0, 4);
    moreGrid->addWidget(&m_cbCharset, 0, 5);
    moreGrid->addWidget(&m_chkSeries, 1, 0, 1, 4);
    moreGrid->addWidget(&m_chkVerify, 1, 4, 1, 2);
    for (int c : {1, 3, 5}) moreGrid->setColumnStretch(c, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setColumnStretch(5, 1);
    grid->setColumnStretch(7, 1);

    auto* encode = new QPushButton(tr("Encode"), this);
    encode->setDefault(true);
    describe(*encode, tr("Encode"), tr("Make the symbol of the text and options (Enter)"));
    auto* save = new QPushButton(tr("Save"), this);
    describe(*save, tr("Save"), tr("Save the symbol as PNG, GIF, BMP or SVG (Ctrl+S)"));
    auto* print = new QPushButton(tr("Print..."), this);
    describe(*print, tr("Print"), tr("Print the symbol at its true size, with a preview (Ctrl+P)"));
    auto* cancel = new QPushButton(tr("Cancel"), this);
    describe(*cancel, tr("Cancel"), tr("Close Barquill; the options are kept for next time (Esc)"));
    connect(encode, &QPushButton::clicked, this, &CMainDialog::OnEncode);
    connect(save, &QPushButton::clicked, this, &CMainDialog::OnSave);
    connect(print, &QPushButton::clicked, this, &CMainDialog::OnPrint);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(encode);
    buttons->addWidget(save);
    buttons->addWidget(print);
    buttons->addStretch(1);
    buttons->addWidget(cancel);

    auto* column = new QVBoxLayout(this);
    column->addWidget(&m_symbolView, 1);
    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(&m_stStatus, 1);
    statusRow->addWidget(&m_seriesButton, 0, Qt::AlignTop);
    column->addLayout(statusRow);
    column->addWidget(options);
    column->addWidget(more);
    column->addLayout(buttons);

    m_controls = {{res::IDC_TEXT, &m_edText},
                  {res::IDC_LEVEL, &m_cbLevel},
                  {res::IDC_MARGIN, &m_spMargin},
                  {res::IDC_COLUMNS, &m_spColumns},
                  {res::IDC_BACKGROUND, &m_btnBackground},
                  {res::IDC_BAR_COLOR, &m_btnBarColor},
                  {res::IDC_ENCODE, encode},
                  {res::IDC_SAVE, save},
                  {res::IDC_PRINT, print},
                  {res::IDC_LOAD, load},
                  {res::IDCANCEL, cancel}};

    // The text first, then what shapes the symbol, then the actions.
    const QList<QWidget*> order = {&m_edText,
                                   load,
                                   &m_chkEscapes,
                                   &m_cbLevel,
                                   &m_spMargin,
                                   &m_spColumns,
                                   &m_btnBackground,
                                   &m_btnBarColor,
                                   &m_spModuleMm,
                                   &m_spDpi,
                                   &m_spRows,
                                   &m_spAspect,
                                   &m_cbCharset,
                                   &m_chkSeries,
                                   &m_chkVerify,
                                   &m_chkLive,
                                   encode,
                                   save,
                                   print,
                                   cancel,
                                   &m_symbolView};
    for (int i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);

    // Window managers here have no window menu to extend: the about entry
    // goes on the dialog's context menu, and F1 opens it too.
    m_aboutAction.setText(tr("About Barquill..."));
    m_aboutAction.setShortcut(QKeySequence(Qt::Key_F1));
    connect(&m_aboutAction, &QAction::triggered, this,
            [this] { OnSysCommand(res::IDM_ABOUTBOX, 0); });
    AddAction(m_saveAction, tr("&Save..."), QKeySequence::Save, &CMainDialog::OnSave);
    AddAction(m_printAction, tr("&Print..."), QKeySequence(Qt::CTRL | Qt::Key_P),
              &CMainDialog::OnPrint);
    AddAction(m_loadAction, tr("&Load data..."), QKeySequence::Open, &CMainDialog::OnLoad);
    AddAction(m_copyAction, tr("&Copy image"), QKeySequence::Copy, &CMainDialog::OnCopy);
    AddAction(m_copySvgAction, tr("Copy as SV&G text"), QKeySequence(),
              &CMainDialog::OnCopySvgText);
    AddAction(m_commandAction, tr("Co&mmand line..."), QKeySequence(), &CMainDialog::OnCommandLine);
    m_aboutAction.setShortcutContext(Qt::WindowShortcut);
    addAction(&m_aboutAction);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    m_symbolView.addActions({&m_copyAction, &m_copySvgAction, &m_commandAction, &m_saveAction,
                             &m_printAction, &m_aboutAction});
    m_symbolView.setContextMenuPolicy(Qt::ActionsContextMenu);
    resize(sizeHint());
}

void CMainDialog::AddAction(QAction& action, const QString& text, const QKeySequence& key,
                            void (CMainDialog::*slot)()) {
    action.setText(text);
    action.setShortcut(key);
    action.setShortcutContext(Qt::WindowShortcut);
    connect(&action, &QAction::triggered, this, slot);
    addAction(&action);
}

void CMainDialog::ConnectInputs() {
    connect(&m_edText, &QLineEdit::textChanged, this, &CMainDialog::InputChanged);
    connect(&m_chkEscapes, &QCheckBox::toggled, this, &CMainDialog::InputChanged);
    connect(&m_cbLevel, &QComboBox::currentIndexChanged, this, &CMainDialog::InputChanged);
    // The boxes' own signals stay quiet while the text does not parse; their
    // edit fields tell every change.
    for (QAbstractSpinBox* box : std::initializer_list<QAbstractSpinBox*>{
             &m_spMargin, &m_spColumns, &m_spModuleMm, &m_spDpi, &m_spRows, &m_spAspect})
        connect(box->findChild<QLineEdit*>(), &QLineEdit::textChanged, this,
                &CMainDialog::InputChanged);
    // A value set from code changes the text with the edit fields' signals blocked.
    for (QSpinBox* box : {&m_spMargin, &m_spColumns, &m_spDpi, &m_spRows})
        connect(box, &QSpinBox::valueChanged, this, &CMainDialog::InputChanged);
    for (QDoubleSpinBox* box : {&m_spModuleMm, &m_spAspect})
        connect(box, &QDoubleSpinBox::valueChanged, this, &CMainDialog::InputChanged);
    connect(&m_cbCharset, &QComboBox::currentIndexChanged, this, &CMainDialog::InputChanged);
    connect(&m_chkSeries, &QCheckBox::toggled, this, &CMainDialog::InputChanged);
    connect(&m_chkVerify, &QCheckBox::toggled, this, &CMainDialog::InputChanged);
    m_verifyTimer.setSingleShot(true);
    m_verifyTimer.setInterval(150);
    connect(&m_verifyTimer, &QTimer::timeout, this, &CMainDialog::Verify);
    connect(&m_chkLive, &QCheckBox::toggled, this, &CMainDialog::InputChanged);
    for (CColorButton* button : {&m_btnBackground, &m_btnBarColor})
        // The button has run its colour dialog by the time this runs.
        connect(button, &QPushButton::clicked, this, &CMainDialog::ColoursChanged);
}

void CMainDialog::ColoursChanged() {
    m_btnBackground.setAccessibleName(
        tr("Background: %1").arg(colourInWords(m_btnBackground.GetColor())));
    m_btnBarColor.setAccessibleName(
        tr("Bar color: %1").arg(colourInWords(m_btnBarColor.GetColor())));
    InputChanged();
}

void CMainDialog::InputChanged() {
    if (m_chkLive.isChecked())
        OnEncode();
    else
        m_stale = true;
}

int CMainDialog::SelectedLevel() const {
    return m_cbLevel.currentData().toInt();
}

void CMainDialog::SetStatus(const QString& text, bool problem) {
    m_stStatus.setText(text);
    QPalette pal = m_stStatus.palette();
    // A problem shows in the theme's own accent for links when it is a
    // high-contrast theme, otherwise in a dark red readable on light themes.
    const QColor normal = palette().color(QPalette::WindowText);
    const bool darkTheme = palette().color(QPalette::Window).lightness() < 128;
    pal.setColor(
        QPalette::WindowText,
        problem ? (darkTheme ? QColor(0xFF, 0x80, 0x80) : QColor(0xB0, 0x00, 0x20)) : normal);
    m_stStatus.setPalette(pal);
    m_stStatus.setAccessibleDescription(text);
    m_symbolView.setAccessibleDescription(text);
    // Screen readers announce the changed line.
    QAccessibleEvent changed(&m_stStatus, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
    QAccessibleEvent viewChanged(&m_symbolView, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&viewChanged);
}

QString CMainDialog::ProblemText(const BuildProblem& p) const {
    const QLocale locale;
    switch (p.kind) {
        case BuildProblem::none:
            return {};
        case BuildProblem::fieldOutOfRange:
            return tr("%1 must be a whole number from %2 to %3: correct the field.")
                .arg(p.field)
                .arg(p.low)
                .arg(p.high);
        case BuildProblem::badEscape:
            return tr("Text: %1. Turn Escapes off to encode backslashes as they are.")
                .arg(p.detail);
        case BuildProblem::emptyText:
            return tr(
                "The text is empty: type the data to encode (a symbol without data is one "
                "readers reject).");
        case BuildProblem::textTooLong:
            return tr("The text is %1 bytes long; the encoder takes at most %2: shorten the text.")
                .arg(locale.toString(p.count), locale.toString(p.limit));
        case BuildProblem::encoderRefused:
            return ReportText(p.report, p.count);
        case BuildProblem::charsetProblem:
            switch (encoder::ConversionError(p.limit)) {
                case encoder::ConversionError::NotRepresentable:
                    return tr("Text: “%1” (character %2) has no %3 form: choose UTF-8 or another "
                              "character set.")
                        .arg(p.detail)
                        .arg(p.count)
                        .arg(p.field);
                case encoder::ConversionError::InvalidUtf8:
                    return tr("The data is not UTF-8 text (byte %1), so it cannot be converted "
                              "into %2: choose None to encode the bytes as they are.")
                        .arg(p.count)
                        .arg(p.field);
                default:
                    return tr("This system cannot convert text into %1: choose another character "
                              "set.")
                        .arg(p.field);
            }
        case BuildProblem::drawingFailed:
            return tr("The picture could not be made: %1").arg(p.detail);
    }
    return {};
}

QString CMainDialog::ReportText(const encoder::SymbolReport& r, int seriesOffered) const {
    const QLocale locale;
    switch (r.error) {
        case encoder::SymbolError::None:
            return {};
        case encoder::SymbolError::TooLong: {
            QString text = tr("Needs %1 codewords at level %2; a symbol holds at most %3: shorten "
                              "the text or lower the level.")
                               .arg(locale.toString(r.needed))
                               .arg(r.level)
                               .arg(locale.toString(r.available));
            if (seriesOffered > 1)
                text += QLatin1Char(' ') +
                        tr("Or split the data into a Macro PDF417 series of %1 symbols.")
                            .arg(seriesOffered);
            return text;
        }
        case encoder::SymbolError::ColumnsDoNotFit: {
            QStringList fitting;
            for (int c = 1; c <= encoder::MAX_COLUMNS; ++c)
                if (r.fittingColumns & (1u << c)) fitting << QString::number(c);
            QString text = tr("Needs %1 rows at %2 columns; a symbol has at most %3: choose more "
                              "columns or Auto.")
                               .arg(r.rowsAtColumns)
                               .arg(r.columns)
                               .arg(encoder::MAX_ROWS);
            if (!fitting.isEmpty())
                text += QLatin1Char(' ') + tr("Columns that fit: %1.").arg(fitting.join(", "));
            return text;
        }
        case encoder::SymbolError::ShapeDoesNotFit:
            return tr("The data does not fit %1 rows × %2 columns: it needs %3 columns at %1 rows, "
                      "or %4 rows at %2 columns. Change Rows or Columns, or set them to Auto.")
                .arg(r.rows)
                .arg(r.columns)
                .arg(r.columnsAtRows)
                .arg(r.rowsAtColumns);
        case encoder::SymbolError::InvalidOption:
            if (r.option == encoder::SymbolOption::Aspect)
                return tr(
                    "An aspect ratio chooses the columns itself: set Rows and Columns to Auto, "
                    "or the aspect ratio to None.");
            return tr("An option is out of range: set Rows and Columns to Auto.");
    }
    return {};
}

QString CMainDialog::ColourWarning() const {
    const ColourCheck check = checkColours(m_btnBarColor.GetColor(), m_btnBackground.GetColor());
    switch (check.problem) {
        case ColourProblem::none:
            return {};
        case ColourProblem::barsLighter:
            return tr(
                "The bars are lighter than the background: most readers expect dark bars on "
                "a light background.");
        case ColourProblem::lowContrast:
            return tr("The colours differ too little for readers (contrast %1:1; at least %2:1 "
                      "is needed): choose darker bars or a lighter background.")
                .arg(check.contrast, 0, 'f', 1)
                .arg(MIN_READABLE_CONTRAST, 0, 'f', 0);
    }
    return {};
}

void CMainDialog::Fail(const BuildProblem& problem) {
    m_verifyTimer.stop();
    m_image.Destroy();
    m_job.reset();
    m_moreJobs.clear();
    m_morePictures.clear();
    m_stale = false;
    m_seriesButton.setText(tr("Split into a series of %1 symbols").arg(problem.count));
    m_seriesButton.setVisible(problem.kind == BuildProblem::encoderRefused && problem.count > 1);
    m_symbolView.setSymbol(QImage());
    m_failure = ProblemText(problem);
    SetStatus(m_failure, true);
}

void CMainDialog::OnEncode() {
    // Every field must parse before anything is read: a symbol of other
    // input must never stay on show.
    struct NumberField {
        const QAbstractSpinBox* box;
        QString name;
        int low, high;
    };
    const NumberField fields[] = {
        {&m_spMargin, tr("Margin"), 0, MAX_MARGIN},
        {&m_spColumns, tr("Columns"), 0, encoder::MAX_COLUMNS},
        {&m_spModuleMm, tr("Module width"), 0, int(cli::MAX_XDIM_MM)},
        {&m_spDpi, tr("Resolution"), 0, cli::MAX_DPI},
        {&m_spRows, tr("Rows"), 3, encoder::MAX_ROWS},
        {&m_spAspect, tr("Aspect ratio"), 0, 20},
    };
    for (const NumberField& f : fields)
        if (!f.box->hasAcceptableInput()) {
            BuildProblem p{BuildProblem::fieldOutOfRange};
            p.field = f.name;
            p.low = f.low;
            p.high = f.high;
            return Fail(p);
        }

    QByteArray data = m_edText.text().toUtf8();
    if (m_chkEscapes.isChecked()) {
        const cli::EscapeResult decoded =
            cli::decodeEscapes(std::string_view(data.constData(), std::size_t(data.size())));
        if (!decoded.ok) {
            BuildProblem p{BuildProblem::badEscape};
            p.detail = QString::fromStdString(decoded.error);
            return Fail(p);
        }
        data = QByteArray(decoded.bytes.data(), qsizetype(decoded.bytes.size()));
    }
    if (data.isEmpty()) return Fail({BuildProblem::emptyText});
    if (data.size() > encoder::TEXT_CAPACITY - 1) {
        BuildProblem p{BuildProblem::textTooLong};
        p.count = int(data.size());
        p.limit = encoder::TEXT_CAPACITY - 1;
        return Fail(p);
    }

    // The character set: typed text that is not ASCII is marked as UTF-8
    // (ECI 26) by default, as the command line does, so readers show it as
    // written.
    int eci = encoder::NO_ECI;
    const std::string_view dataView(data.constData(), std::size_t(data.size()));
    const int charsetChoice = m_cbCharset.currentData().toInt();
    if (charsetChoice == CHARSET_AUTO) {
        if (!encoder::isAscii(dataView) &&
            encoder::convertText(dataView, *encoder::findCharset("UTF-8")).ok())
            eci = encoder::ECI_UTF8;
    } else if (charsetChoice >= 0) {
        const encoder::Charset& charset = encoder::knownCharsets()[std::size_t(charsetChoice)];
        const encoder::Conversion converted = encoder::convertText(dataView, charset);
        if (!converted.ok()) {
            BuildProblem p(BuildProblem::charsetProblem);
            p.field = QString::fromUtf8(charset.name);
            p.detail = QString::fromStdString(converted.character);
            p.count = int(converted.position);
            p.limit = int(converted.error);
            return Fail(p);
        }
        data = QByteArray(converted.bytes.data(), qsizetype(converted.bytes.size()));
        eci = charset.eci;
    }
    if (data.size() > encoder::TEXT_CAPACITY - 1) {
        BuildProblem p{BuildProblem::textTooLong};
        p.count = int(data.size());
        p.limit = encoder::TEXT_CAPACITY - 1;
        return Fail(p);
    }

    encoder::SymbolOptions shape;
    shape.rows = m_spRows.value() == ROWS_AUTO ? 0 : m_spRows.value();
    shape.aspect = m_spAspect.value();
    shape.eci = eci;
    const int level = SelectedLevel();
    const int columns = m_spColumns.value();
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
    const std::size_t length = std::size_t(data.size());
    auto newJob = [&](int jobLevel, int jobColumns) {
        auto job = std::make_unique<encoder::SymbolJob>();
        encoder::initSymbolJob(job.get());
        job->ecLevel = jobLevel;
        job->columns = jobColumns;
        job->margin = m_spMargin.value();
        job->spaceColor = m_btnBackground.GetColor();
        job->barColor = m_btnBarColor.GetColor();
        return job;
    };

    // The fields keep level and columns in the encoder's ranges, so the
    // report alone tells why a symbol cannot be made.
    std::vector<std::unique_ptr<encoder::SymbolJob>> jobs;
    std::vector<std::pair<std::size_t, std::size_t>> slices{{0, length}};
    std::vector<std::optional<encoder::MacroControl>> controls{std::nullopt};
    jobs.push_back(newJob(level, columns));
    encoder::SymbolReport report = encoder::buildSymbol(jobs[0].get(), bytes, length, shape);
    m_offerSeries = 0;
    if (report.error == encoder::SymbolError::TooLong) {
        // Too much for one symbol: a series can hold it.
        const encoder::MacroSeries series =
            encoder::planMacroSeries(bytes, length, level, columns, shape, {});
        if (series.report.ok() && m_chkSeries.isChecked()) {
            jobs.clear();
            slices.clear();
            controls.clear();
            for (const encoder::MacroSegment& segment : series.segments) {
                slices.emplace_back(segment.offset, segment.length);
                controls.push_back(segment.control);
                jobs.push_back(newJob(series.level, series.columns));
                encoder::SymbolOptions options = shape;
                options.rows = series.rows;
                options.aspect = 0.0;
                options.macro = segment.control;
                report = encoder::buildSymbol(jobs.back().get(), bytes + segment.offset,
                                              segment.length, options);
                if (!report.ok()) break;
            }
        } else if (series.report.ok()) {
            m_offerSeries = int(series.segments.size());
        }
    }
    if (!report.ok()) {
        BuildProblem p(BuildProblem::encoderRefused);
        p.report = report;
        p.count = m_offerSeries;
        return Fail(p);
    }

    std::vector<std::unique_ptr<image::Picture>> pictures;
    for (const auto& job : jobs) {
        pictures.push_back(std::make_unique<image::Picture>(image::IMAGE_FORMAT_UNKNOWN));
        if (!cli::drawSymbol(*job, screenDrawing(job->margin, job->barColor, job->spaceColor),
                             pictures.back().get())) {
            BuildProblem p{BuildProblem::drawingFailed};
            p.detail = QString::fromLocal8Bit(pictures.back()->GetLastError());
            return Fail(p);
        }
    }
    m_slices = slices;
    m_macroControls = controls;
    m_image.Transfer(*pictures[0]);
    m_job = std::move(jobs[0]);
    m_moreJobs.clear();
    m_morePictures.clear();
    for (std::size_t i = 1; i < jobs.size(); ++i) {
        m_moreJobs.push_back(std::move(jobs[i]));
        m_morePictures.push_back(std::move(pictures[i]));
    }
    const int dataCodewords = encoder::countDataCodewords(bytes, length, shape) + 1;
    m_failure.clear();
    m_stale = false;
    m_seriesButton.hide();
    ShowSymbols();

    const QLocale locale;
    QStringList notes;
    const int count = SymbolCount();
    QString shapeText = tr("%1 rows × %2 columns, level %3")
                            .arg(m_job->rows)
                            .arg(m_job->columns)
                            .arg(m_job->ecLevel);
    if (count > 1)
        notes << tr("A Macro PDF417 series of %1 symbols, each %2; %3 bytes of data; %4 × %5 "
                    "pixels each")
                     .arg(count)
                     .arg(shapeText)
                     .arg(locale.toString(qlonglong(length)))
                     .arg(m_image.GetWidth())
                     .arg(m_image.GetHeight());
    else
        notes << tr("%1; %2 of %3 data codewords (%4 %); %5 × %6 pixels")
                     .arg(shapeText)
                     .arg(locale.toString(dataCodewords), locale.toString(SYMBOL_CODEWORDS))
                     .arg(dataCodewords * 100 / SYMBOL_CODEWORDS)
                     .arg(m_image.GetWidth())
                     .arg(m_image.GetHeight());
    if (m_spDpi.value() > 0) {
        const cli::GeometryResult g = cli::computeGeometry(
            {std::nullopt, std::nullopt, m_spModuleMm.value(), m_spDpi.value()});
        if (g.ok) {
            const cli::PictureSize size = cli::pictureSize(
                *m_job, {g.geometry, m_job->margin * g.geometry.moduleWidth / 2, 0, 0});
            notes.last() += tr("; %1 × %2 mm on paper at %3 dpi")
                                .arg(size.width * 25.4 / g.geometry.dpi, 0, 'f', 1)
                                .arg(size.height * 25.4 / g.geometry.dpi, 0, 'f', 1)
                                .arg(g.geometry.dpi);
        } else {
            notes << QString::fromStdString(g.error);
        }
    }
    const QString colours = ColourWarning();
    if (!colours.isEmpty()) notes << colours;
    m_statusNotes = notes;
    m_statusProblem = !colours.isEmpty();
    if (m_chkVerify.isChecked()) {
        m_verifyData = data;
        m_verifyEci = eci;
        m_verifyTimer.start();
        notes.prepend(tr("Verifying..."));
    }
    SetStatus(notes.join(QStringLiteral("  ")), m_statusProblem);
}

void CMainDialog::FinishVerification() {
    if (!m_verifyTimer.isActive()) return;
    m_verifyTimer.stop();
    Verify();
}

void CMainDialog::Verify() {
    bool unverified = false;
    QStringList notes = m_statusNotes;
    notes.prepend(VerifySymbols(m_verifyData, m_verifyEci, &unverified));
    SetStatus(notes.join(QStringLiteral("  ")), m_statusProblem || unverified);
}

QString CMainDialog::VerifySymbols(const QByteArray& data, int eci, bool* problem) {
    if (!verify::available()) {
        *problem = true;
        return tr("Not verified: this build has no reader.");
    }
    for (int i = 0; i < SymbolCount(); ++i) {
        verify::Expected expected;
        const auto [offset, length] = m_slices[std::size_t(i)];
        expected.bytes.assign(data.constData() + offset, length);
        expected.eci = eci;
        if (const std::optional<encoder::MacroControl>& control = m_macroControls[std::size_t(i)]) {
            verify::MacroFields fields;
            fields.segmentIndex = control->segmentIndex;
            fields.segmentCount = control->segmentCount.value_or(-1);
            for (std::int32_t codeword : control->fileId)
                fields.fileId += QString::asprintf("%03d", codeword).toStdString();
            expected.macro = fields;
        }
        const QImage grey = pictureImage(PictureAt(i)).convertToFormat(QImage::Format_Grayscale8);
        const verify::Outcome outcome = verify::verifyGrey(
            grey.constBits(), grey.width(), grey.height(), int(grey.bytesPerLine()), expected);
        if (outcome.ok()) continue;
        *problem = true;
        const QString which = SymbolCount() > 1 ? tr("symbol %1: ").arg(i + 1) : QString();
        switch (outcome.mismatch) {
            case verify::Mismatch::NotFound:
                return tr("Not verified (%1the reader finds no symbol): check the colours.")
                    .arg(which);
            default:
                return tr("Not verified (%1the reader gets other data than the text).").arg(which);
        }
    }
    return tr("✓ Verified.");
}

int CMainDialog::SymbolCount() const {
    return m_job ? 1 + int(m_moreJobs.size()) : 0;
}

const encoder::SymbolJob& CMainDialog::SymbolJobAt(int index) const {
    return index == 0 ? *m_job : *m_moreJobs[std::size_t(index - 1)];
}

image::Picture& CMainDialog::PictureAt(int index) {
    return index == 0 ? m_image : *m_morePictures[std::size_t(index - 1)];
}

void CMainDialog::ShowSymbols() {
    // A series side by side, a margin's width apart.
    QList<QImage> images;
    int width = 0, height = 0;
    for (int i = 0; i < SymbolCount(); ++i) {
        images << pictureImage(PictureAt(i));
        width += images.last().width();
        height = std::max(height, images.last().height());
    }
    if (images.size() == 1) return m_symbolView.setSymbol(images.front());
    const int gap = std::max(8, m_job->margin);
    QImage all(width + gap * int(images.size() - 1), height, QImage::Format_RGB32);
    all.fill(palette().color(QPalette::Window));
    QPainter painter(&all);
    int x = 0;
    for (const QImage& image : images) {
        painter.drawImage(x, 0, image);
        x += image.width() + gap;
    }
    painter.end();
    m_symbolView.setSymbol(all);
}

void CMainDialog::OnSysCommand(unsigned id, long) {
    if ((id & 0xFFF0) == res::IDM_ABOUTBOX) {
        CAboutDialog about(this);
        RunDialog(about);
    }
}

void CMainDialog::OnCopy() {
    if (!m_image.IsValid()) {
        ShowMessage(QMessageBox::Information, tr("There is nothing to copy: %1").arg(m_failure));
        return;
    }
    auto* mime = new QMimeData;
    mime->setImageData(SymbolImage());
    mime->setData(QStringLiteral("image/svg+xml"), SvgText());
    QApplication::clipboard()->setMimeData(mime);
}

void CMainDialog::OnCopySvgText() {
    if (!m_image.IsValid()) {
        ShowMessage(QMessageBox::Information, tr("There is nothing to copy: %1").arg(m_failure));
        return;
    }
    QApplication::clipboard()->setText(QString::fromUtf8(SvgText()));
}

QByteArray CMainDialog::SvgText() const {
    if (!m_job) return {};
    const std::string svg =
        cli::svgDocument(*m_job, screenDrawing(m_job->margin, m_job->barColor, m_job->spaceColor));
    return QByteArray(svg.data(), qsizetype(svg.size()));
}

void CMainDialog::OnLoad() {
    const QString path = AskOpenFileName();
    if (!path.isEmpty()) LoadFile(path);
}

bool CMainDialog::LoadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowMessage(
            QMessageBox::Warning,
            tr("Could not read %1:\n%2").arg(QDir::toNativeSeparators(path), file.errorString()));
        return false;
    }
    // One byte more than the encoder takes tells a file that is too long
    // without reading all of a large one.
    const QByteArray data = file.read(encoder::TEXT_CAPACITY);
    if (data.size() > encoder::TEXT_CAPACITY - 1) {
        ShowMessage(QMessageBox::Warning,
                    tr("%1 is longer than the %2 bytes the encoder takes; nothing was loaded.")
                        .arg(QDir::toNativeSeparators(path))
                        .arg(encoder::TEXT_CAPACITY - 1));
        return false;
    }
    m_lastFolder = QFileInfo(path).absolutePath();
    const DataText shown = dataAsText(data);
    // Set the check box first so the text is read the new way at once.
    {
        const QSignalBlocker block(&m_chkEscapes);
        m_chkEscapes.setChecked(shown.escapes);
    }
    {
        const QSignalBlocker block(&m_edText);
        m_edText.setText(shown.text);
    }
    InputChanged();
    return true;
}

void CMainDialog::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.front().isLocalFile()) event->acceptProposedAction();
}

void CMainDialog::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.front().isLocalFile() && LoadFile(urls.front().toLocalFile()))
        event->acceptProposedAction();
}

QString CMainDialog::CommandLineText() const {
    CommandOptions options;
    options.text = m_edText.text();
    options.escapes = m_chkEscapes.isChecked();
    options.level = SelectedLevel();
    options.columns = m_spColumns.value();
    options.margin = m_spMargin.value();
    options.barColor = m_btnBarColor.GetColor();
    options.spaceColor = m_btnBackground.GetColor();
    options.rows = m_spRows.value() == ROWS_AUTO ? 0 : m_spRows.value();
    options.aspect = m_spAspect.value();
    const int charset = m_cbCharset.currentData().toInt();
    if (charset == CHARSET_NONE)
        options.charset = QStringLiteral("none");
    else if (charset >= 0)
        options.charset = m_cbCharset.currentText();
    options.series = m_chkSeries.isChecked();
    options.outputPath = m_lastSavePath.isEmpty() ? QStringLiteral("symbol.png") : m_lastSavePath;
    return commandLine(options);
}

void CMainDialog::OnCommandLine() {
    QDialog dialog(this);
    dialog.setWindowTitle(tr("Command line"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* explanation = new QLabel(tr("This &command writes the same file as Save:"), &dialog);
    auto* command = new QLineEdit(CommandLineText(), &dialog);
    command->setReadOnly(true);
    command->setAccessibleName(tr("Command line"));
    command->setMinimumWidth(60 * fontMetrics().averageCharWidth());
    explanation->setBuddy(command);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    auto* copy = buttons->addButton(tr("&Copy"), QDialogButtonBox::ActionRole);
    copy->setObjectName(QStringLiteral("copy"));
    connect(copy, &QPushButton::clicked, &dialog,
            [command] { QApplication::clipboard()->setText(command->text()); });
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(explanation);
    layout->addWidget(command);
    layout->addWidget(buttons);
    command->setFocus();
    command->selectAll();
    RunDialog(dialog);
}

void CMainDialog::RunDialog(QDialog& dialog) {
    dialog.exec();
}

void CMainDialog::ShowMessage(QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, windowTitle(), text, QMessageBox::Ok, this);
    box.exec();
}

bool CMainDialog::Confirm(const QString& question) {
    return QMessageBox::question(this, windowTitle(), question) == QMessageBox::Yes;
}

void CMainDialog::done(int result) {
    SaveSettings();
    QDialog::done(result);
}

void CMainDialog::LoadSettings() {
    QSettings settings;
    if (!settings.contains(QStringLiteral("options/level"))) return;
    const int levelIndex = m_cbLevel.findData(settings.value(QStringLiteral("options/level")));
    if (levelIndex >= 0) m_cbLevel.setCurrentIndex(levelIndex);
    // Out-of-range values from an edited file are clamped by the boxes.
    m_spMargin.setValue(settings.value(QStringLiteral("options/margin"), 10).toInt());
    m_spColumns.setValue(settings.value(QStringLiteral("options/columns"), 0).toInt());
    m_btnBackground.SetColor(
        settings.value(QStringLiteral("options/background"), 0xFFFFFF).toUInt() & 0xFFFFFF);
    m_btnBarColor.SetColor(settings.value(QStringLiteral("options/bars"), 0).toUInt() & 0xFFFFFF);
    m_chkEscapes.setChecked(settings.value(QStringLiteral("options/escapes"), false).toBool());
    m_chkLive.setChecked(settings.value(QStringLiteral("options/livePreview"), true).toBool());
    m_spModuleMm.setValue(settings.value(QStringLiteral("print/moduleMm"), 0.33).toDouble());
    m_spDpi.setValue(settings.value(QStringLiteral("print/dpi"), 0).toInt());
    m_spRows.setValue(settings.value(QStringLiteral("options/rows"), ROWS_AUTO).toInt());
    m_spAspect.setValue(settings.value(QStringLiteral("options/aspect"), 0.0).toDouble());
    const int charset =
        m_cbCharset.findText(settings.value(QStringLiteral("options/charset")).toString());
    if (charset >= 0) m_cbCharset.setCurrentIndex(charset);
    m_chkSeries.setChecked(settings.value(QStringLiteral("options/series"), false).toBool());
    const QSize size = settings.value(QStringLiteral("window/size")).toSize();
    if (size.isValid()) resize(size.expandedTo(minimumSizeHint()));
    m_lastFolder = settings.value(QStringLiteral("files/lastFolder")).toString();
}

void CMainDialog::SaveSettings() const {
    QSettings settings;
    settings.setValue(QStringLiteral("options/level"), SelectedLevel());
    settings.setValue(QStringLiteral("options/margin"), m_spMargin.value());
    settings.setValue(QStringLiteral("options/columns"), m_spColumns.value());
    settings.setValue(QStringLiteral("options/background"), m_btnBackground.GetColor());
    settings.setValue(QStringLiteral("options/bars"), m_btnBarColor.GetColor());
    settings.setValue(QStringLiteral("options/escapes"), m_chkEscapes.isChecked());
    settings.setValue(QStringLiteral("options/livePreview"), m_chkLive.isChecked());
    settings.setValue(QStringLiteral("print/moduleMm"), m_spModuleMm.value());
    settings.setValue(QStringLiteral("print/dpi"), m_spDpi.value());
    settings.setValue(QStringLiteral("options/rows"), m_spRows.value());
    settings.setValue(QStringLiteral("options/aspect"), m_spAspect.value());
    settings.setValue(QStringLiteral("options/charset"), m_cbCharset.currentText());
    settings.setValue(QStringLiteral("options/series"), m_chkSeries.isChecked());
    settings.setValue(QStringLiteral("window/size"), size());
    settings.setValue(QStringLiteral("files/lastFolder"), m_lastFolder);
}

}  // namespace barquill::app
