// SPDX-License-Identifier: MIT
// The main dialog's window: its widgets and their captions, tab order,
// actions, the settings kept between runs, loading data and the about box.

#include "app/main_dialog.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QMimeData>
#include <QSettings>
#include <QUrl>
#include <QVBoxLayout>

#include "app/about_dialog.h"
#include "app/app_resources.h"
#include "app/colour_check.h"
#include "app/level_box_accessible.h"
#include "resources/resources.h"

namespace barquill::app {

namespace res = barquill::resources;

namespace {

// The text the Text box starts with: 21 characters, a web address.
constexpr const char* SAMPLE_TEXT = "https://barquill.org/";
static_assert(std::char_traits<char>::length(SAMPLE_TEXT) == 21);

constexpr int FIRST_START_LEVEL = 1;
// Module width on paper at first start, and the decimals the field takes
// (0.254 mm is a hundredth of an inch).
constexpr double FIRST_START_MODULE_MM = 0.33;
constexpr int MODULE_MM_DECIMALS = 3;

// More data than a window shows as a series in reasonable time (some
// thousand symbols); the command line takes larger files.
constexpr qint64 MAX_LOADED_BYTES = 1 << 20;

const SettingInfo& setting(std::string_view name) {
    const SettingInfo* info = findSetting(name);
    Q_ASSERT(info != nullptr);
    return *info;
}

void describe(QWidget& widget, const QString& name, const QString& description) {
    widget.setAccessibleName(name);
    widget.setAccessibleDescription(description);
    widget.setToolTip(description);
}

// "PNG, GIF, BMP, SVG, PDF or EPS", from the library's list of formats.
QString formatNames() {
    QStringList names;
    for (const FormatInfo& format : saveFormats())
        names << QString::fromUtf8(format.name.data(), qsizetype(format.name.size())).toUpper();
    const QString last = names.takeLast();
    return CMainDialog::tr("%1 or %2").arg(names.join(QStringLiteral(", ")), last);
}

// The single local file a drop or drag carries, or nothing: folders and
// several files are not data.
std::optional<QString> droppedFile(const QMimeData* mime) {
    const QList<QUrl> urls = mime->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile()) return std::nullopt;
    const QFileInfo file(urls.front().toLocalFile());
    if (!file.isFile() || !file.isReadable()) return std::nullopt;
    return file.absoluteFilePath();
}

}  // namespace

CMainDialog::CMainDialog(QWidget* parent)
    : QDialog(parent),
      m_symbolView(this),
      m_stStatus(this),
      m_warningArea(this),
      m_seriesButton(this),
      m_cbProfile(this),
      m_profileNote(this),
      m_profileForm(this),
      m_edText(this),
      m_loadedNote(this),
      m_btnLoad(this),
      m_chkEscapes(this),
      m_chkLive(this),
      m_cbLevel(this),
      m_btnBackground(this),
      m_btnBarColor(this),
      m_spMargin(this),
      m_spColumns(this),
      m_spModuleMm(this),
      m_spDpi(this),
      m_spRows(this),
      m_edAspect(this),
      m_cbCharset(this),
      m_chkSeries(this),
      m_chkVerify(this),
      m_btnEncode(this),
      m_btnSave(this),
      m_btnPrint(this),
      m_btnCancel(this) {
    loadResources();
    // Marked before anything asks for their accessible interface, which is kept.
    m_cbProfile.setProperty(NAMED_COMBO_BOX, true);
    m_cbLevel.setProperty(NAMED_COMBO_BOX, true);
    m_cbCharset.setProperty(NAMED_COMBO_BOX, true);
    m_hIcon.addFile(QString::fromUtf8(res::ICON_LARGE), QSize(32, 32));
    m_hIcon.addFile(QString::fromUtf8(res::ICON_SMALL), QSize(16, 16));
    BuildUi();
    LoadSettings();
    // What None gives back, should the window open with a profile.
    m_freeOptions = {m_cbLevel.currentIndex(), m_spColumns.value(), m_cbCharset.currentIndex()};
    ConnectInputs();
    ColoursChanged();
    OnEncode();
    // The first field: the text, or the first of a profile's form.
    if (TextShown())
        m_edText.setFocus();
    else if (!m_profileForm.inputs().isEmpty())
        m_profileForm.inputs().front()->setFocus();
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
    DescribeFields();

    auto* column = new QVBoxLayout(this);
    column->addWidget(&m_symbolView, 1);
    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(&m_stStatus, 1);
    statusRow->addWidget(&m_seriesButton, 0, Qt::AlignTop);
    column->addLayout(statusRow);
    column->addWidget(&m_warningArea);
    column->addWidget(BuildOptions());
    column->addWidget(BuildMoreOptions());
    column->addLayout(BuildButtons());

    m_controls = {{res::IDC_TEXT, &m_edText},
                  {res::IDC_LEVEL, &m_cbLevel},
                  {res::IDC_MARGIN, &m_spMargin},
                  {res::IDC_COLUMNS, &m_spColumns},
                  {res::IDC_BACKGROUND, &m_btnBackground},
                  {res::IDC_BAR_COLOR, &m_btnBarColor},
                  {res::IDC_ENCODE, &m_btnEncode},
                  {res::IDC_SAVE, &m_btnSave},
                  {res::IDC_PRINT, &m_btnPrint},
                  {res::IDC_LOAD, &m_btnLoad},
                  {res::IDCANCEL, &m_btnCancel}};
    SetTabOrder();
    BuildActions();
    resize(sizeHint());
}

