// SPDX-License-Identifier: MIT
// The display layer: device bitmaps read out as device-independent bitmaps,
// and drawing targets that clip, copy bitmaps in and read pixels back.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "display/device_bitmap.h"
#include "display/draw_target.h"
#include "display/memory_dc.h"

namespace barquill::display {
namespace {

constexpr ColorRef RED = rgb(255, 0, 0);
constexpr ColorRef BLUE = rgb(0, 0, 255);
constexpr ColorRef WHITE = rgb(255, 255, 255);
constexpr ColorRef GREEN = rgb(0, 128, 0);

// A small asymmetric "F" (5 wide, 6 high): a flipped row order or swapped
// red and blue shows at once.
const std::vector<std::string> F_SHAPE = {
    "#####", "#....", "####.", "#....", "#....", "#....",
};

// Whether the F marks (x, y), a point inside it.
bool markAt(int x, int y) {
    return F_SHAPE[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == '#';
}

// A drawing target that owns its pixels.
struct Surface : DrawTarget {
    Surface(int w, int h, ColorRef background)
        : pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h)) {
        attach(pixels.data(), w, h, std::ptrdiff_t(w) * 4);
        fillRect(Rect{0, 0, w, h}, background);
    }
    std::vector<PixelWord> pixels;
    DrawTarget& target = *this;
};

// The F as a 24-bit bottom-up device-independent bitmap: red on blue.
std::vector<std::uint8_t> fShapeDib24() {
    DibFormat f{5, 6, 24};
    std::vector<std::uint8_t> bits(f.stride() * 6, 0);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 5; ++x) {
            ColorRef c = markAt(x, y) ? RED : BLUE;
            std::uint8_t* p = &bits[static_cast<std::size_t>(f.storedRow(y)) * f.stride() +
                                    3 * static_cast<std::size_t>(x)];
            p[0] = blueOf(c), p[1] = greenOf(c), p[2] = redOf(c);
        }
    return bits;
}

// Expects the F drawn with its top-left pixel at (x0, y0), only inside `visible`,
// and the background elsewhere.
void expectF(const DrawTarget& t, int x0, int y0, const Rect& visible, ColorRef background) {
    for (int y = 0; y < t.height(); ++y)
        for (int x = 0; x < t.width(); ++x) {
            ColorRef expected = background;
            int fx = x - x0, fy = y - y0;
            if (visible.contains(x, y) && fx >= 0 && fx < 5 && fy >= 0 && fy < 6)
                expected = markAt(fx, fy) ? RED : BLUE;
            ASSERT_EQ(t.getPixel(x, y), expected) << "at " << x << "," << y;
        }
}

TEST(DeviceBitmap, ReportsSizeAndScreenDepth) {
    auto b = DeviceBitmap::createCompatible(7, 3);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->width(), 7);
    EXPECT_EQ(b->height(), 3);
    EXPECT_EQ(b->depth(), 32);
}

TEST(DeviceBitmap, NonPositiveSizeGivesEmptyBitmapAndHugeSizeGivesNone) {
    for (auto [w, h] : {std::pair{0, 5}, {5, 0}, {-3, 4}, {4, -2147483647 - 1}}) {
        auto b = DeviceBitmap::createCompatible(w, h);
        ASSERT_TRUE(b);
        EXPECT_EQ(b->width(), 0);
        EXPECT_EQ(b->height(), 0);
        std::uint8_t byte = 0;
        EXPECT_EQ(b->getDIBits(DibFormat{w, h, 24}, &byte), 0);
    }
    EXPECT_FALSE(DeviceBitmap::createCompatible(100000, 100000));
    EXPECT_FALSE(DeviceBitmap::createCompatible(2147483647, 2147483647));
}

