// SPDX-License-Identifier: MIT
// The picture's device side: import from a device bitmap, and Draw at natural
// size, stretched, transparent and alpha-blended, always within the clip.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/device_bitmap.h"
#include "display/draw_target.h"
#include "display/memory_dc.h"
#include "image/picture.h"

using namespace barquill::image;

using namespace barquill::display;

namespace {

constexpr ColorRef RED = rgb(255, 0, 0);
constexpr ColorRef BLUE = rgb(0, 0, 255);
constexpr ColorRef GREY = rgb(200, 200, 200);

// A small asymmetric "F": a flipped row order or swapped red and blue shows.
const std::vector<std::string> F_SHAPE = {
    "####", "#...", "###.", "#...", "#...",
};

// Whether the F marks (x, y), a point inside it.
bool markAt(int x, int y) {
    return F_SHAPE[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == '#';
}

struct Surface : DrawTarget {
    Surface(int w, int h, ColorRef background)
        : pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h)) {
        attach(pixels.data(), w, h, std::ptrdiff_t(w) * 4);
        fillRect(Rect{0, 0, w, h}, background);
    }
    std::vector<PixelWord> pixels;
};

RgbQuad quad(ColorRef c) {
    return RgbQuad{blueOf(c), greenOf(c), redOf(c), 0};
}

// The F as a 24-bit picture, red on blue.
Picture fPicture() {
    Picture p;
    p.Create(4, 5, 24, IMAGE_FORMAT_UNKNOWN);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 4; ++x) {
            const RgbQuad q = quad(markAt(x, y) ? RED : BLUE);
            std::uint8_t* px = p.GetBits(std::uint32_t(4 - y)) + 3 * x;  // rows are bottom-up
            px[0] = q.blue, px[1] = q.green, px[2] = q.red;
        }
    return p;
}

// The F as an 8-bit picture: index 1 is the F, index 0 the ground.
Picture fPicturePaletted(ColorRef ground, ColorRef mark, int bitsPerPixel = 8) {
    Picture p;
    p.Create(4, 5, std::uint32_t(bitsPerPixel), IMAGE_FORMAT_UNKNOWN);
    p.SetPaletteColor(0, ground);
    p.SetPaletteColor(1, mark);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 4; ++x) p.SetPixelIndex(x, 4 - y, markAt(x, y) ? 1 : 0);
    return p;
}

// Expects the F scaled by `scale` at (x0, y0) inside `visible`; `ground` is
// where the F has no mark (nullopt: the background shows), background elsewhere.
void expectF(const Surface& s, int x0, int y0, int scale, const Rect& visible, ColorRef mark,
             std::optional<ColorRef> ground, ColorRef background) {
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) {
            ColorRef expected = background;
            const int fx = (x - x0) / scale, fy = (y - y0) / scale;
            if (visible.contains(x, y) && x >= x0 && y >= y0 && fx < 4 && fy < 5)
                expected = markAt(fx, fy) ? mark : ground.value_or(background);
            ASSERT_EQ(s.getPixel(x, y), expected) << "pixel " << x << "," << y;
        }
}

TEST(CreateFromHBITMAP, CopiesDeviceBitmapInto24BitPicture) {
    auto bitmap = DeviceBitmap::createCompatible(4, 5);
    MemoryDC dc;
    dc.selectBitmap(bitmap.get());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 4; ++x) dc.setPixel(x, y, markAt(x, y) ? RED : BLUE);

    Picture picture(IMAGE_FORMAT_PNG);
    ASSERT_TRUE(picture.CreateFromHBITMAP(bitmap.get()));
    bitmap.reset();  // the picture holds its own copy
    EXPECT_EQ(picture.GetWidth(), 4);
    EXPECT_EQ(picture.GetHeight(), 5);
    EXPECT_EQ(picture.GetBpp(), 24);
    EXPECT_EQ(picture.GetType(), IMAGE_FORMAT_UNKNOWN);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(picture.GetPixelColor(x, 4 - y, false), quad(markAt(x, y) ? RED : BLUE))
                << x << "," << y;
}

