// SPDX-License-Identifier: MIT
// The main dialog on the offscreen platform: defaults, live preview and the
// outdated mark, the status line and its refusals, the window that fits any
// symbol, colours, loading, copying, languages and the state kept between
// runs.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QUrl>

#include "app/about_dialog.h"
#include "app/barcode_app.h"
#include "app/colour_check.h"
#include "gui_test_support.h"

namespace barquill::testing {
namespace {

class MainDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite() { qtApplication(); }

    void SetUp() override {
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }

    void press(int id) { QTest::mouseClick(dialog.GetDlgItem(id), Qt::LeftButton); }
    void setText(const QString& text) { dialog.text().setText(text); }
    std::string status() const { return dialog.GetStatusText().toStdString(); }
    // The symbol area as the window shows it.
    QImage shown() { return dialog.symbolView().grab().toImage(); }

    TestDialog dialog;
};

TEST_F(MainDialog, StartsWithDefaultsAndAPreviewOfTheSample) {
    EXPECT_EQ(dialog.windowTitle(), QString("Barquill"));
    EXPECT_EQ(dialog.margin().value(), 10);
    EXPECT_EQ(dialog.columns().text(), QString("Auto"));
    EXPECT_EQ(dialog.text().text(), QString("https://barquill.org/"));
    QStringList items;
    for (int i = 0; i < dialog.level().count(); ++i) items << dialog.level().itemText(i);
    EXPECT_EQ(items, QStringList({"Auto", "0", "1", "2", "3", "4", "5", "6", "7", "8"}));
    EXPECT_EQ(dialog.level().currentText(), QString("1"));
    EXPECT_FALSE(dialog.level().isEditable());
    EXPECT_EQ(dialog.bars().GetColor(), 0x000000u);
    EXPECT_EQ(dialog.background().GetColor(), 0xFFFFFFu);
    EXPECT_TRUE(dialog.live().isChecked());
    EXPECT_EQ(QApplication::focusWidget(), &dialog.text());
    ASSERT_EQ(dialog.SymbolCount(), 1);
    EXPECT_EQ(decodeImage(dialog.SymbolImageAt(0)), utf8("https://barquill.org/"));
    EXPECT_EQ(decodeImage(shown()), utf8("https://barquill.org/"));
    // The margin and the module of the original: 2 × 4 pixels inside 10.
    const auto reference = encode("https://barquill.org/", {.level = 1});
    ASSERT_TRUE(reference.ok());
    EXPECT_EQ(dialog.SymbolImageAt(0).size(),
              QSize(2 * (reference->width() + 10), 2 * 10 + 4 * reference->rows()));
}

TEST_F(MainDialog, LivePreviewFollowsEveryKeystrokeAndOptionAndOffWaitsForEncode) {
    setText("");
    dialog.text().setFocus();
    QTest::keyClicks(&dialog.text(), "Ticket 42");
    EXPECT_EQ(decodeImage(shown()), utf8("Ticket 42"));
    dialog.level().setCurrentIndex(dialog.level().findText("5"));
    EXPECT_NE(dialog.GetStatusText().indexOf("level 5"), -1) << status();
    dialog.columns().setValue(7);
    // Data columns, as set: the symbol has 7 of them (and its indicators).
    EXPECT_NE(dialog.GetStatusText().indexOf("× 7 data columns"), -1) << status();
    ASSERT_EQ(dialog.CurrentLabel()->symbols.front().columns(), 7);

    dialog.live().setChecked(false);
    EXPECT_FALSE(dialog.IsStale());  // turning the preview off changes nothing
    QTest::keyClicks(&dialog.text(), "3");
    EXPECT_EQ(decodeImage(dialog.SymbolImageAt(0)), utf8("Ticket 42"));
    press(res::IDC_ENCODE);
    EXPECT_EQ(decodeImage(shown()), utf8("Ticket 423"));
}

TEST_F(MainDialog, StaleSymbolIsMarkedOnScreenAndForScreenReadersAndPrintAndCopyAsk) {
    dialog.live().setChecked(false);
    setText("first");
    dialog.OnEncode();
    const QImage fresh = shown();
    ASSERT_EQ(decodeImage(fresh), utf8("first"));
    setText("second");
    EXPECT_TRUE(dialog.IsStale());
    // Faded and captioned on screen, where a reader no longer takes it for current.
    EXPECT_NE(shown(), fresh);
    EXPECT_FALSE(decodeImage(shown()).has_value());
    EXPECT_TRUE(dialog.GetStatusText().contains("Outdated")) << status();
    EXPECT_EQ(dialog.symbolView().accessibleDescription(), dialog.StatusDescription());
    dialog.grab().save(QDir(BARQUILL_SCREENSHOT_DIR).filePath("barquill-stale.png"));

    struct Case {
        const char* name;
        std::function<void()> act;
        std::function<bool()> happened;
    };
    QApplication::clipboard()->clear();
    const Case cases[] = {
        {"print", [&] { dialog.OnPrint(); }, [&] { return dialog.previews > 0; }},
        {"copy image", [&] { dialog.OnCopy(); },
         [&] {
             const QMimeData* mime = QApplication::clipboard()->mimeData();
             return mime != nullptr && mime->hasImage();
         }},
        {"copy SVG text", [&] { dialog.OnCopySvgText(); },
         [&] { return QApplication::clipboard()->text().contains("<svg"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialog.questions.clear();
        dialog.answer = false;
        c.act();
        ASSERT_EQ(dialog.questions.size(), 1);
        EXPECT_TRUE(dialog.questions[0].contains("changed")) << dialog.questions[0].toStdString();
        EXPECT_FALSE(c.happened());
        dialog.answer = true;
        c.act();
        EXPECT_TRUE(c.happened());
    }
    dialog.OnEncode();
    EXPECT_FALSE(dialog.IsStale());
    EXPECT_FALSE(dialog.GetStatusText().contains("Outdated"));
    EXPECT_EQ(decodeImage(shown()), utf8("second"));
}

TEST_F(MainDialog, FailedBuildLeavesNothingAndSaysWhatToChange) {
    struct Case {
        const char* name;
        QString text;
        int columns;
        bool escapes;
        const char* expected;  // part of the status line
    };
    const Case cases[] = {
        {"empty text", "", 0, false, "The text is empty"},
        {"too long for any symbol", QString(2500, QChar(0xE9)), 0, false,
         "a symbol holds at most 928: shorten the text"},
        {"too many rows at one column", QString(1500, QChar('a')), 1, false,
         "a symbol has at most 90 rows: choose more columns or Auto"},
        {"beyond what one symbol takes", QString(7000, QChar('1')), 0, false,
         "The text is 7,000 bytes long; one symbol takes at most 6,999"},
        {"unknown escape", "a\\q", 0, true, "Text: “\\q” at character 2 is no escape"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setText("abc");
        ASSERT_EQ(dialog.SymbolCount(), 1);
        dialog.columns().setValue(c.columns);
        dialog.escapes().setChecked(c.escapes);
        setText(c.text);
        EXPECT_NE(dialog.GetStatusText().indexOf(c.expected), -1) << status();
        EXPECT_EQ(dialog.SymbolCount(), 0);
        EXPECT_TRUE(shown().isNull() || !decodeImage(shown()));
        // Save is refused with the same reason.
        dialog.messages.clear();
        dialog.nextSavePath = "/nonexistent/never.png";
        const int runs = dialog.saveDialogRuns;
        press(res::IDC_SAVE);
        EXPECT_EQ(dialog.saveDialogRuns, runs);
        ASSERT_EQ(dialog.messages.size(), 1);
        EXPECT_NE(dialog.messages[0].indexOf(c.expected), -1) << dialog.messages[0].toStdString();
    }
}

TEST_F(MainDialog, ShapeAdviceOffersOnlyShapesASymbolCanHave) {
    struct Case {
        const char* name;
        QString text;
        int rows, columns;
        const char* level;
        std::vector<const char*> said;
        std::vector<const char*> unsaid;
    };
    const Case cases[] = {
        // 39 columns and 98 rows are past the limits of 30 and 90.
        {"five rows of two columns",
         QString(500, QChar('x')),
         5,
         2,
         "2",
         {"does not fit 5 rows of 2 data columns", "Give more rows or columns"},
         {"39", "98", "0 columns", "lower the level"}},
        {"three rows at level 8",
         QString(300, QChar('x')),
         3,
         0,
         "8",
         {"does not fit 3 rows of up to 30 data columns at level 8"},
         {"0 columns", "0 rows", " 0 data columns"}},
        {"a shape that a larger one fixes",
         QString(60, QChar('x')),
         6,
         2,
         "2",
         {"It needs", "data columns at 6 rows", "rows at 2 data columns"},
         {"lower the level", "Level 1 or lower fits"}},
        // Level 0 is the lowest: nothing lower to offer.
        {"level 0",
         QString(900, QChar('x')),
         3,
         3,
         "0",
         {"does not fit 3 rows of 3 data columns at level 0"},
         {"lower the level", "or lower fits"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialog.level().setCurrentIndex(dialog.level().findText(c.level));
        dialog.rows().setValue(c.rows);
        dialog.columns().setValue(c.columns);
        setText(c.text);
        ASSERT_EQ(dialog.SymbolCount(), 0) << status();
        for (const char* part : c.said)
            EXPECT_TRUE(dialog.GetStatusText().contains(QString::fromUtf8(part))) << part;
        for (const char* part : c.unsaid)
            EXPECT_FALSE(dialog.GetStatusText().contains(QString::fromUtf8(part))) << part;
    }
    // "Lower the level" is offered only when a lower level holds the data,
    // and then it does.
    dialog.rows().setValue(0);
    dialog.columns().setValue(0);
    dialog.level().setCurrentIndex(dialog.level().findText("8"));
    setText(QString(1700, QChar('7')));
    ASSERT_TRUE(dialog.GetStatusText().contains("or lower the level")) << status();
    const QRegularExpression fits("Level (\\d) or lower fits");
    const QRegularExpressionMatch match = fits.match(dialog.GetStatusText());
    ASSERT_TRUE(match.hasMatch()) << status();
    dialog.level().setCurrentIndex(dialog.level().findText(match.captured(1)));
    EXPECT_EQ(dialog.SymbolCount(), 1) << status();
}

TEST_F(MainDialog, TooLongTextOffersASeriesShownInAGridThatUsesTheArea) {
    const QString text = longText(2400);
    setText(text);
    EXPECT_NE(dialog.GetStatusText().indexOf("codewords at level 1; a symbol holds at most 928: "
                                             "shorten the text"),
              -1)
        << status();
    EXPECT_EQ(dialog.SymbolCount(), 0);
    QPushButton& split = dialog.button("splitOffer");
    EXPECT_TRUE(split.isVisible());
    EXPECT_TRUE(split.text().startsWith("Split into a series of"));
    split.click();
    EXPECT_TRUE(dialog.split().isChecked());
    EXPECT_FALSE(split.isVisible());
    const int count = dialog.SymbolCount();
    ASSERT_GE(count, 2) << status();
    EXPECT_NE(dialog.GetStatusText().indexOf(QString("series of %1 symbols").arg(count)), -1);
    // Every segment reads, and together they give the data back.
    EXPECT_EQ(decodeAll(dialog), utf8(text));

    // Seven symbols in a tall window: rows of a grid show them larger than one row does.
    dialog.level().setCurrentIndex(dialog.level().findText("0"));
    dialog.columns().setValue(2);
    setText(longText(1200));
    const int seven = dialog.SymbolCount();
    ASSERT_GE(seven, 4) << status();
    dialog.resize(700, 1400);
    QApplication::processEvents();
    SymbolView& view = dialog.symbolView();
    EXPECT_LT(view.gridColumns(), seven);
    const QSize picture = dialog.SymbolImageAt(0).size();
    const QSize oneRow(seven * picture.width() + (seven - 1) * SymbolView::SERIES_GAP,
                       picture.height());
    const QSize area = view.size() - QSize(2 * SymbolView::FRAME, 2 * SymbolView::FRAME);
    EXPECT_GT(view.scale(), SymbolView::scaleFor(oneRow, area));
    // The grid fits the area, and every symbol of it reads back.
    EXPECT_TRUE(view.rect().contains(view.symbolRect()));
    dialog.FinishVerification();
    EXPECT_TRUE(dialog.GetStatusText().startsWith(QString::fromUtf8("✓ Verified."))) << status();
    dialog.grab().save(QDir(BARQUILL_SCREENSHOT_DIR).filePath("barquill-series-grid.png"));

    struct Layout {
        int count;
        QSize area;
        int columns;
    };
    const Layout layouts[] = {
        {3, {2000, 300}, 3},  // room for all at natural size: side by side
        {7, {620, 313}, 3},   // one row would halve them: three rows of three
        {4, {500, 500}, 2},   // two by two as large as one column, and wider
        {6, {250, 1000}, 1},  // a tall, narrow area: one column
        {4, {1300, 700}, 2},  // an enlarged window: the grid that scales up most
    };
    for (const Layout& l : layouts)
        EXPECT_EQ(SymbolView::columnsFor(l.count, {200, 60}, l.area), l.columns)
            << l.count << " in " << l.area.width() << "x" << l.area.height();
}

TEST_F(MainDialog, EverySymbolIsReadBackAndMarkedVerified) {
    EXPECT_TRUE(dialog.verify().isChecked());
    // The mark follows once typing pauses.
    EXPECT_TRUE(dialog.GetStatusText().startsWith("Verifying...")) << status();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.GetStatusText().startsWith("Verifying"); }));
    EXPECT_TRUE(dialog.GetStatusText().startsWith(QString::fromUtf8("✓ Verified."))) << status();
    struct Case {
        const char* name;
        QString text;
        ColorRef bars, background;
        bool series;
        const char* mark;
    };
    const Case cases[] = {
        {"UTF-8 text with its ECI", QString::fromUtf8("Grüße, 中文"), 0, 0xFFFFFF, false,
         "✓ Verified."},
        {"every symbol of a series", longText(2400), 0, 0xFFFFFF, true, "✓ Verified."},
        {"near-white on white reads as nothing", "abc", 0xF0F0F0, 0xFFFFFF, false,
         "Not verified (the reader finds no symbol)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialog.bars().SetColor(c.bars);
        dialog.background().SetColor(c.background);
        dialog.split().setChecked(c.series);
        setText(c.text);
        dialog.FinishVerification();
        EXPECT_TRUE(dialog.GetStatusText().startsWith(QString::fromUtf8(c.mark))) << status();
    }
    dialog.verify().setChecked(false);
    EXPECT_FALSE(dialog.GetStatusText().contains("erified")) << status();
}

TEST_F(MainDialog, RowsAspectAndCharacterSetShapeTheSymbol) {
    struct Case {
        const char* name;
        QString text;
        int rows, columns;
        const char* aspect;
        const char* charset;
        const char* problem;  // part of the status line when refused
        int expectRows, expectColumns;
    };
    const Case cases[] = {
        {"rows alone", "ROW 12 SEAT 7", 6, 0, "", "Auto", nullptr, 6, 0},
        {"a fixed size", "LOT 4711", 20, 9, "", "Auto", nullptr, 20, 9},
        {"aspect needs automatic columns", "PARCEL", 0, 4, "4", "Auto",
         "set Rows and Columns to Auto", 0, 0},
        {"too few rows", QString(600, QChar('x')), 3, 2, "", "Auto", "does not fit 3 rows", 0, 0},
        {"converted to Latin-2", QString::fromUtf8("Plaćanje Žana"), 0, 0, "", "ISO-8859-2",
         nullptr, 0, 0},
        {"a character the set lacks", QString::fromUtf8("5 €"), 0, 0, "", "ISO-8859-1",
         "has no ISO-8859-1 form", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialog.rows().setValue(c.rows);
        dialog.columns().setValue(c.columns);
        dialog.aspect().setText(c.aspect);
        dialog.charset().setCurrentIndex(dialog.charset().findText(c.charset));
        setText(c.text);
        if (c.problem != nullptr) {
            EXPECT_NE(dialog.GetStatusText().indexOf(c.problem), -1) << status();
            EXPECT_EQ(dialog.SymbolCount(), 0);
            continue;
        }
        ASSERT_EQ(dialog.SymbolCount(), 1) << status();
        dialog.FinishVerification();
        if (c.expectRows > 0) {
            EXPECT_TRUE(
                dialog.GetStatusText().contains(QString("Verified.  %1 rows").arg(c.expectRows)))
                << status();
        }
        if (c.expectColumns > 0) {
            EXPECT_NE(
                dialog.GetStatusText().indexOf(QString("× %1 data columns").arg(c.expectColumns)),
                -1);
        }
        QByteArray expected = c.text.toUtf8();
        if (QString(c.charset) == "ISO-8859-2")
            expected = QByteArray(
                "Pla\xe6"
                "anje \xae"
                "ana");
        EXPECT_EQ(decodeImage(dialog.SymbolImageAt(0)), bytes(expected));
    }
}

TEST_F(MainDialog, AspectRatioTakesWidthToHeightOrADecimalAndRefusesAnythingElse) {
    dialog.rows().setValue(0);
    dialog.columns().setValue(0);
    setText(QString(300, QChar('x')));
    auto ratio = [&] {
        const QImage picture = dialog.SymbolImageAt(0);
        return double(picture.width()) / picture.height();
    };
    struct Case {
        const char* typed;
        double low, high;  // the picture's width : height lies between
    };
    const Case cases[] = {
        {"4", 2.5, 6.0},   {"4:1", 2.5, 6.0}, {"1:2", 0.3, 0.8}, {"0.5", 0.3, 0.8},
        {"0,5", 0.3, 0.8}, {"25:1", 6.0, 60}, {" 3 : 1 ", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        dialog.aspect().setText(c.typed);
        if (c.high == 0) {
            // Spaces around the colon are no ratio either.
            EXPECT_EQ(dialog.SymbolCount(), 0);
            continue;
        }
        ASSERT_EQ(dialog.SymbolCount(), 1) << status();
        EXPECT_GT(ratio(), c.low);
        EXPECT_LT(ratio(), c.high);
        EXPECT_TRUE(dialog.errorBeside("aspect").isEmpty());
    }
    for (const char* wrong : {"abc", "1:0", "3:", "1000", "12:1:2"}) {
        SCOPED_TRACE(wrong);
        dialog.aspect().setText(wrong);
        EXPECT_EQ(dialog.SymbolCount(), 0);
        EXPECT_TRUE(dialog.GetStatusText().startsWith("Aspect ratio must be")) << status();
        EXPECT_EQ(dialog.errorBeside("aspect"), dialog.GetStatusText());
        EXPECT_EQ(dialog.aspect().text(), QString(wrong));
    }
}

TEST_F(MainDialog, NumberFieldsKeepWhatWasTypedAndShowTheRangeBesideThem) {
    struct Case {
        const char* name;
        NumberBox* box;
        const char* field;  // its object name
        const char* typed;
        const char* error;  // beside the field and in the status line
        const char* tip;    // the tool tip gives the same range
    };
    const Case cases[] = {
        {"columns above 30", &dialog.columns(), "columns", "31",
         "Columns must be 1 to 30, or Auto.", "1 to 30, or Auto"},
        {"margin above 1000", &dialog.margin(), "margin", "3000", "Margin must be 0 to 1,000.",
         "0 to 1,000"},
        {"rows above 90", &dialog.rows(), "rows", "95", "Rows must be 3 to 90, or Auto.",
         "3 to 90, or Auto"},
        {"rows below 3", &dialog.rows(), "rows", "2", "Rows must be 3 to 90, or Auto.",
         "3 to 90, or Auto"},
        {"empty margin", &dialog.margin(), "margin", "", "Margin must be 0 to 1,000.",
         "0 to 1,000"},
        {"resolution above 10000", &dialog.dpi(), "resolution", "20000",
         "Resolution must be 1 to 10,000, or Printer's.", "1 to 10,000, or Printer's"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setText("field");
        ASSERT_EQ(dialog.SymbolCount(), 1) << status();
        c.box->setFocus();
        c.box->selectAll();
        QTest::keyClick(c.box, Qt::Key_Backspace);
        QTest::keyClicks(c.box, c.typed);
        EXPECT_TRUE(c.box->text().startsWith(c.typed)) << c.box->text().toStdString();
        EXPECT_EQ(dialog.errorBeside(c.field), QString::fromUtf8(c.error));
        EXPECT_TRUE(dialog.GetStatusText().startsWith(QString::fromUtf8(c.error))) << status();
        EXPECT_TRUE(c.box->toolTip().contains(QString::fromUtf8(c.tip)))
            << c.box->toolTip().toStdString();
        EXPECT_EQ(dialog.SymbolCount(), 0);
        if (c.box == &dialog.columns())
            dialog.grab().save(QDir(BARQUILL_SCREENSHOT_DIR).filePath("barquill-range-error.png"));
        // Leaving the field keeps it; Enter there keeps it and says why.
        dialog.text().setFocus();
        EXPECT_TRUE(c.box->text().startsWith(c.typed));
        c.box->setFocus();
        QTest::keyClick(c.box, Qt::Key_Return);
        EXPECT_TRUE(c.box->text().startsWith(c.typed));
        EXPECT_EQ(dialog.errorBeside(c.field), QString::fromUtf8(c.error));
        c.box->selectAll();
        QTest::keyClicks(c.box, QString::number(c.box->low()));
        EXPECT_TRUE(dialog.errorBeside(c.field).isEmpty());
        c.box->setValue(c.box->takesAutomatic() ? 0 : c.box->low());
    }
    // "0" in a field that takes Auto is Auto; the arrows step from Auto to
    // the lowest number and back, never through numbers out of range.
    NumberBox& rows = dialog.rows();
    rows.setFocus();
    rows.selectAll();
    QTest::keyClicks(&rows, "0");
    dialog.text().setFocus();
    EXPECT_EQ(rows.text(), QString("Auto"));
    rows.stepBy(1);
    EXPECT_EQ(rows.value(), 3);
    rows.stepBy(-1);
    EXPECT_EQ(rows.text(), QString("Auto"));
    // A letter or a minus sign is not taken at all: "1O" and "-5" type as 1 and 5.
    NumberBox& margin = dialog.margin();
    margin.setFocus();
    margin.selectAll();
    QTest::keyClicks(&margin, "1O");
    EXPECT_EQ(margin.value(), 1);
    margin.selectAll();
    QTest::keyClicks(&margin, "-5");
    EXPECT_EQ(margin.value(), 5);
    ASSERT_EQ(dialog.SymbolCount(), 1);
    EXPECT_EQ(dialog.SymbolImageAt(0).pixel(4, 4), qRgb(255, 255, 255));
}

TEST_F(MainDialog, WindowResizesAndTheWholeSymbolIsShownCrisplyWithItsScale) {
    struct Case {
        const char* name;
        QSize symbol, area;
        double scale;
    };
    const Case cases[] = {
        {"fits at natural size", {200, 100}, {620, 313}, 1.0},
        {"fits twice, but the window is not enlarged", {200, 100}, {600, 400}, 1.0},
        {"enlarged window: whole factors up", {200, 100}, {900, 500}, 4.0},
        {"a little too large: exactly half", {700, 300}, {620, 313}, 0.5},
        {"much too large: fits", {2000, 400}, {500, 313}, 0.25},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(SymbolView::scaleFor(c.symbol, c.area), c.scale) << c.name;

    EXPECT_FALSE(dialog.minimumSize() == dialog.maximumSize());
    // The largest symbol: 30 columns, 90 rows at margin 10 is 1,140 × 380 pixels.
    const QString text = QString(900, QChar('7')) + QString(400, QChar('x'));
    dialog.columns().setValue(30);
    setText(text);
    ASSERT_EQ(dialog.SymbolCount(), 1);
    const QSize natural = dialog.SymbolImageAt(0).size();
    for (QSize window : {QSize(700, 500), QSize(1400, 800), QSize(2800, 1400)}) {
        SCOPED_TRACE(window.width());
        dialog.resize(window);
        QApplication::processEvents();
        const QRect where = dialog.symbolView().symbolRect();
        EXPECT_TRUE(dialog.symbolView().rect().contains(where));
        EXPECT_EQ(where.width(), qRound(natural.width() * dialog.symbolView().scale()));
        // Scaled crisply: only the two colours, no blended greys.
        const QImage area = shown().convertToFormat(QImage::Format_RGB32).copy(where);
        int other = 0;
        for (int y = 0; y < area.height(); y += 2)
            for (int x = 0; x < area.width(); x += 2) {
                const QRgb p = area.pixel(x, y);
                other += p != qRgb(0, 0, 0) && p != qRgb(255, 255, 255);
            }
        if (dialog.symbolView().scale() >= 0.5) {
            EXPECT_EQ(other, 0);
        }
        EXPECT_EQ(decodeImage(area), utf8(text));
    }
}

TEST_F(MainDialog, FocusIsAFrameAroundTheSymbolNeverATintOverIt) {
    setText("Focus");
    dialog.text().setFocus();
    QApplication::processEvents();
    const QImage unfocused = shown().convertToFormat(QImage::Format_RGB32);
    dialog.symbolView().setFocus();
    QApplication::processEvents();
    const QImage focused = shown().convertToFormat(QImage::Format_RGB32);
    const QRect symbol = dialog.symbolView().symbolRect();
    EXPECT_EQ(focused.copy(symbol), unfocused.copy(symbol));
    // The frame runs in the room around the symbol, on every side.
    const QRect around = symbol.adjusted(-SymbolView::FRAME, -SymbolView::FRAME, SymbolView::FRAME,
                                         SymbolView::FRAME);
    for (QPoint p :
         {QPoint(around.left(), symbol.center().y()), QPoint(around.right(), symbol.center().y()),
          QPoint(symbol.center().x(), around.top()),
          QPoint(symbol.center().x(), around.bottom())}) {
        bool changed = false;
        for (int d = 0; d < SymbolView::FRAME; ++d) {
            const QPoint q = p + QPoint(p.x() < symbol.left()    ? d
                                        : p.x() > symbol.right() ? -d
                                                                 : 0,
                                        p.y() < symbol.top()      ? d
                                        : p.y() > symbol.bottom() ? -d
                                                                  : 0);
            changed = changed || focused.pixel(q) != unfocused.pixel(q);
        }
        EXPECT_TRUE(changed) << p.x() << "," << p.y();
    }
}

TEST_F(MainDialog, ColourButtonsSayTheirColourAndPoorContrastIsWarned) {
    EXPECT_EQ(dialog.background().accessibleName(), QString("Background: white, #FFFFFF"));
    EXPECT_EQ(dialog.bars().accessibleName(), QString("Bar color: black, #000000"));

    struct Case {
        const char* name;
        ColorRef bars, background;
        bool poor;          // the library's contrast or light-bars warning applies
        const char* words;  // the bar colour's accessible name
    };
    const Case cases[] = {
        {"black on white", 0x000000, 0xFFFFFF, false, "Bar color: black, #000000"},
        {"navy on cream", 0x803010, 0xC0F0FF, false, "Bar color: navy, #103080"},
        {"near-white on white", 0xF4F4F4, 0xFFFFFF, true, "Bar color: white, #F4F4F4"},
        {"light grey on white", 0xC0C0C0, 0xFFFFFF, true, "Bar color: light grey, #C0C0C0"},
        {"yellow on black", 0x00FFFF, 0x000000, true, "Bar color: yellow, #FFFF00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<COLORREF> answer = c.bars;
        dialog.bars().SetColorDialog([&](COLORREF, QWidget*) { return answer; });
        dialog.bars().SetColor(0x123456);
        answer = c.bars;
        QTest::mouseClick(&dialog.bars(), Qt::LeftButton);
        answer = c.background;
        dialog.background().SetColorDialog([&](COLORREF, QWidget*) { return answer; });
        dialog.background().SetColor(0x123456);
        QTest::mouseClick(&dialog.background(), Qt::LeftButton);
        EXPECT_EQ(dialog.bars().accessibleName(), QString(c.words));
        // Under the status line, in the window's words.
        const bool warned = dialog.WarningTexts().join(" ").contains("readers");
        EXPECT_EQ(warned, c.poor) << dialog.WarningTexts().join("|").toStdString();
        // These poor colours make symbols that do not read back: Save
        // refuses them and says why, without asking.
        dialog.questions.clear();
        dialog.messages.clear();
        dialog.answer = false;
        dialog.nextSavePath.clear();
        press(res::IDC_SAVE);
        EXPECT_TRUE(dialog.questions.isEmpty());
        EXPECT_EQ(
            !dialog.messages.isEmpty() && dialog.messages.back().contains("Nothing was saved."),
            c.poor);
    }
    // The same colour twice is no symbol at all.
    dialog.bars().SetColor(0xFFFFFF);
    dialog.background().SetColor(0xFFFFFF);
    dialog.OnEncode();
    EXPECT_EQ(dialog.SymbolCount(), 0);
    EXPECT_TRUE(dialog.GetStatusText().contains("same color")) << status();
}

TEST_F(MainDialog, ColourChooserSaysWhichColourItChooses) {
    struct Case {
        const char* button;
        const char* title;
    };
    for (const Case& c : {Case{"barColor", "Bar color"}, Case{"background", "Background color"}}) {
        SCOPED_TRACE(c.button);
        QString title;
        QTimer::singleShot(0, [&] {
            if (QWidget* chooser = QApplication::activeModalWidget()) {
                title = chooser->windowTitle();
                QTest::keyClick(chooser, Qt::Key_Escape);
            }
        });
        QTest::mouseClick(&child<CColorButton>(dialog, c.button), Qt::LeftButton);
        EXPECT_EQ(title, QString(c.title));
    }
}

TEST_F(MainDialog, LoadedFilesAreKeptAsBytesWithoutTouchingEscapes) {
    QTemporaryDir folder;
    struct Case {
        const char* name;
        QByteArray data;
        bool escapesBefore;
    };
    const Case cases[] = {
        {"plain text", "plain text, no escapes", false},
        {"lines and a backslash", "line 1\nline 2\tC:\\path", false},
        {"a backslash with escapes on", "C:\\temp\\new", true},
        {"binary with NUL and high bytes", QByteArray("\x00\x01\xFF\xFE\x80 ok", 8), false},
        {"UTF-8 with a record separator", "Grüße\x1e中文", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialog.escapes().setChecked(c.escapesBefore);
        const QString path = folder.filePath("data.bin");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.data);
        f.close();
        dialog.nextOpenPath = path;
        QTest::keyClick(&dialog, Qt::Key_O, Qt::ControlModifier);
        EXPECT_EQ(dialog.escapes().isChecked(), c.escapesBefore);
        EXPECT_TRUE(dialog.text().isLoaded());
        ASSERT_EQ(dialog.SymbolCount(), 1) << status();
        EXPECT_EQ(decodeImage(dialog.SymbolImageAt(0)), bytes(c.data));
        EXPECT_TRUE(child<QLabel>(dialog, "loadedNote").text().contains("data.bin"));
        // What is shown gives the bytes back, escaped.
        const std::string shown = dialog.text().text().toStdString();
        const auto decoded = decodeEscapes(shown);
        ASSERT_TRUE(decoded.ok());
        EXPECT_EQ(bytes(QByteArray::fromStdString(*decoded)), bytes(c.data));
    }
    // Typing replaces the loaded data, read with the Escapes setting as it stands.
    dialog.escapes().setChecked(true);
    dialog.text().setFocus();
    QTest::keyClicks(&dialog.text(), "C:\\\\temp\\\\new");
    EXPECT_FALSE(dialog.text().isLoaded());
    EXPECT_FALSE(child<QLabel>(dialog, "loadedNote").isVisible());
    EXPECT_EQ(decodeImage(dialog.SymbolImageAt(0)), utf8("C:\\temp\\new"));
    dialog.escapes().setChecked(false);
    EXPECT_EQ(decodeImage(dialog.SymbolImageAt(0)), utf8("C:\\\\temp\\\\new"));

    // Dropped on the window: a file is taken, a folder is refused before the drop.
    const QString dropped = folder.filePath("dropped.txt");
    QFile f(dropped);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("dropped");
    f.close();
    struct Drop {
        QString path;
        bool accepted;
    };
    for (const Drop& d : {Drop{dropped, true}, Drop{folder.path(), false}}) {
        SCOPED_TRACE(d.path.toStdString());
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(d.path)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&dialog, &enter);
        EXPECT_EQ(enter.isAccepted(), d.accepted);
        if (!d.accepted) continue;
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&dialog, &drop);
        EXPECT_EQ(decodeImage(dialog.SymbolImageAt(0)), utf8("dropped"));
    }
    EXPECT_TRUE(dialog.messages.isEmpty()) << dialog.messages.join("|").toStdString();

    // Data too large for one symbol is loaded, and a series takes it whole.
    QFile large(dropped);
    ASSERT_TRUE(large.open(QIODevice::WriteOnly | QIODevice::Truncate));
    const QByteArray eightThousand = longText(8000).toLatin1();
    large.write(eightThousand);
    large.close();
    dialog.split().setChecked(false);
    ASSERT_TRUE(dialog.LoadFile(dropped));
    EXPECT_EQ(dialog.SymbolCount(), 0);
    EXPECT_TRUE(dialog.GetStatusText().contains("8,000 bytes long")) << status();
    dialog.split().setChecked(true);
    ASSERT_GE(dialog.SymbolCount(), 2) << status();
    EXPECT_EQ(decodeAll(dialog), bytes(eightThousand));

    // More than the window takes is refused whole, and what was there stays.
    QFile huge(folder.filePath("huge.bin"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    huge.write(QByteArray((1 << 20) + 1, 'x'));
    huge.close();
    dialog.messages.clear();
    EXPECT_FALSE(dialog.LoadFile(huge.fileName()));
    ASSERT_EQ(dialog.messages.size(), 1);
    EXPECT_TRUE(dialog.messages[0].contains("1,048,576 bytes")) << dialog.messages[0].toStdString();
    EXPECT_EQ(dialog.text().loadedBytes(), eightThousand);
}

TEST_F(MainDialog, TextFieldTakesLinesShowsControlCharactersAndCtrlEnterEncodes) {
    dialog.live().setChecked(false);
    setText("");
    dialog.OnEncode();
    DataEdit& text = dialog.text();
    text.setFocus();
    const int oneLine = text.height();
    QTest::keyClicks(&text, "first");
    QTest::keyClick(&text, Qt::Key_Return);
    QTest::keyClicks(&text, "second");
    EXPECT_EQ(text.text(), QString("first\nsecond"));
    EXPECT_EQ(dialog.SymbolCount(), 0);  // Enter made a line, not a symbol
    QTest::keyClick(&text, Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(dialog.SymbolCount(), 1);
    EXPECT_EQ(decodeImage(dialog.SymbolImageAt(0)), utf8("first\nsecond"));
    QApplication::processEvents();
    EXPECT_GT(text.height(), oneLine);
    // It grows to a few lines, then scrolls.
    for (int i = 0; i < 10; ++i) QTest::keyClick(&text, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_LE(text.height(), oneLine * (DataEdit::MAX_SHOWN_LINES + 1));

    // A tab and a record separator are marked where a plain editor shows blanks.
    text.setText(QStringLiteral("a") + QChar(0x1E) + QStringLiteral("b"));
    const QImage marked = text.viewport()->grab().toImage();
    text.setText(QStringLiteral("a b"));
    const QImage plain = text.viewport()->grab().toImage();
    auto colours = [](const QImage& image) {
        QSet<QRgb> seen;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) seen.insert(image.pixel(x, y));
        return seen.size();
    };
    EXPECT_GT(colours(marked), colours(plain));
    // Non-breaking spaces stay what they are.
    text.setText(QString::fromUtf8("1\u00A0000"));
    dialog.OnEncode();
    EXPECT_EQ(decodeImage(dialog.SymbolImageAt(0)), utf8(QString::fromUtf8("1\u00A0000")));
}

TEST_F(MainDialog, CopiesTheSymbolOrTheWholeSeriesAsImageAndSvg) {
    QTemporaryDir folder;
    struct Case {
        const char* name;
        QString text;
        bool split;
    };
    const Case cases[] = {{"one symbol", "Copied", false}, {"a series", longText(3000), true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialog.split().setChecked(c.split);
        setText(c.text);
        const int count = dialog.SymbolCount();
        ASSERT_GE(count, 1);
        dialog.symbolView().setFocus();
        QTest::keyClick(&dialog.symbolView(), Qt::Key_C, Qt::ControlModifier);
        const QMimeData* mime = QApplication::clipboard()->mimeData();
        ASSERT_NE(mime, nullptr);
        ASSERT_TRUE(mime->hasImage());
        const QImage image = qvariant_cast<QImage>(mime->imageData());
        const QByteArray svg = mime->data("image/svg+xml");
        EXPECT_TRUE(svg.startsWith("<?xml"));
        // Each symbol is in both, one below the other.
        QFile file(folder.filePath("copied.svg"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(svg);
        file.close();
        QProcess convert;
        convert.start("rsvg-convert", {"-o", folder.filePath("copied.png"), file.fileName()});
        ASSERT_TRUE(convert.waitForFinished(30000));
        const QImage drawn(folder.filePath("copied.png"));
        ASSERT_EQ(drawn.size(), image.size());
        Bytes fromImage, fromSvg;
        // Cut at the gaps: bands of rows with no bar.
        auto bands = [](const QImage& picture) {
            QList<QRect> found;
            int start = -1;
            const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
            for (int y = 0; y <= grey.height(); ++y) {
                bool dark = false;
                if (y < grey.height())
                    for (int x = 0; x < grey.width() && !dark; ++x)
                        dark = qGray(grey.pixel(x, y)) < 128;
                if (dark && start < 0) start = y;
                if (!dark && start >= 0) {
                    found << QRect(0, start, grey.width(), y - start);
                    start = -1;
                }
            }
            return found;
        };
        for (const auto& [picture, joined] :
             {std::pair{image, &fromImage}, std::pair{drawn, &fromSvg}}) {
            const QList<QRect> symbols = bands(picture);
            ASSERT_EQ(symbols.size(), count);
            for (const QRect& band : symbols) {
                const auto part = decodeImage(picture.copy(band.adjusted(0, -10, 0, 10)));
                ASSERT_TRUE(part.has_value());
                joined->insert(joined->end(), part->begin(), part->end());
            }
        }
        EXPECT_EQ(fromImage, utf8(c.text));
        EXPECT_EQ(fromSvg, utf8(c.text));
    }

    // The symbol's context menu offers the SVG text and the command line.
    QStringList entries;
    for (QAction* a : dialog.symbolView().actions()) entries << a->text();
    EXPECT_TRUE(entries.contains("Copy as SV&G text")) << entries.join("|").toStdString();
    EXPECT_TRUE(entries.contains("Co&mmand line...")) << entries.join("|").toStdString();
    EXPECT_EQ(dialog.symbolView().contextMenuPolicy(), Qt::ActionsContextMenu);
    for (QAction* a : dialog.symbolView().actions())
        if (a->text() == "Copy as SV&G text") a->trigger();
    EXPECT_TRUE(QApplication::clipboard()->text().contains("<svg"));
}

TEST_F(MainDialog, AboutBoxShowsTheLibraryVersionAndOpensWithF1) {
    EXPECT_EQ(versionText(), QString(BARQUILL_PROJECT_VERSION));
    EXPECT_EQ(versionText(), QString::fromUtf8(version()));
    // The application object tells the same version, not Qt's empty default.
    const QString name = QCoreApplication::applicationName();
    const QString organization = QCoreApplication::organizationName();
    describeApplication(qtApplication());
    EXPECT_EQ(QCoreApplication::applicationVersion(), QString::fromUtf8(version()));
    QCoreApplication::setApplicationName(name);
    QCoreApplication::setOrganizationName(organization);
    QString title, shownVersion;
    dialog.onDialog = [&](QDialog& box) {
        title = box.windowTitle();
        shownVersion = box.findChild<QLabel*>("version")->text();
    };
    QTest::keyClick(&dialog, Qt::Key_F1);
    EXPECT_EQ(title, QString("About Barquill"));
    EXPECT_EQ(shownVersion, QString("Barquill %1").arg(QString::fromUtf8(version())));
}

TEST_F(MainDialog, TextDataOptionsColoursSizeAndFolderComeBackAfterEscOrCancel) {
    QTemporaryDir folder;
    dialog.level().setCurrentIndex(dialog.level().findText("Auto"));
    dialog.margin().setValue(25);
    dialog.columns().setValue(4);
    dialog.bars().SetColor(0x803010);
    dialog.aspect().setText("");
    dialog.live().setChecked(false);
    dialog.dpi().setValue(600);
    dialog.resize(900, 640);
    dialog.nextOpenPath = folder.filePath("x.txt");
    QFile f(dialog.nextOpenPath);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
    f.close();
    dialog.OnLoad();
    setText(QString::fromUtf8("typed\nover two lines"));
    QTest::keyClick(&dialog, Qt::Key_Escape);  // Esc ends the program, as the original's does
    EXPECT_FALSE(dialog.isVisible());

    {
        CMainDialog next;  // not a TestDialog: the settings stay
        Fields fields(next);
        EXPECT_EQ(next.SelectedLevel(), autoLevel);
        EXPECT_EQ(fields.margin().value(), 25);
        EXPECT_EQ(fields.columns().value(), 4);
        EXPECT_EQ(fields.bars().GetColor(), 0x803010u);
        EXPECT_FALSE(fields.live().isChecked());
        EXPECT_EQ(fields.dpi().value(), 600);
        EXPECT_EQ(next.size(), QSize(900, 640));
        EXPECT_EQ(fields.text().text(), QString::fromUtf8("typed\nover two lines"));
        EXPECT_EQ(QSettings().value("files/lastFolder").toString(), folder.path());
        // Loaded data comes back as the bytes it was.
        next.LoadFile(dialog.nextOpenPath);
        child<QPushButton>(next, "cancel").click();
    }
    CMainDialog third;
    Fields fields(third);
    EXPECT_TRUE(fields.text().isLoaded());
    EXPECT_EQ(fields.text().loadedBytes(), QByteArray("x"));
}

TEST_F(MainDialog, StatusLineTellsTheCapacityTheLibraryAndTheCommandLineTell) {
    // The same data and settings, three ways: the window, the library and `barquill -v`.
    struct Case {
        const char* text;
        const char* level;
        int columns;
    };
    const Case cases[] = {
        {"Status", "2", 0}, {"Capacity 12345678901234567890", "5", 3}, {"x", "0", 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        dialog.level().setCurrentIndex(dialog.level().findText(c.level));
        dialog.columns().setValue(c.columns);
        setText(c.text);
        const auto symbol =
            encode(c.text, {.level = QString(c.level).toInt(), .columns = c.columns});
        ASSERT_TRUE(symbol.ok());
        const QString expected =
            QString("%1 of %2 data codewords").arg(symbol->dataCodewords()).arg(symbol->capacity());
        EXPECT_TRUE(dialog.GetStatusText().contains(expected)) << status();

        QTemporaryDir folder;
        QProcess cli;
        QStringList arguments{"-v", "-l", c.level, "-o", folder.filePath("x.png")};
        if (c.columns > 0) arguments << "-c" << QString::number(c.columns);
        cli.start(QString(BARQUILL_CLI_DIR) + "/barquill", arguments << "--" << c.text);
        ASSERT_TRUE(cli.waitForFinished(30000));
        const QString told = QString::fromUtf8(cli.readAllStandardError());
        EXPECT_TRUE(told.contains(QString("capacity used: %1 of %2 data codewords")
                                      .arg(symbol->dataCodewords())
                                      .arg(symbol->capacity())))
            << told.toStdString();
    }
}

TEST_F(MainDialog, StatusLineGivesTheSizeOnPaperWithoutBreakingANumber) {
    setText("Status");
    dialog.level().setCurrentIndex(dialog.level().findText("2"));
    EXPECT_FALSE(dialog.GetStatusText().contains("mm"));
    const auto reference = encode("Status", {.level = 2});
    ASSERT_TRUE(reference.ok());
    dialog.dpi().setValue(300);
    dialog.moduleMm().setValue(0.34);  // 4 dots at 300 dpi, rows 12 dots high, margin 10 dots
    const long width = 2 * 10 + reference->width() * 4;
    const long height = 2 * 10 + reference->rows() * 12;
    const QString nbsp = QString(QChar(0x00A0));
    const QString size =
        QString::number(width) + nbsp + "×" + nbsp + QString::number(height) + " pixels";
    EXPECT_TRUE(dialog.GetStatusText().contains(size)) << status();
    const QString mm = QString::number(double(width) * 25.4 / 300, 'f', 1) + nbsp + "×" + nbsp +
                       QString::number(double(height) * 25.4 / 300, 'f', 1) + nbsp + "mm at 300" +
                       nbsp + "dpi";
    EXPECT_TRUE(dialog.GetStatusText().contains(mm)) << status();
    // One column, one row: no plural for one.
    setText("x");
    dialog.columns().setValue(1);
    EXPECT_TRUE(dialog.GetStatusText().contains("× 1 data column,")) << status();
    // Sentences end with full stops before the next begins, in the status
    // line and in the library's warnings worded under it.
    dialog.bars().SetColor(0xC0C0C0);
    dialog.OnEncode();
    dialog.FinishVerification();
    const QStringList sentences = dialog.GetStatusText().split("  ") + dialog.WarningTexts();
    ASSERT_GE(sentences.size(), 3);
    for (const QString& sentence : sentences)
        EXPECT_TRUE(sentence.endsWith('.')) << sentence.toStdString();
    EXPECT_TRUE(dialog.WarningTexts().join(" ").contains("contrast 1.8:1"))
        << dialog.WarningTexts().join("|").toStdString();
    // The symbol area reads the status line out too, and the warnings after it.
    EXPECT_EQ(dialog.StatusDescription(),
              QStringList(QStringList{dialog.GetStatusText()} + dialog.WarningTexts()).join("  "));
    EXPECT_EQ(dialog.symbolView().accessibleDescription(), dialog.StatusDescription());
}

}  // namespace
}  // namespace barquill::testing