TEST(DeviceBitmap, ReadsOutAsBottomUpPaddedDib) {
    auto bitmap = DeviceBitmap::createCompatible(5, 6);
    MemoryDC dc;
    dc.selectBitmap(bitmap.get());
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 5; ++x) dc.setPixel(x, y, markAt(x, y) ? RED : BLUE);

    DibFormat format24{5, 6, 24};
    std::vector<std::uint8_t> bits(format24.stride() * 6, 0xAA);
    ASSERT_EQ(format24.stride(), 16u);
    ASSERT_EQ(bitmap->getDIBits(format24, bits.data()), 6);
    EXPECT_EQ(bits, fShapeDib24());  // padding zeroed

    // The first stored row is the picture's bottom row: red, then blue.
    EXPECT_EQ(std::vector<std::uint8_t>(bits.begin(), bits.begin() + 6),
              (std::vector<std::uint8_t>{0, 0, 255, 255, 0, 0}));

    DibFormat topDown32{5, -6, 32};
    std::vector<std::uint8_t> bits32(topDown32.stride() * 6);
    ASSERT_EQ(bitmap->getDIBits(topDown32, bits32.data()), 6);
    EXPECT_EQ(std::vector<std::uint8_t>(bits32.begin(), bits32.begin() + 8),
              (std::vector<std::uint8_t>{0, 0, 255, 0, 0, 0, 255, 0}));
    EXPECT_EQ(std::vector<std::uint8_t>(bits32.begin() + 20, bits32.begin() + 28),
              (std::vector<std::uint8_t>{0, 0, 255, 0, 255, 0, 0, 0}));
}

TEST(DeviceBitmap, RefusesReadOutOfOtherShapeOrDepth) {
    auto bitmap = DeviceBitmap::createCompatible(4, 4);
    std::vector<std::uint8_t> bits(256);
    for (DibFormat f :
         {DibFormat{3, 4, 24}, DibFormat{4, 5, 24}, DibFormat{4, 4, 8}, DibFormat{4, 4, 16}})
        EXPECT_EQ(bitmap->getDIBits(f, bits.data()), 0)
            << f.width << "x" << f.height << "x" << f.bitCount;
}

TEST(MemoryDC, DrawsNothingWithoutBitmapAndStopsAfterDeselect) {
    MemoryDC dc;
    dc.fillRect(Rect{0, 0, 10, 10}, RED);
    EXPECT_FALSE(dc.setPixel(0, 0, RED));
    EXPECT_EQ(dc.getPixel(0, 0), INVALID_COLOR);

    auto bitmap = DeviceBitmap::createCompatible(2, 2);
    EXPECT_EQ(dc.selectBitmap(bitmap.get()), nullptr);
    EXPECT_EQ(dc.clipBox(), (Rect{0, 0, 2, 2}));
    dc.fillRect(Rect{-5, -5, 50, 50}, GREEN);
    EXPECT_EQ(dc.selectBitmap(nullptr), bitmap.get());
    EXPECT_FALSE(dc.setPixel(1, 1, RED));
    EXPECT_EQ(toColorRef(bitmap->pixels()[3]), GREEN);
}

TEST(DrawTarget, ClipLimitsFillsAndPixelsAndCanBeRestored) {
    Surface s(6, 4, WHITE);
    s.target.intersectClip(Rect{2, 1, 10, 3});
    EXPECT_EQ(s.target.clipBox(), (Rect{2, 1, 6, 3}));
    s.target.fillRect(Rect{0, 0, 6, 4}, RED);
    EXPECT_FALSE(s.target.setPixel(1, 1, BLUE));
    EXPECT_TRUE(s.target.setPixel(5, 2, BLUE));
    s.target.setClip(Rect{-10, -10, 100, 100});
    EXPECT_EQ(s.target.clipBox(), (Rect{0, 0, 6, 4}));

    const std::vector<std::string> expected = {"WWWWWW", "WWRRRR", "WWRRRB", "WWWWWW"};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            const char c = expected[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
            EXPECT_EQ(s.target.getPixel(x, y), c == 'W'   ? WHITE
                                               : c == 'R' ? RED
                                                          : BLUE)
                << x << "," << y;
        }
    EXPECT_EQ(s.target.getPixel(6, 0), INVALID_COLOR);
    EXPECT_EQ(s.target.getPixel(0, -1), INVALID_COLOR);
}

