// SPDX-License-Identifier: MIT
// The decoders that read written files back, against files made by other
// encoders (giflib, libpng) and by hand: every form a file may take reads
// back as its pixels, and a damaged file is refused.
#include "verify/written_file.h"

#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>

#include <csetjmp>
#include <random>
#include <string>
#include <vector>

namespace barquill::verify {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Indexed {
    long width;
    long height;
    std::vector<Colour> palette;
    std::vector<std::uint8_t> pixels;  // an index a pixel, top row first
};

Indexed randomPicture(long width, long height, int colours, unsigned seed) {
    Indexed picture{width, height, {}, {}};
    std::mt19937 random(seed);
    for (int i = 0; i < colours; ++i)
        picture.palette.push_back({static_cast<std::uint8_t>(random()),
                                   static_cast<std::uint8_t>(random()),
                                   static_cast<std::uint8_t>(i)});
    picture.pixels.resize(static_cast<std::size_t>(width * height));
    // Runs as well as noise, so that the coder's table fills in both ways.
    std::uint8_t run = 0;
    for (std::uint8_t& pixel : picture.pixels) {
        if (random() % 4 == 0)
            run = static_cast<std::uint8_t>(random() % static_cast<unsigned>(colours));
        pixel = random() % 3 == 0
                    ? static_cast<std::uint8_t>(random() % static_cast<unsigned>(colours))
                    : run;
    }
    return picture;
}

void expectPixels(const WrittenRaster& raster, const Indexed& picture) {
    ASSERT_EQ(raster.width, picture.width);
    ASSERT_EQ(raster.height, picture.height);
    for (long y = 0; y < picture.height; ++y)
        for (long x = 0; x < picture.width; ++x)
            ASSERT_EQ(
                raster.colourAt(x, y),
                picture.palette[picture.pixels[static_cast<std::size_t>(y * picture.width + x)]])
                << "pixel " << x << ", " << y;
}

int appendGif(GifFileType* gif, const GifByteType* data, int size) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + size);
    return size;
}

Bytes giflibFile(const Indexed& picture, bool interlaced) {
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, appendGif, &error);
    std::vector<GifColorType> colours;
    int size = 2;
    while (size < static_cast<int>(picture.palette.size())) size *= 2;
    for (int i = 0; i < size; ++i) {
        const Colour c = picture.palette[static_cast<std::size_t>(
            std::min<int>(i, static_cast<int>(picture.palette.size()) - 1))];
        colours.push_back({c.red, c.green, c.blue});
    }
    ColorMapObject* map = GifMakeMapObject(size, colours.data());
    EGifPutScreenDesc(gif, static_cast<int>(picture.width), static_cast<int>(picture.height), 8, 0,
                      map);
    EGifPutImageDesc(gif, 0, 0, static_cast<int>(picture.width), static_cast<int>(picture.height),
                     interlaced, nullptr);
    std::vector<long> order;
    if (interlaced) {
        for (const auto& [start, step] : {std::pair{0L, 8L}, {4L, 8L}, {2L, 4L}, {1L, 2L}})
            for (long y = start; y < picture.height; y += step) order.push_back(y);
    } else {
        for (long y = 0; y < picture.height; ++y) order.push_back(y);
    }
    for (const long y : order) {
        std::vector<GifPixelType> line(picture.pixels.begin() + y * picture.width,
                                       picture.pixels.begin() + (y + 1) * picture.width);
        EGifPutLine(gif, line.data(), static_cast<int>(picture.width));
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

TEST(WrittenFile, GifsThatGiflibWritesReadBackAsTheirPixels) {
    struct Case {
        long width, height;
        int colours;
        bool interlaced;
    };
    // Two colours: the smallest code size; 256 colours and a large picture:
    // the table fills and is cleared again; interlaced rows come back in order.
    const Case cases[] = {
        {1, 1, 2, false},   {17, 3, 2, false},      {226, 64, 2, false},
        {100, 37, 4, true}, {300, 200, 256, false}, {61, 45, 16, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + ", " +
                     std::to_string(c.colours) + " colours");
        const Indexed picture = randomPicture(c.width, c.height, c.colours, 4711);
        const Bytes file = giflibFile(picture, c.interlaced);
        WrittenRaster raster;
        std::string fault;
        ASSERT_TRUE(decodeWritten(FileKind::gif, file, &raster, &fault)) << fault;
        expectPixels(raster, picture);
        // Cut anywhere inside the codes, the file is refused, never misread.
        for (const std::size_t cut : {file.size() / 2, file.size() - 2})
            EXPECT_FALSE(decodeWritten(FileKind::gif, std::span(file).first(cut), &raster, &fault));
    }
}

void appendPng(png_structp png, png_bytep data, png_size_t size) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

void flushPng(png_structp) {}

// The picture as libpng writes it in the colour type and depth asked.
Bytes libpngFile(const Indexed& picture, int colourType, int depth, bool interlaced) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, appendPng, flushPng);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width),
                 static_cast<png_uint_32>(picture.height), depth, colourType,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (const Colour& c : picture.palette) palette.push_back({c.red, c.green, c.blue});
    if (colourType == PNG_COLOR_TYPE_PALETTE)
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    png_write_info(png, info);
    if (depth < 8) png_set_packing(png);
    const std::size_t channels = colourType == PNG_COLOR_TYPE_RGB ? 3 : 1;
    std::vector<std::vector<std::uint8_t>> rows(static_cast<std::size_t>(picture.height));
    std::vector<png_bytep> pointers;
    for (long y = 0; y < picture.height; ++y) {
        auto& row = rows[static_cast<std::size_t>(y)];
        for (long x = 0; x < picture.width; ++x) {
            const std::uint8_t index =
                picture.pixels[static_cast<std::size_t>(y * picture.width + x)];
            const Colour& c = picture.palette[index];
            if (channels == 3)
                row.insert(row.end(), {c.red, c.green, c.blue});
            else
                row.push_back(colourType == PNG_COLOR_TYPE_GRAY ? c.red : index);
        }
        pointers.push_back(row.data());
    }
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

