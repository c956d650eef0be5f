// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <png.h>

#include <string>
#include <vector>

#include "image/picture.h"
#include "image_fixtures.h"

using namespace barquill::image;

namespace {

using image_test::Bytes;
using image_test::DecodedPng;
using image_test::Rgba;

DecodedPng writeAndRead(Picture& picture) {
    const Bytes file = image_test::encode(picture, IMAGE_FORMAT_PNG);
    EXPECT_FALSE(file.empty()) << picture.GetLastError();
    return image_test::decodePng(file);
}

TEST(PngWriter, EveryDepthDecodesToThePicturesPixels) {
    for (std::uint32_t bpp : {1u, 4u, 8u, 24u}) {
        for (int width : {1, 5, 13, 33, 100}) {
            for (std::uint32_t interlace : {0u, 1u}) {
                SCOPED_TRACE(std::to_string(bpp) + " bpp, width " + std::to_string(width) +
                             ", option " + std::to_string(interlace));
                Picture picture = image_test::randomPicture(bpp, width, 9,
                                                            static_cast<std::uint32_t>(77 + width));
                picture.SetCodecOption(interlace, IMAGE_FORMAT_PNG);
                const DecodedPng png = writeAndRead(picture);
                ASSERT_TRUE(png.ok) << png.error;
                EXPECT_EQ(png.colourType, bpp == 24 ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_PALETTE);
                EXPECT_EQ(png.bitDepth, bpp == 24 ? 8 : static_cast<int>(bpp));
                EXPECT_EQ(png.interlace, interlace == 1 ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE);
                EXPECT_EQ(png.image.pixels, image_test::expectedPixels(picture).pixels);
            }
        }
    }
}

TEST(PngWriter, OpaqueTrueColourHasWhiteBackgroundAndResolution) {
    Picture picture = image_test::letterF(24, 40, 20);
    const DecodedPng png = writeAndRead(picture);
    ASSERT_TRUE(png.ok) << png.error;
    EXPECT_EQ(png.colourType, PNG_COLOR_TYPE_RGB);
    EXPECT_EQ(png.interlace, PNG_INTERLACE_NONE);
    EXPECT_TRUE(png.hasBackground);
    EXPECT_EQ(png.backgroundRed, 255);
    EXPECT_EQ(png.backgroundGreen, 255);
    EXPECT_EQ(png.backgroundBlue, 255);
    EXPECT_TRUE(png.hasPhys);
    EXPECT_EQ(png.physX, 3780u);
    EXPECT_EQ(png.physY, 3780u);
    EXPECT_EQ(png.physUnit, PNG_RESOLUTION_METER);
    EXPECT_EQ(png.chunks.front(), "IHDR");
    EXPECT_EQ(png.chunks[1], "bKGD");
    EXPECT_EQ(png.chunks[2], "pHYs");
    EXPECT_EQ(png.chunks[3], "IDAT");
    EXPECT_EQ(png.chunks.back(), "IEND");
    EXPECT_EQ(png.image.at(0, 0), (Rgba{250, 240, 230, 255}));  // top-left background
    EXPECT_EQ(png.image.at(1, 1), (Rgba{200, 30, 10, 255}));    // corner of the F

    Picture printed = image_test::letterF(1, 16, 16);
    printed.SetXDPI(300);
    printed.SetYDPI(600);
    const DecodedPng paletted = writeAndRead(printed);
    EXPECT_EQ(paletted.physX, 11811u);
    EXPECT_EQ(paletted.physY, 23622u);
    EXPECT_EQ(paletted.backgroundIndex, 0);
}

TEST(PngWriter, PaletteIsTrimmedToTheHighestIndexInSmallPictures) {
    struct Case {
        std::uint32_t bpp;
        int width, height;
        std::uint8_t highestIndex;
        int paletteLength;
    };
    const Case cases[] = {
        {8, 10, 10, 4, 5},
        {8, 256, 256, 4, 256},  // 65536 pixels: not scanned
        {4, 7, 3, 2, 3},
        {1, 9, 9, 0, 2},  // two colours are never trimmed
    };
    for (const Case& c : cases) {
        Picture picture(static_cast<std::uint32_t>(c.width), static_cast<std::uint32_t>(c.height),
                        c.bpp, 0);
        for (std::uint32_t i = 0; i < picture.GetNumColors(); ++i)
            // i stays below 256: every channel value fits a byte.
            picture.SetPaletteColor(i, static_cast<std::uint8_t>(i),
                                    static_cast<std::uint8_t>(255 - i),
                                    static_cast<std::uint8_t>(i / 2));
        picture.SetPixelIndex(c.width - 1, 0, c.highestIndex);
        const DecodedPng png = writeAndRead(picture);
        ASSERT_TRUE(png.ok) << png.error;
        EXPECT_EQ(png.paletteLength, c.paletteLength) << c.width << "x" << c.height;
        EXPECT_EQ(png.image.pixels, image_test::expectedPixels(picture).pixels);
    }
}

TEST(PngWriter, TransparentIndexIsMovedToIndexZero) {
    Picture picture = image_test::letterF(8, 12, 11);
    picture.SetPixelIndex(5, 5, 7);
    picture.SetPixelIndex(6, 5, 7);
    const RgbQuad entry7 = picture.GetPaletteColor(7);
    const RgbQuad entry0 = picture.GetPaletteColor(0);
    const image_test::RgbaImage before = image_test::expectedPixels(picture);
    picture.SetTransIndex(7);
    const DecodedPng png = writeAndRead(picture);
    ASSERT_TRUE(png.ok) << png.error;
    EXPECT_EQ(png.transparency, std::vector<std::uint8_t>{0});
    image_test::RgbaImage expected = before;
    for (Rgba& pixel : expected.pixels) {
        if (pixel == (Rgba{entry7.red, entry7.green, entry7.blue, 255})) pixel.alpha = 0;
    }
    EXPECT_EQ(png.image.pixels, expected.pixels);
    // The picture now holds its transparent colour at index 0 and looks the same.
    EXPECT_EQ(picture.GetTransIndex(), 0);
    EXPECT_EQ(picture.GetPaletteColor(0), entry7);
    EXPECT_EQ(picture.GetPaletteColor(7), entry0);
    EXPECT_EQ(image_test::expectedPixels(picture).pixels, before.pixels);
}

TEST(PngWriter, TransparentColourBecomesZeroAlpha) {
    Picture picture = image_test::letterF(24, 12, 11);
    picture.SetTransIndex(0);
    picture.SetTransColor(RgbQuad{230, 240, 250, 0});  // the background
    const DecodedPng png = writeAndRead(picture);
    ASSERT_TRUE(png.ok) << png.error;
    EXPECT_EQ(png.colourType, PNG_COLOR_TYPE_RGB_ALPHA);
    EXPECT_EQ(png.backgroundRed, 250);  // the transparent colour
    image_test::RgbaImage expected = image_test::expectedPixels(picture);
    for (Rgba& pixel : expected.pixels) {
        if (pixel == (Rgba{250, 240, 230, 255})) pixel.alpha = 0;
    }
    EXPECT_EQ(png.image.pixels, expected.pixels);
    EXPECT_FALSE(picture.AlphaIsValid());
}

TEST(PngWriter, AlphaPlaneIsScaledByAlphaMax) {
    for (std::uint32_t bpp : {8u, 24u}) {
        Picture picture = image_test::letterF(bpp, 10, 9);
        picture.AlphaCreate();
        picture.AlphaSet(0, 0, 100);
        picture.AlphaSet(9, 8, 0);
        picture.AlphaSetMax(128);
        const DecodedPng png = writeAndRead(picture);
        ASSERT_TRUE(png.ok) << png.error;
        EXPECT_EQ(png.colourType, PNG_COLOR_TYPE_RGB_ALPHA);
        image_test::RgbaImage expected = image_test::expectedPixels(picture);
        for (Rgba& pixel : expected.pixels)
            pixel.alpha = static_cast<std::uint8_t>(pixel.alpha * 128 / 255);
        EXPECT_EQ(png.image.at(5, 5).alpha, 128);
        EXPECT_EQ(png.image.at(0, 8).alpha, 100 * 128 / 255);
        EXPECT_EQ(png.image.pixels, expected.pixels) << bpp;
    }
}

TEST(PngWriter, PaletteAlphaGoesToTheTransparencyTable) {
    Picture picture(6, 2, 4, 0);
    for (std::uint8_t i = 0; i < 16; ++i)
        picture.SetPaletteColor(i, i, i, i, static_cast<std::uint8_t>(i * 16));
    for (int x = 0; x < 6; ++x) picture.SetPixelIndex(x, 1, static_cast<std::uint8_t>(x));
    picture.AlphaPaletteEnable();
    const DecodedPng png = writeAndRead(picture);
    ASSERT_TRUE(png.ok) << png.error;
    EXPECT_EQ(png.paletteLength, 6);
    EXPECT_EQ(png.transparency, (std::vector<std::uint8_t>{0, 16, 32, 48, 64, 80}));
    EXPECT_EQ(png.image.at(3, 0), (Rgba{3, 3, 3, 48}));
}

}  // namespace
