// SPDX-License-Identifier: MIT
// Saving from the main dialog: the format follows the extension or the
// chosen type and never hides under another's extension; PDF and EPS are
// vector drawings of the module width on the page chosen; the file lands
// under the exact name chosen, a series over an older one is asked about
// once, read-only files are named and asked about, what was written is
// told, and every failure is told, never hidden.

#include <gif_lib.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <filesystem>
#include <functional>

#include "app/page_dialog.h"
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

// A PDF rasterised by poppler, or an EPS by Ghostscript: independent
// renderers. `area` in pixels crops a PDF's page from its top left corner.
QImage rasterise(const QString& path, int dpi, QSize area = QSize()) {
    const QString png = path + ".png";
    QProcess tool;
    if (path.endsWith(".pdf")) {
        QStringList arguments{"-r", QString::number(dpi), "-gray", "-png", "-singlefile"};
        if (area.isValid())
            arguments << "-x"
                      << "0"
                      << "-y"
                      << "0"
                      << "-W" << QString::number(area.width()) << "-H"
                      << QString::number(area.height());
        tool.start("pdftoppm", arguments << path << path);
    } else {
        tool.start("gs", {"-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-dEPSCrop", "-sDEVICE=pnggray",
                          "-r" + QString::number(dpi), "-sOutputFile=" + png, path});
    }
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0) {
        ADD_FAILURE() << tool.readAllStandardError().toStdString();
        return QImage();
    }
    QImage image(png);
    QFile::remove(png);
    return image;
}

// What a command writes to its standard output.
QString output(const QString& program, const QStringList& arguments) {
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << ": " << tool.readAllStandardError().toStdString();
        return QString();
    }
    return QString::fromUtf8(tool.readAllStandardOutput());
}

// The first dark pixel from the top left, row by row, and column by column.
QPoint firstDark(const QImage& picture) {
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    QPoint first(-1, -1);
    for (int y = 0; y < grey.height() && first.y() < 0; ++y)
        for (int x = 0; x < grey.width(); ++x)
            if (qGray(grey.pixel(x, y)) < 128) {
                first.setY(y);
                break;
            }
    for (int x = 0; x < grey.width() && first.x() < 0; ++x)
        for (int y = 0; y < grey.height(); ++y)
            if (qGray(grey.pixel(x, y)) < 128) {
                first.setX(x);
                break;
            }
    return first;
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
        // Printer commands are not offered: their names are no exception.
        {"label.zpl", Format::png, "label.zpl.png", "PNG"},
        {"receipt.escpos", std::nullopt, "receipt.escpos.png", "PNG"},
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

    // The low-contrast question defaults to No too: grey on grey that still
    // reads back (a symbol that does not is refused without a question).
    dialog.bars().SetColor(0x707070);
    dialog.background().SetColor(0x909090);
    dialog.OnEncode();
    dialog.realQuestions = true;
    dialog.questions.clear();
    saveAs(folder.filePath("grey.png"));
    ASSERT_EQ(dialog.questions.size(), 1);
    EXPECT_TRUE(dialog.questions[0].contains("contrast"));
    EXPECT_FALSE(QFile::exists(folder.filePath("grey.png")));
}

