// SPDX-License-Identifier: MIT
#include "image_fixtures.h"

#include <gif_lib.h>
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <random>

namespace image_test {

namespace {

RgbQuad paletteEntry(std::uint32_t i) {
    // Multiplying by odd numbers keeps all 256 entries distinct in every channel.
    return RgbQuad{static_cast<std::uint8_t>(i * 91 + 5), static_cast<std::uint8_t>(255 - i * 53),
                   static_cast<std::uint8_t>(i * 37 + 11), 0};
}

bool inF(int x, int top) {
    if (x == 1 && top >= 1 && top <= 7) return true;  // stem
    if (top == 1 && x >= 1 && x <= 5) return true;    // top arm
    return top == 4 && x >= 1 && x <= 3;              // middle arm
}

}  // namespace

RgbaImage expectedPixels(const Picture& picture) {
    RgbaImage image;
    image.width = picture.GetWidth();
    image.height = picture.GetHeight();
    for (int top = 0; top < image.height; ++top) {
        const int y = image.height - 1 - top;
        for (int x = 0; x < image.width; ++x) {
            const RgbQuad colour = picture.GetPixelColor(x, y, false);
            const std::uint8_t alpha = picture.AlphaIsValid() ? picture.AlphaGet(x, y) : 255;
            image.pixels.push_back(Rgba{colour.red, colour.green, colour.blue, alpha});
        }
    }
    return image;
}

void setPixel24(Picture& picture, int x, int y, std::uint8_t red, std::uint8_t green,
                std::uint8_t blue) {
    if (!picture.IsInside(x, y)) return;
    std::uint8_t* pixel = picture.GetBits(static_cast<std::uint32_t>(y)) + 3 * x;
    pixel[0] = blue;
    pixel[1] = green;
    pixel[2] = red;
}

Picture letterF(std::uint32_t bitsPerPixel, int width, int height) {
    Picture picture(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
                    bitsPerPixel, IMAGE_FORMAT_UNKNOWN);
    const bool paletted = picture.IsIndexed();
    const std::uint8_t ink = bitsPerPixel == 1 ? 1 : bitsPerPixel == 4 ? 9 : 200;
    const std::uint8_t marker = bitsPerPixel == 1 ? 1 : bitsPerPixel == 4 ? 14 : 77;
    if (paletted) {
        for (std::uint32_t i = 0; i < picture.GetNumColors(); ++i)
            picture.SetPaletteColor(i, paletteEntry(i));
    }
    for (int top = 0; top < height; ++top) {
        const int y = height - 1 - top;
        for (int x = 0; x < width; ++x) {
            const bool isMarker = x == width - 1 && top == height - 1;
            if (paletted) {
                picture.SetPixelIndex(x, y, inF(x, top) ? ink : isMarker ? marker : 0);
            } else if (inF(x, top)) {
                setPixel24(picture, x, y, 200, 30, 10);
            } else if (isMarker) {
                setPixel24(picture, x, y, 10, 90, 220);
            } else {
                setPixel24(picture, x, y, 250, 240, 230);
            }
        }
    }
    return picture;
}

Picture randomPicture(std::uint32_t bitsPerPixel, int width, int height, std::uint32_t seed,
                      bool runs) {
    Picture picture(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
                    bitsPerPixel, IMAGE_FORMAT_UNKNOWN);
    std::mt19937 random(seed);
    const bool paletted = picture.IsIndexed();
    if (paletted) {
        for (std::uint32_t i = 0; i < picture.GetNumColors(); ++i)
            picture.SetPaletteColor(i, paletteEntry(i));
    }
    const std::uint32_t levels = paletted ? picture.GetNumColors() : 1u << 24;
    std::uint32_t value = 0;
    long runLeft = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (!runs) {
                value = static_cast<std::uint32_t>(random() % levels);
            } else if (runLeft-- <= 0) {
                // A few values, in runs of up to several thousand pixels.
                // Below 2^24 either way.
                value = static_cast<std::uint32_t>(paletted ? random() % levels
                                                            : (random() % 4) * 0x3F7A91u);
                runLeft = static_cast<long>(random() % (random() % 8 == 0 ? 5000 : 60));
            }
            if (paletted) {
                picture.SetPixelIndex(x, y, static_cast<std::uint8_t>(value));
            } else {
                setPixel24(picture, x, y, static_cast<std::uint8_t>(value >> 16),
                           static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value));
            }
        }
    }
    return picture;
}

