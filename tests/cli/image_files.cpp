// SPDX-License-Identifier: MIT
#include "tests/cli/image_files.h"

#include <gif_lib.h>
#include <png.h>

#include <cstring>
#include <fstream>
#include <sstream>

namespace barquill::testing {

namespace {

std::uint8_t luminance(int red, int green, int blue) {
    return static_cast<std::uint8_t>((red * 299 + green * 587 + blue * 114) / 1000);
}

struct MemoryReader {
    const std::string* bytes;
    std::size_t position = 0;
};

void readPngData(png_structp png, png_bytep out, png_size_t length) {
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (reader->position + length > reader->bytes->size()) png_error(png, "truncated");
    std::memcpy(out, reader->bytes->data() + reader->position, length);
    reader->position += length;
}

int readGifData(GifFileType* gif, GifByteType* out, int length) {
    auto* reader = static_cast<MemoryReader*>(gif->UserData);
    const std::size_t room = reader->bytes->size() - reader->position;
    const std::size_t count = std::min<std::size_t>(room, static_cast<std::size_t>(length));
    std::memcpy(out, reader->bytes->data() + reader->position, count);
    reader->position += count;
    return static_cast<int>(count);
}

std::uint32_t little(const std::string& bytes, std::size_t offset, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<std::uint8_t>(bytes[offset + static_cast<std::size_t>(i)]);
    return value;
}

}  // namespace

std::optional<DecodedImage> readPng(const std::string& bytes) {
    if (bytes.size() < 8 || png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.data()), 0, 8))
        return std::nullopt;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    MemoryReader reader{&bytes};
    DecodedImage image;
    std::vector<png_byte> rgb;
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return std::nullopt;
    }
    png_set_read_fn(png, &reader, readPngData);
    png_read_info(png, info);
    image.width = static_cast<int>(png_get_image_width(png, info));
    image.height = static_cast<int>(png_get_image_height(png, info));
    const int colourType = png_get_color_type(png, info);
    image.bitsPerPixel = png_get_bit_depth(png, info) * png_get_channels(png, info);
    image.paletted = colourType == PNG_COLOR_TYPE_PALETTE;
    if (image.paletted) {
        png_colorp palette = nullptr;
        png_get_PLTE(png, info, &palette, &image.paletteSize);
    }
    png_uint_32 xPerMetre = 0, yPerMetre = 0;
    int unit = 0;
    if (png_get_pHYs(png, info, &xPerMetre, &yPerMetre, &unit) && unit == PNG_RESOLUTION_METER) {
        image.pixelsPerMetreX = xPerMetre;
        image.pixelsPerMetreY = yPerMetre;
    }
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_strip_alpha(png);
    png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const std::size_t stride = png_get_rowbytes(png, info);
    rgb.resize(stride * static_cast<std::size_t>(image.height));
    for (std::size_t y = 0; y < static_cast<std::size_t>(image.height); ++y)
        rows.push_back(rgb.data() + stride * y);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);

    image.grey.resize(static_cast<std::size_t>(image.width) *
                      static_cast<std::size_t>(image.height));
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const png_byte* pixel = rows[static_cast<std::size_t>(y)] + 3 * x;
            image.grey[image.index(x, y)] = luminance(pixel[0], pixel[1], pixel[2]);
        }
    return image;
}