// Names (for tests and assistive technology), captions, ranges and tool tips.
void CMainDialog::DescribeFields() {
    DescribeProfileFields();
    DescribeDataFields();
    DescribeShapeFields();
    DescribeMoreFields();
}

void CMainDialog::DescribeProfileFields() {
    m_cbProfile.setObjectName(QStringLiteral("profile"));
    m_cbProfile.addItem(tr("None: free text"), QString());
    for (const ProfileInfo& profile : availableProfiles())
        m_cbProfile.addItem(QString::fromStdString(profile.title),
                            QString::fromStdString(profile.name));
    describe(m_cbProfile, tr("Profile"),
             tr("A scheme that laws or industries mandate (a payment slip, a driving licence, a "
                "boarding pass, a tax stamp): its fields make the data and its settings the "
                "symbol; None encodes the text as it is"));
    m_profileNote.setObjectName(QStringLiteral("profileNote"));
    m_profileNote.setWordWrap(true);
    m_profileNote.hide();
    connect(&m_profileForm, &ProfileForm::changed, this, &CMainDialog::InputChanged);
}

void CMainDialog::DescribeDataFields() {
    m_edText.setObjectName(QStringLiteral("text"));
    m_edText.setPlainText(QString::fromUtf8(SAMPLE_TEXT));
    describe(m_edText, tr("Text"),
             tr("The data to encode. Enter makes a new line and Ctrl+Enter encodes; tabs and "
                "control characters show as marks"));
    m_textTip = m_edText.toolTip();
    m_loadedNote.setObjectName(QStringLiteral("loadedNote"));
    m_loadedNote.setWordWrap(true);
    m_loadedNote.hide();
    m_chkEscapes.setObjectName(QStringLiteral("escapes"));
    m_chkEscapes.setText(tr("&Escapes (\\n \\t \\xHH)"));
    describe(m_chkEscapes, tr("Escapes"),
             tr("Read \\n, \\r, \\t, \\\\ and \\xHH in the typed text as line feed, carriage "
                "return, tab, backslash and the byte HH"));
    m_btnLoad.setObjectName(QStringLiteral("load"));
    m_btnLoad.setText(tr("L&oad..."));
    describe(m_btnLoad, tr("Load"), tr("Load the data from a file, bytes as they are (Ctrl+O)"));
    m_chkLive.setObjectName(QStringLiteral("livePreview"));
    m_chkLive.setText(tr("Live &preview"));
    m_chkLive.setChecked(true);
    describe(m_chkLive, tr("Live preview"),
             tr("Show the symbol of every change at once; off, only Encode changes it"));
}

