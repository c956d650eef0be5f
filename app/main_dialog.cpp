#include "app/main_dialog.h"

#include <QFontMetrics>
#include <QKeySequence>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <algorithm>
#include <cstring>

#include "app/about_dialog.h"
#include "app/dialog_layout.h"
#include "app/qt_draw_target.h"
#include "display/device_bitmap.h"
#include "encoder/pdf417.h"
#include "encoder/rendering.h"

namespace barquill::app {

namespace res = barquill::resources;

namespace {

// The text the Text box starts with: 21 characters, a web address.
constexpr const char* SAMPLE_TEXT = "https://barquill.org/";
static_assert(std::char_traits<char>::length(SAMPLE_TEXT) == 21);

}  // namespace

CMainDialog::CMainDialog(QWidget* parent)
    : QDialog(parent),
      m_cbLevel(this),
      m_btnBarColor(this),
      m_btnBackground(this),
      m_nMargin(10),
      m_strText(QString::fromUtf8(SAMPLE_TEXT)),
      m_nColumns(0),
      m_hIcon(),
      m_image(image::IMAGE_FORMAT_UNKNOWN),
      m_stStatus(this),
      m_aboutAction(QString::fromUtf8(res::ABOUT_ENTRY), this) {
    barquill::app::loadResources();
    m_hIcon.addFile(QString::fromUtf8(res::ICON_LARGE), QSize(32, 32));
    m_hIcon.addFile(QString::fromUtf8(res::ICON_SMALL), QSize(16, 16));
    OnInitDialog();
}

CMainDialog::~CMainDialog() = default;

bool CMainDialog::OnInitDialog() {
    m_btnBarColor.setText(QString::fromUtf8("Bar color"));
    m_btnBackground.setText(QString::fromUtf8("Background"));
    m_controls = barquill::app::layoutDialog(this, res::MAIN_DIALOG,
                                             {{res::IDC_LEVEL, &m_cbLevel},
                                              {res::IDC_BAR_COLOR, &m_btnBarColor},
                                              {res::IDC_BACKGROUND, &m_btnBackground}});
    m_cbLevel.setEditable(true);
    m_cbLevel.setInsertPolicy(QComboBox::NoInsert);
    for (const char* item : res::LEVEL_ITEMS) m_cbLevel.addItem(QString::fromUtf8(item));
    DoDataExchange(false);

    // Window managers here have no window menu to extend: the about entry
    // goes on the dialog's context menu, and F1 opens it too.
    m_aboutAction.setShortcut(QKeySequence(Qt::Key_F1));
    m_aboutAction.setShortcutContext(Qt::WindowShortcut);
    connect(&m_aboutAction, &QAction::triggered, this,
            [this] { OnSysCommand(res::IDM_ABOUTBOX, 0); });
    addAction(&m_aboutAction);
    setContextMenuPolicy(Qt::ActionsContextMenu);

    setWindowIcon(m_hIcon);
    m_btnBackground.SetColor(0xFFFFFF);
    m_btnBarColor.SetColor(0x000000);
    SetDropDownHeight(m_cbLevel, 5);
    m_cbLevel.setCurrentIndex(0);

    // The status line sits between the symbol area and the option box.
    const barquill::app::DialogUnits units(font());
    const int lineHeight = QFontMetrics(font()).height() + 4;
    m_stStatus.setGeometry(units.toPixelsX(7), SYMBOL_AREA_HEIGHT + 2, units.toPixelsX(433),
                           lineHeight);
    m_stStatus.setTextInteractionFlags(Qt::TextSelectableByMouse);

    connect(qobject_cast<QPushButton*>(GetDlgItem(res::IDC_ENCODE)), &QPushButton::clicked, this,
            &CMainDialog::OnEncode);
    connect(qobject_cast<QPushButton*>(GetDlgItem(res::IDC_SAVE)), &QPushButton::clicked, this,
            &CMainDialog::OnSave);
    connect(qobject_cast<QPushButton*>(GetDlgItem(res::IDCANCEL)), &QPushButton::clicked, this,
            &QDialog::reject);
    GetDlgItem(res::IDC_ENCODE)->setFocus();
    return true;
}

bool CMainDialog::UpdateData(bool saveAndValidate) {
    return DoDataExchange(saveAndValidate);
}

bool CMainDialog::ExchangeInteger(int id, int& value, bool saveAndValidate) {
    auto* edit = qobject_cast<QLineEdit*>(GetDlgItem(id));
    if (!saveAndValidate) {
        edit->setText(QString::number(value));
        return true;
    }
    bool ok = false;
    const int parsed = edit->text().trimmed().toInt(&ok);
    if (!ok) {
        ShowMessage(QMessageBox::Warning, tr("Please enter an integer."));
        edit->setFocus();
        edit->selectAll();
        return false;
    }
    value = parsed;
    return true;
}

bool CMainDialog::DoDataExchange(bool saveAndValidate) {
    if (!ExchangeInteger(res::IDC_MARGIN, m_nMargin, saveAndValidate)) return false;
    auto* text = qobject_cast<QLineEdit*>(GetDlgItem(res::IDC_TEXT));
    if (saveAndValidate)
        m_strText = text->text();
    else
        text->setText(m_strText);
    return ExchangeInteger(res::IDC_COLUMNS, m_nColumns, saveAndValidate);
}

void CMainDialog::SetDropDownHeight(QComboBox& combo, int visibleItems) {
    combo.setMaxVisibleItems(visibleItems);
}

int CMainDialog::SelectedLevel() const {
    // The level is the item the box shows; a typed text that names no item
    // counts as no selection.
    const int index = m_cbLevel.findText(m_cbLevel.currentText(), Qt::MatchExactly);
    return index + 1;
}

void CMainDialog::SetStatus(const QString& text, bool problem) {
    m_stStatus.setText(text);
    QPalette pal = m_stStatus.palette();
    pal.setColor(QPalette::WindowText,
                 problem ? QColor(0xB0, 0x00, 0x20) : palette().color(QPalette::WindowText));
    m_stStatus.setPalette(pal);
}

void CMainDialog::OnEncode() {
    UpdateData(true);

    // The job's text field holds TEXT_CAPACITY bytes with the terminator:
    // a longer text is refused, never cut.
    const QByteArray bytes = m_strText.toUtf8();
    if (bytes.size() > encoder::TEXT_CAPACITY - 1) {
        m_image.Destroy();
        SetStatus(
            tr("The text is %1 bytes long, more than the %2 bytes the encoder takes. Nothing was "
               "encoded.")
                .arg(bytes.size())
                .arg(encoder::TEXT_CAPACITY - 1),
            true);
        update();
        return;
    }

    encoder::SymbolJob job;
    encoder::initSymbolJob(&job);
    job.ecLevel = SelectedLevel();
    job.columns = m_nColumns;
    job.margin = m_nMargin;
    job.spaceColor = m_btnBackground.GetColor();
    job.barColor = m_btnBarColor.GetColor();
    std::memcpy(job.text, bytes.constData(), std::size_t(bytes.size()));

    const barquill::display::DeviceBitmap* bitmap = encoder::renderSymbol(&job);
    const bool imported = m_image.CreateFromHBITMAP(bitmap);
    const bool emptyBitmap = bitmap != nullptr && bitmap->width() == 0;
    encoder::releaseSymbolBitmap();

    QStringList notes;
    bool problem = false;
    if (job.message[0] != '\0') {
        notes << QString::fromUtf8(job.message);
        problem = std::strncmp(job.message, "error", 5) == 0;
    }
    if (bytes.isEmpty() && job.rows > 0) {
        notes << tr("The text is empty: the symbol holds no data, and readers reject it.");
        problem = true;
    }
    if (bitmap == nullptr) {
        notes << tr("The picture would be too large to make; choose a smaller margin.");
        problem = true;
    } else if (emptyBitmap && job.rows > 0) {
        notes << tr("The margin leaves nothing of the symbol to show.");
        problem = true;
    } else if (!imported && !emptyBitmap) {
        notes << QString::fromLocal8Bit(m_image.GetLastError());
        problem = true;
    }
    if (job.rows > 0 && imported)
        notes << tr("%1 rows of %2 data columns, level %3; %4 × %5 pixels.")
                     .arg(job.rows)
                     .arg(job.columns)
                     .arg(job.ecLevel)
                     .arg(m_image.GetWidth())
                     .arg(m_image.GetHeight());
    SetStatus(notes.join(QStringLiteral("  ")), problem);
    update();
}

void CMainDialog::OnSysCommand(unsigned id, long) {
    if ((id & 0xFFF0) == res::IDM_ABOUTBOX) {
        CAboutDialog about(this);
        about.exec();
    }
}

void CMainDialog::paintEvent(QPaintEvent*) {
    OnPaint();
}

void CMainDialog::OnPaint() {
    if (m_image.GetHeight() == 0) return;
    const int w = m_image.GetWidth();
    const int h = m_image.GetHeight();
    barquill::app::QImageDrawTarget area(SYMBOL_AREA_WIDTH, SYMBOL_AREA_HEIGHT,
                                         palette().color(QPalette::Window));
    // Centred in the area; a larger symbol gets a negative offset and shows
    // its middle part.
    m_image.Draw(&area, (SYMBOL_AREA_WIDTH - w) / 2, (SYMBOL_AREA_HEIGHT - h) / 2, -1, -1, nullptr,
                 false);
    QPainter painter(this);
    painter.drawImage(SymbolArea().topLeft(), area.image());
}

QRect CMainDialog::SymbolArea() const {
    return QRect(std::max(0, (width() - SYMBOL_AREA_WIDTH) / 2), 0, SYMBOL_AREA_WIDTH,
                 SYMBOL_AREA_HEIGHT);
}

void CMainDialog::ShowMessage(QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, windowTitle(), text, QMessageBox::Ok, this);
    box.exec();
}

}  // namespace barquill::app
