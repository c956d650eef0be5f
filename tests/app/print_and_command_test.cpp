// SPDX-License-Identifier: MIT
// Printing at true size as vectors (through a PDF, rasterised by poppler and
// decoded by an independent reader), a series whole symbols to a page, and the command
// line that writes the same file.

#include <gtest/gtest.h>

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "gui_test_support.h"

namespace barquill::testing {
namespace {

class PrintAndCommand : public ::testing::Test {
protected:
    static void SetUpTestSuite() { qtApplication(); }
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }

    // Prints to a PDF and rasterises every page at `dpi`; the pages, or none.
    QList<QImage> printPages(int dpi, PrintLayout* layout, QPoint* origin) {
        const QString pdf = folder.filePath("page.pdf");
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        *layout = dialog.PrintSymbol(&printer);
        // The painter's origin is the printable area's corner on the page.
        *origin = printer.pageLayout().paintRectPixels(layout->dpi).topLeft();
        QProcess raster;
        raster.start("pdftoppm",
                     {"-r", QString::number(dpi), "-png", pdf, folder.filePath("page")});
        if (!raster.waitForFinished(60000) || raster.exitCode() != 0) {
            ADD_FAILURE() << raster.readAllStandardError().toStdString();
            return {};
        }
        // Drawn as rectangles, not as a picture: pdfimages lists only its header.
        QProcess images;
        images.start("pdfimages", {"-list", pdf});
        images.waitForFinished(30000);
        EXPECT_EQ(QString::fromUtf8(images.readAllStandardOutput()).count('\n'), 2);
        QList<QImage> pages;
        const QStringList names =
            QDir(folder.path()).entryList({"page-*.png"}, QDir::Files, QDir::Name);
        for (const QString& name : names) {
            pages << QImage(folder.filePath(name));
            QFile::remove(folder.filePath(name));
        }
        return pages;
    }

    QTemporaryDir folder;
    TestDialog dialog;
};

// The first run of dark pixels on the row through the symbol's middle: the
// start pattern's first bar, 8 modules wide.
int startBarWidth(const QImage& page, QRect symbol) {
    const int y = symbol.center().y();
    int x = symbol.left();
    while (x < symbol.right() && qGray(page.pixel(x, y)) >= 128) ++x;
    int width = 0;
    while (x + width < symbol.right() && qGray(page.pixel(x + width, y)) < 128) ++width;
    return width;
}

std::optional<Pdf417Reading> readDetails(const QImage& image) {
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    // The reader wants the rows packed.
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < grey.height(); ++y)
        pixels.insert(pixels.end(), grey.constScanLine(y), grey.constScanLine(y) + grey.width());
    return readPdf417GreyDetails({pixels.data(), grey.width(), grey.height()});
}

TEST_F(PrintAndCommand, PrintsEveryModuleAsWholePrinterDotsAndThePageDecodes) {
    struct Case {
        const char* name;
        double moduleMm;
        int dpi;
        int dots;  // per module: the module width rounded to whole dots
    };
    const Case cases[] = {
        {"0.34 mm at 300 dpi", 0.34, 300, 4},
        {"0.5 mm at 150 dpi", 0.5, 150, 3},
    };
    const QString text = "Printed: Grüße";
    dialog.text().setText(text);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialog.moduleMm().setValue(c.moduleMm);
        dialog.dpi().setValue(c.dpi);
        PrintLayout layout;
        QPoint origin;
        const QList<QImage> pages = printPages(c.dpi, &layout, &origin);
        ASSERT_TRUE(layout.ok) << layout.error.toStdString();
        EXPECT_EQ(layout.dpi, c.dpi);
        EXPECT_EQ(layout.moduleDots, c.dots);
        EXPECT_EQ(layout.pages, 1);
        ASSERT_EQ(pages.size(), 1);
        const QImage page = pages.front().convertToFormat(QImage::Format_RGB32);
        const QRect symbol = layout.symbols.front().rect.translated(origin);
        EXPECT_EQ(startBarWidth(page, symbol), 8 * c.dots);
        const QImage crop = page.copy(symbol.adjusted(-12, -12, 12, 12));
        EXPECT_EQ(decodeImage(crop), utf8(text));
        crop.save(QDir(BARQUILL_SCREENSHOT_DIR)
                      .filePath(QString("barquill-printed-%1dpi.png").arg(c.dpi)));
    }
    // Ctrl+P opens the preview.
    QTest::keyClick(&dialog, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(dialog.previews, 1);
}

