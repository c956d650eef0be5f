// SPDX-License-Identifier: MIT
#include "image/picture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "barquill/version.h"
#include "image/little_endian.h"
#include "image_fixtures.h"

using namespace barquill::image;

namespace {

using image_test::letterF;

TEST(PictureStorage, CreateLaysOutHeaderPaletteAndPaddedRows) {
    struct Case {
        std::uint32_t width, height, requestedBpp;
        std::uint16_t bpp;
        std::uint32_t effWidth, colours, blockSize;
    };
    const Case cases[] = {
        {1, 1, 24, 24, 4, 0, 44},
        {3, 2, 1, 1, 4, 2, 40 + 8 + 8},
        {33, 1, 1, 1, 8, 2, 40 + 8 + 8},
        {17, 3, 4, 4, 12, 16, 40 + 64 + 36},
        {5, 2, 8, 8, 8, 256, 40 + 1024 + 16},
        {7, 1, 0, 1, 4, 2, 52},
        {7, 1, 2, 4, 4, 16, 40 + 64 + 4},
        {7, 1, 5, 8, 8, 256, 40 + 1024 + 8},
        {7, 1, 16, 24, 24, 0, 40 + 24},
        {7, 1, 32, 24, 24, 0, 40 + 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " at " +
                     std::to_string(c.requestedBpp));
        Picture picture;
        ASSERT_NE(picture.Create(c.width, c.height, c.requestedBpp, IMAGE_FORMAT_PNG), nullptr);
        EXPECT_EQ(picture.GetBpp(), c.bpp);
        EXPECT_EQ(picture.GetEffWidth(), c.effWidth);
        EXPECT_EQ(picture.GetNumColors(), c.colours);
        EXPECT_EQ(picture.GetSize(), c.blockSize);
        EXPECT_EQ(picture.GetType(), IMAGE_FORMAT_PNG);
        const std::uint8_t* block = picture.GetDIB();
        EXPECT_EQ(little_endian::get32(block), 40u);
        EXPECT_EQ(little_endian::get32(block + 4), c.width);
        EXPECT_EQ(little_endian::get32(block + 8), c.height);
        EXPECT_EQ(little_endian::get16(block + 12), 1u);
        EXPECT_EQ(little_endian::get16(block + 14), c.bpp);
        EXPECT_EQ(little_endian::get32(block + 20), c.effWidth * c.height);
        EXPECT_EQ(little_endian::get32(block + 32), c.colours);
        EXPECT_EQ(picture.GetBits(0), block + 40 + 4 * c.colours);
        EXPECT_EQ(picture.GetBits(1),
                  c.height > 1 ? block + 40 + 4 * c.colours + c.effWidth : nullptr);
        EXPECT_EQ(picture.GetBits(c.height), nullptr);
    }
}

TEST(PictureStorage, CreateRefusesEmptyAndUnaddressableSizes) {
    const char* const zero = "Picture::Create : width and height must be greater than zero";
    const char* const memory = "Picture::Create can't allocate memory";
    struct Case {
        std::uint32_t width, height, bpp;
        const char* text;
    };
    const Case cases[] = {
        {0, 5, 24, zero},
        {5, 0, 8, zero},
        {65536, 65536, 8, memory},    // block just above 4 GiB
        {70000, 70000, 24, memory},   // product overflows 32 bits
        {0x80000000u, 1, 1, memory},  // width does not fit the signed header field
        {1, 0xFFFFFFFFu, 24, memory},
        {0xFFFFFFFFu, 0xFFFFFFFFu, 24, memory},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        Picture picture(4, 4, 24, 0);
        EXPECT_EQ(picture.Create(c.width, c.height, c.bpp, 0), nullptr);
        EXPECT_FALSE(picture.IsValid());
        EXPECT_STREQ(picture.GetLastError(), c.text);
    }
}

TEST(PictureStorage, CreateZeroFillsPixelRowsAndPadding) {
    Picture picture(61, 40, 24, 0);  // 183 pixel bytes + 1 padding byte per row
    picture.Clear(0xAB);
    picture.Destroy();
    ASSERT_NE(picture.Create(61, 40, 24, 0), nullptr);
    const std::uint8_t* bits = picture.GetBits(0);
    EXPECT_EQ(std::vector<std::uint8_t>(bits, bits + 184 * 40),
              std::vector<std::uint8_t>(184 * 40, 0));
}

TEST(PictureStorage, DestroyEmptiesButKeepsTheSize) {
    Picture picture(20, 10, 8, 0);
    EXPECT_TRUE(picture.Destroy());
    EXPECT_FALSE(picture.IsValid());
    EXPECT_EQ(picture.GetBits(0), nullptr);
    EXPECT_EQ(picture.GetWidth(), 20);
    EXPECT_EQ(picture.GetHeight(), 10);
    EXPECT_EQ(picture.GetPalette(), nullptr);
    EXPECT_EQ(picture.GetPixelIndex(0, 0), 0);
}

TEST(PicturePixels, IndexesPackLeftPixelIntoHighBits) {
    struct Case {
        std::uint32_t bpp;
        std::vector<std::pair<int, std::uint8_t>> pixels;  // x, index on row 0
        std::vector<std::uint8_t> rowBytes;
    };
    const Case cases[] = {
        {1, {{0, 1}, {9, 1}, {15, 1}}, {0x80, 0x41}},
        {4, {{0, 0xA}, {1, 0x5}, {2, 0xC}}, {0xA5, 0xC0}},
        {8, {{0, 7}, {1, 200}}, {7, 200}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bpp);
        Picture picture(16, 2, c.bpp, 0);
        for (const auto& [x, index] : c.pixels) picture.SetPixelIndex(x, 0, index);
        const std::uint8_t* row = picture.GetBits(0);
        EXPECT_EQ(std::vector<std::uint8_t>(row, row + c.rowBytes.size()), c.rowBytes);
        for (const auto& [x, index] : c.pixels) EXPECT_EQ(picture.GetPixelIndex(x, 0), index);
        EXPECT_EQ(picture.GetPixelIndex(3, 1), 0);  // the other row is untouched
    }
}

TEST(PicturePixels, OutsideReadsFallBackAndOutsideWritesAreIgnored) {
    Picture picture(4, 2, 8, 0);
    picture.SetPixelIndex(0, 0, 42);
    picture.SetPaletteColor(42, 1, 2, 3);
    picture.SetPaletteColor(5, 9, 8, 7);
    picture.SetPixelIndex(4, 0, 99);
    picture.SetPixelIndex(-1, 0, 99);
    picture.SetPixelIndex(0, 2, 99);
    EXPECT_EQ(picture.GetPixelIndex(-1, 0), 42);    // first byte of the pixel data
    EXPECT_EQ(picture.GetPixelColor(9, 9).red, 1);  // colour of pixel (0, 0)
    picture.SetTransIndex(5);
    EXPECT_EQ(picture.GetPixelIndex(-1, 0), 5);
    EXPECT_EQ(picture.GetPixelColor(9, 9).red, 9);
    EXPECT_EQ(picture.AlphaGet(0, 0), 0);  // no plane
    const std::uint8_t* bits = picture.GetBits(0);
    for (std::uint32_t i = 1; i < picture.GetEffWidth() * 2; ++i) EXPECT_EQ(bits[i], 0u);

    Picture truecolour(2, 2, 24, 0);
    truecolour.SetTransColor(RgbQuad{1, 2, 3, 99});
    EXPECT_EQ(truecolour.GetPixelIndex(0, 0), 0);
    truecolour.SetTransIndex(0);
    EXPECT_EQ(truecolour.GetPixelColor(-3, 0), (RgbQuad{1, 2, 3, 0}));  // reserved byte forced to 0
}

TEST(PicturePixels, TrueColourReadsBlueGreenRedWithAlphaFromThePlane) {
    Picture picture(3, 2, 24, 0);
    image_test::setPixel24(picture, 2, 1, 10, 20, 30);
    EXPECT_EQ(picture.GetBits(1)[6], 30);  // blue first in memory
    EXPECT_EQ(picture.GetPixelColor(2, 1), (RgbQuad{30, 20, 10, 0}));
    ASSERT_TRUE(picture.AlphaCreate());
    EXPECT_EQ(picture.GetPixelColor(2, 1).reserved, 255);
    picture.AlphaSet(2, 1, 128);
    picture.AlphaSet(3, 1, 1);  // ignored
    EXPECT_EQ(picture.GetPixelColor(2, 1).reserved, 128);
    EXPECT_EQ(picture.GetPixelColor(2, 1, false).reserved, 0);
    EXPECT_EQ(picture.GetColorType(), 4u);
    picture.AlphaDelete();
    EXPECT_EQ(picture.GetColorType(), 2u);
    EXPECT_EQ(Picture(1, 1, 4, 0).GetColorType(), 1u);
}

TEST(PictureAttributes, ResolutionSetsPelsPerMetre) {
    struct Case {
        std::int32_t dpi, storedDpi, pels;
    };
    const Case cases[] = {{96, 96, 3780},    {0, 96, 3780},  {-5, 96, 3780},
                          {300, 300, 11811}, {72, 72, 2835}, {600, 600, 23622}};
    for (const Case& c : cases) {
        Picture picture;
        picture.SetXDPI(c.dpi);
        picture.SetYDPI(c.dpi);
        ASSERT_NE(picture.Create(1, 1, 1, 0), nullptr);
        EXPECT_EQ(picture.GetXDPI(), c.storedDpi);
        EXPECT_EQ(picture.GetYDPI(), c.storedDpi);
        EXPECT_EQ(static_cast<std::int32_t>(little_endian::get32(picture.GetDIB() + 24)), c.pels)
            << c.dpi;
        EXPECT_EQ(static_cast<std::int32_t>(little_endian::get32(picture.GetDIB() + 28)), c.pels)
            << c.dpi;
    }
    Picture huge;
    huge.SetXDPI(0x7FFFFFFF);  // the pels saturate instead of overflowing
    ASSERT_NE(huge.Create(1, 1, 1, 0), nullptr);
    EXPECT_EQ(little_endian::get32(huge.GetDIB() + 24), 0x7FFFFFFFu);
}

// What the options change in a written file: the PNG slot's 1 interlaces
// (the IHDR's interlace byte), another format's slot leaves PNG alone, and
// a slot past the formats is refused and changes nothing.
TEST(PictureAttributes, CodecOptionsChangeTheWrittenFile) {
    const auto interlaceOf = [](Picture& picture) {
        std::uint8_t* bytes = nullptr;
        std::int32_t size = 0;
        EXPECT_TRUE(picture.Encode(bytes, size, IMAGE_FORMAT_PNG));
        const int interlace = size > 28 ? bytes[28] : -1;  // signature 8, IHDR header 8, field 12
        Picture::FreeMemory(bytes);
        return interlace;
    };
    Picture picture(9, 9, 1, IMAGE_FORMAT_PNG);
    EXPECT_EQ(interlaceOf(picture), 0);
    EXPECT_TRUE(picture.SetCodecOption(1, IMAGE_FORMAT_GIF));
    EXPECT_EQ(interlaceOf(picture), 0);
    EXPECT_TRUE(picture.SetCodecOption(1));  // format 0: the picture's own, PNG
    EXPECT_EQ(interlaceOf(picture), 1);
    EXPECT_FALSE(picture.SetCodecOption(7, 4));
    EXPECT_EQ(picture.GetCodecOption(4), 0u);
    EXPECT_EQ(interlaceOf(picture), 1);
    // Only the low half of the flags is the caller's unless it asks for all.
    picture.SetFlags(0x12345678);
    EXPECT_EQ(picture.GetFlags(), 0x5678u);
    picture.SetFlags(0x12345678, false);
    EXPECT_EQ(picture.GetFlags(), 0x12345678u);
}

// The picture's version is the project's one version number.
TEST(PictureAttributes, VersionIsTheProjects) {
    const std::string version =
        std::to_string(BARQUILL_VERSION_MAJOR) + "." + std::to_string(BARQUILL_VERSION_MINOR);
    EXPECT_EQ(Picture::GetVersion(), "Picture " + version);
    EXPECT_EQ(Picture::GetVersionNumber(), std::stof(version));
    Picture picture(IMAGE_FORMAT_PNG);
    EXPECT_EQ(picture.GetTransIndex(), -1);
    EXPECT_EQ(picture.AlphaGetMax(), 255);
    EXPECT_EQ(picture.GetJpegQuality(), 90);
    EXPECT_TRUE(picture.IsEnabled());
}

TEST(PicturePixels, ClearFillsEveryRowByteForTheDepth) {
    struct Case {
        std::uint32_t bpp;
        std::uint8_t value, expected;
    };
    const Case cases[] = {{4, 1, 0x11}, {4, 0x3A, 0xAA}, {1, 1, 0xFF},
                          {1, 0, 0},    {8, 7, 7},       {24, 255, 255}};
    for (const Case& c : cases) {
        Picture picture(5, 3, c.bpp, 0);
        picture.Clear(c.value);
        const std::uint8_t* bits = picture.GetBits(0);
        const std::size_t bytes = picture.GetEffWidth() * 3;
        EXPECT_EQ(std::vector<std::uint8_t>(bits, bits + bytes),
                  std::vector<std::uint8_t>(bytes, c.expected))
            << c.bpp << " bpp, value " << int(c.value);
    }
}

TEST(PicturePalette, GrayPaletteSpansBlackToWhite) {
    for (std::uint32_t bpp : {1u, 4u, 8u}) {
        Picture picture(1, 1, bpp, 0);
        picture.SetGrayPalette();
        const std::uint32_t last = picture.GetNumColors() - 1;
        EXPECT_EQ(picture.GetPaletteColor(0), (RgbQuad{0, 0, 0, 0}));
        EXPECT_EQ(picture.GetPaletteColor(last), (RgbQuad{255, 255, 255, 0}));
        EXPECT_EQ(picture.GetPaletteColor(1).green, 255 / last);
    }
}

TEST(PicturePalette, WritesOutsideTheTableAreIgnoredAndFormsAgree) {
    Picture picture(2, 2, 1, 0);
    picture.SetPaletteColor(1, ColorRef{0x00334455});  // red in the lowest byte
    EXPECT_EQ(picture.GetPaletteColor(1), (RgbQuad{0x33, 0x44, 0x55, 0}));
    picture.SetPaletteColor(2, 1, 2, 3);
    EXPECT_EQ(picture.GetPaletteColor(2), RgbQuad{});
    std::uint8_t red = 0, green = 0, blue = 0;
    EXPECT_TRUE(picture.GetPaletteColor(1, &red, &green, &blue));
    EXPECT_EQ(red, 0x55);
    EXPECT_FALSE(picture.GetPaletteColor(2, &red, &green, &blue));

    const std::uint8_t reds[] = {10, 20, 30};
    picture.SetPalette(3, reds);  // greens and blues default to reds
    EXPECT_EQ(picture.GetPaletteColor(1), (RgbQuad{20, 20, 20, 0}));
    const RgbTriple triples[] = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
    picture.SetPalette(triples, 3);
    EXPECT_EQ(picture.GetPaletteColor(1), (RgbQuad{6, 5, 4, 0}));
    const RgbQuad quads[] = {{9, 9, 9, 9}, {8, 8, 8, 8}};
    picture.SetPalette(quads, 2);
    EXPECT_EQ(picture.GetPaletteColor(1), (RgbQuad{8, 8, 8, 8}));

    EXPECT_EQ(Picture(2, 2, 24, 0).GetPalette(), nullptr);
    picture.SetTransIndex(1);
    EXPECT_EQ(picture.GetTransColor(), (RgbQuad{8, 8, 8, 8}));
}

TEST(PicturePalette, NearestIndexPrefersTheLowestExactEntry) {
    Picture picture(1, 1, 4, 0);
    picture.SetPaletteColor(3, 100, 100, 100);
    picture.SetPaletteColor(7, 100, 100, 100);
    picture.SetPaletteColor(9, 250, 0, 0);
    EXPECT_EQ(picture.GetNearestIndex(RgbQuad{100, 100, 100, 55}), 3);  // reserved byte ignored
    EXPECT_EQ(picture.GetNearestIndex(RgbQuad{0, 10, 240, 0}), 9);
    EXPECT_EQ(picture.GetNearestIndex(RgbQuad{0, 0, 0, 0}), 0);
    picture.SetPaletteColor(0, 1, 1, 1);  // a palette write drops the cached answer
    picture.SetPaletteColor(1, 100, 100, 100);
    EXPECT_EQ(picture.GetNearestIndex(RgbQuad{100, 100, 100, 55}), 1);
    EXPECT_EQ(Picture(1, 1, 24, 0).GetNearestIndex(RgbQuad{1, 1, 1, 0}), 0);
}

TEST(PicturePalette, SwapIndexExchangesEntriesAndPixels) {
    Picture picture = letterF(4, 8, 9);
    const image_test::RgbaImage before = image_test::expectedPixels(picture);
    picture.SwapIndex(0, 9);
    EXPECT_EQ(picture.GetPixelIndex(1, 7), 0);  // the F's stem
    EXPECT_EQ(picture.GetPixelIndex(6, 5), 9);  // background
    EXPECT_EQ(image_test::expectedPixels(picture).pixels, before.pixels);
    picture.SwapIndex(0, 16);  // outside the table: nothing happens
    EXPECT_EQ(image_test::expectedPixels(picture).pixels, before.pixels);
}

TEST(PicturePixels, RgbToBgrSwapsOnlyWholeGroupsInsideTheBuffer) {
    Picture picture(1, 1, 24, 0);  // effWidth 4
    std::uint8_t buffer[5] = {1, 2, 3, 4, 5};
    picture.RGBtoBGR(buffer, 4);  // the group at 3 would reach past the buffer
    EXPECT_EQ(std::vector<std::uint8_t>(buffer, buffer + 5),
              (std::vector<std::uint8_t>{3, 2, 1, 4, 5}));
}

TEST(PictureOwnership, CopyDuplicatesPixelsPaletteAlphaAndResolution) {
    Picture source = letterF(8, 9, 9);
    source.SetXDPI(300);
    source.AlphaCreate();
    source.AlphaSet(2, 2, 17);
    source.SetTransIndex(4);
    Picture copy(source);
    EXPECT_EQ(image_test::expectedPixels(copy).pixels, image_test::expectedPixels(source).pixels);
    EXPECT_EQ(copy.GetTransIndex(), 4);
    EXPECT_EQ(little_endian::get32(copy.GetDIB() + 24), 11811u);
    copy.SetPixelIndex(0, 0, 1);
    copy.AlphaSet(2, 2, 90);
    EXPECT_EQ(source.GetPixelIndex(0, 0), 0);
    EXPECT_EQ(source.AlphaGet(2, 2), 17);

    Picture paletteOnly(source, false, false, false);
    EXPECT_EQ(paletteOnly.GetPaletteColor(200), source.GetPaletteColor(200));
    EXPECT_EQ(paletteOnly.GetPixelIndex(1, 7), 0);
    EXPECT_FALSE(paletteOnly.AlphaIsValid());

    Picture assigned;
    assigned = source;
    EXPECT_EQ(assigned.GetPixelIndex(1, 7), 200);
}

TEST(PictureOwnership, CopyOfAGhostOwnsItsPixels) {
    Picture source = letterF(24, 8, 9);
    Picture ghost;
    ghost.Ghost(&source);
    Picture copy(ghost);
    EXPECT_NE(copy.GetDIB(), source.GetDIB());
    EXPECT_TRUE(copy.Destroy());  // not a ghost, so it can be destroyed
}

TEST(PictureOwnership, TransferMovesBuffersAndLeavesAFreshEmptySource) {
    Picture source = letterF(8, 9, 9);
    source.SetTransIndex(3);
    source.Enable(false);
    const std::uint8_t* block = source.GetDIB();
    Picture target(2, 2, 24, 0);
    EXPECT_TRUE(target.Transfer(source));
    EXPECT_EQ(target.GetDIB(), block);
    EXPECT_EQ(target.GetTransIndex(), 3);
    EXPECT_FALSE(source.IsValid());
    EXPECT_EQ(source.GetWidth(), 0);
    EXPECT_EQ(source.GetHeight(), 0);
    EXPECT_EQ(source.GetTransIndex(), -1);
    EXPECT_TRUE(source.IsEnabled());
    EXPECT_EQ(source.AlphaGetMax(), 255);
    EXPECT_TRUE(source.Transfer(source));
}

TEST(PictureOwnership, GhostSharesPixelsAndCannotDestroyThem) {
    Picture source = letterF(8, 9, 9);
    {
        Picture ghost;
        ghost.Ghost(&source);
        EXPECT_EQ(ghost.GetDIB(), source.GetDIB());
        ghost.SetPixelIndex(8, 0, 55);
        EXPECT_FALSE(ghost.Destroy());
        EXPECT_EQ(ghost.Create(3, 3, 8, 0), nullptr);
        EXPECT_FALSE(ghost.Copy(source));
    }
    ASSERT_TRUE(source.IsValid());
    EXPECT_EQ(source.GetPixelIndex(8, 0), 55);
    EXPECT_FALSE(image_test::encode(source, IMAGE_FORMAT_BMP).empty());
}

TEST(PictureOwnership, CopyInfoOnlyIntoAnEmptyPicture) {
    Picture source(2, 2, 8, IMAGE_FORMAT_GIF);
    source.SetTransIndex(9);
    Picture empty;
    EXPECT_TRUE(empty.CopyInfo(source));
    EXPECT_EQ(empty.GetTransIndex(), 9);
    EXPECT_EQ(empty.GetType(), IMAGE_FORMAT_GIF);
    Picture full(1, 1, 1, 0);
    EXPECT_FALSE(full.CopyInfo(source));
}

}  // namespace
