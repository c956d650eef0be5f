// SPDX-License-Identifier: MIT
#pragma once
// The main dialog: the symbol area on top (it grows with the window), the
// status line, the options and the buttons. It wires the widgets to the
// library, which makes the symbols, draws them, reads them back and writes
// them; the dialog words what happened.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QHash>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <optional>

#include "app/color_button.h"
#include "app/data_edit.h"
#include "app/messages.h"
#include "app/number_box.h"
#include "app/profile_form.h"
#include "app/symbol_view.h"
#include "barquill/explain.hpp"
#include "barquill/label.hpp"
#include "barquill/profiles.hpp"
#include "barquill/text.hpp"

class QFileDialog;
class QGridLayout;
class QPrinter;

namespace barquill::app {

// Where Print put the symbols and at what size.
struct PrintLayout {
    bool ok = false;
    int dpi = 0;
    int moduleDots = 0;                // printer dots per module, across
    double widthMm = 0, heightMm = 0;  // one symbol with its quiet zone
    int pages = 0;
    struct Placed {
        int page = 0;  // 0-based
        QRect rect;    // in printer dots on its page
    };
    QList<Placed> symbols;
    QString error;
};

// What Save found in the way of a series.
struct SeriesClash {
    QStringList replaced;  // files of the new series that exist already
    QStringList older;     // the rest of an older, longer series of the same name
};
enum class SeriesAnswer { cancel, replace, replaceAndRemoveOlder };

class CMainDialog : public QDialog {
    Q_OBJECT
public:
    explicit CMainDialog(QWidget* parent = nullptr);
    ~CMainDialog() override;

    // The control with a resource id (text, margin, columns, buttons), or null.
    QWidget* GetDlgItem(int id) const { return m_controls.value(id, nullptr); }
    // What the status line under the symbol says.
    QString GetStatusText() const { return m_stStatus.text(); }
    // The warnings under it, a sentence each.
    const QStringList& WarningTexts() const { return m_warnings; }
    // What screen readers hear of both: the status line, then the warnings.
    QString StatusDescription() const;
    SymbolView& symbolView() { return m_symbolView; }
    // The level chosen: autoLevel, else 0 to 8.
    int SelectedLevel() const;
    // The application profile chosen, or none: free text.
    const std::optional<ProfileInfo>& SelectedProfile() const { return m_profile; }

    void OnEncode();
    void OnSave();
    void OnPrint();
    void OnCopy();
    void OnCopySvgText();
    void OnLoad();
    void OnCommandLine();
    // How the data became the symbols shown: their segments and codewords.
    void OnExplain();
    // The about entry (IDM_ABOUTBOX) opens the about box.
    void OnSysCommand(unsigned id, long parameter);

    // Loads data from a file, kept as its bytes; false (and a message) when
    // it cannot be read.
    bool LoadFile(const QString& path);
    // Paints the symbols on a printer at their true size: whole symbols per
    // page, a series with "n of N" under each.
    PrintLayout PrintSymbol(QPrinter* printer);
    // Reads the symbols shown back now rather than when typing pauses, and
    // puts the mark in the status line.
    void FinishVerification();
    // True, after saying why, when the symbols shown did not read back:
    // such symbols are not saved, copied or printed. `refused` says which.
    bool RefuseUnverified(const QString& refused);
    // The command that writes the same file as Save, to label.png.
    QString CommandLineText() const;
    // The SVG drawing of the symbols shown (a series one below the other);
    // empty without one.
    QByteArray SvgText() const;
    // How many symbols are shown: 0, 1, or those of a series.
    int SymbolCount() const;
    // The symbols shown and how they are drawn; null when there are none.
    const Label* CurrentLabel() const { return m_label ? &*m_label : nullptr; }
    // One symbol's picture, as saved.
    QImage SymbolImageAt(int index) const;
    // The symbols as copied: one picture, a series one below the other.
    QImage SymbolImage() const;
    // The symbol shown was made from other fields than those shown now.
    bool IsStale() const { return m_stale; }

