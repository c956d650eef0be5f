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
#include "resources/resources.h"

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

int errorCorrectionCodewords(int level) {
    return 2 << level;
}

// The screen symbol's module: 2 pixels across, 4 down.
cli::DrawOptions screenDrawing(int margin, std::uint32_t bars, std::uint32_t background) {
    cli::DrawOptions options;
    options.margin = margin;
    options.barColor = bars;
    options.spaceColor = background;
    return options;
}

}  // namespace

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
      m_spModuleMm(this),
      m_spDpi(this),
      m_image(image::IMAGE_FORMAT_UNKNOWN),
      m_symbolView(this),
      m_stStatus(this) {
    loadResources();
    // Named before anything asks for its accessible interface, which is kept.
    m_cbLevel.setObjectName(QString::fromLatin1(NAMED_COMBO_BOX));
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
    grid->addWidget(label(tr("&Resolution"), m_spDpi), 1, 6);
    grid->addWidget(&m_spDpi, 1, 7);
    grid->addWidget(label(tr("&Text"), m_edText), 2, 0);
    grid->addWidget(&m_edText, 2, 1, 1, 6);
    grid->addWidget(load, 2, 7);
    grid->addWidget(&m_chkEscapes, 3, 1, 1, 3);
    grid->addWidget(&m_chkLive, 3, 4, 1, 2);
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
    column->addWidget(&m_stStatus);
    column->addWidget(options);
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
    const QList<QWidget*> order = {&m_edText,     load,         &m_chkEscapes,    &m_cbLevel,
                                   &m_spMargin,   &m_spColumns, &m_btnBackground, &m_btnBarColor,
                                   &m_spModuleMm, &m_spDpi,     &m_chkLive,       encode,
                                   save,          print,        cancel,           &m_symbolView};
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
    for (QAbstractSpinBox* box : std::initializer_list<QAbstractSpinBox*>{&m_spMargin, &m_spColumns,
                                                                          &m_spModuleMm, &m_spDpi})
        connect(box->findChild<QLineEdit*>(), &QLineEdit::textChanged, this,
                &CMainDialog::InputChanged);
    // A value set from code changes the text with the edit fields' signals blocked.
    for (QSpinBox* box : {&m_spMargin, &m_spColumns, &m_spDpi})
        connect(box, &QSpinBox::valueChanged, this, &CMainDialog::InputChanged);
    connect(&m_spModuleMm, &QDoubleSpinBox::valueChanged, this, &CMainDialog::InputChanged);
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
        case BuildProblem::tooManyCodewords:
            return tr("Needs %1 data codewords; a symbol holds at most %2: shorten the text.")
                .arg(locale.toString(p.count), locale.toString(p.limit));
        case BuildProblem::paddingOverflow:
            return tr("Filled up to whole rows of %1 columns, the data exceeds the %2 codewords "
                      "a symbol holds: choose another number of columns or Auto.")
                .arg(p.columns)
                .arg(locale.toString(p.limit));
        case BuildProblem::tooManyRows:
            return tr("Needs %1 rows at %2 columns; a symbol has at most %3: choose more columns "
                      "or Auto.")
                .arg(p.count)
                .arg(p.columns)
                .arg(p.limit);
        case BuildProblem::drawingFailed:
            return tr("The picture could not be made: %1").arg(p.detail);
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
    m_image.Destroy();
    m_job.reset();
    m_stale = false;
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

    auto job = std::make_unique<encoder::SymbolJob>();
    encoder::initSymbolJob(job.get());
    const int level = SelectedLevel();
    job->ecLevel = level;
    job->columns = m_spColumns.value();
    job->margin = m_spMargin.value();
    job->spaceColor = m_btnBackground.GetColor();
    job->barColor = m_btnBarColor.GetColor();
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
    // The fields keep level and columns in the encoder's ranges, so the
    // build's own result tells why a symbol cannot be made.
    const int result = encoder::buildSymbol(job.get(), bytes, std::size_t(data.size()));
    // The length descriptor is a data codeword too.
    const int dataCodewords = encoder::countDataCodewords(bytes, std::size_t(data.size())) + 1;
    if (result == encoder::BUILD_TOO_LONG) {
        BuildProblem p(BuildProblem::tooManyCodewords);
        p.count = dataCodewords;
        p.limit = SYMBOL_CODEWORDS;
        if (dataCodewords <= SYMBOL_CODEWORDS) {
            // Only the padding to whole rows overflows.
            p.kind = BuildProblem::paddingOverflow;
            p.columns = job->columns;
        }
        return Fail(p);
    }
    if (result == encoder::BUILD_TOO_MANY_ROWS) {
        BuildProblem p(BuildProblem::tooManyRows);
        const int total = dataCodewords + errorCorrectionCodewords(job->ecLevel);
        p.columns = job->columns;
        p.count = (total + job->columns - 1) / job->columns;
        p.limit = encoder::MAX_ROWS;
        return Fail(p);
    }

    image::Picture picture(image::IMAGE_FORMAT_UNKNOWN);
    if (!cli::drawSymbol(*job, screenDrawing(job->margin, job->barColor, job->spaceColor),
                         &picture)) {
        BuildProblem p{BuildProblem::drawingFailed};
        p.detail = QString::fromLocal8Bit(picture.GetLastError());
        return Fail(p);
    }
    m_image.Transfer(picture);
    m_job = std::move(job);
    m_dataCodewords = dataCodewords;
    m_failure.clear();
    m_stale = false;
    m_symbolView.setSymbol(pictureImage(m_image));

    const QLocale locale;
    QStringList notes;
    notes << tr("%1 rows × %2 columns, level %3; %4 of %5 data codewords (%6 %); %7 × %8 pixels")
                 .arg(m_job->rows)
                 .arg(m_job->columns)
                 .arg(m_job->ecLevel)
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
    SetStatus(notes.join(QStringLiteral("  ")), !colours.isEmpty());
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

bool CMainDialog::SaveSvg(const QString& path, QString* error) const {
    std::string reason;
    if (cli::writeSymbolFile(
            *m_job, screenDrawing(m_job->margin, m_job->barColor, m_job->spaceColor),
            cli::OutputFormat::svg, QFile::encodeName(path).toStdString(), &reason))
        return true;
    *error = QString::fromLocal8Bit(reason.c_str());
    return false;
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
    settings.setValue(QStringLiteral("window/size"), size());
    settings.setValue(QStringLiteral("files/lastFolder"), m_lastFolder);
}

}  // namespace barquill::app