void CMainDialog::DescribeShapeFields() {
    const QString automatic = tr("Auto");
    m_cbLevel.setObjectName(QStringLiteral("level"));
    m_cbLevel.addItem(automatic, autoLevel);
    for (int level = 0; level <= maxLevel; ++level)
        m_cbLevel.addItem(Messages::number(level), level);
    m_cbLevel.setCurrentIndex(m_cbLevel.findData(FIRST_START_LEVEL));
    m_cbLevel.setMaxVisibleItems(5);
    describe(m_cbLevel, tr("Level"),
             tr("Error-correction level: %1 to choose it by the data's length. A higher level "
                "survives more damage but makes the symbol larger")
                 .arg(Messages::wholeRange(0, maxLevel, automatic)));
    m_btnBackground.setObjectName(QStringLiteral("background"));
    m_btnBackground.setText(tr("Background"));
    m_btnBackground.SetColor(toColorRef(white));
    m_btnBackground.SetDialogTitle(tr("Background color"));
    m_btnBackground.setToolTip(tr("Color of the spaces and the margin; click to choose"));
    m_btnBackground.setAccessibleDescription(m_btnBackground.toolTip());
    m_btnBarColor.setObjectName(QStringLiteral("barColor"));
    m_btnBarColor.setText(tr("Bar color"));
    m_btnBarColor.SetColor(toColorRef(black));
    m_btnBarColor.SetDialogTitle(tr("Bar color"));
    m_btnBarColor.setToolTip(tr("Color of the bars; click to choose"));
    m_btnBarColor.setAccessibleDescription(m_btnBarColor.toolTip());

    const SettingInfo& margin = setting("margin");
    m_spMargin.setObjectName(QStringLiteral("margin"));
    m_spMargin.setAccepted(int(margin.minimum), int(margin.maximum));
    m_spMargin.setValue(defaultQuietZone);
    m_spMargin.setSuffix(tr(" px"));
    describe(m_spMargin, tr("Margin"),
             tr("Quiet zone on every side: %1 pixels, printer dots with a Resolution")
                 .arg(Messages::wholeRange(margin.minimum, margin.maximum)));
    const SettingInfo& columns = setting("columns");
    m_spColumns.setObjectName(QStringLiteral("columns"));
    m_spColumns.setAccepted(int(columns.minimum), int(columns.maximum), automatic);
    m_spColumns.setValue(0);
    describe(m_spColumns, tr("Columns"),
             tr("Data columns, the row indicators not counted: %1 to choose them")
                 .arg(Messages::wholeRange(columns.minimum, columns.maximum, automatic)));
    m_spModuleMm.setObjectName(QStringLiteral("moduleWidth"));
    m_spModuleMm.setAccepted(0.0, maxModuleMm, MODULE_MM_DECIMALS);
    m_spModuleMm.setSingleStep(0.05);
    m_spModuleMm.setValue(FIRST_START_MODULE_MM);
    m_spModuleMm.setSuffix(tr(" mm"));
    describe(m_spModuleMm, tr("Module width"),
             tr("Width of one module on paper: %1. Print, PDF and EPS draw modules this wide, "
                "and with a Resolution every file does, in whole printer dots")
                 .arg(Messages::moduleWidthRange()));
    const SettingInfo& dpi = setting("dpi");
    m_spDpi.setObjectName(QStringLiteral("resolution"));
    m_spDpi.setAccepted(int(dpi.minimum), int(dpi.maximum), tr("Printer's"));
    m_spDpi.setSuffix(tr(" dpi"));
    m_spDpi.setValue(0);
    describe(m_spDpi, tr("Resolution"),
             tr("Printer resolution in dots per inch: %1 own. With a resolution Save writes "
                "modules of whole dots and records it in the file, and the status line gives "
                "the size on paper")
                 .arg(Messages::wholeRange(dpi.minimum, dpi.maximum, tr("Printer's"))));
}

