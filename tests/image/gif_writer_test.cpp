// SPDX-License-Identifier: MIT
#include "image/gif_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "image/byte_stream.h"
#include "image/picture.h"
#include "image_fixtures.h"

using namespace barquill::image;

namespace {

using image_test::Bytes;
using image_test::DecodedGif;
using image_test::Rgba;

// Offset of the minimum code size byte of a single paletted image.
std::size_t codeSizeOffset(std::uint32_t bpp) {
    return 6 + 7 + 3 * (std::size_t{1} << bpp) + 8 + 10;
}

// The data sub-block lengths that follow the minimum code size byte.
std::vector<int> subBlockLengths(const Bytes& file, std::size_t codeSizeAt) {
    std::vector<int> lengths;
    for (std::size_t at = codeSizeAt + 1; at < file.size() && file[at] != 0; at += file[at] + 1u) {
        lengths.push_back(file[at]);
    }
    return lengths;
}

// Pixel indices top row first, as GIF stores them.
std::vector<std::uint8_t> indicesTopDown(const Picture& picture) {
    std::vector<std::uint8_t> indices;
    for (int y = picture.GetHeight() - 1; y >= 0; --y) {
        for (int x = 0; x < picture.GetWidth(); ++x) indices.push_back(picture.GetPixelIndex(x, y));
    }
    return indices;
}

TEST(GifWriter, SmallestPicturesGiveTheKnownDataSubBlocks) {
    struct Case {
        std::uint32_t bpp, width, compressor;
        Bytes fromCodeSize;  // minimum code size, sub-blocks, terminator, trailer
    };
    const Case cases[] = {
        {1, 4, 0, {2, 0x02, 0x84, 0x51, 0, 0x3B}},
        {1, 4, 1, {2, 0x03, 0x04, 0x00, 0x05, 0, 0x3B}},
        {1, 4, 2, {2, 0x02, 0x84, 0x51, 0, 0x3B}},
        {8, 16, 0, {8, 0x09, 0x00, 0x01, 0x08, 0x1C, 0x48, 0xB0, 0x20, 0x80, 0x80, 0, 0x3B}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.bpp) + " bpp, compressor " + std::to_string(c.compressor));
        Picture picture(c.width, 1, c.bpp, 0);
        picture.SetCodecOption(c.compressor, IMAGE_FORMAT_GIF);
        const Bytes file = image_test::encode(picture, IMAGE_FORMAT_GIF);
        ASSERT_EQ(file.size(), codeSizeOffset(c.bpp) + c.fromCodeSize.size());
        EXPECT_EQ(Bytes(file.begin() + static_cast<long>(codeSizeOffset(c.bpp)), file.end()),
                  c.fromCodeSize);
    }
}

TEST(GifWriter, PalettedPicturesGetGlobalTableAndPlainBlocks) {
    struct Case {
        std::uint32_t bpp;
        std::uint8_t screenPacked;
        std::uint8_t codeSize;
    };
    const Case cases[] = {{1, 0x80, 2}, {4, 0xB3, 4}, {8, 0xF7, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bpp);
        Picture picture = image_test::letterF(c.bpp, 300, 2);
        const Bytes file = image_test::encode(picture, IMAGE_FORMAT_GIF);
        const std::size_t tableEnd = 13 + 3 * (std::size_t{1} << c.bpp);
        EXPECT_EQ(std::string(file.begin(), file.begin() + 6), "GIF89a");
        EXPECT_EQ(Bytes(file.begin() + 6, file.begin() + 13),
                  (Bytes{44, 1, 2, 0, c.screenPacked, 0, 0}));
        EXPECT_EQ(Bytes(file.begin() + static_cast<long>(tableEnd),
                        file.begin() + static_cast<long>(tableEnd) + 18),
                  (Bytes{0x21, 0xF9, 4, 0, 0, 0, 0xFF, 0, 0x2C, 0, 0, 0, 0, 44, 1, 2, 0, 0}));
        EXPECT_EQ(file[tableEnd + 18], c.codeSize);
        const DecodedGif gif = image_test::decodeGif(file);
        ASSERT_TRUE(gif.ok) << gif.error;
        EXPECT_EQ(gif.frames.at(0).colourTable.size(), std::size_t{1} << c.bpp);
        EXPECT_EQ(gif.canvas().pixels, image_test::expectedPixels(picture).pixels);
    }
}

