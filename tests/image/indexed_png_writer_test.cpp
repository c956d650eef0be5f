// SPDX-License-Identifier: MIT
// The one-piece writer of paletted pictures: libpng reads its files back to
// the picture's own pixels and palette, with the chunks libpng's writer
// gives, and it leaves every other picture to libpng.
#include "image/indexed_png_writer.h"

#include <gtest/gtest.h>
#include <png.h>

#include <string>
#include <vector>

#include "image_fixtures.h"

using namespace barquill::image;

namespace {

using image_test::Bytes;
using image_test::DecodedPng;

struct Written {
    bool ok = false;
    Bytes file;
};

Written writeIndexed(const Picture& picture, bool withResolution) {
    IndexedPngWriter writer;
    writer.Ghost(&picture);
    Written written;
    written.ok = writer.Write(withResolution, &written.file);
    return written;
}

TEST(IndexedPngWriter, FilesReadBackToThePicturesPixels) {
    struct Case {
        const char* name;
        std::uint32_t bpp;
        int width, height;
        bool letter;  // the asymmetric F, else pixels from a seed
        bool withResolution;
    };
    const Case cases[] = {
        {"1 bit, F", 1, 21, 13, true, false},         {"1 bit, one column", 1, 1, 7, false, false},
        {"1 bit, 33 wide", 1, 33, 9, false, true},    {"4 bits, F", 4, 13, 11, true, true},
        {"4 bits, odd width", 4, 5, 9, false, false}, {"8 bits, F", 8, 17, 12, true, false},
        {"8 bits, seeded", 8, 100, 9, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Picture picture = c.letter ? image_test::letterF(c.bpp, c.width, c.height)
                                   : image_test::randomPicture(c.bpp, c.width, c.height,
                                                               static_cast<std::uint32_t>(c.width));
        picture.SetXDPI(300);
        picture.SetYDPI(600);
        const Written written = writeIndexed(picture, c.withResolution);
        ASSERT_TRUE(written.ok);
        const DecodedPng png = image_test::decodePng(written.file);
        ASSERT_TRUE(png.ok) << png.error;
        EXPECT_EQ(png.colourType, PNG_COLOR_TYPE_PALETTE);
        EXPECT_EQ(png.bitDepth, static_cast<int>(c.bpp));
        EXPECT_EQ(png.interlace, PNG_INTERLACE_NONE);
        EXPECT_EQ(png.image.pixels, image_test::expectedPixels(picture).pixels);
        EXPECT_TRUE(png.hasBackground);
        EXPECT_EQ(png.backgroundIndex, 0);
        const std::vector<std::string> chunks =
            c.withResolution
                ? std::vector<std::string>{"IHDR", "PLTE", "bKGD", "pHYs", "IDAT", "IEND"}
                : std::vector<std::string>{"IHDR", "PLTE", "bKGD", "IDAT", "IEND"};
        EXPECT_EQ(png.chunks, chunks);
        EXPECT_EQ(png.hasPhys, c.withResolution);
        if (c.withResolution) {
            EXPECT_EQ(png.physX, 11811u);
            EXPECT_EQ(png.physY, 23622u);
            EXPECT_EQ(png.physUnit, PNG_RESOLUTION_METER);
        }
    }
}

// The palette carries what libpng's writer would give it: trimmed to the
// highest index in a small picture, never below two colours.
TEST(IndexedPngWriter, PaletteIsTheOneLibpngWouldWrite) {
    struct Case {
        std::uint32_t bpp;
        int width, height;
        std::uint8_t highestIndex;
    };
    const Case cases[] = {{8, 10, 10, 4}, {4, 7, 3, 2}, {1, 9, 9, 0}};
    for (const Case& c : cases) {
        Picture picture(static_cast<std::uint32_t>(c.width), static_cast<std::uint32_t>(c.height),
                        c.bpp, 0);
        for (std::uint32_t i = 0; i < picture.GetNumColors(); ++i)
            picture.SetPaletteColor(i, static_cast<std::uint8_t>(i),
                                    static_cast<std::uint8_t>(255 - i),
                                    static_cast<std::uint8_t>(i / 2));
        picture.SetPixelIndex(c.width - 1, 0, c.highestIndex);
        const Written written = writeIndexed(picture, false);
        ASSERT_TRUE(written.ok);
        const DecodedPng fast = image_test::decodePng(written.file);
        const DecodedPng libpng =
            image_test::decodePng(image_test::encode(picture, IMAGE_FORMAT_PNG));
        ASSERT_TRUE(fast.ok) << fast.error;
        ASSERT_TRUE(libpng.ok) << libpng.error;
        EXPECT_EQ(fast.paletteLength, libpng.paletteLength) << c.bpp << " bits";
        EXPECT_EQ(fast.image.pixels, libpng.image.pixels) << c.bpp << " bits";
    }
}

TEST(IndexedPngWriter, LeavesPicturesItDoesNotWriteToLibpng) {
    struct Case {
        const char* name;
        std::uint32_t bpp;
        std::uint32_t width, height;
        void (*change)(Picture&);
    };
    const Case cases[] = {
        {"paletted, opaque", 1, 16, 16, nullptr},
        {"true colour", 24, 16, 16, nullptr},
        {"transparent index", 8, 16, 16, [](Picture& p) { p.SetTransIndex(3); }},
        {"palette alpha", 8, 16, 16, [](Picture& p) { p.AlphaPaletteEnable(); }},
        {"alpha plane", 8, 16, 16, [](Picture& p) { p.AlphaCreate(); }},
        {"interlaced", 1, 16, 16,
         [](Picture& p) { p.SetCodecOption(PNG_OPTION_INTERLACE, IMAGE_FORMAT_PNG); }},
        // 8200 rows of 1025 bytes with their filter bytes: over the limit.
        {"larger than the limit", 1, 8200, 8200, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Picture picture(c.width, c.height, c.bpp, 0);
        if (c.change != nullptr) c.change(picture);
        IndexedPngWriter writer;
        writer.Ghost(&picture);
        const bool expected = c.change == nullptr && c.bpp == 1 && c.width == 16;
        EXPECT_EQ(writer.Fits(), expected);
        Bytes file;
        EXPECT_EQ(writer.Write(false, &file), expected);
        if (!expected) {
            EXPECT_STREQ(writer.GetLastError(), "Error saving PNG file");
        }
    }
}

}  // namespace
