// SPDX-License-Identifier: MIT
// The renderer: every module a 2 × 4 block of pixels inside the margin, the
// margin in the space colour, a margin-only bitmap for a failed build, and
// defined results for any margin.

#include "encoder/rendering.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "display/color.h"
#include "tests/support/pdf417_reader.h"

using namespace barquill::encoder;

using barquill::display::DeviceBitmap;
using barquill::display::DibFormat;
using barquill::display::toColorRef;

namespace {

struct Job {
    explicit Job(const std::string& text, int margin = 6) {
        initSymbolJob(&job);
        job.margin = margin;
        std::memcpy(job.text, text.data(), text.size());
    }
    SymbolJob job;
};

std::uint32_t pixelAt(const DeviceBitmap& b, int x, int y) {
    return toColorRef(b.pixels()[static_cast<std::size_t>(y) * static_cast<std::size_t>(b.width()) +
                                 static_cast<std::size_t>(x)]);
}

// Expects every pixel of the bitmap to follow the geometry: module j of row i
// at x = m + 2j .. m + 2j + 1, y = m + 4i .. m + 4i + 3, space colour elsewhere.
void expectModuleGeometry(const DeviceBitmap& b, const SymbolJob& job) {
    const int m = job.margin;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) {
            const int j = (x - m) >> 1, i = (y - m) >> 2;
            const bool inModules = x - m >= 0 && j < job.width && y - m >= 0 && i < job.rows;
            const bool bar = inModules && job.rowBits[i][j] == '1';
            ASSERT_EQ(pixelAt(b, x, y), bar ? job.barColor : job.spaceColor)
                << "pixel " << x << "," << y;
        }
}

std::optional<barquill::testing::Bytes> decode(const DeviceBitmap& b) {
    DibFormat topDown{b.width(), -b.height(), 24};
    std::vector<std::uint8_t> bits(topDown.stride() * static_cast<std::size_t>(b.height()));
    if (b.getDIBits(topDown, bits.data()) != b.height()) return std::nullopt;
    return barquill::testing::readPdf417Bgr(bits.data(), b.width(), b.height(),
                                            int(topDown.stride()));
}

class Rendering : public ::testing::Test {
protected:
    void TearDown() override { releaseSymbolBitmap(); }
};

TEST_F(Rendering, SmallestSymbolGives218By32BitmapWithStartPatternAfterMargin) {
    Job j("");  // 2 data columns, 5 rows: 103 modules across
    DeviceBitmap* b = renderSymbol(&j.job);
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(j.job.width, 103);
    ASSERT_EQ(j.job.rows, 5);
    EXPECT_EQ(b->width(), 218);
    EXPECT_EQ(b->height(), 32);
    expectModuleGeometry(*b, j.job);
    // The start pattern opens with eight bar modules: 16 black pixels.
    for (int y = 6; y < 26; ++y)
        for (int x = 6; x < 22; ++x) ASSERT_EQ(pixelAt(*b, x, y), 0u) << x << "," << y;
    EXPECT_EQ(pixelAt(*b, 22, 6), 0xFFFFFFu);
}

TEST_F(Rendering, RenderedSymbolDecodesInAnyColoursAndMargin) {
    struct Case {
        const char* text;
        int margin;
        std::uint32_t bar, space;
    };
    const Case cases[] = {
        {"Hello, World!", 10, 0x000000, 0xFFFFFF},
        {"https://barquill.org/", 4, 0x402010, 0xC0E0F0},  // dark blue-ish on light
        {"0123456789012345678901234567890", 0, 0x000000, 0xFFFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Job j(c.text, c.margin);
        j.job.barColor = c.bar;
        j.job.spaceColor = c.space;
        DeviceBitmap* b = renderSymbol(&j.job);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->width(), 2 * (j.job.width + c.margin));
        EXPECT_EQ(b->height(), 2 * c.margin + 4 * j.job.rows);
        expectModuleGeometry(*b, j.job);
        if (c.margin > 0) {
            EXPECT_EQ(decode(*b), barquill::testing::toBytes(c.text));
        }
    }
}

TEST_F(Rendering, FailedBuildGivesMarginOnlyBitmap) {
    Job j(std::string(6000, '\xE9'), 6);  // far more bytes than any symbol holds
    j.job.spaceColor = 0x336699;
    DeviceBitmap* b = renderSymbol(&j.job);
    ASSERT_NE(b, nullptr);
    EXPECT_STREQ(j.job.message, "error: input string too long (PDF error 2)");
    ASSERT_EQ(b->width(), 12);
    ASSERT_EQ(b->height(), 12);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) ASSERT_EQ(pixelAt(*b, x, y), 0x336699u);
}

TEST_F(Rendering, NegativeMarginCutsModuleAreaOnEverySide) {
    Job j("Cut", -3);
    DeviceBitmap* b = renderSymbol(&j.job);
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(b->width(), 2 * (j.job.width - 3));
    ASSERT_EQ(b->height(), 4 * j.job.rows - 6);
    expectModuleGeometry(*b, j.job);
}

TEST_F(Rendering, AnyMarginGivesDefinedResult) {
    struct Case {
        const char* text;
        int margin;
        bool bitmap;  // false: too large to hold
    };
    const Case cases[] = {
        {"", 0, true},         // a symbol at margin 0 still has pixels
        {"x", -100000, true},  // cut away entirely: empty bitmap
        {"x", INT_MIN, true}, {"x", INT_MAX, false}, {"x", 100000, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.margin);
        Job j(c.text, c.margin);
        DeviceBitmap* b = renderSymbol(&j.job);
        EXPECT_EQ(b != nullptr, c.bitmap);
        if (b != nullptr && c.margin < 0) {
            EXPECT_EQ(b->width(), 0);
            EXPECT_EQ(b->height(), 0);
        }
    }
    // A failed build at margin 0 asks for 0 × 0 pixels: an empty bitmap.
    Job failed(std::string(6000, '\xE9'), 0);
    DeviceBitmap* b = renderSymbol(&failed.job);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->width(), 0);
}

// Release frees the kept bitmap: the heap shrinks by its pixels. Releasing
// with none kept, or twice, is harmless (the sanitizer runs check that no
// freed memory is touched).
TEST_F(Rendering, ReleaseFreesTheBitmapAndIsHarmlessWithoutOneAndTwice) {
    releaseSymbolBitmap();
    // A wide margin makes a bitmap of some 2200 x 2050 pixels, 18 MB.
    Job j("x", 1000);
    const DeviceBitmap* bitmap = renderSymbol(&j.job);
    ASSERT_NE(bitmap, nullptr);
    const std::size_t pixels = std::size_t(bitmap->width()) * std::size_t(bitmap->height());
    ASSERT_GT(pixels, std::size_t{4} << 20);
    // Large blocks are mapped on their own and counted apart.
    const auto inUse = [] {
        const struct mallinfo2 heap = mallinfo2();
        return heap.uordblks + heap.hblkhd;
    };
    const std::size_t before = inUse();
    releaseSymbolBitmap();
    const std::size_t after = inUse();
    releaseSymbolBitmap();
    if (before == 0) GTEST_SKIP() << "this allocator does not report its heap (a sanitizer's)";
    EXPECT_GE(before - after, pixels * 3) << "the bitmap's pixels were not freed";
}

}  // namespace