Bytes encode(Picture& picture, std::uint32_t type) {
    std::uint8_t* buffer = nullptr;
    std::int32_t size = 0;
    if (!picture.Encode(buffer, size, type)) return {};
    Bytes bytes(buffer, buffer + size);
    Picture::FreeMemory(buffer);
    return bytes;
}

FailingStream::FailingStream(std::size_t byteLimit, Mode failure)
    : limit(byteLimit), mode(failure) {
    Open();
}

std::size_t FailingStream::Write(const void* data, std::size_t itemSize, std::size_t count) {
    const std::size_t bytes = itemSize * count;
    if (written + bytes <= limit) {
        written += bytes;
        return MemoryStream::Write(data, itemSize, count);
    }
    failed = true;
    if (mode == Mode::ErrorState) return count;
    const std::size_t room = limit - written;
    written = limit;
    MemoryStream::Write(data, 1, room);
    return room / itemSize;
}

bool FailingStream::PutC(std::uint8_t byte) {
    return Write(&byte, 1, 1) == 1;
}

std::int32_t FailingStream::Error() {
    return failed ? 1 : MemoryStream::Error();
}

// ---- PNG, through libpng's reading side ----

namespace {

struct PngSource {
    const Bytes* file;
    std::size_t position;
};

void readPngData(png_structp png, png_bytep out, std::size_t length) {
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (source->position + length > source->file->size()) png_error(png, "truncated file");
    std::memcpy(out, source->file->data() + source->position, length);
    source->position += length;
}

std::uint32_t bigEndian32(const std::uint8_t* in) {
    return static_cast<std::uint32_t>(in[0]) << 24 | static_cast<std::uint32_t>(in[1]) << 16 |
           static_cast<std::uint32_t>(in[2]) << 8 | in[3];
}

// Everything a jump can skip lives in `result` or `rows`, owned by the caller.
void readPng(const Bytes& file, DecodedPng& result, std::vector<png_byte>& pixels,
             std::vector<png_bytep>& rows) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    PngSource source{&file, 0};
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        result.ok = false;
        result.error = "libpng could not read the file";
        return;
    }
    png_set_read_fn(png, &source, readPngData);
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    png_get_IHDR(png, info, &width, &height, &result.bitDepth, &result.colourType,
                 &result.interlace, nullptr, nullptr);
    result.width = width;
    result.height = height;
    png_uint_32 physX = 0, physY = 0;
    int unit = 0;
    if (png_get_pHYs(png, info, &physX, &physY, &unit) != 0) {
        result.hasPhys = true;
        result.physX = physX;
        result.physY = physY;
        result.physUnit = unit;
    }
    png_color_16p background = nullptr;
    if (png_get_bKGD(png, info, &background) != 0) {
        result.hasBackground = true;
        result.backgroundRed = background->red;
        result.backgroundGreen = background->green;
        result.backgroundBlue = background->blue;
        result.backgroundIndex = background->index;
    }
    png_colorp palette = nullptr;
    int paletteLength = 0;
    if (png_get_PLTE(png, info, &palette, &paletteLength) != 0)
        result.paletteLength = paletteLength;
    png_bytep trans = nullptr;
    int transCount = 0;
    png_color_16p transColour = nullptr;
    const bool hasTrns = png_get_tRNS(png, info, &trans, &transCount, &transColour) != 0;
    if (hasTrns && trans != nullptr) result.transparency.assign(trans, trans + transCount);

    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    if ((result.colourType & PNG_COLOR_MASK_ALPHA) == 0 && !hasTrns)
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    pixels.assign(rowBytes * height, 0);
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = pixels.data() + y * rowBytes;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    result.ok = rowBytes == 4 * static_cast<std::size_t>(width);
    if (!result.ok) result.error = "unexpected row size";
}

}  // namespace

DecodedPng decodePng(const Bytes& file) {
    DecodedPng result;
    // Chunk names straight from the file, as an independent look at its layout.
    for (std::size_t at = 8; at + 8 <= file.size();) {
        const std::uint32_t length = bigEndian32(&file[at]);
        result.chunks.emplace_back(reinterpret_cast<const char*>(&file[at + 4]), 4);
        at += 12 + static_cast<std::size_t>(length);
    }
    std::vector<png_byte> pixels;
    std::vector<png_bytep> rows;
    readPng(file, result, pixels, rows);
    if (!result.ok) return result;
    result.image.width = static_cast<int>(result.width);
    result.image.height = static_cast<int>(result.height);
    for (std::size_t i = 0; i + 3 < pixels.size(); i += 4) {
        result.image.pixels.push_back(Rgba{pixels[i], pixels[i + 1], pixels[i + 2], pixels[i + 3]});
    }
    return result;
}