TEST(GifWriter, EveryCompressorDecodesToThePicturesIndices) {
    struct PictureCase {
        std::uint32_t bpp;
        int width, height;
        bool runs;
    };
    // Large pictures run far past the 4096-code table; small odd ones test the edges.
    const PictureCase pictures[] = {
        {1, 7, 3, false},     {4, 13, 5, false},    {8, 3, 1, false},    {1, 320, 200, false},
        {4, 320, 200, false}, {8, 320, 200, false}, {1, 500, 300, true}, {4, 500, 300, true},
        {8, 500, 300, true},  {8, 1000, 1, true},
    };
    for (const PictureCase& p : pictures) {
        Picture picture =
            image_test::randomPicture(p.bpp, p.width, p.height, 4242u + p.bpp, p.runs);
        for (std::uint32_t compressor : {0u, 1u, 2u}) {
            SCOPED_TRACE(std::to_string(p.bpp) + " bpp " + std::to_string(p.width) + "x" +
                         std::to_string(p.height) + (p.runs ? " runs" : " random") +
                         ", compressor " + std::to_string(compressor));
            picture.SetCodecOption(compressor, IMAGE_FORMAT_GIF);
            const Bytes file = image_test::encode(picture, IMAGE_FORMAT_GIF);
            const DecodedGif gif = image_test::decodeGif(file);
            ASSERT_TRUE(gif.ok) << gif.error;
            ASSERT_EQ(gif.frames.size(), 1u);
            EXPECT_EQ(gif.frames[0].indices, indicesTopDown(picture));
            const std::vector<int> lengths = subBlockLengths(file, codeSizeOffset(p.bpp));
            const int largest = compressor == 2 ? 255 : 254;
            ASSERT_FALSE(lengths.empty());
            for (std::size_t i = 0; i + 1 < lengths.size(); ++i) EXPECT_EQ(lengths[i], largest);
            EXPECT_LE(lengths.back(), largest);
        }
    }
}

TEST(GifWriter, TrueColourPicturesBecomeTilesOf17By15) {
    Picture picture = image_test::letterF(24, 18, 16);
    const Bytes file = image_test::encode(picture, IMAGE_FORMAT_GIF);
    EXPECT_EQ(Bytes(file.begin() + 6, file.begin() + 13), (Bytes{18, 0, 16, 0, 0x11, 0, 0}));
    // Graphic control extension, then the first tile's descriptor with a local table.
    EXPECT_EQ(Bytes(file.begin() + 13, file.begin() + 31),
              (Bytes{0x21, 0xF9, 4, 0, 0, 0, 0xFF, 0, 0x2C, 0, 0, 0, 0, 17, 0, 15, 0, 0x87}));
    EXPECT_EQ(file[31 + 768], 8);  // minimum code size after the 256-entry table
    const DecodedGif gif = image_test::decodeGif(file);
    ASSERT_TRUE(gif.ok) << gif.error;
    struct Tile {
        int left, top, width, height;
    };
    const Tile tiles[] = {{0, 0, 17, 15}, {17, 0, 1, 15}, {0, 15, 17, 1}, {17, 15, 1, 1}};
    ASSERT_EQ(gif.frames.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(gif.frames[i].left, tiles[i].left) << i;
        EXPECT_EQ(gif.frames[i].top, tiles[i].top) << i;
        EXPECT_EQ(gif.frames[i].width, tiles[i].width) << i;
        EXPECT_EQ(gif.frames[i].height, tiles[i].height) << i;
        EXPECT_TRUE(gif.frames[i].localTable);
        EXPECT_EQ(gif.frames[i].colourTable.size(), 256u);
        EXPECT_EQ(gif.frames[i].delay, 0);
    }
    EXPECT_EQ(gif.canvas().pixels, image_test::expectedPixels(picture).pixels);
}

