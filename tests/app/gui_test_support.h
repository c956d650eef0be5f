#pragma once
// Shared by the GUI tests: one QApplication for the whole run with its
// settings in a temporary folder, the main dialog with its modal dialogs
// replaced by test doubles, and decoding of what the dialog shows or saves.

#include <QApplication>
#include <QImage>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <optional>
#include <vector>

#include "app/app_resources.h"
#include "app/main_dialog.h"
#include "encoder/pdf417.h"
#include "image/picture.h"
#include "resources/resources.h"
#include "tests/support/pdf417_reader.h"

namespace barquill::testing {

using namespace barquill::app;
using namespace barquill::encoder;
using namespace barquill::image;
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

// The main dialog with the file dialogs, message boxes and other modal
// dialogs replaced.
class TestDialog : private FirstStart, public CMainDialog {
public:
    QString nextSavePath;  // what the save dialog answers; empty: cancelled
    QString nextSaveFilter;
    QString nextOpenPath;
    int saveDialogRuns = 0;
    QStringList messages;
    QStringList questions;
    bool answer = true;
    int previews = 0;
    std::function<void(QDialog&)> onDialog;  // sees each modal dialog

protected:
    SaveTarget AskSaveFileName() override {
        ++saveDialogRuns;
        return {nextSavePath, nextSaveFilter};
    }
    QString AskOpenFileName() override { return nextOpenPath; }
    void ShowMessage(QMessageBox::Icon, const QString& text) override { messages << text; }
    bool Confirm(const QString& question) override {
        questions << question;
        return answer;
    }
    void RunPrintPreview() override { ++previews; }
    void RunDialog(QDialog& dialog) override {
        if (onDialog) onDialog(dialog);
    }
};

inline std::optional<Bytes> decodeImage(const QImage& image) {
    const QImage bgr = image.convertToFormat(QImage::Format_BGR888);
    return readPdf417Bgr(bgr.constBits(), bgr.width(), bgr.height(), int(bgr.bytesPerLine()));
}

// Decodes the symbol a picture holds, whatever its pixel format.
inline std::optional<Bytes> decodePicture(const Picture& picture) {
    const int w = picture.GetWidth(), h = picture.GetHeight();
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const RgbQuad q = picture.GetPixelColor(x, h - 1 - y, false);
            image.setPixel(x, y, qRgb(q.red, q.green, q.blue));
        }
    return decodeImage(image);
}

inline Bytes utf8(const QString& s) {
    const QByteArray b = s.toUtf8();
    return Bytes(b.begin(), b.end());
}

}  // namespace barquill::testing