TEST(CreateFromHBITMAP, RefusesNullEmptyBitmapAndGhost) {
    Picture picture = fPicture();
    EXPECT_FALSE(picture.CreateFromHBITMAP(nullptr));
    EXPECT_FALSE(picture.IsValid());

    auto empty = DeviceBitmap::createCompatible(0, 0);
    EXPECT_FALSE(picture.CreateFromHBITMAP(empty.get()));
    EXPECT_FALSE(picture.IsValid());
    EXPECT_STREQ(picture.GetLastError(),
                 "Picture::Create : width and height must be greater than zero");

    Picture source = fPicture();
    Picture ghost;
    ghost.Ghost(&source);
    auto bitmap = DeviceBitmap::createCompatible(2, 2);
    EXPECT_FALSE(ghost.CreateFromHBITMAP(bitmap.get()));
    EXPECT_EQ(source.GetPixelColor(0, 4, false), quad(RED));
}

TEST(Draw, NaturalSizeCopiesPictureWithinClip) {
    const Picture picture = fPicture();
    struct Case {
        const char* name;
        int x, y;
        Rect clip;
        const Rect* clipRect;
    };
    const Rect narrow{3, 2, 6, 6};
    const Case cases[] = {
        {"inside", 2, 1, Rect{0, 0, 10, 8}, nullptr},
        {"partly outside the target", -1, 5, Rect{0, 0, 10, 8}, nullptr},
        {"clip rectangle", 2, 1, narrow, &narrow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Surface s(10, 8, GREY);
        EXPECT_EQ(const_cast<Picture&>(picture).Draw(&s, c.x, c.y, -1, -1, c.clipRect), 1);
        expectF(s, c.x, c.y, 1, c.clip, RED, BLUE, GREY);
        EXPECT_EQ(s.clipBox(), (Rect{0, 0, 10, 8}));  // the clip is given back
    }
}

TEST(Draw, DrawsNothingWhenThereIsNothingToDraw) {
    Picture picture = fPicture();
    Picture empty;
    Surface s(10, 8, GREY);
    EXPECT_EQ(empty.Draw(&s, 0, 0), 0);
    EXPECT_EQ(picture.Draw(nullptr, 0, 0), 0);
    EXPECT_EQ(picture.Draw(&s, 0, 0, 0, 5), 0);
    EXPECT_EQ(picture.Draw(&s, 0, 0, 4, 0), 0);
    picture.Enable(false);
    EXPECT_EQ(picture.Draw(&s, 0, 0), 0);
    expectF(s, 0, 0, 1, Rect{}, RED, BLUE, GREY);  // all grey
}

TEST(Draw, StretchingRepeatsEachPixelInBlocks) {
    Picture picture = fPicture();
    Surface s(12, 12, GREY);
    EXPECT_EQ(picture.Draw(&s, Rect{1, 1, 9, 11}), 1);  // twice the size
    expectF(s, 1, 1, 2, Rect{0, 0, 12, 12}, RED, BLUE, GREY);

    // Only the visible part is worked on, and it still lines up.
    Surface cut(12, 12, GREY);
    const Rect clip{4, 3, 8, 9};
    EXPECT_EQ(picture.Draw(&cut, -1, -1, 8, 10, &clip), 1);
    expectF(cut, -1, -1, 2, clip, RED, BLUE, GREY);
}

TEST(Draw, StretchingHalvesBySampling) {
    // 4 × 4 picture of 2 × 2 blocks drawn at 2 × 2: one pixel per block.
    Picture picture;
    picture.Create(4, 4, 24, IMAGE_FORMAT_UNKNOWN);
    const ColorRef blocks[2][2] = {{RED, BLUE},
                                   {GREY, rgb(0, 255, 0)}};  // [top/bottom][left/right]
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const RgbQuad q = quad(blocks[y / 2][x / 2]);
            std::uint8_t* px = picture.GetBits(std::uint32_t(3 - y)) + 3 * x;
            px[0] = q.blue, px[1] = q.green, px[2] = q.red;
        }
    Surface s(2, 2, 0);
    picture.Draw(&s, 0, 0, 2, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) EXPECT_EQ(s.getPixel(x, y), blocks[y][x]) << x << "," << y;
}

