// SPDX-License-Identifier: MIT
// Saving from the main dialog: the format follows the extension or the
// chosen type and never hides under another's extension; the file lands
// under the exact name chosen, a series over an older one is asked about
// once, read-only files are named and asked about, what was written is
// told, and every failure is told, never hidden.

#include <gif_lib.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
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

// The width of the first run of dark pixels along the middle row: the start
// pattern's first bar, 8 modules wide.
int startBarWidth(const QImage& picture) {
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    const int y = grey.height() / 2;
    int x = 0;
    while (x < grey.width() && qGray(grey.pixel(x, y)) >= 128) ++x;
    int width = 0;
    while (x + width < grey.width() && qGray(grey.pixel(x + width, y)) < 128) ++width;
    return width;
}

// For a test run as root: the real user id of nobody, so that the system's
// write-permission check (access(2)) judges as an ordinary user would; the
// effective id stays, so files can still be written.
class AsOrdinaryUser {
public:
    explicit AsOrdinaryUser(const QString& folder) {
        if (::getuid() != 0) return;
        ::chmod(QFile::encodeName(folder).constData(), 0755);
        switched_ = ::setresuid(65534, uid_t(-1), uid_t(-1)) == 0;
    }
    ~AsOrdinaryUser() {
        if (switched_) (void)::setresuid(0, uid_t(-1), uid_t(-1));
    }
    AsOrdinaryUser(const AsOrdinaryUser&) = delete;
    AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;

private:
    bool switched_ = false;
};

