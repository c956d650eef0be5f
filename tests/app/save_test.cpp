// Saving from the main dialog: the last extension picks the format, the file
// lands under the exact name chosen, and every failure is told, never hidden.

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <filesystem>

#include "gui_test_support.h"

namespace barquill::testing {
namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The format by its signature, as an independent decoder would judge it.
const char* signatureFormat(const QByteArray& data) {
    if (data.startsWith("\x89PNG\r\n\x1a\n")) return "PNG";
    if (data.startsWith("GIF89a") || data.startsWith("GIF87a")) return "GIF";
    if (data.startsWith("BM")) return "BMP";
    if (data.startsWith("<?xml") || data.startsWith("<svg")) return "SVG";
    return "";
}

// Reads a GIF with giflib, laying every image of the file onto the logical
// screen with its own colour table (true-colour pictures come as tiles).
QImage readGif(const QString& path) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(QFile::encodeName(path).constData(), &error);
    if (gif == nullptr) return QImage();
    QImage screen;
    if (DGifSlurp(gif) == GIF_OK) {
        screen = QImage(gif->SWidth, gif->SHeight, QImage::Format_RGB32);
        screen.fill(Qt::magenta);  // shows any pixel no image covers
        for (int i = 0; i < gif->ImageCount; ++i) {
            const SavedImage& image = gif->SavedImages[i];
            const GifImageDesc& d = image.ImageDesc;
            const ColorMapObject* map = d.ColorMap != nullptr ? d.ColorMap : gif->SColorMap;
            GraphicsControlBlock control{};
            control.TransparentColor = NO_TRANSPARENT_COLOR;
            DGifSavedExtensionToGCB(gif, i, &control);
            for (int y = 0; y < d.Height; ++y)
                for (int x = 0; x < d.Width; ++x) {
                    const int index = image.RasterBits[y * d.Width + x];
                    if (index == control.TransparentColor || map == nullptr ||
                        index >= map->ColorCount)
                        continue;
                    const GifColorType c = map->Colors[index];
                    screen.setPixel(d.Left + x, d.Top + y, qRgb(c.Red, c.Green, c.Blue));
                }
        }
    }
    DGifCloseFile(gif, &error);
    return screen;
}

class Save : public ::testing::Test {
protected:
    static void SetUpTestSuite() { qtApplication(); }
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    void encode(const QString& text) { dialog.m_edText.setText(text); }
    void saveAs(const QString& path, const QString& filter = QString()) {
        dialog.nextSavePath = path;
        dialog.nextSaveFilter = filter;
        qobject_cast<QPushButton*>(dialog.GetDlgItem(res::IDC_SAVE))->click();
    }

    QTemporaryDir folder;
    TestDialog dialog;
};

// Draws an SVG file with librsvg's converter, an independent renderer.
QImage renderSvg(const QString& path) {
    const QString png = path + ".rendered.png";
    QProcess convert;
    convert.start("rsvg-convert", {"-o", png, path});
    if (!convert.waitForFinished(30000) || convert.exitCode() != 0) return QImage();
    QImage image(png);
    QFile::remove(png);
    return image;
}

TEST_F(Save, ExtensionPicksFormatAndTheChosenTypeCompletesANameWithout) {
    const QString text = "Saved: https://barquill.org/";
    encode(text);
    struct Case {
        const char* name;
        const char* filter;  // the type chosen in the save dialog
        const char* written;
        const char* format;
    };
    const Case cases[] = {
        {"symbol.png", "", "symbol.png", "PNG"},
        {"symbol.GIF", "", "symbol.GIF", "GIF"},
        {"symbol.Gif", "", "symbol.Gif", "GIF"},
        {"symbol.bmp", "", "symbol.bmp", "BMP"},
        {"symbol.jpg", "", "symbol.jpg", "BMP"},
        {"symbol.svg", "", "symbol.svg", "SVG"},
        {"a.png.gif", "", "a.png.gif", "GIF"},
        {"a.gif.txt", "", "a.gif.txt", "BMP"},
        {"标签.png", "", "标签.png", "PNG"},
        {"ticket", "SVG drawing (*.svg)", "ticket.svg", "SVG"},
        {"pass", "GIF image (*.gif)", "pass.gif", "GIF"},
        {"label", "PNG image (*.png)", "label.png", "PNG"},
        {"named.bmp", "PNG image (*.png)", "named.bmp", "BMP"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        saveAs(folder.filePath(QString::fromUtf8(c.name)), c.filter);
        const QString path = folder.filePath(QString::fromUtf8(c.written));
        const QByteArray data = readFile(path);
        ASSERT_FALSE(data.isEmpty());
        EXPECT_STREQ(signatureFormat(data), c.format);
        QImage loaded;
        if (std::strcmp(c.format, "GIF") == 0) {
            loaded = readGif(path);
            // One paletted image, not true-colour tiles: a viewer that shows
            // only a GIF's first image (Qt's reader does) still shows it all.
            QImage firstImage;
            ASSERT_TRUE(firstImage.loadFromData(data, "GIF"));
            EXPECT_EQ(firstImage.size(), loaded.size());
            EXPECT_EQ(decodeImage(firstImage), utf8(text));
        } else if (std::strcmp(c.format, "SVG") == 0) {
            loaded = renderSvg(path);
        } else
            ASSERT_TRUE(loaded.loadFromData(data, c.format));
        EXPECT_EQ(loaded.size(), QSize(dialog.m_image.GetWidth(), dialog.m_image.GetHeight()));
        EXPECT_EQ(decodeImage(loaded), utf8(text));
    }
    // Nothing else was written: no leftover temporary file.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(),
              qsizetype(std::size(cases)));
    EXPECT_TRUE(dialog.messages.isEmpty()) << dialog.messages.join("|").toStdString();
}