TEST(DrawTarget, CopiesDibUnscaledWithinClip) {
    const auto dib = fShapeDib24();
    struct Case {
        const char* name;
        int x, y;
        Rect clip;
    };
    const Case cases[] = {
        {"inside", 2, 1, Rect{0, 0, 12, 10}},
        {"cut by surface edges", -2, -3, Rect{0, 0, 12, 10}},
        {"cut at right and bottom", 9, 7, Rect{0, 0, 12, 10}},
        {"cut by clip", 2, 1, Rect{3, 2, 6, 5}},
        {"entirely outside", 20, 20, Rect{0, 0, 12, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Surface s(12, 10, WHITE);
        s.target.setClip(c.clip);
        EXPECT_EQ(s.target.setDIBits(c.x, c.y, DibFormat{5, 6, 24}, dib.data()), 6);
        expectF(s.target, c.x, c.y, c.clip, WHITE);
    }
}

TEST(DrawTarget, CopiesPalettedAndTopDownDibs) {
    // Colour table: index 0 blue, 1 red, the rest green.
    std::vector<std::uint8_t> table;
    for (int i = 0; i < 16; ++i) {
        ColorRef c = i == 0 ? BLUE : i == 1 ? RED : GREEN;
        table.insert(table.end(), {blueOf(c), greenOf(c), redOf(c), 0});
    }
    for (int bitCount : {1, 4, 8, 32}) {
        SCOPED_TRACE(bitCount);
        for (int height : {6, -6}) {
            DibFormat f{5, height, bitCount};
            std::vector<std::uint8_t> bits(f.stride() * 6, 0);
            for (int y = 0; y < 6; ++y)
                for (int x = 0; x < 5; ++x) {
                    const bool bar = markAt(x, y);
                    std::uint8_t* row =
                        &bits[static_cast<std::size_t>(f.storedRow(y)) * f.stride()];
                    if (bitCount == 1) row[x / 8] |= std::uint8_t(bar) << (7 - x % 8);
                    if (bitCount == 4) row[x / 2] |= std::uint8_t(bar) << (x % 2 ? 0 : 4);
                    if (bitCount == 8) row[x] = bar;
                    if (bitCount == 32) {
                        ColorRef c = bar ? RED : BLUE;
                        row[4 * x] = blueOf(c), row[4 * x + 1] = greenOf(c),
                                row[4 * x + 2] = redOf(c);
                    }
                }
            Surface s(8, 8, WHITE);
            EXPECT_EQ(s.target.setDIBits(1, 2, f, bits.data(), table.data(), 2), 6);
            expectF(s.target, 1, 2, Rect{0, 0, 8, 8}, WHITE);
        }
    }
}

TEST(DrawTarget, PaletteIndexPastTableDrawsBlackAndUnknownDepthDrawsNothing) {
    const std::uint8_t table[] = {255, 0, 0, 0};
    const std::uint8_t bits[4] = {0x01, 0, 0, 0};  // indices 0 and 1 in a 4-bit row
    Surface s(2, 1, WHITE);
    EXPECT_EQ(s.target.setDIBits(0, 0, DibFormat{2, 1, 4}, bits, table, 1), 1);
    EXPECT_EQ(s.target.getPixel(0, 0), BLUE);
    EXPECT_EQ(s.target.getPixel(1, 0), rgb(0, 0, 0));

    Surface t(2, 1, WHITE);
    EXPECT_EQ(t.target.setDIBits(0, 0, DibFormat{2, 1, 16}, bits), 0);
    EXPECT_EQ(t.target.setDIBits(0, 0, DibFormat{0, 1, 24}, bits), 0);
    EXPECT_EQ(t.target.getPixel(0, 0), WHITE);
}

TEST(DrawTarget, ReadsRectangleIntoBottomUpDibWithBlackOutside) {
    Surface s(12, 10, WHITE);
    const auto dib = fShapeDib24();
    s.target.setDIBits(3, 2, DibFormat{5, 6, 24}, dib.data());

    std::vector<std::uint8_t> read(fShapeDib24().size(), 0xEE);
    ASSERT_TRUE(s.target.readPixels(3, 2, DibFormat{5, 6, 24}, read.data()));
    // Padding is not written: compare pixel bytes only.
    for (std::size_t row = 0; row < 6; ++row)
        for (std::size_t b = 0; b < 15; ++b) ASSERT_EQ(read[row * 16 + b], dib[row * 16 + b]);

    // One pixel left of and above the surface reads black; the rest is white.
    std::vector<std::uint8_t> corner(8 * 2, 0xEE);
    ASSERT_TRUE(s.target.readPixels(-1, -1, DibFormat{2, 2, 24}, corner.data()));
    // Stored bottom row first: (-1,0) black, (0,0) white; then (-1,-1), (0,-1) black.
    EXPECT_EQ(std::vector<std::uint8_t>(corner.begin(), corner.begin() + 6),
              (std::vector<std::uint8_t>{0, 0, 0, 255, 255, 255}));
    EXPECT_EQ(std::vector<std::uint8_t>(corner.begin() + 8, corner.begin() + 14),
              (std::vector<std::uint8_t>(6, 0)));
    EXPECT_FALSE(s.target.readPixels(0, 0, DibFormat{2, 2, 8}, corner.data()));
}

}  // namespace
}  // namespace barquill::display
