// SPDX-License-Identifier: MIT
// The colour button paints itself: button-face ring, push-button frame,
// swatch of its colour, a chequer over the swatch when disabled, and the
// caption on top.

#include "app/color_button.h"

#include <gtest/gtest.h>

#include <QImage>

#include "gui_test_support.h"

namespace barquill::testing {
namespace {

class ColorButton : public ::testing::Test {
protected:
    static void SetUpTestSuite() { qtApplication(); }
    void SetUp() override {
        button.resize(120, 30);
        button.SetColor(0x2040C0);  // red 0xC0, green 0x40, blue 0x20
    }
    QImage paint() { return button.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    CColorButton button;
    const QRgb swatch = qRgb(0xC0, 0x40, 0x20);
};

TEST_F(ColorButton, PaintsRingFrameAndSwatch) {
    const QImage face = paint();
    const QRgb buttonFace = button.palette().color(QPalette::Button).rgb();
    EXPECT_EQ(face.pixel(0, 15), buttonFace);  // outer ring
    EXPECT_EQ(face.pixel(1, 15), buttonFace);
    EXPECT_EQ(face.pixel(2, 15), buttonFace);  // frame line in the face colour
    EXPECT_NE(face.pixel(3, 15), swatch);      // push-button frame
    for (QPoint p : {QPoint(5, 5), QPoint(114, 24), QPoint(5, 24), QPoint(114, 5)})
        EXPECT_EQ(face.pixel(p), swatch) << p.x() << "," << p.y();
    EXPECT_NE(face.pixel(115, 15), swatch);
}

TEST_F(ColorButton, DisabledSwatchIsChequeredWithButtonFace) {
    button.setEnabled(false);
    const QImage face = paint();
    const QRgb buttonFace = button.palette().color(QPalette::Button).rgb();
    // Corners of the swatch, away from the caption.
    for (int y = 5; y < 9; ++y)
        for (int x = 5; x < 12; ++x)
            EXPECT_EQ(face.pixel(x, y), (x + y) % 2 == 0 ? buttonFace : swatch) << x << "," << y;
}

TEST_F(ColorButton, CaptionIsDrawnAndLongCaptionStaysInsideTheSwatch) {
    button.SetColor(0xFFFFFF);
    button.setText("Bar color");
    const QImage shortCaption = paint();
    int dark = 0;
    for (int y = 5; y < 25; ++y)
        for (int x = 5; x < 115; ++x) dark += qGray(shortCaption.pixel(x, y)) < 128;
    EXPECT_GT(dark, 10);

    button.setText(QString(60, QChar('W')));
    const QImage longCaption = paint();
    // The caption is cut with an ellipsis: the swatch's side columns stay clear.
    for (int y = 5; y < 25; ++y) {
        EXPECT_EQ(longCaption.pixel(5, y), qRgb(255, 255, 255)) << y;
        EXPECT_EQ(longCaption.pixel(114, y), qRgb(255, 255, 255)) << y;
    }
}

TEST_F(ColorButton, CaptionStaysReadableOnADarkSwatch) {
    button.SetColor(0x000000);  // the default bar colour
    button.setText("Bar color");
    const QImage face = paint();
    int light = 0;
    for (int y = 5; y < 25; ++y)
        for (int x = 5; x < 115; ++x) light += qGray(face.pixel(x, y)) >= 128;
    EXPECT_GT(light, 10);
}

TEST_F(ColorButton, PressedButtonMovesCaptionNotSwatch) {
    button.SetColor(0xFFFFFF);
    button.setText("Bar");
    // The box around the caption's dark pixels, inside the swatch.
    auto captionBox = [](const QImage& face) {
        QRect box;
        for (int y = 5; y < 25; ++y)
            for (int x = 5; x < 115; ++x)
                if (qGray(face.pixel(x, y)) < 128) box |= QRect(x, y, 1, 1);
        return box;
    };
    const QImage up = paint();
    button.setDown(true);
    const QImage down = paint();
    ASSERT_FALSE(captionBox(up).isEmpty());
    EXPECT_EQ(captionBox(down), captionBox(up).translated(1, 1));
    EXPECT_EQ(down.pixel(5, 5), qRgb(255, 255, 255));  // the swatch stays put
    EXPECT_NE(down.pixel(3, 3), up.pixel(3, 3));       // the frame is drawn pushed
}

}  // namespace
}  // namespace barquill::testing
