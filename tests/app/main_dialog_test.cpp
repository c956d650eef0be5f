// The main dialog on the offscreen platform: defaults, live preview, the
// status line and its refusals, the window that fits any symbol, colours,
// loading, copying, languages and the settings kept between runs.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QUrl>

#include "app/about_dialog.h"
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
    void setText(const QString& text) { dialog.m_edText.setText(text); }
    std::string status() const { return dialog.GetStatusText().toStdString(); }
    // The symbol area as the window shows it.
    QImage shown() { return dialog.symbolView().grab().toImage(); }

    TestDialog dialog;
};

TEST_F(MainDialog, StartsWithDefaultsAndAPreviewOfTheSample) {
    EXPECT_EQ(dialog.windowTitle(), QString("Barquill"));
    EXPECT_EQ(dialog.m_spMargin.value(), 10);
    EXPECT_EQ(dialog.m_spColumns.text(), QString("Auto"));
    EXPECT_EQ(dialog.m_edText.text(), QString("https://barquill.org/"));
    QStringList items;
    for (int i = 0; i < dialog.m_cbLevel.count(); ++i) items << dialog.m_cbLevel.itemText(i);
    EXPECT_EQ(items, QStringList({"Auto", "0", "1", "2", "3", "4", "5", "6", "7", "8"}));
    EXPECT_EQ(dialog.m_cbLevel.currentText(), QString("1"));
    EXPECT_FALSE(dialog.m_cbLevel.isEditable());
    EXPECT_EQ(dialog.m_btnBarColor.GetColor(), 0x000000u);
    EXPECT_EQ(dialog.m_btnBackground.GetColor(), 0xFFFFFFu);
    EXPECT_TRUE(dialog.m_chkLive.isChecked());
    EXPECT_EQ(QApplication::focusWidget(), &dialog.m_edText);
    ASSERT_TRUE(dialog.m_image.IsValid());
    EXPECT_EQ(decodePicture(dialog.m_image), utf8("https://barquill.org/"));
    EXPECT_EQ(decodeImage(shown()), utf8("https://barquill.org/"));
    // The margin and the module of the original: 2 × 4 pixels inside 10.
    SymbolJob reference;
    initSymbolJob(&reference);
    reference.ecLevel = 1;
    encodeSymbolJob(&reference, "https://barquill.org/");
    EXPECT_EQ(dialog.m_image.GetWidth(), 2 * (reference.width + 10));
    EXPECT_EQ(dialog.m_image.GetHeight(), 2 * 10 + 4 * reference.rows);
}