// ---- GIF, through giflib ----

namespace {

struct GifSource {
    const Bytes* file;
    std::size_t position;
};

int readGifData(GifFileType* gif, GifByteType* out, int length) {
    auto* source = static_cast<GifSource*>(gif->UserData);
    const std::size_t count =
        std::min(static_cast<std::size_t>(length), source->file->size() - source->position);
    std::memcpy(out, source->file->data() + source->position, count);
    source->position += count;
    return static_cast<int>(count);
}

void collectExtensions(const ExtensionBlock* blocks, int count, DecodedGif& result) {
    for (int i = 0; i < count; ++i) {
        const ExtensionBlock& block = blocks[i];
        if (block.Function == COMMENT_EXT_FUNC_CODE) {
            result.comments.emplace_back(reinterpret_cast<const char*>(block.Bytes),
                                         block.ByteCount);
        } else if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
                   std::memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0 && i + 1 < count &&
                   blocks[i + 1].ByteCount == 3 && blocks[i + 1].Bytes[0] == 1) {
            result.loopCount = blocks[i + 1].Bytes[1] | blocks[i + 1].Bytes[2] << 8;
        }
    }
}

}  // namespace

DecodedGif decodeGif(const Bytes& file) {
    DecodedGif result;
    GifSource source{&file, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&source, readGifData, &error);
    if (gif == nullptr) {
        result.error = GifErrorString(error);
        return result;
    }
    if (DGifSlurp(gif) != GIF_OK) {
        result.error = GifErrorString(gif->Error);
        DGifCloseFile(gif, &error);
        return result;
    }
    result.screenWidth = gif->SWidth;
    result.screenHeight = gif->SHeight;
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& saved = gif->SavedImages[i];
        GifFrame frame;
        frame.left = saved.ImageDesc.Left;
        frame.top = saved.ImageDesc.Top;
        frame.width = saved.ImageDesc.Width;
        frame.height = saved.ImageDesc.Height;
        frame.localTable = saved.ImageDesc.ColorMap != nullptr;
        const ColorMapObject* table = frame.localTable ? saved.ImageDesc.ColorMap : gif->SColorMap;
        if (table != nullptr) {
            for (int c = 0; c < table->ColorCount; ++c) {
                frame.colourTable.push_back(
                    Rgba{table->Colors[c].Red, table->Colors[c].Green, table->Colors[c].Blue, 255});
            }
        }
        frame.indices.assign(saved.RasterBits,
                             saved.RasterBits + static_cast<std::size_t>(frame.width) *
                                                    static_cast<std::size_t>(frame.height));
        GraphicsControlBlock control;
        if (DGifSavedExtensionToGCB(gif, i, &control) == GIF_OK) {
            frame.transparentIndex = control.TransparentColor;
            frame.delay = control.DelayTime;
            frame.disposal = control.DisposalMode;
        }
        collectExtensions(saved.ExtensionBlocks, saved.ExtensionBlockCount, result);
        result.frames.push_back(std::move(frame));
    }
    collectExtensions(gif->ExtensionBlocks, gif->ExtensionBlockCount, result);
    DGifCloseFile(gif, &error);
    result.ok = true;
    return result;
}

RgbaImage DecodedGif::canvas() const {
    RgbaImage image;
    image.width = screenWidth;
    image.height = screenHeight;
    image.pixels.assign(
        static_cast<std::size_t>(screenWidth) * static_cast<std::size_t>(screenHeight),
        Rgba{0, 0, 0, 0});
    for (const GifFrame& frame : frames) {
        for (int top = 0; top < frame.height; ++top) {
            for (int x = 0; x < frame.width; ++x) {
                const int index = frame.indices[static_cast<std::size_t>(top) *
                                                    static_cast<std::size_t>(frame.width) +
                                                static_cast<std::size_t>(x)];
                const int screenX = frame.left + x;
                const int screenTop = frame.top + top;
                if (index == frame.transparentIndex || screenX >= screenWidth ||
                    screenTop >= screenHeight)
                    continue;
                // An index beyond the table shows as an impossible colour.
                // Indices are bytes, never negative.
                const auto entry = static_cast<std::size_t>(index);
                image.pixels[image.index(screenX, screenTop)] = entry < frame.colourTable.size()
                                                                    ? frame.colourTable[entry]
                                                                    : Rgba{255, 0, 255, 7};
            }
        }
    }
    return image;
}

}  // namespace image_test