// Symbols that did not read back are not saved, copied or printed, and the
// reason is shown; with Verify off, the file's own check still refuses them.
TEST_F(Save, ASymbolThatDoesNotReadBackIsNotSavedCopiedOrPrinted) {
    dialog.bars().SetColor(0xF0F0F0);  // near-white on white
    encode("abc");
    dialog.answer = true;  // yes to the contrast question
    const QString path = folder.filePath("pale.png");
    struct Case {
        const char* name;
        std::function<void()> act;
        const char* refused;
    };
    const Case cases[] = {
        {"save", [&] { saveAs(path); }, "Nothing was saved."},
        {"copy", [&] { dialog.OnCopy(); }, "Nothing was copied."},
        {"print", [&] { dialog.OnPrint(); }, "Nothing was printed."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialog.messages.clear();
        c.act();
        ASSERT_FALSE(dialog.messages.isEmpty());
        const std::string shown = dialog.messages.back().toStdString();
        EXPECT_NE(shown.find("Not verified (the reader finds no symbol)"), std::string::npos)
            << shown;
        EXPECT_NE(shown.find(c.refused), std::string::npos) << shown;
    }
    EXPECT_FALSE(QFile::exists(path));
    dialog.verify().setChecked(false);
    dialog.messages.clear();
    saveAs(path);
    ASSERT_EQ(dialog.messages.size(), 1);
    EXPECT_TRUE(dialog.messages[0].startsWith("Nothing was saved: verification failed"))
        << dialog.messages[0].toStdString();
    EXPECT_FALSE(QFile::exists(path));
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
    // Pictures and print documents; label and receipt printer commands are
    // for the command line, which sets their printer's options.
    EXPECT_EQ(seen.filters,
              QStringList({"PNG image (*.png)", "GIF image (*.gif)", "BMP image (*.bmp)",
                           "SVG drawing (*.svg)", "PDF document (*.pdf)", "EPS drawing (*.eps)"}));
    EXPECT_EQ(seen.name, QString("hello-world.png"));
    EXPECT_GE(seen.size.width(), 60 * real.fontMetrics().averageCharWidth());
}

TEST_F(Save, PdfAndEpsDrawVectorModulesOfTheirSizeOnTheChosenPageAndDecode) {
    struct Case {
        const char* name;
        const char* file;
        double moduleMm;  // the Module width field
        int dpi;          // the Resolution field; 0 the printer's
        std::optional<Page> page;
        double moduleOnPaperMm;  // what a module measures on paper
    };
    const Case cases[] = {
        {"PDF of the symbol's size, modules of the width asked", "exact.pdf", 0.5, 0, std::nullopt,
         0.5},
        {"PDF on A4, placed from the top left", "placed.pdf", 0.4, 0, Page{210, 297, 20, 30}, 0.4},
        {"PDF with a resolution: whole dots as saved", "dots.pdf", 0.34, 300, std::nullopt,
         4 * 25.4 / 300},
        {"EPS of the symbol's size", "drawing.eps", 0.5, 0, std::nullopt, 0.5},
    };
    const QString text = QString::fromUtf8("Vector: Grüße 2024");
    constexpr int DPI = 600;
    const auto pixels = [](double mm) { return mm * DPI / 25.4; };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialog.moduleMm().setValue(c.moduleMm);
        dialog.dpi().setValue(c.dpi);
        encode(text);
        ASSERT_EQ(dialog.SymbolCount(), 1) << dialog.GetStatusText().toStdString();
        const Symbol& symbol = dialog.CurrentLabel()->symbols.front();
        // The 10 of the Margin field: dots with a resolution, else 5 modules of 2 pixels.
        const double quietMm = c.dpi > 0 ? 10 * 25.4 / c.dpi : 5 * c.moduleMm;
        const double widthMm = symbol.width() * c.moduleOnPaperMm + 2 * quietMm;
        const double heightMm = symbol.rows() * 3 * c.moduleOnPaperMm + 2 * quietMm;
        dialog.pagesAsked.clear();
        dialog.nextPage = {false, c.page};
        const QString path = folder.filePath(c.file);
        saveAs(path);
        ASSERT_TRUE(dialog.messages.isEmpty()) << dialog.messages.join("|").toStdString();
        ASSERT_EQ(dialog.pagesAsked.size(), 1);
        EXPECT_NEAR(dialog.pagesAsked[0].width(), widthMm, 0.01);
        EXPECT_NEAR(dialog.pagesAsked[0].height(), heightMm, 0.01);
        const QSizeF pageMm =
            c.page ? QSizeF(c.page->widthMm, c.page->heightMm) : QSizeF(widthMm, heightMm);
        const QPointF at = c.page ? QPointF(c.page->xMm, c.page->yMm) : QPointF();
        if (QString(c.file).endsWith(".pdf")) {
            // No picture inside: pdfimages lists only its two header lines.
            const QStringList images =
                output("pdfimages", {"-list", path}).split('\n', Qt::SkipEmptyParts);
            EXPECT_EQ(images.size(), 2) << images.join("\n").toStdString();
            const QRegularExpressionMatch size =
                QRegularExpression("Page size: +([0-9.]+) x ([0-9.]+) pts")
                    .match(output("pdfinfo", {path}));
            ASSERT_TRUE(size.hasMatch());
            EXPECT_NEAR(size.captured(1).toDouble(), pageMm.width() * 72 / 25.4, 0.1);
            EXPECT_NEAR(size.captured(2).toDouble(), pageMm.height() * 72 / 25.4, 0.1);
        } else {
            // EPS bounds are whole points.
            const QRegularExpressionMatch box =
                QRegularExpression("%%BoundingBox: 0 0 ([0-9]+) ([0-9]+)")
                    .match(QString::fromLatin1(readFile(path)));
            ASSERT_TRUE(box.hasMatch());
            EXPECT_NEAR(box.captured(1).toDouble(), widthMm * 72 / 25.4, 1);
            EXPECT_NEAR(box.captured(2).toDouble(), heightMm * 72 / 25.4, 1);
        }
        // Rasterised at 600 dpi: the bars begin where the margin ends, the
        // start pattern's first bar is 8 modules, and the symbol decodes.
        const QSize area(qCeil(pixels(at.x() + widthMm)) + 8, qCeil(pixels(at.y() + heightMm)) + 8);
        const QImage page = rasterise(path, DPI, c.page ? area : QSize());
        ASSERT_FALSE(page.isNull());
        const QPoint first = firstDark(page);
        EXPECT_NEAR(first.x(), pixels(at.x() + quietMm), 2);
        EXPECT_NEAR(first.y(), pixels(at.y() + quietMm), 2);
        const QRect symbolArea(qFloor(pixels(at.x())), qFloor(pixels(at.y())),
                               qCeil(pixels(widthMm)), qCeil(pixels(heightMm)));
        const QImage drawn = page.copy(symbolArea);
        EXPECT_NEAR(startBarWidth(drawn), pixels(8 * c.moduleOnPaperMm), 1.5);
        EXPECT_EQ(decodeImage(drawn), utf8(text));
        if (c.page)
            drawn.save(QDir(BARQUILL_SCREENSHOT_DIR).filePath("barquill-saved-pdf-on-a4.png"));
    }
    // Cancelling the page dialog writes nothing.
    dialog.nextPage = {true, std::nullopt};
    saveAs(folder.filePath("cancelled.pdf"));
    EXPECT_FALSE(QFile::exists(folder.filePath("cancelled.pdf")));
}