TEST_F(PrintAndCommand, PrintsASeriesAsWholeSymbolsEachWithItsNumberAndEveryOneDecodes) {
    struct Case {
        const char* name;
        double moduleMm;
        int dpi;
        int columns;
        bool severalPages;
    };
    const Case cases[] = {
        {"three to a page", 0.25, 300, 0, false},
        // Tall symbols of two columns: a page holds fewer than all.
        {"whole symbols over several pages", 0.5, 150, 2, true},
    };
    const QString text = longText(3000);
    dialog.split().setChecked(true);
    dialog.text().setText(text);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialog.moduleMm().setValue(c.moduleMm);
        dialog.dpi().setValue(c.dpi);
        dialog.columns().setValue(c.columns);
        const int count = dialog.SymbolCount();
        ASSERT_GE(count, 3) << dialog.GetStatusText().toStdString();
        PrintLayout layout;
        QPoint origin;
        const QList<QImage> pages = printPages(c.dpi, &layout, &origin);
        ASSERT_TRUE(layout.ok) << layout.error.toStdString();
        EXPECT_TRUE(layout.error.isEmpty()) << layout.error.toStdString();
        ASSERT_EQ(layout.symbols.size(), count);
        ASSERT_EQ(pages.size(), layout.pages);
        EXPECT_EQ(layout.pages > 1, c.severalPages);
        Bytes joined;
        for (int i = 0; i < count; ++i) {
            SCOPED_TRACE(i);
            const PrintLayout::Placed& placed = layout.symbols[i];
            const QImage page = pages[placed.page].convertToFormat(QImage::Format_RGB32);
            const QRect symbol = placed.rect.translated(origin);
            // Whole on its page.
            ASSERT_TRUE(page.rect().contains(symbol));
            const auto reading = readDetails(page.copy(symbol.adjusted(-12, -12, 12, 12)));
            ASSERT_TRUE(reading.has_value());
            EXPECT_EQ(reading->sequenceIndex, i);
            EXPECT_EQ(reading->sequenceSize, count);
            joined.insert(joined.end(), reading->bytes.begin(), reading->bytes.end());
            // The "n of N" caption below it.
            const QRect caption(symbol.left(), symbol.bottom() + 1, symbol.width(), c.dpi / 4);
            int dark = 0;
            for (int y = caption.top(); y <= caption.bottom() && y < page.height(); ++y)
                for (int x = caption.left(); x <= caption.right(); ++x)
                    dark += qGray(page.pixel(x, y)) < 128;
            EXPECT_GT(dark, 20);
        }
        EXPECT_EQ(joined, utf8(text));
        if (!c.severalPages)
            for (int p = 0; p < pages.size(); ++p)
                pages[p].save(
                    QDir(BARQUILL_SCREENSHOT_DIR)
                        .filePath(QString("barquill-printed-series-page-%1.png").arg(p + 1)));
    }
}