TEST(WrittenFile, PngsOfEveryColourTypeReadBackAsTheirPixels) {
    struct Case {
        const char* name;
        int colourType, depth, colours;
        bool interlaced;
    };
    const Case cases[] = {
        {"1-bit palette", PNG_COLOR_TYPE_PALETTE, 1, 2, false},
        {"1-bit palette, interlaced", PNG_COLOR_TYPE_PALETTE, 1, 2, true},
        {"4-bit palette", PNG_COLOR_TYPE_PALETTE, 4, 16, false},
        {"8-bit grey", PNG_COLOR_TYPE_GRAY, 8, 200, false},
        {"RGB, interlaced", PNG_COLOR_TYPE_RGB, 8, 40, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Indexed picture = randomPicture(83, 29, c.colours, 17);
        if (c.colourType == PNG_COLOR_TYPE_GRAY)
            for (std::size_t i = 0; i < picture.palette.size(); ++i) {
                const auto level = static_cast<std::uint8_t>(i);
                picture.palette[i] = {level, level, level};
            }
        const Bytes file = libpngFile(picture, c.colourType, c.depth, c.interlaced);
        WrittenRaster raster;
        std::string fault;
        ASSERT_TRUE(decodeWritten(FileKind::png, file, &raster, &fault)) << fault;
        expectPixels(raster, picture);
        Bytes damaged = file;
        damaged[damaged.size() / 2] ^= 0x01;
        EXPECT_FALSE(decodeWritten(FileKind::png, damaged, &raster, &fault));
    }
}

void put16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(Bytes& b, std::size_t at, std::uint32_t v) {
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}

// A BMP laid out by hand from the format's description.
Bytes bmpFile(const Indexed& picture, int depth, bool topDown) {
    const std::size_t table = depth <= 8 ? 4 * picture.palette.size() : 0;
    const std::size_t row =
        (static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(depth) + 31) / 32 * 4;
    Bytes b(54 + table + row * static_cast<std::size_t>(picture.height), 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, static_cast<std::uint32_t>(b.size()));
    put32(b, 10, static_cast<std::uint32_t>(54 + table));
    put32(b, 14, 40);
    put32(b, 18, static_cast<std::uint32_t>(picture.width));
    put32(b, 22, static_cast<std::uint32_t>(topDown ? -picture.height : picture.height));
    put16(b, 26, 1);
    put16(b, 28, static_cast<std::uint32_t>(depth));
    put32(b, 46, depth <= 8 ? static_cast<std::uint32_t>(picture.palette.size()) : 0);
    for (std::size_t i = 0; depth <= 8 && i < picture.palette.size(); ++i) {
        b[54 + 4 * i] = picture.palette[i].blue;
        b[54 + 4 * i + 1] = picture.palette[i].green;
        b[54 + 4 * i + 2] = picture.palette[i].red;
    }
    for (long y = 0; y < picture.height; ++y) {
        const long stored = topDown ? y : picture.height - 1 - y;
        std::uint8_t* line = b.data() + 54 + table + static_cast<std::size_t>(stored) * row;
        for (long x = 0; x < picture.width; ++x) {
            const std::uint8_t index =
                picture.pixels[static_cast<std::size_t>(y * picture.width + x)];
            if (depth == 1) line[x / 8] |= static_cast<std::uint8_t>(index << (7 - x % 8));
            if (depth == 4) line[x / 2] |= static_cast<std::uint8_t>(index << (x % 2 ? 0 : 4));
            if (depth == 8) line[x] = index;
            if (depth == 24) {
                const Colour& c = picture.palette[index];
                line[3 * x] = c.blue;
                line[3 * x + 1] = c.green;
                line[3 * x + 2] = c.red;
            }
        }
    }
    return b;
}

TEST(WrittenFile, BmpsOfEveryDepthReadBackAsTheirPixels) {
    struct Case {
        int depth, colours;
        bool topDown;
    };
    const Case cases[] = {
        {1, 2, false}, {1, 2, true}, {4, 16, false}, {8, 256, true}, {24, 50, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.depth) + " bits" + (c.topDown ? ", top down" : ""));
        const Indexed picture = randomPicture(37, 11, c.colours, 99);
        const Bytes file = bmpFile(picture, c.depth, c.topDown);
        WrittenRaster raster;
        std::string fault;
        ASSERT_TRUE(decodeWritten(FileKind::bmp, file, &raster, &fault)) << fault;
        expectPixels(raster, picture);
        EXPECT_FALSE(
            decodeWritten(FileKind::bmp, std::span(file).first(file.size() - 1), &raster, &fault));
    }
}

