// Printing at true size (through a PDF, rasterised by poppler and decoded by
// an independent reader) and the command line that writes the same file.

#include <gtest/gtest.h>

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
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
    dialog.m_edText.setText(text);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialog.m_spModuleMm.setValue(c.moduleMm);
        dialog.m_spDpi.setValue(c.dpi);
        const QString pdf = folder.filePath("page.pdf");
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        const PrintLayout layout = dialog.PrintSymbol(&printer);
        ASSERT_TRUE(layout.ok) << layout.error.toStdString();
        EXPECT_EQ(layout.dpi, c.dpi);
        EXPECT_EQ(layout.moduleDots, c.dots);
        EXPECT_NE(dialog.GetStatusText().indexOf(QString("%1 × ").arg(layout.widthMm, 0, 'f', 1)),
                  -1);

        QProcess raster;
        raster.start("pdftoppm", {"-r", QString::number(c.dpi), "-png", "-singlefile", pdf,
                                  folder.filePath("page")});
        ASSERT_TRUE(raster.waitForFinished(60000));
        ASSERT_EQ(raster.exitCode(), 0) << raster.readAllStandardError().toStdString();
        const QImage page(folder.filePath("page.png"));
        ASSERT_FALSE(page.isNull());
        // The symbol: the band of rows with dark pixels from the first one
        // (the start pattern runs through every row), then the caption.
        QRect symbol;
        bool ended = false;
        for (int y = 0; y < page.height() && !ended; ++y) {
            QRect row;
            for (int x = 0; x < page.width(); ++x)
                if (qGray(page.pixel(x, y)) < 128) row |= QRect(x, y, 1, 1);
            if (row.isEmpty())
                ended = !symbol.isEmpty();
            else
                symbol |= row;
        }
        ASSERT_FALSE(symbol.isEmpty());
        EXPECT_EQ(
            startBarWidth(page.convertToFormat(QImage::Format_RGB32), symbol.adjusted(-4, 0, 4, 0)),
            8 * c.dots);
        // Inside the quiet zone, above the caption.
        const QImage crop = page.copy(symbol.adjusted(-12, -12, 12, 12));
        EXPECT_EQ(decodeImage(crop), utf8(text));
        crop.save(QDir(BARQUILL_SCREENSHOT_DIR)
                      .filePath(QString("barquill-printed-%1dpi.png").arg(c.dpi)));
    }
    // Ctrl+P opens the preview.
    QTest::keyClick(&dialog, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(dialog.previews, 1);
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
    };
    QString series;
    for (int i = 0; series.size() < 2400; ++i) series += QString("Line %1; ").arg(i);
    const Case cases[] = {
        {"defaults", "https://barquill.org/", false, "1", 0, 10, 0x000000, 0xFFFFFF},
        {"quotes, a dash and colours", "-it's \"quoted\" $HOME `x`", false, "Auto", 5, 3, 0x803010,
         0xC0F0FF},
        {"escapes", "line\\nnext\\x1e", true, "4", 0, 0, 0x000000, 0xFFFFFF},
        {"UTF-8 text, rows", QString::fromUtf8("Grüße, 中文"), false, "2", 0, 10, 0, 0xFFFFFF, 8},
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
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialog.m_chkEscapes.setChecked(c.escapes);
        dialog.m_edText.setText(c.text);
        dialog.m_cbLevel.setCurrentIndex(dialog.m_cbLevel.findText(c.level));
        dialog.m_spColumns.setValue(c.columns);
        dialog.m_spMargin.setValue(c.margin);
        dialog.m_btnBarColor.SetColor(c.bars);
        dialog.m_btnBackground.SetColor(c.background);
        dialog.m_spRows.setValue(std::max(c.rows, dialog.m_spRows.minimum()));
        dialog.m_cbCharset.setCurrentIndex(dialog.m_cbCharset.findText(c.charset));
        dialog.m_chkSeries.setChecked(c.series);
        dialog.OnEncode();
        ASSERT_EQ(dialog.SymbolCount(), c.files.size()) << dialog.GetStatusText().toStdString();
        const QString saved = folder.filePath("saved.png");
        dialog.nextSavePath = saved;
        dialog.OnSave();
        ASSERT_TRUE(dialog.messages.isEmpty()) << dialog.messages.join("|").toStdString();
        const QString command = dialog.CommandLineText();
        EXPECT_NE(command.indexOf(saved), -1) << command.toStdString();

        // Run where the saved file would go, under another name.
        QString otherCommand = command;
        otherCommand.replace(saved, folder.filePath("command.png"));
        QProcess shell;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PATH", QString(BARQUILL_CLI_DIR) + ":" + env.value("PATH"));
        shell.setProcessEnvironment(env);
        shell.start("/bin/sh", {"-c", otherCommand});
        ASSERT_TRUE(shell.waitForFinished(30000));
        EXPECT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString() << "\n"
                                       << otherCommand.toStdString();
        for (const QString& file : c.files) {
            const QImage fromCommand(folder.filePath(file.arg("command")));
            const QImage fromSave(folder.filePath(file.arg("saved")));
            ASSERT_FALSE(fromSave.isNull()) << file.toStdString();
            EXPECT_EQ(fromCommand.convertToFormat(QImage::Format_RGB32),
                      fromSave.convertToFormat(QImage::Format_RGB32));
        }
    }

    // From the symbol's context menu: the command with a copy button.
    QString shown;
    dialog.onDialog = [&](QDialog& box) {
        shown = box.findChild<QLineEdit*>()->text();
        box.findChild<QPushButton*>("copy")->click();
    };
    dialog.OnCommandLine();
    EXPECT_EQ(shown, dialog.CommandLineText());
    EXPECT_EQ(QApplication::clipboard()->text(), shown);
}

}  // namespace
}  // namespace barquill::testing