TEST(GifWriter, IndexedCopyOfAFewColourPictureIsOneImageWithTheSamePixels) {
    struct Case {
        std::uint32_t colours, expectedBpp;
    };
    for (const Case c : {Case{2, 1}, Case{16, 4}, Case{256, 8}}) {
        Picture picture(33, 20, 24, IMAGE_FORMAT_UNKNOWN);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 33; ++x) {
                const auto n = static_cast<std::uint8_t>(static_cast<std::uint32_t>(x * 7 + y * 3) %
                                                         c.colours);
                image_test::setPixel24(picture, x, y, n, static_cast<std::uint8_t>(255 - n), 0x40);
            }
        picture.SetXDPI(300);
        Picture indexed;
        ASSERT_TRUE(picture.CreateIndexedCopy(&indexed)) << c.colours;
        EXPECT_EQ(indexed.GetBpp(), c.expectedBpp);
        EXPECT_EQ(indexed.GetXDPI(), 300);
        const DecodedGif gif = image_test::decodeGif(image_test::encode(indexed, IMAGE_FORMAT_GIF));
        ASSERT_TRUE(gif.ok) << gif.error;
        EXPECT_EQ(gif.frames.size(), 1u);
        EXPECT_EQ(gif.canvas().pixels, image_test::expectedPixels(picture).pixels) << c.colours;
    }
}

TEST(GifWriter, IndexedCopyIsRefusedForManyColoursOrAnAlphaPlane) {
    Picture manyColours(17, 17, 24, IMAGE_FORMAT_UNKNOWN);
    for (int i = 0; i < 17 * 17; ++i)
        image_test::setPixel24(manyColours, i % 17, i / 17, static_cast<std::uint8_t>(i),
                               static_cast<std::uint8_t>(i >> 8), 0);
    Picture target;
    EXPECT_FALSE(manyColours.CreateIndexedCopy(&target));
    EXPECT_FALSE(target.IsValid());

    Picture withAlpha = image_test::letterF(24, 8, 8);
    ASSERT_TRUE(withAlpha.AlphaCreate());
    EXPECT_FALSE(withAlpha.CreateIndexedCopy(&target));
}

TEST(GifWriter, TrueColourTilesKeepEveryColourExactly) {
    struct Case {
        int width, height;
        bool runs;
    };
    const Case cases[] = {{1, 1, false},    {17, 15, false}, {35, 31, false},
                          {100, 47, false}, {257, 33, true}, {90, 200, true}};
    for (const Case& c : cases) {
        Picture picture = image_test::randomPicture(
            24, c.width, c.height, static_cast<std::uint32_t>(99 + c.width), c.runs);
        for (std::uint32_t compressor : {0u, 1u, 2u}) {
            SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) +
                         ", compressor " + std::to_string(compressor));
            picture.SetCodecOption(compressor, IMAGE_FORMAT_GIF);
            const DecodedGif gif =
                image_test::decodeGif(image_test::encode(picture, IMAGE_FORMAT_GIF));
            ASSERT_TRUE(gif.ok) << gif.error;
            EXPECT_EQ(gif.frames.size(),
                      static_cast<std::size_t>((c.width + 16) / 17 * ((c.height + 14) / 15)));
            EXPECT_EQ(gif.canvas().pixels, image_test::expectedPixels(picture).pixels);
            // Each pixel uses the lowest entry of its tile's table with its colour.
            for (const image_test::GifFrame& frame : gif.frames) {
                for (std::uint8_t index : frame.indices) {
                    const auto first = std::find(frame.colourTable.begin(), frame.colourTable.end(),
                                                 frame.colourTable[index]);
                    ASSERT_EQ(first - frame.colourTable.begin(), index);
                }
            }
        }
    }
}

TEST(GifWriter, TransparentColourOfTrueColourPicturesUsesIndexZero) {
    Picture picture = image_test::letterF(24, 20, 18);
    picture.SetTransIndex(0);
    picture.SetTransColor(RgbQuad{230, 240, 250, 0});  // the background
    const Bytes file = image_test::encode(picture, IMAGE_FORMAT_GIF);
    EXPECT_EQ(Bytes(file.begin() + 13, file.begin() + 21), (Bytes{0x21, 0xF9, 4, 1, 0, 0, 0, 0}));
    const DecodedGif gif = image_test::decodeGif(file);
    ASSERT_TRUE(gif.ok) << gif.error;
    for (const image_test::GifFrame& frame : gif.frames) {
        EXPECT_EQ(frame.transparentIndex, 0);
        EXPECT_EQ(frame.colourTable[0], (Rgba{250, 240, 230, 255}));
    }
    image_test::RgbaImage expected = image_test::expectedPixels(picture);
    for (Rgba& pixel : expected.pixels) {
        if (pixel == (Rgba{250, 240, 230, 255})) pixel = Rgba{0, 0, 0, 0};
    }
    EXPECT_EQ(gif.canvas().pixels, expected.pixels);
}