TEST_F(PrintAndCommand, CommandLineWritesTheSameFileAsSave) {
    struct Case {
        const char* name;
        QString text;
        bool escapes;
        const char* level;
        int columns, margin;
        COLORREF bars, background;
        int rows = 0;
        const char* charset = "Auto";
        bool series = false;
        QStringList files = {"%1.png"};  // what Save writes, %1 the name without extension
        const char* aspect = "";
        int dpi = 0;
        QByteArray loaded = {};  // data loaded from a file instead of the text
    };
    const QString series = longText(2400);
    const Case cases[] = {
        {"defaults", "https://barquill.org/", false, "1", 0, 10, 0x000000, 0xFFFFFF},
        {"quotes, a dash and colours", "-it's \"quoted\" $HOME `x`", false, "Auto", 5, 3, 0x803010,
         0xC0F0FF},
        {"escapes", "line\\nnext\\x1e", true, "4", 0, 0, 0x000000, 0xFFFFFF},
        {"UTF-8 text over two lines, rows", QString::fromUtf8("Grüße,\n中文"), false, "2", 0, 10, 0,
         0xFFFFFF, 8},
        {"a character set", QString::fromUtf8("Plaćanje"), false, "2", 0, 10, 0, 0xFFFFFF, 0,
         "ISO-8859-2"},
        {"a series",
         series,
         false,
         "1",
         0,
         10,
         0,
         0xFFFFFF,
         0,
         "Auto",
         true,
         {"%1-01.png", "%1-02.png"}},
        {"an aspect ratio",
         QString(200, QChar('a')),
         false,
         "3",
         0,
         10,
         0,
         0xFFFFFF,
         0,
         "Auto",
         false,
         {"%1.png"},
         "1:2"},
        {"print size",
         "Print size",
         false,
         "2",
         0,
         8,
         0,
         0xFFFFFF,
         0,
         "Auto",
         false,
         {"%1.png"},
         "",
         300},
        {"loaded bytes",
         "",
         false,
         "2",
         0,
         10,
         0,
         0xFFFFFF,
         0,
         "Auto",
         false,
         {"%1.png"},
         "",
         0,
         QByteArray("bytes \0\xFF\xE9 as they are", 21)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialog.escapes().setChecked(c.escapes);
        if (c.loaded.isEmpty()) {
            dialog.text().setText(c.text);
        } else {
            QFile data(folder.filePath("data.bin"));
            ASSERT_TRUE(data.open(QIODevice::WriteOnly));
            data.write(c.loaded);
            data.close();
            ASSERT_TRUE(dialog.LoadFile(data.fileName()));
        }
        dialog.level().setCurrentIndex(dialog.level().findText(c.level));
        dialog.columns().setValue(c.columns);
        dialog.margin().setValue(c.margin);
        dialog.bars().SetColor(c.bars);
        dialog.background().SetColor(c.background);
        dialog.rows().setValue(c.rows);
        dialog.aspect().setText(c.aspect);
        dialog.dpi().setValue(c.dpi);
        dialog.charset().setCurrentIndex(dialog.charset().findText(c.charset));
        dialog.split().setChecked(c.series);
        dialog.OnEncode();
        ASSERT_EQ(dialog.SymbolCount(), c.files.size()) << dialog.GetStatusText().toStdString();
        const QString saved = folder.filePath("saved.png");
        dialog.nextSavePath = saved;
        dialog.OnSave();
        ASSERT_TRUE(dialog.messages.isEmpty()) << dialog.messages.join("|").toStdString();
        const QString command = dialog.CommandLineText();
        // A fresh name, never the file just saved.
        EXPECT_TRUE(command.contains(" -o label.png")) << command.toStdString();
        EXPECT_FALSE(command.contains(saved)) << command.toStdString();

        QProcess shell;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PATH", QString(BARQUILL_CLI_DIR) + ":" + env.value("PATH"));
        shell.setProcessEnvironment(env);
        shell.setWorkingDirectory(folder.path());
        shell.start("/bin/sh", {"-c", command});
        ASSERT_TRUE(shell.waitForFinished(30000));
        EXPECT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString() << "\n"
                                       << command.toStdString();
        for (const QString& file : c.files) {
            const QImage fromCommand(folder.filePath(file.arg("label")));
            const QImage fromSave(folder.filePath(file.arg("saved")));
            ASSERT_FALSE(fromSave.isNull()) << file.toStdString();
            EXPECT_EQ(fromCommand.convertToFormat(QImage::Format_RGB32),
                      fromSave.convertToFormat(QImage::Format_RGB32));
            EXPECT_EQ(fromCommand.dotsPerMeterX(), fromSave.dotsPerMeterX());
        }
    }
}

TEST_F(PrintAndCommand, CommandLineDialogShowsTheWholeCommandAndAltCCopiesIt) {
    dialog.text().setText(longText(300));
    dialog.nextSavePath = folder.filePath("saved.png");
    dialog.OnSave();
    QString shown;
    bool readOnly = false, wraps = false;
    QString focusedAfterAltC;
    dialog.onDialog = [&](QDialog& box) {
        box.show();
        QApplication::setActiveWindow(&box);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
        auto* command = box.findChild<QPlainTextEdit*>("command");
        ASSERT_NE(command, nullptr);
        shown = command->toPlainText();
        readOnly = command->isReadOnly();
        wraps = command->lineWrapMode() == QPlainTextEdit::WidgetWidth;
        box.grab().save(QDir(BARQUILL_SCREENSHOT_DIR).filePath("barquill-command-line.png"));
        QApplication::clipboard()->clear();
        QTest::keyClick(command, Qt::Key_C, Qt::AltModifier);
        // A mnemonic clicks the button after its pressed look has shown.
        EXPECT_TRUE(QTest::qWaitFor([&] { return !QApplication::clipboard()->text().isEmpty(); }));
        focusedAfterAltC = QApplication::focusWidget() != nullptr
                               ? QApplication::focusWidget()->objectName()
                               : QString();
    };
    dialog.OnCommandLine();
    EXPECT_EQ(shown, dialog.CommandLineText());
    EXPECT_TRUE(readOnly);
    EXPECT_TRUE(wraps);
    EXPECT_TRUE(shown.contains("-o label.png"));
    // Alt+C is the Copy button's alone.
    EXPECT_EQ(QApplication::clipboard()->text(), shown);
    EXPECT_EQ(focusedAfterAltC, QString("command"));
}

}  // namespace
}  // namespace barquill::testing