TEST_F(Save, CancelledDialogWritesNothing) {
    encode("abc");
    saveAs(QString());
    EXPECT_EQ(dialog.saveDialogRuns, 1);
    EXPECT_TRUE(QDir(folder.path()).isEmpty(QDir::Files | QDir::Hidden));
    EXPECT_TRUE(dialog.messages.isEmpty());
}

TEST_F(Save, StaleSymbolIsSavedOnlyAfterAWarning) {
    dialog.m_chkLive.setChecked(false);
    encode("first");
    dialog.OnEncode();
    encode("second");  // not encoded yet: the window still shows "first"
    dialog.answer = false;
    saveAs(folder.filePath("stale.png"));
    ASSERT_EQ(dialog.questions.size(), 1);
    EXPECT_TRUE(dialog.questions[0].contains("changed")) << dialog.questions[0].toStdString();
    EXPECT_FALSE(QFile::exists(folder.filePath("stale.png")));
    dialog.answer = true;
    saveAs(folder.filePath("stale.png"));
    EXPECT_EQ(decodeImage(QImage(folder.filePath("stale.png"))), utf8("first"));
    // After Encode there is nothing to warn about.
    dialog.questions.clear();
    dialog.OnEncode();
    saveAs(folder.filePath("fresh.png"));
    EXPECT_TRUE(dialog.questions.isEmpty());
    EXPECT_EQ(decodeImage(QImage(folder.filePath("fresh.png"))), utf8("second"));
}

TEST_F(Save, FailedSaveIsToldWithTheReason) {
    encode("abc");
    struct Case {
        const char* name;
        QString path;
        const char* reason;
    };
    QDir(folder.path()).mkdir("taken.png");  // a folder where the file should go
    const Case cases[] = {
        {"missing folder", folder.filePath("missing/symbol.png"), "No such file or directory"},
        {"name of a folder", folder.filePath("taken.png"), "Save: can't replace the file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialog.messages.clear();
        saveAs(c.path);
        ASSERT_EQ(dialog.messages.size(), 1);
        EXPECT_TRUE(dialog.messages[0].contains(c.path)) << dialog.messages[0].toStdString();
        EXPECT_TRUE(dialog.messages[0].contains(c.reason)) << dialog.messages[0].toStdString();
    }
    EXPECT_TRUE(QFileInfo(folder.filePath("taken.png")).isDir());
}

TEST_F(Save, OverwriteReplacesTheFileWholeInsteadOfWritingIntoIt) {
    const QString path = folder.filePath("label.png");
    const QString otherName = folder.filePath("label-link.png");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("an earlier file");
    }
    // A second name for the earlier file: writing into the file in place
    // would change it too; replacing the file leaves it alone.
    std::filesystem::create_hard_link(QFile::encodeName(path).toStdString(),
                                      QFile::encodeName(otherName).toStdString());
    encode("Replaced");
    saveAs(path);
    EXPECT_EQ(decodeImage(QImage(path, "PNG")), utf8("Replaced"));
    EXPECT_EQ(readFile(otherName), QByteArray("an earlier file"));
    EXPECT_TRUE(dialog.messages.isEmpty());
}

}  // namespace
}  // namespace barquill::testing