    // What a save dialog answered: the path and the type chosen in it.
    struct SaveTarget {
        QString path;  // empty when cancelled
        std::optional<Format> format;
    };
    // What the page dialog of a PDF or EPS answered.
    struct PageAnswer {
        bool cancelled = false;
        std::optional<Page> page;  // none: the symbol's own size
    };

    // The folder a file dialog opens in: the remembered one, unless it is
    // gone or a virtual file system (/proc, /sys, /dev), where a dialog
    // could hang reading device files; then the home folder.
    static QString StartFolder(const QString& remembered);

protected:
    void done(int result) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    // Modal questions, replaced in tests.
    virtual SaveTarget AskSaveFileName();
    // The page for a PDF or EPS of symbols `widthMm` × `heightMm`.
    virtual PageAnswer AskPage(double widthMm, double heightMm);
    virtual QString AskOpenFileName();
    virtual void ShowMessage(QMessageBox::Icon icon, const QString& text);
    // A yes-or-no question whose default answer is No.
    virtual bool Confirm(const QString& question);
    virtual SeriesAnswer AskSeriesClash(const SeriesClash& clash);
    virtual void RunPrintPreview();
    virtual void RunDialog(QDialog& dialog);

private:
    // Building the window.
    void BuildUi();
    QWidget* BuildOptions();
    QWidget* BuildMoreOptions();
    QLayout* BuildButtons();
    void BuildActions();
    void SetTabOrder();
    void DescribeFields();
    void DescribeProfileFields();
    void DescribeDataFields();
    void DescribeShapeFields();
    void DescribeMoreFields();
    void ConnectInputs();
    void AddAction(QAction& action, const QString& text, const QKeySequence& key,
                   void (CMainDialog::*slot)());
    QLabel* AddFieldError(QGridLayout* grid, QWidget& field, int row, int column, int span = 2);

    // Choosing a profile.
    void ProfileChanged();
    void ApplyProfile();
    bool TextShown() const;

    // Making the symbol.
    struct FieldReading {
        Settings settings;
        QString problem;  // the first field that cannot be read, worded
    };
    // What a label is made of: the data and the settings, or a profile's
    // fields (its document, if it has one, as the data).
    struct LabelSource {
        std::optional<ProfileRequest> profile;
        QByteArray data;   // typed text as UTF-8, or loaded bytes
        bool text = true;  // typed, not loaded
        Settings settings;
    };
    FieldReading ReadFields();
    QHash<QWidget*, QString> FieldProblems(Settings& settings);
    void ShowFieldError(QWidget* field, const QString& problem);
    LabelSource SourceFor(const Settings& settings) const;
    static Result<Label> MakeLabel(const LabelSource& source);
    static Result<std::vector<Explanation>> Explain(const LabelSource& source);
    ProblemContext ContextFor(const Error& error, const LabelSource& source) const;
    // A profile's refusal shown beside its field; empty when it is no such refusal.
    QString ProfileProblem(const Error& error);
    void Show(Label label);
    void Fail(const QString& problem, int seriesOffered = 0);
    void InputChanged();
    void ColoursChanged();
    void SetStale(bool stale);
    void UpdateStatus();
    void SetStatus(const QString& text, bool problem);
    void ShowWarnings(const QStringList& warnings);
    QColor ProblemColour() const;
    void Verify();
    // The colour warnings of the symbol shown, which Save and Print ask about.
    QString ColourWarning() const;
    void LoadedStateChanged();

    // Saving.
    bool ConfirmStale(const QString& question);
    bool ReadyToCopy();
    bool ConfirmReadOnly(const QStringList& names);
    std::optional<WriteOptions> ConfirmReplacing(const QString& path, const QStringList& names,
                                                 QStringList* olderToRemove);
    void SetupFileDialog(QFileDialog& dialog) const;

