// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "image/little_endian.h"
#include "image/picture.h"
#include "image_fixtures.h"

using namespace barquill::image;

namespace {

using image_test::Bytes;
using image_test::Rgba;

TEST(BmpWriter, ThreeByTwoTrueColourFileIsExactly78Bytes) {
    Picture picture(3, 2, 24, 0);
    image_test::setPixel24(picture, 0, 0, 0x01, 0x02, 0x03);  // bottom-left
    image_test::setPixel24(picture, 2, 0, 0x04, 0x05, 0x06);
    image_test::setPixel24(picture, 0, 1, 0x07, 0x08, 0x09);  // top-left
    image_test::setPixel24(picture, 2, 1, 0x0A, 0x0B, 0x0C);
    const Bytes expected = {
        'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,    // file header
        40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0,  // size, width, height, planes, depth
        0, 0, 0, 0, 24, 0, 0, 0,                           // compression, image size
        0xC4, 0x0E, 0, 0, 0xC4, 0x0E, 0, 0,                // 3780 pels per metre both ways
        0, 0, 0, 0, 0, 0, 0, 0,                            // colours used, important
        3, 2, 1, 0, 0, 0, 6, 5, 4, 0, 0, 0,                // bottom row, blue first, 3
                                                           // padding bytes
        9, 8, 7, 0, 0, 0, 0x0C, 0x0B, 0x0A, 0, 0, 0,       // top row
    };
    EXPECT_EQ(image_test::encode(picture, IMAGE_FORMAT_BMP), expected);
}

// Reads a BMP file back without the library: header fields, then every
// pixel through the file's own colour table.
struct ParsedBmp {
    std::uint32_t fileSize, pixelOffset, headerSize, imageSize, coloursUsed;
    std::int32_t width, height, xPels, yPels;
    std::uint16_t planes, bpp;
    std::vector<Rgba> pixelsTopDown;
};

ParsedBmp parseBmp(const Bytes& file) {
    using little_endian::get16;
    using little_endian::get32;
    ParsedBmp bmp{};
    bmp.fileSize = get32(&file[2]);
    bmp.pixelOffset = get32(&file[10]);
    bmp.headerSize = get32(&file[14]);
    bmp.width = static_cast<std::int32_t>(get32(&file[18]));
    bmp.height = static_cast<std::int32_t>(get32(&file[22]));
    bmp.planes = get16(&file[26]);
    bmp.bpp = get16(&file[28]);
    bmp.imageSize = get32(&file[34]);
    bmp.xPels = static_cast<std::int32_t>(get32(&file[38]));
    bmp.yPels = static_cast<std::int32_t>(get32(&file[42]));
    bmp.coloursUsed = get32(&file[46]);
    const std::size_t stride = (static_cast<std::size_t>(bmp.width) * bmp.bpp + 31) / 32 * 4;
    for (int top = 0; top < bmp.height; ++top) {
        const auto stored = static_cast<std::size_t>(bmp.height - 1 - top);  // bottom-up
        const std::uint8_t* row = &file[bmp.pixelOffset + stored * stride];
        for (int x = 0; x < bmp.width; ++x) {
            if (bmp.bpp == 24) {
                bmp.pixelsTopDown.push_back(Rgba{row[3 * x + 2], row[3 * x + 1], row[3 * x], 255});
                continue;
            }
            const int perByte = 8 / bmp.bpp;
            const int shift = 8 - bmp.bpp * (x % perByte + 1);
            const int index = row[x / perByte] >> shift & ((1 << bmp.bpp) - 1);
            const std::uint8_t* entry = &file[54 + 4 * static_cast<std::size_t>(index)];
            bmp.pixelsTopDown.push_back(Rgba{entry[2], entry[1], entry[0], 255});
        }
    }
    return bmp;
}

TEST(BmpWriter, FilesCarryHeaderPaletteAndPaddedRowsForEveryDepth) {
    for (std::uint32_t bpp : {1u, 4u, 8u, 24u}) {
        for (int width : {1, 5, 13, 33}) {
            SCOPED_TRACE(std::to_string(bpp) + " bpp, width " + std::to_string(width));
            Picture picture =
                image_test::randomPicture(bpp, width, 7, static_cast<std::uint32_t>(1000 + width));
            picture.SetXDPI(300);
            picture.SetYDPI(600);
            const Bytes file = image_test::encode(picture, IMAGE_FORMAT_BMP);
            ASSERT_GE(file.size(), 54u);
            const ParsedBmp bmp = parseBmp(file);
            const std::uint32_t colours = bpp == 24 ? 0 : 1u << bpp;
            const std::uint32_t stride = (static_cast<std::uint32_t>(width) * bpp + 31) / 32 * 4;
            EXPECT_EQ(file[0], 'B');
            EXPECT_EQ(file[1], 'M');
            EXPECT_EQ(bmp.fileSize, file.size());
            EXPECT_EQ(bmp.pixelOffset, 54 + 4 * colours);
            EXPECT_EQ(file.size(), bmp.pixelOffset + stride * 7);
            EXPECT_EQ(bmp.headerSize, 40u);
            EXPECT_EQ(bmp.width, width);
            EXPECT_EQ(bmp.height, 7);
            EXPECT_EQ(bmp.planes, 1);
            EXPECT_EQ(bmp.bpp, bpp);
            EXPECT_EQ(bmp.imageSize, stride * 7);
            EXPECT_EQ(bmp.xPels, 11811);
            EXPECT_EQ(bmp.yPels, 23622);
            EXPECT_EQ(bmp.coloursUsed, colours);
            EXPECT_EQ(bmp.pixelsTopDown, image_test::expectedPixels(picture).pixels);
        }
    }
}

TEST(BmpWriter, FileStreamFormWritesTheSameBytes) {
    Picture picture = image_test::letterF(8, 9, 10);
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(picture.Encode(file, IMAGE_FORMAT_BMP));
    const long length = std::ftell(file);
    std::rewind(file);
    Bytes written(static_cast<std::size_t>(length));
    ASSERT_EQ(std::fread(written.data(), 1, written.size(), file), written.size());
    std::fclose(file);
    EXPECT_EQ(written, image_test::encode(picture, IMAGE_FORMAT_BMP));
    EXPECT_EQ(little_endian::get32(&written[10]), 14u + 40u + 1024u);
}

TEST(BmpWriter, SavingLeavesThePictureUnchangedForTheNextFormat) {
    Picture picture = image_test::letterF(24, 12, 10);
    const image_test::RgbaImage before = image_test::expectedPixels(picture);
    const Bytes first = image_test::encode(picture, IMAGE_FORMAT_BMP);
    EXPECT_EQ(image_test::expectedPixels(picture).pixels, before.pixels);
    EXPECT_FALSE(image_test::encode(picture, IMAGE_FORMAT_PNG).empty());
    EXPECT_EQ(image_test::encode(picture, IMAGE_FORMAT_BMP), first);
}

TEST(RgbaDump, WritesRedGreenBlueAlphaFromTheBottomRow) {
    Picture paletted(2, 2, 1, 0);
    paletted.SetPaletteColor(1, 10, 20, 30, 40);
    paletted.SetPixelIndex(1, 0, 1);
    std::uint8_t* buffer = nullptr;
    std::int32_t size = 0;
    ASSERT_TRUE(paletted.Encode2RGBA(buffer, size));
    EXPECT_EQ(Bytes(buffer, buffer + size),
              (Bytes{0, 0, 0, 0, 10, 20, 30, 40, 0, 0, 0, 0, 0, 0, 0, 0}));
    Picture::FreeMemory(buffer);

    Picture truecolour(1, 2, 24, 0);
    image_test::setPixel24(truecolour, 0, 1, 1, 2, 3);
    truecolour.AlphaCreate();
    truecolour.AlphaSet(0, 0, 9);
    buffer = nullptr;
    ASSERT_TRUE(truecolour.Encode2RGBA(buffer, size));
    EXPECT_EQ(Bytes(buffer, buffer + size), (Bytes{0, 0, 0, 9, 1, 2, 3, 255}));
    EXPECT_FALSE(truecolour.Encode2RGBA(buffer, size));
    EXPECT_STREQ(truecolour.GetLastError(), "the buffer must be empty");
    Picture::FreeMemory(buffer);
}

}  // namespace