std::optional<DecodedImage> readGif(const std::string& bytes) {
    MemoryReader reader{&bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, readGifData, &error);
    if (!gif) return std::nullopt;
    if (DGifSlurp(gif) != GIF_OK || gif->ImageCount < 1) {
        DGifCloseFile(gif, &error);
        return std::nullopt;
    }
    DecodedImage image;
    image.width = gif->SWidth;
    image.height = gif->SHeight;
    image.paletted = true;
    image.paletteSize = gif->SColorMap ? gif->SColorMap->ColorCount : 0;
    image.bitsPerPixel = gif->SColorMap ? gif->SColorMap->BitsPerPixel : 0;
    image.grey.assign(
        static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height), 255);
    // A true-colour GIF is many tiles, each with its own colour table.
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& frame = gif->SavedImages[i];
        const GifImageDesc& desc = frame.ImageDesc;
        const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
        if (!map || desc.Interlace) {
            DGifCloseFile(gif, &error);
            return std::nullopt;
        }
        for (int y = 0; y < desc.Height; ++y)
            for (int x = 0; x < desc.Width; ++x) {
                const int px = desc.Left + x, py = desc.Top + y;
                if (px >= image.width || py >= image.height) continue;
                const std::size_t cell =
                    static_cast<std::size_t>(y) * static_cast<std::size_t>(desc.Width) +
                    static_cast<std::size_t>(x);
                const int index = frame.RasterBits[cell];
                if (index >= map->ColorCount) continue;
                const GifColorType& colour = map->Colors[index];
                image.grey[image.index(px, py)] = luminance(colour.Red, colour.Green, colour.Blue);
            }
    }
    DGifCloseFile(gif, &error);
    return image;
}

std::optional<DecodedImage> readBmp(const std::string& bytes) {
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
    DecodedImage image;
    const std::uint32_t pixelOffset = little(bytes, 10, 4);
    image.width = static_cast<std::int32_t>(little(bytes, 18, 4));
    const auto storedHeight = static_cast<std::int32_t>(little(bytes, 22, 4));
    image.height = storedHeight < 0 ? -storedHeight : storedHeight;
    image.bitsPerPixel = static_cast<int>(little(bytes, 28, 2));
    image.pixelsPerMetreX = static_cast<std::int32_t>(little(bytes, 38, 4));
    image.pixelsPerMetreY = static_cast<std::int32_t>(little(bytes, 42, 4));
    const int bpp = image.bitsPerPixel;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24) return std::nullopt;
    // A negative width, or the one height whose magnitude int cannot hold, is no picture.
    if (image.width < 0 || storedHeight == INT32_MIN) return std::nullopt;
    image.paletted = bpp <= 8;
    image.paletteSize = image.paletted ? static_cast<int>(little(bytes, 46, 4)) : 0;
    if (image.paletted && image.paletteSize == 0) image.paletteSize = 1 << bpp;
    const auto width = static_cast<std::size_t>(image.width);
    const auto height = static_cast<std::size_t>(image.height);
    const auto depth = static_cast<std::size_t>(bpp);
    const std::size_t stride = ((width * depth + 31) / 32) * 4;
    if (pixelOffset + stride * height > bytes.size()) return std::nullopt;
    image.grey.resize(width * height);
    for (std::size_t y = 0; y < height; ++y) {
        const std::size_t stored = storedHeight < 0 ? y : height - 1 - y;
        const std::size_t row = pixelOffset + stride * stored;
        for (std::size_t x = 0; x < width; ++x) {
            int red, green, blue;
            if (bpp == 24) {
                blue = static_cast<std::uint8_t>(bytes[row + 3 * x]);
                green = static_cast<std::uint8_t>(bytes[row + 3 * x + 1]);
                red = static_cast<std::uint8_t>(bytes[row + 3 * x + 2]);
            } else {
                // depth divides 8, so a pixel never straddles two bytes.
                const std::size_t bit = x * depth;
                const int byte = static_cast<std::uint8_t>(bytes[row + bit / 8]);
                const int index = (byte >> (8 - depth - bit % 8)) & ((1 << bpp) - 1);
                if (index >= image.paletteSize) return std::nullopt;
                const std::size_t entry =
                    14 + little(bytes, 14, 4) + 4 * static_cast<std::size_t>(index);
                blue = static_cast<std::uint8_t>(bytes[entry]);
                green = static_cast<std::uint8_t>(bytes[entry + 1]);
                red = static_cast<std::uint8_t>(bytes[entry + 2]);
            }
            image.grey[y * width + x] = luminance(red, green, blue);
        }
    }
    return image;
}

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

}  // namespace barquill::testing
