// The main dialog on the offscreen platform: its template and defaults,
// Encode with the symbol centred in the symbol area, the status line, the
// colour buttons, the about box and the screenshot.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstring>

#include "app/dialog_layout.h"
#include "encoder/pdf417.h"
#include "gui_test_support.h"
#include "resources/dialog_templates.h"

namespace barquill::testing {
namespace {

namespace res = barquill::resources;

class MainDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite() { qtApplication(); }

    void SetUp() override {
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }

    QLineEdit* edit(int id) { return qobject_cast<QLineEdit*>(dialog.GetDlgItem(id)); }
    void press(int id) { QTest::mouseClick(dialog.GetDlgItem(id), Qt::LeftButton); }
    void encode(const QString& text) {
        edit(res::IDC_TEXT)->setText(text);
        press(res::IDC_ENCODE);
    }
    // The symbol area as the dialog paints it.
    QImage symbolArea() {
        return dialog.grab(dialog.SymbolArea()).toImage().convertToFormat(QImage::Format_RGB32);
    }

    TestDialog dialog;
};

// The same symbol built by the encoder directly, for its size.
SymbolJob referenceJob(const char* text, int level, int columns) {
    SymbolJob job;
    initSymbolJob(&job);
    job.ecLevel = level;
    job.columns = columns;
    encodeSymbolJob(&job, text);
    return job;
}

TEST_F(MainDialog, ControlsFollowTheTemplateInPlaceAndTabOrder) {
    EXPECT_EQ(dialog.windowTitle(), QString("Barquill"));
    const app::DialogUnits units(dialog.font());
    EXPECT_EQ(dialog.size(), QSize(units.toPixelsX(447), units.toPixelsY(317)));
    // The Chinese captions need a font that has them.
    EXPECT_TRUE(QFontMetrics(dialog.font()).inFontUcs4(U'取'));

    QWidget* previous = nullptr;
    for (const res::ControlTemplate& c : res::MAIN_CONTROLS) {
        if (c.id == res::IDC_STATIC) continue;
        QWidget* w = dialog.GetDlgItem(c.id);
        ASSERT_NE(w, nullptr) << c.id;
        EXPECT_EQ(w->geometry(), units.toPixels(c.x, c.y, c.width, c.height)) << c.id;
        if (auto* button = qobject_cast<QPushButton*>(w)) {
            EXPECT_EQ(button->text(), QString::fromUtf8(c.caption));
        }
        if (previous != nullptr) {
            // Tab moves from each control to the next one of the template.
            previous->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* focused = QApplication::focusWidget();
            EXPECT_TRUE(focused == w || focused->parentWidget() == w) << "after " << c.id;
        }
        previous = w;
    }
    QStringList labels;
    for (QLabel* label : dialog.findChildren<QLabel*>()) labels << label->text();
    for (const char* caption : {"Level", "Margin", "Text", "Columns"})
        EXPECT_TRUE(labels.contains(QString(caption))) << caption;
}

TEST_F(MainDialog, StartsWithDefaultsAndFocusOnEncode) {
    EXPECT_EQ(edit(res::IDC_MARGIN)->text(), QString("10"));
    EXPECT_EQ(edit(res::IDC_COLUMNS)->text(), QString("0"));
    const QString sample = edit(res::IDC_TEXT)->text();
    EXPECT_EQ(sample.size(), 21);
    EXPECT_TRUE(sample.startsWith("https://")) << sample.toStdString();
    EXPECT_EQ(dialog.m_cbLevel.currentText(), QString("1"));
    QStringList items;
    for (int i = 0; i < dialog.m_cbLevel.count(); ++i) items << dialog.m_cbLevel.itemText(i);
    EXPECT_EQ(items, QStringList({"1", "2", "3", "4", "5", "6", "7", "8"}));
    EXPECT_EQ(dialog.m_cbLevel.maxVisibleItems(), 5);
    EXPECT_EQ(dialog.m_btnBarColor.GetColor(), 0x000000u);
    EXPECT_EQ(dialog.m_btnBackground.GetColor(), 0xFFFFFFu);
    EXPECT_EQ(dialog.m_btnBarColor.text(), QString("Bar color"));
    EXPECT_EQ(dialog.m_btnBackground.text(), QString("Background"));
    EXPECT_FALSE(dialog.m_image.IsValid());
    EXPECT_EQ(QApplication::focusWidget(), dialog.GetDlgItem(res::IDC_ENCODE));
}

TEST_F(MainDialog, EncodeWithDefaultsShowsCentredSymbolThatDecodes) {
    const QString sample = edit(res::IDC_TEXT)->text();
    press(res::IDC_ENCODE);
    const SymbolJob reference = referenceJob(sample.toUtf8().constData(), 1, 0);
    ASSERT_TRUE(dialog.m_image.IsValid());
    EXPECT_EQ(dialog.m_image.GetWidth(), 2 * (reference.width + 10));
    EXPECT_EQ(dialog.m_image.GetHeight(), 2 * 10 + 4 * reference.rows);
    EXPECT_TRUE(dialog.GetStatusText().contains("level 1")) << dialog.GetStatusText().toStdString();

    const QImage area = symbolArea();
    const int w = dialog.m_image.GetWidth(), h = dialog.m_image.GetHeight();
    const int x0 = (620 - w) / 2, y0 = (313 - h) / 2;
    const QRgb background = dialog.palette().color(QPalette::Window).rgb();
    EXPECT_EQ(area.pixel(x0 - 1, y0 + h / 2), background);
    EXPECT_EQ(area.pixel(x0, y0), qRgb(255, 255, 255));      // quiet zone
    EXPECT_EQ(area.pixel(x0 + 10, y0 + 10), qRgb(0, 0, 0));  // start pattern
    EXPECT_EQ(area.pixel(x0 + w - 1, y0 + h - 1), qRgb(255, 255, 255));
    EXPECT_EQ(area.pixel(x0 + w, y0 + h / 2), background);
    EXPECT_EQ(decodeImage(area), utf8(sample));
}

TEST_F(MainDialog, SymbolIsCentredAndLargerOneShowsItsMiddle) {
    struct Case {
        const char* name;
        QString text;
        int columns;
    };
    const Case cases[] = {
        {"small", "Hello", 0},
        {"non-ASCII text goes as UTF-8", QString::fromUtf8("Grüße, 中文"), 0},
        {"wider and taller than the area", QString(900, QChar('7')) + QString(400, QChar('x')), 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        edit(res::IDC_COLUMNS)->setText(QString::number(c.columns));
        encode(c.text);
        ASSERT_TRUE(dialog.m_image.IsValid());
        const int w = dialog.m_image.GetWidth(), h = dialog.m_image.GetHeight();
        const int x0 = (620 - w) / 2, y0 = (313 - h) / 2;
        const QImage area = symbolArea();
        const QRgb background = dialog.palette().color(QPalette::Window).rgb();
        for (int y = 0; y < 313; y += 3)
            for (int x = 0; x < 620; x += 3) {
                const int px = x - x0, py = y - y0;
                QRgb expected = background;
                if (px >= 0 && px < w && py >= 0 && py < h) {
                    const RgbQuad q = dialog.m_image.GetPixelColor(px, h - 1 - py, false);
                    expected = qRgb(q.red, q.green, q.blue);
                }
                ASSERT_EQ(area.pixel(x, y), expected) << x << "," << y;
            }
        EXPECT_EQ(decodePicture(dialog.m_image), utf8(c.text));
    }
}

TEST_F(MainDialog, StatusLineTellsWhatWentWrong) {
    struct Case {
        const char* name;
        QString text;
        QString margin, columns, level;
        QString expected;  // part of the status line
        bool symbol;       // a picture was made
    };
    const QString tooLong(2500, QChar(0xE9));  // 5000 bytes in UTF-8: more than any symbol holds
    const Case cases[] = {
        {"too long for any symbol", tooLong, "10", "0", "1",
         "error: input string too long (PDF error 2)", true},
        {"empty text", "", "10", "0", "1", "holds no data, and readers reject it", true},
        {"columns out of range", "abc", "10", "31", "1", "warning: number of columns out of range",
         true},
        {"too many rows for the columns", QString(1500, QChar('a')), "10", "1", "1",
         "error: data too long for specified number of columns (PDF error 4)", true},
        {"margin too large for a picture", "abc", "100000", "0", "1", "too large", false},
        {"negative margin cuts everything", "abc", "-1000", "0", "1", "nothing of the symbol",
         false},
        {"typed level", "abc", "10", "0", "5", "level 5", true},
        {"typed text that names no level", "abc", "10", "0", "x", "level 0", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        edit(res::IDC_MARGIN)->setText(c.margin);
        edit(res::IDC_COLUMNS)->setText(c.columns);
        dialog.m_cbLevel.setEditText(c.level);
        encode(c.text);
        EXPECT_TRUE(dialog.GetStatusText().contains(c.expected))
            << dialog.GetStatusText().toStdString();
        EXPECT_EQ(dialog.m_image.IsValid(), c.symbol);
        EXPECT_TRUE(dialog.messages.isEmpty());
    }
}

TEST_F(MainDialog, TextBeyondTheJobFieldIsRefusedNotCut) {
    // The longest text the job's field takes goes to the encoder, which
    // answers for itself (no symbol holds that many digits).
    encode(QString(6999, QChar('7')));
    EXPECT_TRUE(dialog.GetStatusText().startsWith("error: input string too long (PDF error 2)"))
        << dialog.GetStatusText().toStdString();

    const QString refusal = "more than the 6999 bytes the encoder takes";
    for (const auto& [text, length] : {std::pair{QString(7000, QChar('7')), 7000},
                                       {QString(2334, QChar(0x4E2D)), 7002}}) {  // 3 bytes each
        encode("abc");
        ASSERT_TRUE(dialog.m_image.IsValid());
        encode(text);
        EXPECT_FALSE(dialog.m_image.IsValid());  // no stale symbol left to save
        EXPECT_TRUE(dialog.GetStatusText().contains(QString("%1 bytes").arg(length)))
            << dialog.GetStatusText().toStdString();
        EXPECT_TRUE(dialog.GetStatusText().contains(refusal));
    }
}

TEST_F(MainDialog, NumberThatDoesNotParseIsReportedAndEncodeGoesOn) {
    edit(res::IDC_MARGIN)->setText("ten");
    edit(res::IDC_COLUMNS)->setText("4");
    encode("abc");
    EXPECT_EQ(dialog.messages, QStringList({"Please enter an integer."}));
    // The exchange stopped at the margin, so the text and columns after it
    // keep their previous values too, and Encode goes on with those.
    EXPECT_EQ(dialog.m_nMargin, 10);
    EXPECT_EQ(dialog.m_nColumns, 0);
    const QByteArray sample = dialog.m_strText.toUtf8();
    EXPECT_EQ(sample.size(), 21);
    EXPECT_EQ(decodePicture(dialog.m_image), utf8(dialog.m_strText));
    const SymbolJob reference = referenceJob(sample.constData(), 1, 0);
    EXPECT_EQ(dialog.m_image.GetWidth(), 2 * (reference.width + 10));
}

TEST_F(MainDialog, ColourButtonsChooseColoursForTheNextEncode) {
    constexpr COLORREF navy = 0x803010;   // red 0x10, green 0x30, blue 0x80
    constexpr COLORREF cream = 0xC0F0FF;  // red 0xFF, green 0xF0, blue 0xC0
    std::vector<app::COLORREF> offered;
    std::optional<app::COLORREF> answer;
    auto chooser = [&](COLORREF initial, QWidget*) {
        offered.push_back(initial);
        return answer;
    };
    dialog.m_btnBarColor.SetColorDialog(chooser);
    dialog.m_btnBackground.SetColorDialog(chooser);

    encode("Colours");
    const RgbQuad before = dialog.m_image.GetPixelColor(0, 0, false);

    answer = navy;
    QTest::mouseClick(&dialog.m_btnBarColor, Qt::LeftButton);
    answer = cream;
    QTest::mouseClick(&dialog.m_btnBackground, Qt::LeftButton);
    answer = std::nullopt;  // cancelled
    QTest::mouseClick(&dialog.m_btnBarColor, Qt::LeftButton);

    EXPECT_EQ(offered, (std::vector<app::COLORREF>{0x000000, 0xFFFFFF, navy}));
    EXPECT_EQ(dialog.m_btnBarColor.GetColor(), navy);
    EXPECT_EQ(dialog.m_btnBackground.GetColor(), cream);
    // The symbol keeps its colours until the next Encode.
    EXPECT_EQ(dialog.m_image.GetPixelColor(0, 0, false), before);

    press(res::IDC_ENCODE);
    const int h = dialog.m_image.GetHeight();
    EXPECT_EQ(dialog.m_image.GetPixelColor(0, 0, false), (image::RgbQuad{0xC0, 0xF0, 0xFF, 0}));
    EXPECT_EQ(dialog.m_image.GetPixelColor(10, h - 11, false),
              (image::RgbQuad{0x80, 0x30, 0x10, 0}));
    EXPECT_EQ(decodePicture(dialog.m_image), utf8("Colours"));
}

TEST_F(MainDialog, ConfirmingTheSameColourDoesNotRepaint) {
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) ++paints;
            return false;
        }
    } counter;
    dialog.m_btnBarColor.installEventFilter(&counter);
    auto settle = [] {
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
    };
    settle();
    counter.paints = 0;
    dialog.m_btnBarColor.SetColorDialog([](COLORREF initial, QWidget*) { return initial; });
    EXPECT_FALSE(dialog.m_btnBarColor.PickColor());
    settle();
    EXPECT_EQ(counter.paints, 0);
    dialog.m_btnBarColor.SetColorDialog([](COLORREF, QWidget*) { return app::COLORREF(0x0000FF); });
    EXPECT_TRUE(dialog.m_btnBarColor.PickColor());
    settle();
    EXPECT_GT(counter.paints, 0);
}