TEST_F(Save, PageDialogOffersPaperSizesRemembersTheChoiceAndRefusesASymbolPastAnEdge) {
    PageDialog page(QSizeF(60, 20), std::nullopt);
    page.show();
    auto& paper = child<QComboBox>(page, "paper");
    auto& x = static_cast<DecimalBox&>(child<QDoubleSpinBox>(page, "x"));
    auto& y = static_cast<DecimalBox&>(child<QDoubleSpinBox>(page, "y"));
    auto& width = static_cast<DecimalBox&>(child<QDoubleSpinBox>(page, "pageWidth"));
    auto& height = static_cast<DecimalBox&>(child<QDoubleSpinBox>(page, "pageHeight"));
    auto* ok = page.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    const QLabel& error = child<QLabel>(page, "pageError");
    QStringList papers;
    for (int i = 0; i < paper.count(); ++i) papers << paper.itemText(i);
    EXPECT_EQ(papers, QStringList({"The symbol's own size", "A4", "Letter", "Custom"}));
    EXPECT_EQ(page.page(), std::nullopt);
    EXPECT_FALSE(x.isEnabled());
    EXPECT_TRUE(child<QLabel>(page, "symbolSize").text().contains("60.0"));
    struct Case {
        const char* paper;
        double width, height, x, y;  // the custom size is typed
        const char* error;           // part of what the dialog says; empty when it fits
    };
    const Case cases[] = {
        {"A4", 210, 297, 100, 50, ""},
        {"A4", 210, 297, 160, 50, "right edge by 10 mm"},
        {"Letter", 215.9, 279.4, 160, 270, "right edge by 4.1 mm"},
        {"Letter", 215.9, 279.4, 0, 270, "bottom edge by 10.6 mm"},
        {"Custom", 100, 30, 0, 15, "bottom edge by 5 mm"},
        {"Custom", 100, 30, 40, 10, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.paper) + " " + c.error);
        paper.setCurrentIndex(paper.findText(c.paper));
        if (QString(c.paper) == "Custom") {
            width.setValue(c.width);
            height.setValue(c.height);
        }
        EXPECT_EQ(width.isEnabled(), QString(c.paper) == "Custom");
        x.setValue(c.x);
        y.setValue(c.y);
        EXPECT_EQ(ok->isEnabled(), *c.error == '\0');
        EXPECT_EQ(error.isVisible(), *c.error != '\0');
        // Sizes are written unbroken: their space is a no-break space.
        EXPECT_TRUE(QString(error.text()).replace(QChar(0xA0), ' ').contains(c.error))
            << error.text().toStdString();
        if (*c.error == '\0') {
            EXPECT_EQ(page.page(), (Page{c.width, c.height, c.x, c.y}));
        }
        if (QString(c.error).contains("4.1"))
            page.grab().save(QDir(BARQUILL_SCREENSHOT_DIR).filePath("barquill-page-dialog.png"));
    }

    // The window's own dialog starts with the page chosen last time.
    class RealPage : public TestDialog {
    public:
        PageAnswer Ask() { return CMainDialog::AskPage(60, 20); }
    };
    RealPage real;
    QString shownPaper;
    const auto answer = [&](const char* choose) {
        QTimer::singleShot(0, [&, choose] {
            auto* open = qobject_cast<PageDialog*>(QApplication::activeModalWidget());
            if (open == nullptr) return;
            auto& box = child<QComboBox>(*open, "paper");
            shownPaper = box.currentText();
            box.setCurrentIndex(box.findText(choose));
            child<QDoubleSpinBox>(*open, "x").setValue(12.5);
            child<QDoubleSpinBox>(*open, "y").setValue(7);
            open->accept();
        });
        return real.Ask();
    };
    const auto first = answer("Letter");
    EXPECT_EQ(shownPaper, QString("The symbol's own size"));
    EXPECT_FALSE(first.cancelled);
    EXPECT_EQ(first.page, (Page{215.9, 279.4, 12.5, 7}));
    answer("A4");
    EXPECT_EQ(shownPaper, QString("Letter"));
}

}  // namespace
}  // namespace barquill::testing
