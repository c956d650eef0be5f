// SPDX-License-Identifier: MIT
#pragma once
// Shared by the GUI tests: one QApplication for the whole run with its
// settings in a temporary folder, the main dialog with its modal dialogs
// replaced by test doubles and its fields found by their names, and
// decoding of what the dialog shows or saves with an independent reader.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <optional>
#include <vector>

#include "app/app_resources.h"
#include "app/main_dialog.h"
#include "barquill/barquill.hpp"
#include "resources/resources.h"
#include "tests/support/pdf417_reader.h"

namespace barquill::testing {

using namespace barquill::app;
namespace res = barquill::resources;

inline QApplication& qtApplication() {
    static int argc = 1;
    static char name[] = "barquill-gui-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        auto* a = new QApplication(argc, argv);
        // Settings of the tests never touch the user's.
        static QTemporaryDir settingsFolder;
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder.path());
        a->setOrganizationName(QStringLiteral("barquill-test"));
        a->setApplicationName(QStringLiteral("barquill-gui-test"));
        loadResources();
        return a;
    }();
    return *app;
}

// Every dialog of a test starts from the first-start settings.
struct FirstStart {
    FirstStart() {
        qtApplication();
        QSettings().clear();
    }
};

// A field of a dialog by its object name; a failed test when it is missing.
template <class Widget>
Widget& child(QWidget& dialog, const char* name) {
    auto* widget = dialog.findChild<Widget*>(QString::fromLatin1(name));
    if (widget == nullptr) throw std::runtime_error(std::string("no field called ") + name);
    return *widget;
}

// The fields of the main dialog, found as a user finds them.
struct Fields {
    explicit Fields(QWidget& dialog) : owner(dialog) {}
    QWidget& owner;
    DataEdit& text() { return child<DataEdit>(owner, "text"); }
    QComboBox& profile() { return child<QComboBox>(owner, "profile"); }
    QComboBox& level() { return child<QComboBox>(owner, "level"); }
    QComboBox& charset() { return child<QComboBox>(owner, "charset"); }
    NumberBox& margin() { return number("margin"); }
    NumberBox& columns() { return number("columns"); }
    NumberBox& rows() { return number("rows"); }
    NumberBox& dpi() { return number("resolution"); }
    DecimalBox& moduleMm() {
        return static_cast<DecimalBox&>(child<QDoubleSpinBox>(owner, "moduleWidth"));
    }
    QLineEdit& aspect() { return child<QLineEdit>(owner, "aspect"); }
    CColorButton& bars() { return child<CColorButton>(owner, "barColor"); }
    CColorButton& background() { return child<CColorButton>(owner, "background"); }
    QCheckBox& escapes() { return child<QCheckBox>(owner, "escapes"); }
    QCheckBox& live() { return child<QCheckBox>(owner, "livePreview"); }
    QCheckBox& split() { return child<QCheckBox>(owner, "split"); }
    QCheckBox& verify() { return child<QCheckBox>(owner, "verify"); }
    QPushButton& button(const char* name) { return child<QPushButton>(owner, name); }
    // The range error shown beside a field; empty while it is hidden.
    QString errorBeside(const char* field) {
        const auto& label = child<QLabel>(owner, (std::string(field) + "Error").c_str());
        return label.isVisible() ? label.text() : QString();
    }

private:
    NumberBox& number(const char* name) {
        return static_cast<NumberBox&>(child<QSpinBox>(owner, name));
    }
};

// The main dialog with the file dialogs, message boxes and other modal
// dialogs replaced.
class TestDialog : private FirstStart, public CMainDialog, public Fields {
public:
    TestDialog() : Fields(static_cast<QWidget&>(*this)) {}

    QString nextSavePath;  // what the save dialog answers; empty: cancelled
    std::optional<Format> nextSaveFormat;
    PageAnswer nextPage;       // what the page dialog of a PDF or EPS answers
    QList<QSizeF> pagesAsked;  // the symbol's size in mm it was asked with
    QString nextOpenPath;
    int saveDialogRuns = 0;
    QStringList messages;
    QStringList questions;
    bool answer = true;
    QList<SeriesClash> clashes;
    SeriesAnswer seriesAnswer = SeriesAnswer::replace;
    // The real question boxes, answered by pressing Enter on them.
    bool realQuestions = false;
    int previews = 0;
    std::function<void(QDialog&)> onDialog;  // sees each modal dialog

protected:
    SaveTarget AskSaveFileName() override {
        ++saveDialogRuns;
        return {nextSavePath, nextSaveFormat};
    }
    PageAnswer AskPage(double widthMm, double heightMm) override {
        pagesAsked << QSizeF(widthMm, heightMm);
        return nextPage;
    }
    QString AskOpenFileName() override { return nextOpenPath; }
    void ShowMessage(QMessageBox::Icon, const QString& text) override { messages << text; }
    bool Confirm(const QString& question) override;
    SeriesAnswer AskSeriesClash(const SeriesClash& clash) override {
        clashes << clash;
        return seriesAnswer;
    }
    void RunPrintPreview() override { ++previews; }
    void RunDialog(QDialog& dialog) override {
        if (onDialog) onDialog(dialog);
    }
};

// Presses Enter on the question box once it is open: its default button answers.
inline bool TestDialog::Confirm(const QString& question) {
    questions << question;
    if (!realQuestions) return answer;
    QTimer::singleShot(0, [] {
        if (QWidget* box = QApplication::activeModalWidget()) QTest::keyClick(box, Qt::Key_Return);
    });
    return CMainDialog::Confirm(question);
}

inline std::optional<Bytes> decodeImage(const QImage& image) {
    const QImage bgr = image.convertToFormat(QImage::Format_BGR888);
    return readPdf417Bgr(bgr.constBits(), bgr.width(), bgr.height(), int(bgr.bytesPerLine()));
}

inline Bytes utf8(const QString& s) {
    const QByteArray b = s.toUtf8();
    return Bytes(b.begin(), b.end());
}

inline Bytes bytes(const QByteArray& b) {
    return Bytes(b.begin(), b.end());
}

// The data of every symbol shown, joined in order.
inline std::optional<Bytes> decodeAll(const CMainDialog& dialog) {
    Bytes joined;
    for (int i = 0; i < dialog.SymbolCount(); ++i) {
        const std::optional<Bytes> part = decodeImage(dialog.SymbolImageAt(i));
        if (!part) return std::nullopt;
        joined.insert(joined.end(), part->begin(), part->end());
    }
    return joined;
}

// Lines of ASCII text, more than one symbol holds at `bytes`.
inline QString longText(int bytes) {
    QString text;
    for (int i = 0; text.size() < bytes; ++i) text += QStringLiteral("Line %1; ").arg(i);
    return text.left(bytes);
}

}  // namespace barquill::testing