TEST_F(MainDialog, AboutEntryOnContextMenuAndF1OpensAboutBox) {
    QAction* about = nullptr;
    for (QAction* a : dialog.actions())
        if (a->text() == QString::fromUtf8("关于 Barquill(&A)...")) about = a;
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(dialog.contextMenuPolicy(), Qt::ActionsContextMenu);
    EXPECT_EQ(about->shortcut(), QKeySequence(Qt::Key_F1));

    QString title, text;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (box == nullptr) return;
        title = box->windowTitle();
        box->grab().save(QDir(BARQUILL_SCREENSHOT_DIR).filePath("barquill-about-box.png"));
        for (QLabel* l : box->findChildren<QLabel*>())
            if (!l->text().isEmpty()) text = l->text();
        auto* ok = box->findChild<QPushButton*>();
        if (ok != nullptr) {
            text += " / " + ok->text();
            ok->click();
        }
    });
    QTest::keyClick(&dialog, Qt::Key_F1);
    EXPECT_EQ(title, QString::fromUtf8("关于 Barquill"));
    EXPECT_EQ(text, QString::fromUtf8("Barquill 1.0 版 / 确定"));
}

TEST_F(MainDialog, CancelClosesTheDialog) {
    press(res::IDCANCEL);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

// Leaves a picture of the dialog after Encode in the build folder.
TEST_F(MainDialog, ScreenshotAfterEncode) {
    press(res::IDC_ENCODE);
    const QImage shot = dialog.grab().toImage();
    const QString path = QDir(BARQUILL_SCREENSHOT_DIR).filePath("barquill-main-dialog.png");
    ASSERT_TRUE(shot.save(path)) << path.toStdString();
    EXPECT_EQ(decodeImage(shot.copy(dialog.SymbolArea())), utf8(edit(res::IDC_TEXT)->text()));
}

}  // namespace
}  // namespace barquill::testing