TEST_F(MainDialog, LivePreviewFollowsEveryKeystrokeAndOptionAndOffWaitsForEncode) {
    setText("");
    dialog.m_edText.setFocus();
    QTest::keyClicks(&dialog.m_edText, "Ticket 42");
    EXPECT_EQ(decodeImage(shown()), utf8("Ticket 42"));
    dialog.m_cbLevel.setCurrentIndex(dialog.m_cbLevel.findText("5"));
    EXPECT_NE(dialog.GetStatusText().indexOf("level 5"), -1) << status();
    dialog.m_spColumns.setValue(7);
    EXPECT_NE(dialog.GetStatusText().indexOf("× 7 columns"), -1) << status();

    dialog.m_chkLive.setChecked(false);
    QTest::keyClicks(&dialog.m_edText, "3");
    EXPECT_EQ(decodeImage(shown()), utf8("Ticket 42"));
    press(res::IDC_ENCODE);
    EXPECT_EQ(decodeImage(shown()), utf8("Ticket 423"));
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
         "columns; a symbol has at most 90: choose more columns or Auto"},
        {"beyond what the encoder takes", QString(7000, QChar('1')), 0, false,
         "The text is 7,000 bytes long; the encoder takes at most 6,999"},
        {"unknown escape", "a\\q", 0, true, "Text: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setText("abc");
        ASSERT_TRUE(dialog.m_image.IsValid());
        dialog.m_spColumns.setValue(c.columns);
        dialog.m_chkEscapes.setChecked(c.escapes);
        setText(c.text);
        EXPECT_NE(dialog.GetStatusText().indexOf(c.expected), -1) << status();
        EXPECT_FALSE(dialog.m_image.IsValid());
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

TEST_F(MainDialog, TooLongTextNamesTheCodewordsAndOffersASeriesShownSideBySide) {
    QByteArray text;
    for (int i = 0; text.size() < 2400; ++i) text += "Line " + QByteArray::number(i) + "; ";
    setText(QString::fromLatin1(text));
    EXPECT_NE(dialog.GetStatusText().indexOf("codewords at level 1; a symbol holds at most 928: "
                                             "shorten the text or lower the level"),
              -1)
        << status();
    EXPECT_FALSE(dialog.m_image.IsValid());
    QPushButton* split = nullptr;
    for (QPushButton* b : dialog.findChildren<QPushButton*>())
        if (b->text().startsWith("Split into a series of")) split = b;
    ASSERT_NE(split, nullptr);
    EXPECT_TRUE(split->isVisible());
    split->click();
    EXPECT_TRUE(dialog.m_chkSeries.isChecked());
    EXPECT_FALSE(split->isVisible());
    const int count = dialog.SymbolCount();
    ASSERT_GE(count, 2) << status();
    EXPECT_NE(dialog.GetStatusText().indexOf(QString("series of %1 symbols").arg(count)), -1);
    // Every segment reads, and together they give the data back.
    Bytes joined;
    for (int i = 0; i < count; ++i) {
        const std::optional<Bytes> part = decodePicture(dialog.PictureAt(i));
        ASSERT_TRUE(part.has_value()) << i;
        joined.insert(joined.end(), part->begin(), part->end());
    }
    EXPECT_EQ(joined, Bytes(text.begin(), text.end()));
    dialog.resize(1200, 640);
    dialog.FinishVerification();
    QApplication::processEvents();
    dialog.grab().save(QDir(BARQUILL_SCREENSHOT_DIR).filePath("barquill-series.png"));
    // Side by side in the symbol area.
    EXPECT_GT(dialog.SymbolImage().width(), count * dialog.m_image.GetWidth());
    EXPECT_EQ(dialog.SymbolImage().height(), dialog.m_image.GetHeight());
}

TEST_F(MainDialog, EverySymbolIsReadBackAndMarkedVerified) {
    EXPECT_TRUE(dialog.m_chkVerify.isChecked());
    // The mark follows once typing pauses.
    EXPECT_TRUE(dialog.GetStatusText().startsWith("Verifying...")) << status();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.GetStatusText().startsWith("Verifying"); }));
    EXPECT_TRUE(dialog.GetStatusText().startsWith(QString::fromUtf8("✓ Verified."))) << status();
    struct Case {
        const char* name;
        QString text;
        COLORREF bars, background;
        bool series;
        const char* mark;
    };
    QString long_;
    for (int i = 0; long_.size() < 2400; ++i) long_ += QString("Line %1; ").arg(i);
    const Case cases[] = {
        {"UTF-8 text with its ECI", QString::fromUtf8("Grüße, 中文"), 0, 0xFFFFFF, false,
         "✓ Verified."},
        {"every symbol of a series", long_, 0, 0xFFFFFF, true, "✓ Verified."},
        {"white on white reads as nothing", "abc", 0xFFFFFF, 0xFFFFFF, false,
         "Not verified (the reader finds no symbol)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialog.m_btnBarColor.SetColor(c.bars);
        dialog.m_btnBackground.SetColor(c.background);
        dialog.m_chkSeries.setChecked(c.series);
        setText(c.text);
        dialog.FinishVerification();
        EXPECT_TRUE(dialog.GetStatusText().startsWith(QString::fromUtf8(c.mark))) << status();
    }
    dialog.m_chkVerify.setChecked(false);
    EXPECT_FALSE(dialog.GetStatusText().contains("erified")) << status();
}