void CMainDialog::DescribeMoreFields() {
    const QString automatic = tr("Auto");
    const SettingInfo& rows = setting("rows");
    m_spRows.setObjectName(QStringLiteral("rows"));
    m_spRows.setAccepted(int(rows.minimum), int(rows.maximum), automatic);
    m_spRows.setValue(0);
    describe(m_spRows, tr("Rows"),
             tr("Rows: %1; with Columns set too, a symbol of exactly that size")
                 .arg(Messages::wholeRange(rows.minimum, rows.maximum, automatic)));
    m_edAspect.setObjectName(QStringLiteral("aspect"));
    m_edAspect.setPlaceholderText(tr("None"));
    m_edAspect.setClearButtonEnabled(true);
    describe(m_edAspect, tr("Aspect ratio"),
             tr("Width to height of the printed symbol: %1. The columns are chosen to come "
                "closest (Rows and Columns on Auto)")
                 .arg(Messages::aspectValues()));
    m_cbCharset.setObjectName(QStringLiteral("charset"));
    m_cbCharset.addItem(automatic, QString());
    m_cbCharset.addItem(tr("None (bytes as typed)"),
                        QString::fromUtf8(rawBytes.data(), qsizetype(rawBytes.size())));
    for (const CharsetInfo& charset : charsets()) {
        const QString name = QString::fromUtf8(charset.name.data(), qsizetype(charset.name.size()));
        m_cbCharset.addItem(name, name);
    }
    describe(m_cbCharset, tr("Character set"),
             tr("How the text is encoded: Auto keeps ASCII as it is and marks other text as "
                "UTF-8; None takes the bytes as typed; a named set converts the text and marks "
                "it with its ECI number"));
    m_chkSeries.setObjectName(QStringLiteral("split"));
    m_chkSeries.setText(tr("&Split data too large for one symbol into a Macro PDF417 series"));
    describe(m_chkSeries, tr("Macro PDF417 series"),
             tr("Data too large for one symbol becomes numbered symbols that readers join; Save "
                "writes one file per symbol"));
    m_chkVerify.setObjectName(QStringLiteral("verify"));
    m_chkVerify.setText(tr("&Verify: read every symbol back"));
    m_chkVerify.setChecked(true);
    describe(m_chkVerify, tr("Verify"),
             tr("Read each symbol back with an independent reader and mark it Verified in the "
                "status line when it holds exactly the data"));

    m_seriesButton.setObjectName(QStringLiteral("splitOffer"));
    m_seriesButton.hide();
    describe(m_seriesButton, tr("Split into a series"),
             tr("Split the data into a Macro PDF417 series"));
    m_symbolView.setObjectName(QStringLiteral("symbol"));
    m_symbolView.setAccessibleName(tr("Symbol"));
    m_symbolView.setToolTip(tr("The symbol; right-click or press the menu key to copy it"));
    m_stStatus.setObjectName(QStringLiteral("status"));
    m_stStatus.setAccessibleName(tr("Status"));
    m_stStatus.setWordWrap(true);
    m_stStatus.setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_stStatus.setMinimumHeight(2 * fontMetrics().height());
    m_stStatus.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_warningArea.setObjectName(QStringLiteral("warnings"));
    auto* warnings = new QGridLayout(&m_warningArea);
    warnings->setContentsMargins(0, 0, 0, 0);
    warnings->setColumnStretch(1, 1);
    m_warningArea.hide();
}

QLabel* CMainDialog::AddFieldError(QGridLayout* grid, QWidget& field, int row, int column,
                                   int span) {
    auto* error = new QLabel(this);
    error->setObjectName(field.objectName() + QStringLiteral("Error"));
    error->setWordWrap(true);
    error->hide();
    grid->addWidget(error, row, column, 1, span);
    m_fieldErrors.insert(&field, error);
    return error;
}