TEST(Draw, SmoothStretchingBlendsNeighbours) {
    Picture picture;
    picture.Create(2, 1, 24, IMAGE_FORMAT_UNKNOWN);
    std::uint8_t* row = picture.GetBits(0);
    for (int i = 0; i < 3; ++i) row[i] = 0, row[3 + i] = 255;  // black | white
    Surface s(8, 1, GREY);
    picture.Draw(&s, 0, 0, 8, 1, nullptr, true);
    EXPECT_EQ(s.getPixel(0, 0), rgb(0, 0, 0));
    EXPECT_EQ(s.getPixel(7, 0), rgb(255, 255, 255));
    int previous = -1, between = 0;
    for (int x = 0; x < 8; ++x) {
        const int level = redOf(s.getPixel(x, 0));
        EXPECT_GE(level, previous);
        between += level > 0 && level < 255;
        previous = level;
    }
    EXPECT_GE(between, 2);
}

TEST(Draw, PalettedPictureUsesItsColourTable) {
    for (int bits : {1, 4, 8}) {
        SCOPED_TRACE(bits);
        Picture picture = fPicturePaletted(BLUE, RED, bits);
        Surface s(10, 8, GREY);
        EXPECT_EQ(picture.Draw(&s, 3, 2), 1);
        expectF(s, 3, 2, 1, Rect{0, 0, 10, 8}, RED, BLUE, GREY);

        Surface big(12, 12, GREY);
        picture.Draw(&big, 1, 1, 8, 10);
        expectF(big, 1, 1, 2, Rect{0, 0, 12, 12}, RED, BLUE, GREY);
    }
}

TEST(Draw, TransparentPixelsLeaveTheBackground) {
    // By index: the ground's index is transparent.
    Picture indexed = fPicturePaletted(BLUE, RED);
    indexed.SetTransIndex(0);
    // By colour: a 24-bit picture whose blue is the transparent colour.
    Picture coloured = fPicture();
    coloured.SetTransIndex(0);
    coloured.SetTransColor(quad(BLUE));
    for (Picture* picture : {&indexed, &coloured}) {
        for (int scale : {1, 2}) {
            SCOPED_TRACE(scale);
            Surface s(12, 12, GREY);
            const Rect clip{2, 0, 12, 12};
            EXPECT_EQ(picture->Draw(&s, 1, 1, 4 * scale, 5 * scale, &clip), 1);
            expectF(s, 1, 1, scale, clip, RED, std::nullopt, GREY);
            EXPECT_EQ(s.clipBox(), (Rect{0, 0, 12, 12}));
        }
    }
}

TEST(Draw, AlphaPlaneBlendsOverTheBackground) {
    Picture picture;
    picture.Create(3, 1, 24, IMAGE_FORMAT_UNKNOWN);
    std::uint8_t* row = picture.GetBits(0);
    for (int i = 0; i < 9; ++i) row[i] = 0;  // black
    ASSERT_TRUE(picture.AlphaCreate());
    picture.AlphaSet(0, 0, 0);
    picture.AlphaSet(1, 0, 128);
    picture.AlphaSet(2, 0, 255);

    Surface s(3, 1, GREY);
    EXPECT_EQ(picture.Draw(&s, 0, 0), 1);
    EXPECT_EQ(s.getPixel(0, 0), GREY);             // fully transparent
    EXPECT_EQ(s.getPixel(1, 0), rgb(99, 99, 99));  // 200 × 127 / 256
    EXPECT_EQ(s.getPixel(2, 0), rgb(0, 0, 0));     // opaque

    // The global opacity scales every pixel's: 255 × 128 / 256 = 127.
    picture.AlphaSetMax(127);
    Surface t(3, 1, GREY);
    picture.Draw(&t, 0, 0);
    EXPECT_EQ(t.getPixel(2, 0), rgb(100, 100, 100));  // 200 × 128 / 256
}

TEST(Draw, PaletteAlphaScalesOpacity) {
    Picture picture = fPicturePaletted(BLUE, RED);
    picture.SetPaletteColor(0, 0, 0, 255, 0);    // ground: fully transparent
    picture.SetPaletteColor(1, 255, 0, 0, 255);  // mark: opaque
    picture.AlphaPaletteEnable(true);
    Surface s(6, 6, GREY);
    EXPECT_EQ(picture.Draw(&s, 1, 0), 1);
    expectF(s, 1, 0, 1, Rect{0, 0, 6, 6}, RED, std::nullopt, GREY);
}

}  // namespace