class Save : public ::testing::Test {
protected:
    static void SetUpTestSuite() { qtApplication(); }
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    void encode(const QString& text) { dialog.text().setText(text); }
    void saveAs(const QString& path, std::optional<Format> format = std::nullopt) {
        dialog.nextSavePath = path;
        dialog.nextSaveFormat = format;
        qobject_cast<QPushButton*>(dialog.GetDlgItem(res::IDC_SAVE))->click();
    }
    QStringList files() const {
        return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    QTemporaryDir folder;
    TestDialog dialog;
};

TEST_F(Save, ExtensionPicksFormatAndTheChosenTypeCompletesAnyOtherName) {
    const QString text = "Saved: https://barquill.org/";
    encode(text);
    struct Case {
        const char* name;
        std::optional<Format> chosen;  // the type chosen in the save dialog
        const char* written;
        const char* format;
    };
    const Case cases[] = {
        {"symbol.png", std::nullopt, "symbol.png", "PNG"},
        {"symbol.GIF", std::nullopt, "symbol.GIF", "GIF"},
        {"symbol.Gif", Format::png, "symbol.Gif", "GIF"},
        {"symbol.bmp", std::nullopt, "symbol.bmp", "BMP"},
        {"symbol.svg", std::nullopt, "symbol.svg", "SVG"},
        {"a.png.gif", std::nullopt, "a.png.gif", "GIF"},
        {"标签.png", std::nullopt, "标签.png", "PNG"},
        {"ticket", Format::svg, "ticket.svg", "SVG"},
        {"pass", Format::gif, "pass.gif", "GIF"},
        {"label", Format::png, "label.png", "PNG"},
        {"named.bmp", Format::png, "named.bmp", "BMP"},
        // An extension of no format of ours gets the chosen type's.
        {"label.jpg", Format::png, "label.jpg.png", "PNG"},
        {"a.gif.txt", Format::gif, "a.gif.txt.gif", "GIF"},
        {"photo.jpeg", std::nullopt, "photo.jpeg.png", "PNG"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        saveAs(folder.filePath(QString::fromUtf8(c.name)), c.chosen);
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
        } else {
            ASSERT_TRUE(loaded.loadFromData(data, c.format));
        }
        EXPECT_EQ(loaded.size(), dialog.SymbolImageAt(0).size());
        EXPECT_EQ(decodeImage(loaded), utf8(text));
        // The status line says what was written, and screen readers hear it.
        EXPECT_TRUE(dialog.GetStatusText().contains(QString("Saved %1.").arg(c.written)))
            << dialog.GetStatusText().toStdString();
        EXPECT_EQ(dialog.symbolView().accessibleDescription(), dialog.StatusDescription());
    }
    // Nothing else was written: no leftover temporary file.
    EXPECT_EQ(files().size(), qsizetype(std::size(cases)));
    EXPECT_TRUE(dialog.messages.isEmpty()) << dialog.messages.join("|").toStdString();
}

TEST_F(Save, CancelledDialogWritesNothing) {
    encode("abc");
    saveAs(QString());
    EXPECT_EQ(dialog.saveDialogRuns, 1);
    EXPECT_TRUE(files().isEmpty());
    EXPECT_TRUE(dialog.messages.isEmpty());
    EXPECT_FALSE(dialog.GetStatusText().contains("Saved"));
}

TEST_F(Save, StaleSymbolIsSavedOnlyAfterAWarningWhoseDefaultIsNo) {
    dialog.live().setChecked(false);
    encode("first");
    dialog.OnEncode();
    encode("second");  // not encoded yet: the window still shows "first"
    // Enter on the question takes its default: No.
    dialog.realQuestions = true;
    saveAs(folder.filePath("stale.png"));
    ASSERT_EQ(dialog.questions.size(), 1);
    EXPECT_TRUE(dialog.questions[0].contains("changed")) << dialog.questions[0].toStdString();
    EXPECT_FALSE(QFile::exists(folder.filePath("stale.png")));
    EXPECT_EQ(dialog.saveDialogRuns, 0);
    dialog.realQuestions = false;
    dialog.answer = true;
    saveAs(folder.filePath("stale.png"));
    EXPECT_EQ(decodeImage(QImage(folder.filePath("stale.png"))), utf8("first"));
    // After Encode there is nothing to warn about.
    dialog.questions.clear();
    dialog.OnEncode();
    saveAs(folder.filePath("fresh.png"));
    EXPECT_TRUE(dialog.questions.isEmpty());
    EXPECT_EQ(decodeImage(QImage(folder.filePath("fresh.png"))), utf8("second"));

    // The low-contrast question defaults to No too.
    dialog.bars().SetColor(0xC0C0C0);
    dialog.OnEncode();
    dialog.realQuestions = true;
    dialog.questions.clear();
    saveAs(folder.filePath("grey.png"));
    ASSERT_EQ(dialog.questions.size(), 1);
    EXPECT_TRUE(dialog.questions[0].contains("contrast"));
    EXPECT_FALSE(QFile::exists(folder.filePath("grey.png")));
}

TEST_F(Save, FailedSaveIsToldWithTheReasonAndItsFolderIsNotRemembered) {
    encode("abc");
    saveAs(folder.filePath("good.png"));
    ASSERT_TRUE(QFile::exists(folder.filePath("good.png")));
    struct Case {
        const char* name;
        QString path;
        const char* reason;
    };
    QDir(folder.path()).mkdir("taken.png");  // a folder where the file should go
    QDir(folder.path()).mkdir("elsewhere");
    const Case cases[] = {
        {"missing folder", folder.filePath("missing/symbol.png"), "No such file or directory"},
        {"name of a folder", folder.filePath("taken.png"), "Is a directory"},
        {"a virtual file system", "/proc/barquill-test.png", "/proc/barquill-test.png"},
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
    // The folder remembered is the last one written to.
    dialog.reject();
    EXPECT_EQ(QSettings().value("files/lastFolder").toString(), folder.path());

    struct Start {
        QString remembered;
        QString opens;
    };
    const QString home = QDir::homePath();
    const Start starts[] = {
        {folder.path(), folder.path()},
        {"", home},
        {"/proc", home},
        {"/proc/self", home},
        {"/sys/class", home},
        {"/dev", home},
        {folder.filePath("gone"), home},
    };
    for (const Start& s : starts)
        EXPECT_EQ(CMainDialog::StartFolder(s.remembered), s.opens) << s.remembered.toStdString();
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

TEST_F(Save, ASeriesOverAnOlderOneIsAskedAboutOnceAndTheOlderFilesCanGo) {
    dialog.split().setChecked(true);
    dialog.level().setCurrentIndex(dialog.level().findText("2"));
    dialog.columns().setValue(3);
    const QString olderText = longText(3000);
    encode(olderText);
    const int older = dialog.SymbolCount();
    ASSERT_GE(older, 5) << dialog.GetStatusText().toStdString();
    const QString part = folder.filePath("part.gif");
    saveAs(part);
    EXPECT_TRUE(dialog.clashes.isEmpty());
    ASSERT_EQ(files().size(), older);
    EXPECT_TRUE(
        dialog.GetStatusText().contains(QString("Saved part-01.gif … part-%1.gif, %2 files.")
                                            .arg(older, 2, 10, QChar('0'))
                                            .arg(older)))
        << dialog.GetStatusText().toStdString();
    // A file of another name that only looks alike is never offered.
    QFile other(folder.filePath("part-final.gif"));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("mine");
    other.close();

    const QString newerText = longText(1000);
    encode(newerText);
    const int newer = dialog.SymbolCount();
    ASSERT_GE(newer, 2);
    ASSERT_LT(newer, older);
    struct Case {
        const char* name;
        SeriesAnswer answer;
        int filesAfter;
    };
    const Case cases[] = {
        {"cancel", SeriesAnswer::cancel, older + 1},
        {"replace only", SeriesAnswer::replace, older + 1},
        {"replace and remove", SeriesAnswer::replaceAndRemoveOlder, newer + 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialog.clashes.clear();
        dialog.seriesAnswer = c.answer;
        saveAs(part);
        ASSERT_EQ(dialog.clashes.size(), 1);
        const SeriesClash& clash = dialog.clashes.front();
        EXPECT_EQ(clash.replaced.size(), newer);
        EXPECT_EQ(clash.older.size(), older - newer);
        for (const QString& name : clash.older) EXPECT_FALSE(name.endsWith("part-final.gif"));
        EXPECT_EQ(files().size(), c.filesAfter) << files().join(" ").toStdString();
        // The series now on disk reads back as the text saved last.
        Bytes joined;
        for (int i = 1; i <= newer; ++i) {
            const auto piece = decodeImage(
                readGif(folder.filePath(QString("part-%1.gif").arg(i, 2, 10, QChar('0')))));
            ASSERT_TRUE(piece.has_value());
            joined.insert(joined.end(), piece->begin(), piece->end());
        }
        EXPECT_EQ(joined == utf8(newerText), c.answer != SeriesAnswer::cancel);
    }
    EXPECT_EQ(readFile(folder.filePath("part-final.gif")), QByteArray("mine"));
}

TEST_F(Save, ReadOnlyFileIsNamedAndReplacedOnlyWhenTheUserSaysSo) {
    const QString path = folder.filePath("locked.png");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("kept");
    }
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    encode("Replaced");
    AsOrdinaryUser ordinary(folder.path());
    // Enter on the question takes its default: No.
    dialog.realQuestions = true;
    saveAs(path);
    ASSERT_EQ(dialog.questions.size(), 1);
    EXPECT_TRUE(dialog.questions[0].contains(path)) << dialog.questions[0].toStdString();
    EXPECT_TRUE(dialog.questions[0].contains("read-only"));
    EXPECT_EQ(readFile(path), QByteArray("kept"));
    dialog.realQuestions = false;
    dialog.answer = true;
    saveAs(path);
    EXPECT_EQ(decodeImage(QImage(path, "PNG")), utf8("Replaced"));
    EXPECT_TRUE(dialog.messages.isEmpty()) << dialog.messages.join("|").toStdString();
}

TEST_F(Save, ModuleWidthAndResolutionMakeWholeDotsAndTheFileRecordsTheResolution) {
    encode("Printed size");
    dialog.dpi().setValue(300);
    dialog.moduleMm().setValue(0.34);  // 4 dots at 300 dpi
    saveAs(folder.filePath("sized.png"));
    saveAs(folder.filePath("sized.bmp"));
    saveAs(folder.filePath("sized.svg"));
    for (const char* name : {"sized.png", "sized.bmp"}) {
        SCOPED_TRACE(name);
        const QImage saved(folder.filePath(name));
        ASSERT_FALSE(saved.isNull());
        EXPECT_EQ(startBarWidth(saved), 8 * 4);
        EXPECT_EQ(saved.dotsPerMeterX(), qRound(300 / 0.0254));
        EXPECT_EQ(decodeImage(saved), utf8("Printed size"));
    }
    const QImage png(folder.filePath("sized.png"));
    const QString svg = QString::fromUtf8(readFile(folder.filePath("sized.svg")));
    QString widthMm = QString::number(png.width() * 25.4 / 300, 'f', 4);
    while (widthMm.endsWith('0')) widthMm.chop(1);
    if (widthMm.endsWith('.')) widthMm.chop(1);
    EXPECT_TRUE(svg.contains(QString("width=\"%1mm\"").arg(widthMm)))
        << svg.left(300).toStdString();
    // Two dots a module: the window warns as the command line does, in its own words.
    dialog.moduleMm().setValue(0.17);
    const QString warnings = dialog.WarningTexts().join("|");
    EXPECT_TRUE(warnings.contains(
        "A module is only 2 printer dots wide: with fewer than 3 dots, bars print unevenly"))
        << warnings.toStdString();
    EXPECT_FALSE(warnings.contains("--"));
    // Wider than a module is drawn: said in the window's words too.
    dialog.dpi().setValue(600);
    dialog.moduleMm().setValue(10);
    EXPECT_EQ(dialog.SymbolCount(), 0);
    EXPECT_TRUE(dialog.GetStatusText().contains(
        "A module of this width is 236 printer dots at this resolution; at most 64 are drawn"))
        << dialog.GetStatusText().toStdString();
    EXPECT_FALSE(dialog.GetStatusText().contains("--"));
    dialog.moduleMm().setValue(0.17);
    // Without a resolution, Save writes the screen's 2-pixel modules.
    dialog.dpi().setValue(0);
    saveAs(folder.filePath("screen.png"));
    EXPECT_EQ(startBarWidth(QImage(folder.filePath("screen.png"))), 8 * 2);
}

TEST_F(Save, SaveDialogSuggestsANameFromTheTextOffersEveryFormatAndIsRoomy) {
    struct Suggestion {
        const char* text;
        const char* name;
    };
    const Suggestion suggestions[] = {
        {"Hello, World!", "hello-world"},
        {"https://barquill.org/", "https-barquill-org"},
        {"  ", "label"},
        {"../../etc/passwd", "etc-passwd"},
        {"Grüße 中文", "grüße-中文"},
    };
    for (const Suggestion& s : suggestions)
        EXPECT_EQ(suggestedFileName(QString::fromUtf8(s.text)), QString::fromUtf8(s.name))
            << s.text;

    encode("Hello, World!");
    // The real dialog, looked at while it is open.
    struct Seen {
        QStringList filters;
        QString name;
        QSize size;
    } seen;
    class RealSave : public TestDialog {
    public:
        SaveTarget Ask() { return CMainDialog::AskSaveFileName(); }
    };
    RealSave real;
    real.text().setText("Hello, World!");
    QTimer::singleShot(0, [&] {
        auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (files == nullptr) return;
        seen.filters = files->nameFilters();
        if (auto* edit = files->findChild<QLineEdit*>("fileNameEdit")) seen.name = edit->text();
        seen.size = files->size();
        files->reject();
    });
    EXPECT_TRUE(real.Ask().path.isEmpty());
    EXPECT_EQ(seen.filters, QStringList({"PNG image (*.png)", "GIF image (*.gif)",
                                         "BMP image (*.bmp)", "SVG drawing (*.svg)"}));
    EXPECT_EQ(seen.name, QString("hello-world.png"));
    EXPECT_GE(seen.size.width(), 60 * real.fontMetrics().averageCharWidth());
}

}  // namespace
}  // namespace barquill::testing