Bytes text(const std::string& s) {
    return {s.begin(), s.end()};
}

// Each of ZPL's compression forms, and the forms a field may not take.
TEST(WrittenFile, ZplFieldsDecompressToTheirRows) {
    WrittenRaster raster;
    std::string fault;
    ASSERT_TRUE(decodeWritten(FileKind::zpl, text("^XA\n^FO0,0^GFA,8,8,2,FFH0!:,^FS\n^XZ\n"),
                              &raster, &fault))
        << fault;
    EXPECT_EQ(raster.pixels, (Bytes{0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}));
    // g is twenty of the digit after it, G to Y one to nineteen.
    ASSERT_TRUE(decodeWritten(FileKind::zpl, text("^XA\n^FO0,0^GFA,40,40,20,gAgBIC,^FS\n^XZ\n"),
                              &raster, &fault))
        << fault;
    EXPECT_EQ(raster.pixels[0], 0xAA);
    EXPECT_EQ(raster.pixels[10], 0xBB);
    EXPECT_EQ(raster.pixels[20], 0xCC);
    EXPECT_EQ(raster.pixels[21], 0xC0);
    EXPECT_EQ(raster.pixels[22], 0x00);
    for (const char* bad : {
             "^XA\n^FO0,0^GFA,8,8,2,FFH0!:^FS\n^XZ\n",    // a row short
             "^XA\n^FO0,0^GFA,8,8,2,FFH0!:H,^FS\n^XZ\n",  // a count before a row's end
             "^XA\n^FO0,0^GFA,8,8,2,FFH0!:x,^FS\n^XZ\n",  // a count of nothing
             "^XA\n^FO0,0^GFA,8,8,2,:FFH0!:^FS\n^XZ\n",   // a repeat with no row above
             "^XA\n^FO0,0^GFA,8,8,2,FFJ0!:,^FS\n^XZ\n",   // a count past the row's end
             "^XA\n^FO0,0^GFA,8,6,2,FFH0!:,^FS\n^XZ\n",   // the two sizes differ
             "^XA\n^FO0,0^GFA,8,8,2,FFH0!:,^FS\n^XZ\nX",  // more after the label
         }) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(decodeWritten(FileKind::zpl, text(bad), &raster, &fault));
    }
}

}  // namespace
}  // namespace barquill::verify