TEST_F(MainDialog, RowsAspectAndCharacterSetShapeTheSymbol) {
    struct Case {
        const char* name;
        QString text;
        int rows, columns;
        double aspect;
        const char* charset;
        const char* problem;  // part of the status line when refused
        int expectRows, expectColumns;
    };
    const Case cases[] = {
        {"rows alone", "ROW 12 SEAT 7", 6, 0, 0, "Auto", nullptr, 6, 0},
        {"a fixed size", "LOT 4711", 20, 9, 0, "Auto", nullptr, 20, 9},
        {"aspect needs automatic columns", "PARCEL", 0, 4, 4.0, "Auto",
         "set Rows and Columns to Auto", 0, 0},
        {"too few rows", QString(600, QChar('x')), 3, 2, 0, "Auto", "does not fit 3 rows", 0, 0},
        {"converted to Latin-2", QString::fromUtf8("Plaćanje Žana"), 0, 0, 0, "ISO-8859-2", nullptr,
         0, 0},
        {"a character the set lacks", QString::fromUtf8("5 €"), 0, 0, 0, "ISO-8859-1",
         "has no ISO-8859-1 form", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialog.m_spRows.setValue(c.rows == 0 ? dialog.m_spRows.minimum() : c.rows);
        dialog.m_spColumns.setValue(c.columns);
        dialog.m_spAspect.setValue(c.aspect);
        dialog.m_cbCharset.setCurrentIndex(dialog.m_cbCharset.findText(c.charset));
        setText(c.text);
        if (c.problem != nullptr) {
            EXPECT_NE(dialog.GetStatusText().indexOf(c.problem), -1) << status();
            EXPECT_FALSE(dialog.m_image.IsValid());
            continue;
        }
        ASSERT_TRUE(dialog.m_image.IsValid()) << status();
        dialog.FinishVerification();
        if (c.expectRows > 0) {
            EXPECT_TRUE(
                dialog.GetStatusText().contains(QString("Verified.  %1 rows").arg(c.expectRows)))
                << status();
        }
        if (c.expectColumns > 0) {
            EXPECT_NE(dialog.GetStatusText().indexOf(QString("× %1 columns").arg(c.expectColumns)),
                      -1);
        }
        QByteArray expected = c.text.toUtf8();
        if (QString(c.charset) == "ISO-8859-2")
            expected = QByteArray(
                "Pla\xe6"
                "anje \xae"
                "ana");
        EXPECT_EQ(decodePicture(dialog.m_image), Bytes(expected.begin(), expected.end()));
    }
    // An aspect ratio alone picks the columns that come closest.
    dialog.m_spRows.setValue(dialog.m_spRows.minimum());
    dialog.m_spColumns.setValue(0);
    dialog.m_cbCharset.setCurrentIndex(0);
    dialog.m_spAspect.setValue(4.0);
    setText(QString(300, QChar('x')));
    ASSERT_TRUE(dialog.m_image.IsValid()) << status();
    const double wide = double(dialog.m_image.GetWidth()) / dialog.m_image.GetHeight();
    dialog.m_spAspect.setValue(0.5);
    const double tall = double(dialog.m_image.GetWidth()) / dialog.m_image.GetHeight();
    EXPECT_GT(wide, 2.0);
    EXPECT_LT(tall, 1.0);
}

TEST_F(MainDialog, NumberFieldsAreSpinBoxesAndAFieldThatDoesNotParseStopsTheBuild) {
    EXPECT_EQ(dialog.m_spMargin.minimum(), 0);
    EXPECT_EQ(dialog.m_spMargin.maximum(), 1000);
    EXPECT_EQ(dialog.m_spColumns.minimum(), 0);
    EXPECT_EQ(dialog.m_spColumns.maximum(), 30);

    struct Case {
        const char* name;
        QSpinBox* box;
        const char* field;
    };
    const Case cases[] = {
        {"margin", &dialog.m_spMargin, "Margin must be a whole number from 0 to 1000"},
        {"columns", &dialog.m_spColumns, "Columns must be a whole number from 0 to 30"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setText("field");
        ASSERT_TRUE(dialog.m_image.IsValid());
        c.box->setFocus();
        c.box->selectAll();
        QTest::keyClick(c.box, Qt::Key_Backspace);
        EXPECT_NE(dialog.GetStatusText().indexOf(c.field), -1) << status();
        EXPECT_FALSE(dialog.m_image.IsValid());
        c.box->setValue(c.box->minimum() + 1);
    }
    // A letter or a minus sign is not taken at all: "1O" and "-5" type as 1 and 5.
    dialog.m_spMargin.setFocus();
    dialog.m_spMargin.selectAll();
    QTest::keyClicks(&dialog.m_spMargin, "1O");
    EXPECT_EQ(dialog.m_spMargin.value(), 1);
    dialog.m_spMargin.selectAll();
    QTest::keyClicks(&dialog.m_spMargin, "-5");
    EXPECT_EQ(dialog.m_spMargin.value(), 5);
    ASSERT_TRUE(dialog.m_image.IsValid());
    EXPECT_EQ(dialog.m_image.GetPixelColor(4, 4, false), (RgbQuad{255, 255, 255, 0}));
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
    dialog.m_spColumns.setValue(30);
    setText(text);
    ASSERT_TRUE(dialog.m_image.IsValid());
    const QSize natural(dialog.m_image.GetWidth(), dialog.m_image.GetHeight());
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

TEST_F(MainDialog, ColourButtonsSayTheirColourAndPoorContrastIsWarned) {
    EXPECT_EQ(dialog.m_btnBackground.accessibleName(), QString("Background: white, #FFFFFF"));
    EXPECT_EQ(dialog.m_btnBarColor.accessibleName(), QString("Bar color: black, #000000"));

    struct Case {
        const char* name;
        COLORREF bars, background;
        ColourProblem problem;
        const char* words;  // the bar colour's accessible name
    };
    const Case cases[] = {
        {"black on white", 0x000000, 0xFFFFFF, ColourProblem::none, "Bar color: black, #000000"},
        {"navy on cream", 0x803010, 0xC0F0FF, ColourProblem::none, "Bar color: navy, #103080"},
        {"white on white", 0xFFFFFF, 0xFFFFFF, ColourProblem::lowContrast,
         "Bar color: white, #FFFFFF"},
        {"light grey on white", 0xC0C0C0, 0xFFFFFF, ColourProblem::lowContrast,
         "Bar color: light grey, #C0C0C0"},
        {"yellow on black", 0x00FFFF, 0x000000, ColourProblem::barsLighter,
         "Bar color: yellow, #FFFF00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(checkColours(c.bars, c.background).problem, c.problem);
        std::optional<COLORREF> answer = c.bars;
        dialog.m_btnBarColor.SetColorDialog([&](COLORREF, QWidget*) { return answer; });
        dialog.m_btnBarColor.SetColor(0x123456);
        answer = c.bars;
        QTest::mouseClick(&dialog.m_btnBarColor, Qt::LeftButton);
        answer = c.background;
        dialog.m_btnBackground.SetColorDialog([&](COLORREF, QWidget*) { return answer; });
        dialog.m_btnBackground.SetColor(0x123456);
        QTest::mouseClick(&dialog.m_btnBackground, Qt::LeftButton);
        EXPECT_EQ(dialog.m_btnBarColor.accessibleName(), QString(c.words));
        const bool warned = dialog.GetStatusText().contains("readers");
        EXPECT_EQ(warned, c.problem != ColourProblem::none) << status();
        // Save asks before writing a symbol readers may not read.
        dialog.questions.clear();
        dialog.answer = false;
        dialog.nextSavePath.clear();
        press(res::IDC_SAVE);
        EXPECT_EQ(dialog.questions.size(), c.problem != ColourProblem::none ? 1 : 0);
    }
}

TEST_F(MainDialog, LoadsDataFromAFileOrADropByteForByte) {
    QTemporaryDir folder;
    struct Case {
        const char* name;
        QByteArray data;
        bool escapes;
    };
    const Case cases[] = {
        {"plain text", "plain text, no escapes", false},
        {"lines and a backslash", "line 1\nline 2\tC:\\path", true},
        {"binary with NUL and high bytes", QByteArray("\x00\x01\xFF\xFE\x80 ok", 8), true},
        {"UTF-8 with a record separator", "Grüße\x1e中文", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = folder.filePath("data.bin");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.data);
        f.close();
        dialog.nextOpenPath = path;
        QTest::keyClick(&dialog, Qt::Key_O, Qt::ControlModifier);
        EXPECT_EQ(dialog.m_chkEscapes.isChecked(), c.escapes);
        ASSERT_TRUE(dialog.m_image.IsValid()) << status();
        EXPECT_EQ(decodePicture(dialog.m_image), Bytes(c.data.begin(), c.data.end()));
    }
    // Dropped on the window.
    const QString dropped = folder.filePath("dropped.txt");
    QFile f(dropped);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("dropped");
    f.close();
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(dropped)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &drop);
    EXPECT_EQ(decodePicture(dialog.m_image), utf8("dropped"));

    // A file longer than the encoder takes is refused whole.
    QFile big(dropped);
    ASSERT_TRUE(big.open(QIODevice::WriteOnly | QIODevice::Truncate));
    big.write(QByteArray(7000, 'x'));
    big.close();
    dialog.messages.clear();
    EXPECT_FALSE(dialog.LoadFile(dropped));
    EXPECT_EQ(dialog.messages.size(), 1);
    EXPECT_EQ(dialog.m_edText.text(), QString("dropped"));
}

TEST_F(MainDialog, CopiesTheSymbolAsImageAndSvg) {
    setText("Copied");
    dialog.symbolView().setFocus();
    QTest::keyClick(&dialog.symbolView(), Qt::Key_C, Qt::ControlModifier);
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    ASSERT_TRUE(mime->hasImage());
    EXPECT_EQ(decodeImage(qvariant_cast<QImage>(mime->imageData())), utf8("Copied"));
    EXPECT_TRUE(mime->data("image/svg+xml").startsWith("<?xml") ||
                mime->data("image/svg+xml").startsWith("<svg"));

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

TEST_F(MainDialog, LanguageIsEnglishOrTheOriginalChineseCaptions) {
    struct Case {
        const char* locale;
        const char* cancel;
        const char* aboutEntry;
        const char* aboutTitle;
        const char* version;  // the about box's name line, %1 the version
        const char* ok;
    };
    const Case cases[] = {
        {"en_GB", "Cancel", "About Barquill...", "About Barquill", "Barquill %1", "OK"},
        {"de_DE", "Cancel", "About Barquill...", "About Barquill", "Barquill %1", "OK"},
        {"zh_CN", "取消", "关于 Barquill(&A)...", "关于 Barquill", "Barquill %1 版", "确定"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        QTranslator* translator = installTranslations(QLocale(c.locale));
        {
            TestDialog localised;
            localised.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&localised));
            auto* cancel = qobject_cast<QPushButton*>(localised.GetDlgItem(res::IDCANCEL));
            EXPECT_EQ(cancel->text(), QString::fromUtf8(c.cancel));
            QStringList actions;
            for (QAction* a : localised.actions()) actions << a->text();
            EXPECT_TRUE(actions.contains(QString::fromUtf8(c.aboutEntry)));
            localised.resize(760, 520);
            localised.FinishVerification();
            QApplication::processEvents();
            localised.grab().save(
                QDir(BARQUILL_SCREENSHOT_DIR)
                    .filePath(QString("barquill-main-dialog-%1.png").arg(c.locale)));

            CAboutDialog about;
            about.show();
            EXPECT_EQ(about.windowTitle(), QString::fromUtf8(c.aboutTitle));
            EXPECT_EQ(about.findChild<QLabel*>("version")->text(),
                      QString::fromUtf8(c.version).arg(applicationVersion()));
            EXPECT_EQ(about.findChild<QPushButton*>()->text(), QString::fromUtf8(c.ok));
            EXPECT_TRUE(about.findChild<QLabel*>("licence")->text().contains("Licence"));
            about.grab().save(QDir(BARQUILL_SCREENSHOT_DIR)
                                  .filePath(QString("barquill-about-box-%1.png").arg(c.locale)));
        }
        if (translator != nullptr) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }
}

TEST_F(MainDialog, AboutBoxShowsTheProjectVersionAndOpensWithF1) {
    EXPECT_EQ(applicationVersion(), QString(BARQUILL_PROJECT_VERSION));
    QString title;
    dialog.onDialog = [&](QDialog& box) { title = box.windowTitle(); };
    QTest::keyClick(&dialog, Qt::Key_F1);
    EXPECT_EQ(title, QString("About Barquill"));
}

TEST_F(MainDialog, OptionsColoursSizeAndFolderAreKeptBetweenRuns) {
    QTemporaryDir folder;
    dialog.m_cbLevel.setCurrentIndex(dialog.m_cbLevel.findText("Auto"));
    dialog.m_spMargin.setValue(25);
    dialog.m_spColumns.setValue(4);
    dialog.m_btnBarColor.SetColor(0x803010);
    dialog.m_chkLive.setChecked(false);
    dialog.m_spDpi.setValue(600);
    dialog.resize(900, 640);
    dialog.nextOpenPath = folder.filePath("x.txt");
    QFile f(dialog.nextOpenPath);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
    f.close();
    dialog.OnLoad();
    QTest::keyClick(&dialog, Qt::Key_Escape);  // Esc ends the program as before
    EXPECT_FALSE(dialog.isVisible());

    CMainDialog next;  // not a TestDialog: the settings stay
    EXPECT_EQ(next.SelectedLevel(), -1);
    EXPECT_EQ(next.m_spMargin.value(), 25);
    EXPECT_EQ(next.m_spColumns.value(), 4);
    EXPECT_EQ(next.m_btnBarColor.GetColor(), 0x803010u);
    EXPECT_FALSE(next.m_chkLive.isChecked());
    EXPECT_EQ(next.m_spDpi.value(), 600);
    EXPECT_EQ(next.size(), QSize(900, 640));
    EXPECT_EQ(QSettings().value("files/lastFolder").toString(), folder.path());
}

TEST_F(MainDialog, StatusLineGivesShapeCapacityAndSizeOnPaper) {
    setText("Status");
    dialog.m_cbLevel.setCurrentIndex(dialog.m_cbLevel.findText("2"));
    SymbolJob reference;
    initSymbolJob(&reference);
    reference.ecLevel = 2;
    encodeSymbolJob(&reference, "Status");
    // The length descriptor counts as a data codeword.
    const int codewords =
        countDataCodewords(reinterpret_cast<const unsigned char*>("Status"), 6) + 1;
    const QString expected = QString("%1 rows × %2 columns, level 2; %3 of 928 data codewords")
                                 .arg(reference.rows)
                                 .arg(reference.columns)
                                 .arg(codewords);
    EXPECT_TRUE(dialog.GetStatusText().contains(expected)) << status();
    EXPECT_FALSE(dialog.GetStatusText().contains("mm"));
    dialog.m_spDpi.setValue(300);
    dialog.m_spModuleMm.setValue(0.34);  // 4 dots at 300 dpi
    const double widthMm = (2 * 20 + reference.width * 4) * 25.4 / 300;
    EXPECT_TRUE(dialog.GetStatusText().contains(QString("%1 × ").arg(widthMm, 0, 'f', 1)))
        << status();
    // The symbol area reads the status line out too.
    EXPECT_EQ(dialog.symbolView().accessibleDescription(), dialog.GetStatusText());
}

}  // namespace
}  // namespace barquill::testing
