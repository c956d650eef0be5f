// SPDX-License-Identifier: MIT
// Symbols are drawn 1 bit deep at the asked geometry, every module exactly
// its block of pixels, and read back to their data.
#include <gtest/gtest.h>

#include <numeric>

#include "barquill/barquill.hpp"
#include "tests/cli/image_files.h"
#include "tests/support/pdf417_reader.h"

namespace barquill {
namespace {

using testing::toBytes;

std::string allByteValues() {
    std::string bytes(256, '\0');
    std::iota(bytes.begin(), bytes.end(), '\0');
    return bytes;
}

TEST(DrawnSymbols, AreOneBitDeepAndDecodeToTheirData) {
    struct Case {
        const char* name;
        std::string data;
        Options options;
        Render render;
    };
    const Case cases[] = {
        {"desktop geometry", "Hello, World!", {}, {}},
        {"every byte value", allByteValues(), {.level = 5}, {}},
        {"compact form", "COMPACT 0123456789", {.compact = true}, {}},
        {"printer dots", "LOT 4711", {}, {.moduleWidth = 3, .rowHeight = 9, .dpi = 300}},
        {"colours",
         "navy on yellow",
         {.level = 2, .columns = 3},
         {.quietZone = 4, .bar = {0, 0, 128}, .space = {255, 255, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto symbol =
            encode(std::span(reinterpret_cast<const std::uint8_t*>(c.data.data()), c.data.size()),
                   c.options);
        ASSERT_TRUE(symbol) << symbol.error().message;
        const auto grey = toImage(*symbol, c.render, PixelFormat::grey8);
        ASSERT_TRUE(grey);
        const PictureSize size = pictureSize(*symbol, c.render);
        ASSERT_EQ(grey->width, size.width);
        ASSERT_EQ(grey->height, size.height);
        EXPECT_EQ(size.width, 2 * c.render.quietZone + symbol->width() * c.render.moduleWidth);
        EXPECT_EQ(size.height, 2 * c.render.quietZone + symbol->rows() * c.render.rowHeight);
        EXPECT_EQ(testing::readPdf417Grey(grey->pixels.data(), grey->width, grey->height,
                                          static_cast<int>(grey->stride)),
                  toBytes(c.data));
        // The file is 1 bit deep: a palette of the two colours.
        const auto png = toPng(*symbol, c.render);
        ASSERT_TRUE(png);
        EXPECT_EQ((*png)[24], 1) << "PNG bit depth";
    }
}

TEST(DrawnSymbols, EveryModuleCoversItsBlockTopRowFirstInsideTheQuietZone) {
    const auto symbol = encode("F, asymmetric");
    ASSERT_TRUE(symbol);
    // Module widths below and above a byte, starting at every bit of one.
    const Render renders[] = {
        {.moduleWidth = 3, .rowHeight = 5, .quietZone = 7, .bar = {255, 0, 0}},
        {.moduleWidth = 1, .rowHeight = 2, .quietZone = 0, .bar = {255, 0, 0}},
        {.moduleWidth = 2, .rowHeight = 1, .quietZone = 3, .bar = {255, 0, 0}},
        {.moduleWidth = 5, .rowHeight = 3, .quietZone = 1, .bar = {255, 0, 0}},
        {.moduleWidth = 8, .rowHeight = 2, .quietZone = 9, .bar = {255, 0, 0}},
        {.moduleWidth = 9, .rowHeight = 2, .quietZone = 4, .bar = {255, 0, 0}},
        {.moduleWidth = 33, .rowHeight = 1, .quietZone = 6, .bar = {255, 0, 0}},
    };
    for (const Render& render : renders) {
        SCOPED_TRACE(render.moduleWidth);
        const auto image = toImage(*symbol, render, PixelFormat::mono1);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->bar, (Rgb{255, 0, 0}));
        EXPECT_EQ(image->space, white);
        EXPECT_EQ(image->stride, static_cast<std::size_t>((image->width + 7) / 8));
        auto bit = [&](long x, long y) {
            const std::uint8_t byte = image->pixels[static_cast<std::size_t>(y) * image->stride +
                                                    static_cast<std::size_t>(x / 8)];
            return (byte >> (7 - x % 8)) & 1;
        };
        const int q = render.quietZone, w = render.moduleWidth, h = render.rowHeight;
        for (int row = 0; row < symbol->rows(); ++row)
            for (int module = 0; module < symbol->width(); ++module) {
                const int expected = symbol->bar(row, module);
                const long left = q + static_cast<long>(w) * module,
                           top = q + static_cast<long>(h) * row;
                for (long y = top; y < top + h; ++y)
                    for (long x = left; x < left + w; ++x)
                        ASSERT_EQ(bit(x, y), expected) << row << "," << module;
            }
        for (long x = 0; x < image->width; ++x) {
            for (long y = 0; y < q; ++y) {
                EXPECT_EQ(bit(x, y), 0);
                EXPECT_EQ(bit(x, image->height - 1 - y), 0);
            }
        }
        for (long y = 0; y < image->height; ++y) {
            for (long x = 0; x < q; ++x) {
                EXPECT_EQ(bit(x, y), 0);
                EXPECT_EQ(bit(image->width - 1 - x, y), 0);
            }
        }
    }
}

// The PNG bytes of a symbol, read by libpng, hold the drawn picture pixel
// for pixel, as one bit a pixel with the two colours, and read back to the
// data; the resolution is recorded only when one was given.
TEST(DrawnSymbols, PngFilesHoldTheDrawnPixelsAndDecode) {
    struct Case {
        const char* name;
        std::string data;
        Render render;
        long pixelsPerMetre;  // 0: no pHYs chunk
    };
    const Case cases[] = {
        {"desktop geometry", "Invoice 2024-0042 / Lot 17", {}, 0},
        {"one pixel a module", "narrow modules", {.moduleWidth = 1, .rowHeight = 3}, 0},
        {"printer dots", "LOT 4711", {.moduleWidth = 3, .rowHeight = 9, .dpi = 300}, 11811},
        {"navy on yellow",
         "navy on yellow",
         {.quietZone = 4, .bar = {0, 0, 128}, .space = {255, 255, 0}},
         0},
        {"red on pale grey, wide quiet zone",
         "https://example.com/orders/2024-0042?lot=17",
         {.quietZone = 33, .bar = {200, 0, 0}, .space = {230, 230, 230}},
         0},
    };
    // The reader's grey of a colour, as tests/cli's decoder makes it.
    const auto grey = [](Rgb c) {
        return static_cast<std::uint8_t>((c.red * 299 + c.green * 587 + c.blue * 114) / 1000);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto symbol = encode(c.data);
        ASSERT_TRUE(symbol) << symbol.error().message;
        const auto png = toPng(*symbol, c.render);
        ASSERT_TRUE(png) << png.error().message;
        const auto file = testing::readPng(std::string(png->begin(), png->end()));
        ASSERT_TRUE(file);
        EXPECT_TRUE(file->paletted);
        EXPECT_EQ(file->bitsPerPixel, 1);
        EXPECT_EQ(file->paletteSize, 2);
        EXPECT_EQ(file->pixelsPerMetreX, c.pixelsPerMetre);
        EXPECT_EQ(file->pixelsPerMetreY, c.pixelsPerMetre);

        const auto drawn = toImage(*symbol, c.render, PixelFormat::mono1);
        ASSERT_TRUE(drawn);
        ASSERT_EQ(file->width, drawn->width);
        ASSERT_EQ(file->height, drawn->height);
        const std::uint8_t bar = grey(c.render.bar), space = grey(c.render.space);
        for (int y = 0; y < drawn->height; ++y)
            for (int x = 0; x < drawn->width; ++x) {
                const std::uint8_t byte =
                    drawn->pixels[static_cast<std::size_t>(y) * drawn->stride +
                                  static_cast<std::size_t>(x / 8)];
                const bool isBar = (byte >> (7 - x % 8)) & 1;
                ASSERT_EQ(file->at(x, y), isBar ? bar : space) << x << "," << y;
            }
        EXPECT_EQ(
            testing::readPdf417Grey(file->grey.data(), file->width, file->height, file->width),
            toBytes(c.data));
    }
}

// A number cast to Format that is none of ours draws nothing: before, it
// fell through to BMP. Writing with such a format is refused the same way.
TEST(DrawnSymbols, AFormatOutsideTheListIsRefused) {
    const auto symbol = encode("LOT 4711");
    ASSERT_TRUE(symbol);
    for (const int number : {-1, static_cast<int>(formats().size()), 42}) {
        SCOPED_TRACE(number);
        const auto format = static_cast<Format>(number);
        const auto file = render(*symbol, format);
        ASSERT_FALSE(file.ok());
        EXPECT_EQ(file.error().code, ErrorCode::invalidOption);
        EXPECT_EQ(file.error().field, "format");
        const auto saved =
            save(*symbol, "no-such-folder/never-written.bmp", {}, {.format = format});
        ASSERT_FALSE(saved.ok());
        EXPECT_EQ(saved.error().field, "format");
    }
}

}  // namespace
}  // namespace barquill