TEST(GifWriter, CommentIsOneSubBlockOfAtMost255Characters) {
    Picture picture = image_test::letterF(1, 9, 9);
    PictureGIF gif;
    gif.Ghost(&picture);
    gif.SetComment(std::string(300, 'c').c_str());
    char kept[256] = {};
    gif.GetComment(kept);
    EXPECT_EQ(std::string(kept), std::string(255, 'c'));
    gif.SetComment(nullptr);  // ignored
    MemoryStream stream;
    stream.Open();
    ASSERT_TRUE(gif.Encode(&stream));
    const std::uint8_t* data = stream.GetBuffer(false);
    const Bytes file(data, data + stream.Size());
    const std::size_t comment = 13 + 6 + 8;  // after the first graphic control extension
    EXPECT_EQ(Bytes(file.begin() + comment, file.begin() + comment + 3), (Bytes{0x21, 0xFE, 255}));
    EXPECT_EQ(file[comment + 3 + 255], 0);
    const DecodedGif decoded = image_test::decodeGif(file);
    ASSERT_TRUE(decoded.ok) << decoded.error;
    EXPECT_EQ(decoded.comments, std::vector<std::string>{std::string(255, 'c')});
}

TEST(GifWriter, AnimationFramesCarryLoopsDelaysAndOwnTables) {
    Picture first = image_test::letterF(8, 30, 20);
    Picture second = image_test::randomPicture(4, 10, 6, 3);
    second.SetOffset(5, 7);
    second.SetFrameDelay(25);
    second.SetTransIndex(2);
    Picture third = image_test::randomPicture(1, 30, 20, 4);
    third.SetCodecOption(2, IMAGE_FORMAT_GIF);
    Picture* frames[] = {&first, &second, &third};
    struct Case {
        std::int32_t loops;
        int loopCount;
    };
    const Case cases[] = {{0, 0}, {1, -1}, {3, 2}};
    for (const Case& c : cases) {
        PictureGIF gif;
        gif.SetLoops(c.loops);
        gif.SetDisposalMethod(2);
        MemoryStream stream;
        stream.Open();
        ASSERT_TRUE(gif.Encode(&stream, frames, 3, true)) << gif.GetLastError();
        const std::uint8_t* data = stream.GetBuffer(false);
        const DecodedGif decoded = image_test::decodeGif(Bytes(data, data + stream.Size()));
        ASSERT_TRUE(decoded.ok) << decoded.error;
        EXPECT_EQ(decoded.loopCount, c.loopCount) << c.loops;
        EXPECT_EQ(decoded.screenWidth, 30);
        ASSERT_EQ(decoded.frames.size(), 3u);
        EXPECT_FALSE(decoded.frames[0].localTable);
        EXPECT_TRUE(decoded.frames[1].localTable);
        EXPECT_EQ(decoded.frames[1].left, 5);
        EXPECT_EQ(decoded.frames[1].top, 7);
        EXPECT_EQ(decoded.frames[1].delay, 25);
        EXPECT_EQ(decoded.frames[1].transparentIndex, 2);
        EXPECT_EQ(decoded.frames[2].disposal, 2);
        EXPECT_EQ(decoded.frames[0].indices, indicesTopDown(first));
        EXPECT_EQ(decoded.frames[1].indices, indicesTopDown(second));
        EXPECT_EQ(decoded.frames[2].indices, indicesTopDown(third));
        EXPECT_EQ(decoded.frames[1].colourTable[9],
                  (Rgba{second.GetPaletteColor(9).red, second.GetPaletteColor(9).green,
                        second.GetPaletteColor(9).blue, 255}));
    }

    // A single frame through the picture's own multi-image form.
    std::uint8_t* buffer = nullptr;
    MemoryStream stream;
    stream.Open();
    ASSERT_TRUE(first.Encode(&stream, frames, 1, IMAGE_FORMAT_GIF));
    buffer = stream.GetBuffer(false);
    const DecodedGif single = image_test::decodeGif(Bytes(buffer, buffer + stream.Size()));
    ASSERT_TRUE(single.ok) << single.error;
    EXPECT_EQ(single.frames.size(), 1u);
    EXPECT_EQ(single.loopCount, 0);
}

}  // namespace
