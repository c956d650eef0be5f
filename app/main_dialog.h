#pragma once
// The main dialog: the symbol area on top (it grows with the window), the
// status line, the options, and the buttons. It wires the widgets to the
// encoder, the drawing of the symbol and the image writers; the work itself
// is theirs.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QHash>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "app/color_button.h"
#include "app/symbol_view.h"
#include "cli/output_format.h"
#include "cli/symbol_writer.h"
#include "encoder/pdf417.h"
#include "encoder/symbol_options.h"
#include "image/picture.h"

class QPrinter;

namespace barquill::app {

// Why the fields give no symbol; the message is made from it in one place.
struct BuildProblem {
    enum Kind {
        none,
        fieldOutOfRange,  // `field` must be `low` to `high`
        badEscape,        // `detail` says which escape
        emptyText,
        textTooLong,     // `count` bytes, at most `limit`
        charsetProblem,  // `field` the set, `limit` the ConversionError, `detail`
                         // the character at `count`
        encoderRefused,  // `report` says why; `count` symbols of a series would hold it
        drawingFailed,   // `detail` is the image library's reason
    };
    BuildProblem(Kind k = none) : kind(k) {}
    Kind kind;
    QString field;
    int low = 0, high = 0;
    int count = 0, limit = 0, columns = 0;
    QString detail;
    encoder::SymbolReport report;
};

// How the symbol came out on paper.
struct PrintLayout {
    bool ok = false;
    int dpi = 0;
    int moduleDots = 0;  // printer dots per module, across
    double widthMm = 0, heightMm = 0;
    QString error;
};

class CMainDialog : public QDialog {
    Q_OBJECT
public:
    explicit CMainDialog(QWidget* parent = nullptr);
    ~CMainDialog() override;

    // The control with a resource id (text, margin, columns, buttons), or null.
    QWidget* GetDlgItem(int id) const { return m_controls.value(id, nullptr); }
    // What the status line under the symbol says.
    QString GetStatusText() const { return m_stStatus.text(); }
    SymbolView& symbolView() { return m_symbolView; }
    // The level chosen: -1 automatic, else 0 to 8.
    int SelectedLevel() const;

    void OnEncode();
    void OnSave();
    void OnPrint();
    void OnCopy();
    void OnCopySvgText();
    void OnLoad();
    void OnCommandLine();
    // The about entry (IDM_ABOUTBOX) opens the about box.
    void OnSysCommand(unsigned id, long parameter);

    // Loads data from a file, bytes as they are; false (and a message) when
    // it cannot be read or is longer than the encoder takes.
    bool LoadFile(const QString& path);
    // Paints the last symbol on a printer at its true size.
    PrintLayout PrintSymbol(QPrinter* printer);
    // Reads the symbols shown back now rather than when typing pauses, and
    // puts the mark in the status line.
    void FinishVerification();
    // The command that writes the same file as Save.
    QString CommandLineText() const;
    // The SVG document of the symbol shown; empty without one.
    QByteArray SvgText() const;
    // How many symbols are shown: 0, 1, or those of a series.
    int SymbolCount() const;
    const encoder::SymbolJob& SymbolJobAt(int index) const;
    image::Picture& PictureAt(int index);
    // The symbol as the window shows it at natural size.
    QImage SymbolImage() const { return m_symbolView.symbol(); }

    QComboBox m_cbLevel;
    CColorButton m_btnBarColor;
    CColorButton m_btnBackground;
    QSpinBox m_spMargin;
    QSpinBox m_spColumns;
    QLineEdit m_edText;
    QCheckBox m_chkEscapes;
    QCheckBox m_chkLive;
    QSpinBox m_spRows;
    QDoubleSpinBox m_spAspect;
    QComboBox m_cbCharset;
    QCheckBox m_chkSeries;
    QCheckBox m_chkVerify;
    QPushButton m_seriesButton;
    QDoubleSpinBox m_spModuleMm;
    QSpinBox m_spDpi;
    QIcon m_hIcon;
    image::Picture m_image;  // the symbol shown, or invalid when there is none

    // What a save dialog answered: the path and the type chosen in it.
    struct SaveTarget {
        QString path;  // empty when cancelled
        QString filter;
    };

protected:
    void done(int result) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    // Modal questions, replaced in tests.
    virtual SaveTarget AskSaveFileName();
    virtual QString AskOpenFileName();
    virtual void ShowMessage(QMessageBox::Icon icon, const QString& text);
    virtual bool Confirm(const QString& question);
    virtual void RunPrintPreview();
    virtual void RunDialog(QDialog& dialog);

private:
    void BuildUi();
    void ConnectInputs();
    void AddAction(QAction& action, const QString& text, const QKeySequence& key,
                   void (CMainDialog::*slot)());
    void InputChanged();
    void ColoursChanged();
    void SetStatus(const QString& text, bool problem);
    void Fail(const BuildProblem& problem);
    QString ProblemText(const BuildProblem& problem) const;
    QString ReportText(const encoder::SymbolReport& report, int seriesOffered) const;
    void ShowSymbols();
    void Verify();
    // Reads every symbol shown back with an independent reader; the status
    // line's mark, and whether it is a problem.
    QString VerifySymbols(const QByteArray& data, int eci, bool* problem);
    QString ColourWarning() const;
    void LoadSettings();
    void SaveSettings() const;
    bool SaveOne(int index, const QString& path, cli::OutputFormat format, QString* reason);

    QHash<int, QWidget*> m_controls;
    SymbolView m_symbolView;
    QLabel m_stStatus;
    QAction m_aboutAction, m_saveAction, m_printAction, m_copyAction, m_copySvgAction, m_loadAction,
        m_commandAction;
    std::unique_ptr<encoder::SymbolJob> m_job;  // the built symbol shown (a series' first)
    // The other symbols of a Macro PDF417 series, with their pictures.
    std::vector<std::unique_ptr<encoder::SymbolJob>> m_moreJobs;
    std::vector<std::unique_ptr<image::Picture>> m_morePictures;
    int m_offerSeries = 0;  // symbols of a series that would hold the data, when offered
    // What each symbol shown holds, for reading it back: its slice of the
    // data and, in a series, its control block.
    std::vector<std::pair<std::size_t, std::size_t>> m_slices;
    std::vector<std::optional<encoder::MacroControl>> m_macroControls;
    // Reading back costs more than building: it runs once typing pauses,
    // so keystrokes stay quick.
    QTimer m_verifyTimer;
    QByteArray m_verifyData;
    int m_verifyEci = -1;
    QStringList m_statusNotes;
    bool m_statusProblem = false;
    QString m_failure;     // why there is no symbol, as the status line said
    bool m_stale = false;  // the fields changed since the symbol shown was made
    QString m_lastFolder;
    QString m_lastSavePath;
};

// How the window draws a symbol: modules of 2 × 4 pixels inside the margin.
cli::DrawOptions screenDrawing(int margin, std::uint32_t bars, std::uint32_t background);

// The file name with the chosen type's extension added when it has none.
QString withChosenExtension(const QString& path, const QString& filter);

}  // namespace barquill::app
