#pragma once
// Shared by the GUI tests: one QApplication for the whole run, the main
// dialog with its modal dialogs replaced by test doubles, and decoding of
// what the dialog shows or saves.

#include <QApplication>
#include <QImage>
#include <QStringList>
#include <optional>
#include <vector>

#include "app/main_dialog.h"
#include "encoder/pdf417.h"
#include "image/picture.h"
#include "tests/support/pdf417_reader.h"

namespace barquill::testing {

using namespace barquill::app;
using namespace barquill::encoder;
using namespace barquill::image;

inline QApplication& qtApplication() {
    static int argc = 1;
    static char name[] = "barquill-gui-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// The main dialog with the save dialog and the message boxes replaced.
class TestDialog : public CMainDialog {
public:
    QString nextSavePath;  // what the save dialog answers; empty: cancelled
    int saveDialogRuns = 0;
    QStringList messages;

protected:
    QString AskSaveFileName() override {
        ++saveDialogRuns;
        return nextSavePath;
    }
    void ShowMessage(QMessageBox::Icon, const QString& text) override { messages << text; }
};

inline std::optional<Bytes> decodeImage(const QImage& image) {
    const QImage bgr = image.convertToFormat(QImage::Format_BGR888);
    return readPdf417Bgr(bgr.constBits(), bgr.width(), bgr.height(), int(bgr.bytesPerLine()));
}

// Decodes the symbol held by a 24-bit picture.
inline std::optional<Bytes> decodePicture(const Picture& picture) {
    const int w = picture.GetWidth(), h = picture.GetHeight();
    std::vector<std::uint8_t> topDown(std::size_t(w) * 3 * h);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* stored = picture.GetBits(std::uint32_t(h - 1 - y));
        std::copy(stored, stored + 3 * w, topDown.begin() + std::ptrdiff_t(y) * 3 * w);
    }
    return readPdf417Bgr(topDown.data(), w, h, 3 * w);
}

inline Bytes utf8(const QString& s) {
    const QByteArray b = s.toUtf8();
    return Bytes(b.begin(), b.end());
}

}  // namespace barquill::testing