QWidget* CMainDialog::BuildOptions() {
    auto label = [this](const QString& caption, QWidget& buddy) {
        auto* l = new QLabel(caption, this);
        l->setBuddy(&buddy);
        return l;
    };
    auto* options = new QGroupBox(this);
    auto* grid = new QGridLayout(options);
    grid->addWidget(label(tr("Pro&file"), m_cbProfile), 0, 0);
    grid->addWidget(&m_cbProfile, 0, 1, 1, 3);
    grid->addWidget(&m_profileNote, 0, 4, 1, 4);
    grid->addWidget(&m_profileForm, 1, 0, 1, 8);
    m_textCaption = label(tr("&Text"), m_edText);
    grid->addWidget(m_textCaption, 2, 0, Qt::AlignTop);
    grid->addWidget(&m_edText, 2, 1, 1, 6);
    grid->addWidget(&m_btnLoad, 2, 7, Qt::AlignTop);
    grid->addWidget(&m_loadedNote, 3, 1, 1, 7);
    AddFieldError(grid, m_edText, 4, 1, 7);
    grid->addWidget(&m_chkEscapes, 5, 1, 1, 3);
    grid->addWidget(&m_chkLive, 5, 4, 1, 2);
    grid->addWidget(label(tr("&Level"), m_cbLevel), 6, 0);
    grid->addWidget(&m_cbLevel, 6, 1);
    grid->addWidget(&m_btnBackground, 6, 2, 1, 2);
    grid->addWidget(&m_btnBarColor, 6, 4, 1, 2);
    AddFieldError(grid, m_cbLevel, 7, 0, 8);
    grid->addWidget(label(tr("&Margin"), m_spMargin), 8, 0);
    grid->addWidget(&m_spMargin, 8, 1);
    grid->addWidget(label(tr("&Columns"), m_spColumns), 8, 2);
    grid->addWidget(&m_spColumns, 8, 3);
    grid->addWidget(label(tr("Module &width"), m_spModuleMm), 8, 4);
    grid->addWidget(&m_spModuleMm, 8, 5);
    grid->addWidget(label(tr("Resolutio&n"), m_spDpi), 8, 6);
    grid->addWidget(&m_spDpi, 8, 7);
    AddFieldError(grid, m_spMargin, 9, 0);
    AddFieldError(grid, m_spColumns, 9, 2);
    AddFieldError(grid, m_spModuleMm, 9, 4);
    AddFieldError(grid, m_spDpi, 9, 6);
    for (int c : {1, 3, 5, 7}) grid->setColumnStretch(c, 1);
    return options;
}

QWidget* CMainDialog::BuildMoreOptions() {
    auto label = [this](const QString& caption, QWidget& buddy) {
        auto* l = new QLabel(caption, this);
        l->setBuddy(&buddy);
        return l;
    };
    auto* more = new QGroupBox(tr("More options"), this);
    auto* grid = new QGridLayout(more);
    grid->addWidget(label(tr("&Rows"), m_spRows), 0, 0);
    grid->addWidget(&m_spRows, 0, 1);
    grid->addWidget(label(tr("&Aspect ratio"), m_edAspect), 0, 2);
    grid->addWidget(&m_edAspect, 0, 3);
    grid->addWidget(label(tr("C&haracter set"), m_cbCharset), 0, 4);
    grid->addWidget(&m_cbCharset, 0, 5);
    AddFieldError(grid, m_spRows, 1, 0);
    AddFieldError(grid, m_edAspect, 1, 2);
    AddFieldError(grid, m_cbCharset, 1, 4);
    grid->addWidget(&m_chkSeries, 2, 0, 1, 4);
    grid->addWidget(&m_chkVerify, 2, 4, 1, 2);
    for (int c : {1, 3, 5}) grid->setColumnStretch(c, 1);
    return more;
}