    // Printing: the symbols' size in whole dots of the printer.
    Result<Render> PrintRender(QPrinter* printer) const;
    // PDF and EPS: the symbols' size on paper.
    Result<Render> VectorRender() const;
    // A render of modules `size`, its quiet zone as many modules wide as before.
    static Render Resized(Render render, const ModuleSize& size);

    void LoadSettings();
    void SaveSettings() const;

    QHash<int, QWidget*> m_controls;
    SymbolView m_symbolView;
    QLabel m_stStatus;
    QWidget m_warningArea;  // the warnings under the status line
    QPushButton m_seriesButton;

    QComboBox m_cbProfile;
    QLabel m_profileNote;  // what the profile fixes
    ProfileForm m_profileForm;
    QLabel* m_textCaption = nullptr;
    QString m_textTip;  // what the text field is for, without a profile
    DataEdit m_edText;
    QLabel m_loadedNote;
    QPushButton m_btnLoad;
    QCheckBox m_chkEscapes;
    QCheckBox m_chkLive;
    QComboBox m_cbLevel;
    CColorButton m_btnBackground;
    CColorButton m_btnBarColor;
    NumberBox m_spMargin;
    NumberBox m_spColumns;
    DecimalBox m_spModuleMm;
    NumberBox m_spDpi;
    NumberBox m_spRows;
    QLineEdit m_edAspect;
    QComboBox m_cbCharset;
    QCheckBox m_chkSeries;
    QCheckBox m_chkVerify;
    QPushButton m_btnEncode;
    QPushButton m_btnSave;
    QPushButton m_btnPrint;
    QPushButton m_btnCancel;
    // The range error shown beside each number field.
    QHash<QWidget*, QLabel*> m_fieldErrors;
    QIcon m_hIcon;

    QAction m_aboutAction, m_saveAction, m_printAction, m_copyAction, m_copySvgAction, m_loadAction,
        m_commandAction, m_explainAction;

    std::optional<ProfileInfo> m_profile;
    // What was typed in each profile's form, by profile and key.
    QHash<QString, QHash<QString, QString>> m_profileValues;
    // The options a profile leaves to its scheme, as they were for free text.
    struct FreeOptions {
        int levelIndex = -1;
        int columns = 0;
        int charsetIndex = 0;
    } m_freeOptions;

    std::optional<Label> m_label;  // the symbols shown
    LabelSource m_source;          // what they were made of
    qsizetype m_dataBytes = 0;     // the data they were made of
    // Reading back costs more than building: it runs once typing pauses,
    // so keystrokes stay quick.
    QTimer m_verifyTimer;
    QString m_verifyMark;  // empty while not verified yet
    bool m_verifyProblem = false;
    // Read back, and found to hold other than asked.
    bool m_readBackFailed = false;
    QString m_builtNote;     // what was built
    QStringList m_warnings;  // the library's scan checks of it, worded
    QString m_savedNote;     // what the last Save wrote
    QString m_failure;       // why there is no symbol, as the status line said
    bool m_stale = false;    // the fields changed since the symbol shown was made
    QString m_lastFolder;
};

// The formats Save offers: pictures and print documents. Label and receipt
// printer commands are not among them: they go to a printer raw, at its own
// dot density and with the choice of the printer's own encoding, which the
// command line's options give; the window reaches those printers through
// Print and their drivers.
std::vector<FormatInfo> saveFormats();

// The file name with the chosen type's extension added when it has none of
// the offered formats' own: "label" and "label.jpg" become "label.png" and
// "label.jpg.png" when PNG is chosen, so no file holds one format under
// another's extension.
QString withChosenExtension(const QString& path, std::optional<Format> chosen);

// A file name made of the text's letters and digits ("Hello, World!" gives
// "hello-world"), or "label" when it has none.
QString suggestedFileName(const QString& text);

}  // namespace barquill::app
