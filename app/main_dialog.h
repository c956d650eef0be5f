#pragma once
// The main dialog: text and options, Encode, the symbol painted in the upper
// part of the window, Save. It wires the widgets to the encoder, the renderer
// and the picture; the work itself is theirs.

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QHash>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QString>
#include <cstdint>

#include "app/color_button.h"
#include "image/picture.h"

namespace barquill::app {

class CMainDialog : public QDialog {
    Q_OBJECT
public:
    // The symbol is centred in this area at the top of the window.
    static constexpr int SYMBOL_AREA_WIDTH = 620;
    static constexpr int SYMBOL_AREA_HEIGHT = 313;
    // Where the area lies: centred across the window, which the dialog
    // font's metrics may make wider than the area.
    QRect SymbolArea() const;

    explicit CMainDialog(QWidget* parent = nullptr);
    ~CMainDialog() override;

    // The control with a template id, or null.
    QWidget* GetDlgItem(int id) const { return m_controls.value(id, nullptr); }
    // Moves values between controls and members (true: controls to members).
    // Stops at the first number that does not parse, after telling the user.
    bool UpdateData(bool saveAndValidate = true);
    // What the status line under the symbol says.
    QString GetStatusText() const { return m_stStatus.text(); }

    void OnEncode();
    void OnSave();
    // The about entry (IDM_ABOUTBOX) opens the about box.
    void OnSysCommand(unsigned id, long parameter);

    QComboBox m_cbLevel;
    CColorButton m_btnBarColor;
    CColorButton m_btnBackground;
    int m_nMargin;
    QString m_strText;
    int m_nColumns;
    QIcon m_hIcon;
    image::Picture m_image;

protected:
    virtual bool DoDataExchange(bool saveAndValidate);
    virtual bool OnInitDialog();
    void paintEvent(QPaintEvent* event) override;

    // The save dialog: the chosen path, empty when cancelled.
    virtual QString AskSaveFileName();
    // Tells the user something in a message box.
    virtual void ShowMessage(QMessageBox::Icon icon, const QString& text);

private:
    void OnPaint();
    void SetDropDownHeight(QComboBox& combo, int visibleItems);
    void SetStatus(const QString& text, bool problem);
    bool ExchangeInteger(int id, int& value, bool saveAndValidate);
    int SelectedLevel() const;

    QHash<int, QWidget*> m_controls;
    QLabel m_stStatus;
    QAction m_aboutAction;
};

// The format a file name asks for: the part from its last dot, upper-cased,
// ".GIF" for GIF, ".PNG" for PNG and anything else (no dot included) for BMP.
std::uint32_t ImageFormatForFileName(const QString& fileName);

}  // namespace barquill::app