QLayout* CMainDialog::BuildButtons() {
    m_btnEncode.setObjectName(QStringLiteral("encode"));
    m_btnEncode.setText(tr("Encode"));
    m_btnEncode.setDefault(true);
    describe(m_btnEncode, tr("Encode"),
             tr("Make the symbol of the text and options (Enter, or Ctrl+Enter in the text)"));
    m_btnSave.setObjectName(QStringLiteral("save"));
    m_btnSave.setText(tr("Save"));
    describe(m_btnSave, tr("Save"), tr("Save the symbol as %1 (Ctrl+S)").arg(formatNames()));
    m_btnPrint.setObjectName(QStringLiteral("print"));
    m_btnPrint.setText(tr("Print..."));
    describe(m_btnPrint, tr("Print"),
             tr("Print the symbol at its true size, with a preview (Ctrl+P)"));
    m_btnCancel.setObjectName(QStringLiteral("cancel"));
    m_btnCancel.setText(tr("Cancel"));
    describe(m_btnCancel, tr("Cancel"),
             tr("Close Barquill; the text and options come back next time (Esc)"));
    connect(&m_btnEncode, &QPushButton::clicked, this, &CMainDialog::OnEncode);
    connect(&m_btnSave, &QPushButton::clicked, this, &CMainDialog::OnSave);
    connect(&m_btnPrint, &QPushButton::clicked, this, &CMainDialog::OnPrint);
    connect(&m_btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(&m_btnLoad, &QPushButton::clicked, this, &CMainDialog::OnLoad);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(&m_btnEncode);
    buttons->addWidget(&m_btnSave);
    buttons->addWidget(&m_btnPrint);
    buttons->addStretch(1);
    buttons->addWidget(&m_btnCancel);
    return buttons;
}

// The visual order, top to bottom and left to right: the symbol and the
// series offer beside the status line, the profile and its fields, the
// text, the options, the buttons.
void CMainDialog::SetTabOrder() {
    QList<QWidget*> order = {&m_symbolView, &m_seriesButton, &m_cbProfile};
    order << m_profileForm.inputs();
    order << QList<QWidget*>{&m_edText,    &m_btnLoad,       &m_chkEscapes,  &m_chkLive,
                             &m_cbLevel,   &m_btnBackground, &m_btnBarColor, &m_spMargin,
                             &m_spColumns, &m_spModuleMm,    &m_spDpi,       &m_spRows,
                             &m_edAspect,  &m_cbCharset,     &m_chkSeries,   &m_chkVerify,
                             &m_btnEncode, &m_btnSave,       &m_btnPrint,    &m_btnCancel};
    for (int i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

void CMainDialog::BuildActions() {
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
    AddAction(m_explainAction, tr("E&xplain..."), QKeySequence(Qt::CTRL | Qt::Key_E),
              &CMainDialog::OnExplain);
    m_aboutAction.setShortcutContext(Qt::WindowShortcut);
    addAction(&m_aboutAction);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    m_symbolView.addActions({&m_copyAction, &m_copySvgAction, &m_explainAction, &m_commandAction,
                             &m_saveAction, &m_printAction, &m_aboutAction});
    m_symbolView.setContextMenuPolicy(Qt::ActionsContextMenu);
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
    connect(&m_cbProfile, &QComboBox::currentIndexChanged, this, &CMainDialog::ProfileChanged);
    connect(&m_edText, &QPlainTextEdit::textChanged, this, &CMainDialog::InputChanged);
    connect(&m_edText, &DataEdit::encodeRequested, this, &CMainDialog::OnEncode);
    connect(&m_edText, &DataEdit::loadedStateChanged, this, &CMainDialog::LoadedStateChanged);
    connect(&m_chkEscapes, &QCheckBox::toggled, this, &CMainDialog::InputChanged);
    connect(&m_cbLevel, &QComboBox::currentIndexChanged, this, &CMainDialog::InputChanged);
    // The boxes' own signals stay quiet while the text is out of range;
    // their edit fields tell every change.
    for (QAbstractSpinBox* box : std::initializer_list<QAbstractSpinBox*>{
             &m_spMargin, &m_spColumns, &m_spModuleMm, &m_spDpi, &m_spRows})
        connect(box->findChild<QLineEdit*>(), &QLineEdit::textChanged, this,
                &CMainDialog::InputChanged);
    // A value set from code changes the text with the edit fields' signals blocked.
    for (QSpinBox* box : {static_cast<QSpinBox*>(&m_spMargin), static_cast<QSpinBox*>(&m_spColumns),
                          static_cast<QSpinBox*>(&m_spDpi), static_cast<QSpinBox*>(&m_spRows)})
        connect(box, &QSpinBox::valueChanged, this, &CMainDialog::InputChanged);
    connect(&m_spModuleMm, &QDoubleSpinBox::valueChanged, this, &CMainDialog::InputChanged);
    connect(&m_edAspect, &QLineEdit::textChanged, this, &CMainDialog::InputChanged);
    connect(&m_cbCharset, &QComboBox::currentIndexChanged, this, &CMainDialog::InputChanged);
    connect(&m_chkSeries, &QCheckBox::toggled, this, &CMainDialog::InputChanged);
    connect(&m_seriesButton, &QPushButton::clicked, this, [this] { m_chkSeries.setChecked(true); });
    // Turning the preview or the read-back on or off changes no symbol.
    connect(&m_chkLive, &QCheckBox::toggled, this, [this](bool live) {
        if (live && (m_stale || !m_label)) OnEncode();
    });
    connect(&m_chkVerify, &QCheckBox::toggled, this, [this](bool verify) {
        m_verifyMark.clear();
        m_verifyProblem = false;
        m_readBackFailed = false;
        if (verify && m_label) m_verifyTimer.start();
        UpdateStatus();
    });
    m_verifyTimer.setSingleShot(true);
    m_verifyTimer.setInterval(150);
    connect(&m_verifyTimer, &QTimer::timeout, this, &CMainDialog::Verify);
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

void CMainDialog::LoadedStateChanged() {
    const bool loaded = m_edText.isLoaded();
    // Loaded bytes are encoded as they are: escapes do not apply to them,
    // and the setting stays as it was for the next typed text.
    m_chkEscapes.setEnabled(!loaded);
    m_loadedNote.setVisible(loaded && TextShown());
    if (!loaded) {
        m_edText.setAccessibleDescription(m_edText.toolTip());
        return;
    }
    const QString note = tr("Loaded from %1: %2 bytes, encoded as they are. Typing replaces them.")
                             .arg(QFileInfo(m_edText.loadedName()).fileName(),
                                  Messages::number(long(m_edText.loadedBytes().size())));
    m_loadedNote.setText(note);
    m_edText.setAccessibleDescription(note);
}

int CMainDialog::SelectedLevel() const {
    return m_cbLevel.currentData().toInt();
}

void CMainDialog::OnSysCommand(unsigned id, long) {
    if ((id & 0xFFF0) == res::IDM_ABOUTBOX) {
        CAboutDialog about(this);
        RunDialog(about);
    }
}

void CMainDialog::OnLoad() {
    const QString path = AskOpenFileName();
    if (!path.isEmpty()) LoadFile(path);
}

bool CMainDialog::LoadFile(const QString& path) {
    const QFileInfo info(path);
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        ShowMessage(QMessageBox::Warning,
                    tr("Could not read %1:\n%2")
                        .arg(QDir::toNativeSeparators(path),
                             info.isDir() ? tr("It is a folder.") : file.errorString()));
        return false;
    }
    // One byte more than is taken tells a file that is too long without
    // reading all of a large one.
    const QByteArray bytes = file.read(MAX_LOADED_BYTES + 1);
    if (bytes.size() > MAX_LOADED_BYTES) {
        ShowMessage(QMessageBox::Warning,
                    tr("%1 is longer than the %2 bytes the window takes; nothing was loaded.")
                        .arg(QDir::toNativeSeparators(path), Messages::number(MAX_LOADED_BYTES)));
        return false;
    }
    m_lastFolder = info.absolutePath();
    m_edText.setLoaded(bytes, info.absoluteFilePath());
    return true;
}

void CMainDialog::dragEnterEvent(QDragEnterEvent* event) {
    if (droppedFile(event->mimeData())) event->acceptProposedAction();
}

void CMainDialog::dropEvent(QDropEvent* event) {
    if (const auto path = droppedFile(event->mimeData()); path && LoadFile(*path))
        event->acceptProposedAction();
}

QString CMainDialog::AskOpenFileName() {
    QFileDialog dialog(this, tr("Load data"), StartFolder(m_lastFolder));
    dialog.setFileMode(QFileDialog::ExistingFile);
    SetupFileDialog(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

void CMainDialog::RunDialog(QDialog& dialog) {
    dialog.exec();
}

void CMainDialog::ShowMessage(QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, windowTitle(), text, QMessageBox::Ok, this);
    box.exec();
}

bool CMainDialog::Confirm(const QString& question) {
    QMessageBox box(QMessageBox::Question, windowTitle(), question,
                    QMessageBox::Yes | QMessageBox::No, this);
    // Writing or printing what may not scan is never the answer to a
    // stray Enter.
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

// Esc, Cancel and the close box end the program as in the original; the
// text, loaded data and options come back at the next start, so nothing is
// lost and no question stands between the user and closing.
void CMainDialog::done(int result) {
    SaveSettings();
    QDialog::done(result);
}

void CMainDialog::LoadSettings() {
    QSettings settings;
    if (!settings.contains(QStringLiteral("options/level"))) return;
    const int levelIndex = m_cbLevel.findData(settings.value(QStringLiteral("options/level")));
    if (levelIndex >= 0) m_cbLevel.setCurrentIndex(levelIndex);
    // Out-of-range values from an edited file show their range errors.
    m_spMargin.setValue(settings.value(QStringLiteral("options/margin"), defaultQuietZone).toInt());
    m_spColumns.setValue(settings.value(QStringLiteral("options/columns"), 0).toInt());
    m_btnBackground.SetColor(
        settings.value(QStringLiteral("options/background"), toColorRef(white)).toUInt() &
        0xFFFFFF);
    m_btnBarColor.SetColor(settings.value(QStringLiteral("options/bars"), 0).toUInt() & 0xFFFFFF);
    m_chkEscapes.setChecked(settings.value(QStringLiteral("options/escapes"), false).toBool());
    m_chkLive.setChecked(settings.value(QStringLiteral("options/livePreview"), true).toBool());
    m_chkVerify.setChecked(settings.value(QStringLiteral("options/verify"), true).toBool());
    m_spModuleMm.setValue(
        settings.value(QStringLiteral("print/moduleMm"), FIRST_START_MODULE_MM).toDouble());
    m_spDpi.setValue(settings.value(QStringLiteral("print/dpi"), 0).toInt());
    m_spRows.setValue(settings.value(QStringLiteral("options/rows"), 0).toInt());
    m_edAspect.setText(settings.value(QStringLiteral("options/aspectRatio")).toString());
    const int charset =
        m_cbCharset.findData(settings.value(QStringLiteral("options/charset")).toString());
    if (charset >= 0) m_cbCharset.setCurrentIndex(charset);
    m_chkSeries.setChecked(settings.value(QStringLiteral("options/series"), false).toBool());
    if (settings.value(QStringLiteral("data/loaded"), false).toBool())
        m_edText.setLoaded(settings.value(QStringLiteral("data/bytes")).toByteArray(),
                           settings.value(QStringLiteral("data/loadedName")).toString());
    else if (settings.contains(QStringLiteral("data/text")))
        m_edText.setText(settings.value(QStringLiteral("data/text")).toString());
    LoadedStateChanged();
    const int profile =
        m_cbProfile.findData(settings.value(QStringLiteral("profile/name")).toString());
    if (profile > 0) {
        m_cbProfile.setCurrentIndex(profile);
        ApplyProfile();
    }
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
    settings.setValue(QStringLiteral("options/verify"), m_chkVerify.isChecked());
    settings.setValue(QStringLiteral("print/moduleMm"), m_spModuleMm.value());
    settings.setValue(QStringLiteral("print/dpi"), m_spDpi.value());
    settings.setValue(QStringLiteral("options/rows"), m_spRows.value());
    settings.setValue(QStringLiteral("options/aspectRatio"), m_edAspect.text());
    settings.setValue(QStringLiteral("options/charset"), m_cbCharset.currentData().toString());
    settings.setValue(QStringLiteral("options/series"), m_chkSeries.isChecked());
    settings.setValue(QStringLiteral("data/loaded"), m_edText.isLoaded());
    settings.setValue(QStringLiteral("data/bytes"), m_edText.loadedBytes());
    settings.setValue(QStringLiteral("data/loadedName"), m_edText.loadedName());
    settings.setValue(QStringLiteral("data/text"),
                      m_edText.isLoaded() ? QString() : m_edText.text());
    settings.setValue(QStringLiteral("profile/name"), m_cbProfile.currentData().toString());
    QHash<QString, QHash<QString, QString>> typed = m_profileValues;
    if (m_profile) typed.insert(QString::fromStdString(m_profile->name), m_profileForm.values());
    for (auto profile = typed.cbegin(); profile != typed.cend(); ++profile) {
        settings.beginGroup(QStringLiteral("profiles/") + profile.key());
        for (auto field = profile->cbegin(); field != profile->cend(); ++field)
            settings.setValue(field.key(), field.value());
        settings.endGroup();
    }
    settings.setValue(QStringLiteral("window/size"), size());
    settings.setValue(QStringLiteral("files/lastFolder"), m_lastFolder);
}

}  // namespace barquill::app
