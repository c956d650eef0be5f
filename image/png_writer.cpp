// SPDX-License-Identifier: MIT
#include "image/png_writer.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "image/byte_stream.h"

namespace barquill::image {

namespace {

// Palette trimming scans every pixel; it is worth it only for small images.
constexpr std::size_t kTrimScanLimit = 65536;

// libpng's own handlers print to standard error; a library must not. The
// failure comes back through the jump below and the writer's last error.
void onPngError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

// The compressor's state is a few blocks of tens of kilobytes, allocated and
// freed again for every file. For a label those blocks cost more than the
// compression: each free returns the top of the heap to the system and the
// next file faults it in again. Each thread keeps the last few blocks for
// its next file instead.
class BlockCache {
public:
    BlockCache() = default;
    BlockCache(const BlockCache&) = delete;
    BlockCache& operator=(const BlockCache&) = delete;
    ~BlockCache() {
        for (std::size_t i = 0; i < count_; ++i) release(blocks_[i].pointer);
    }

    void* take(std::size_t size) {
        for (std::size_t i = 0; i < count_; ++i)
            if (blocks_[i].size == size) {
                void* pointer = blocks_[i].pointer;
                blocks_[i] = blocks_[--count_];
                return pointer;
            }
        // The size is kept in front of the block, which keeps its alignment.
        auto* raw = static_cast<std::max_align_t*>(std::malloc(size + sizeof(std::max_align_t)));
        if (raw == nullptr) return nullptr;
        *reinterpret_cast<std::size_t*>(raw) = size;
        return raw + 1;
    }

    void give(void* pointer) {
        if (pointer == nullptr) return;
        if (count_ == kCapacity) release(blocks_[--count_].pointer);
        const auto* raw = static_cast<std::max_align_t*>(pointer) - 1;
        blocks_[count_++] = {pointer, *reinterpret_cast<const std::size_t*>(raw)};
    }

private:
    static void release(void* pointer) { std::free(static_cast<std::max_align_t*>(pointer) - 1); }

    struct Block {
        void* pointer;
        std::size_t size;
    };
    static constexpr std::size_t kCapacity = 8;
    Block blocks_[kCapacity] = {};
    std::size_t count_ = 0;
};

thread_local BlockCache blockCache;

png_voidp cachedMalloc(png_structp, png_alloc_size_t size) {
    return blockCache.take(size);
}

void cachedFree(png_structp, png_voidp pointer) {
    blockCache.give(pointer);
}

// zlib sizes its hash table and its pending buffer by the memory level,
// 2^(level + 7) entries and 2^(level + 8) bytes; libpng's default level 8
// gives 64 KB of each, to be cleared and faulted in for every file, far more
// than a label's pixels. The smallest level whose table has an entry for
// every byte of the picture compresses it about as well.
int compressionMemoryLevel(std::size_t rowBytes, std::size_t rows) {
    const std::size_t bytes = (rowBytes + 1) * rows;  // a filter byte a row
    int level = 1;
    while (level < 8 && (std::size_t{1} << (level + 7)) < bytes) ++level;
    return level;
}

}  // namespace

std::uint32_t PicturePNG::PaletteLength() const {
    const std::uint32_t colours = GetNumColors();
    if (colours <= 2 || PixelCount() >= kTrimScanLimit) return colours;
    std::uint32_t highest = 0;
    for (std::int32_t y = 0; y < header.biHeight; ++y) {
        for (std::int32_t x = 0; x < header.biWidth; ++x) {
            const std::uint32_t index = GetPixelIndex(x, y);
            if (index > highest) highest = index;
        }
    }
    return highest + 1;
}

void PicturePNG::WritePngData(png_struct_def* png, unsigned char* data, std::size_t length) {
    auto* stream = static_cast<ByteStream*>(png_get_io_ptr(png));
    if (stream->Write(data, 1, length) != length) png_error(png, "Write Error");
}

void PicturePNG::FlushPngData(png_struct_def* png) {
    auto* stream = static_cast<ByteStream*>(png_get_io_ptr(png));
    if (!stream->Flush()) png_error(png, "Flush Error");
}

bool PicturePNG::Encode(ByteStream* file) {
    if (EncodeSafeCheck(file)) return false;
    if (const char* failure = WritePng(file)) {
        SetLastError(failure);
        return false;
    }
    return true;
}

// libpng reports errors by a long jump back here, so this function holds no
// object with a destructor; what a jump can skip is volatile and freed on
// the error path.
const char* PicturePNG::WritePng(ByteStream* file) {
    png_structp png = png_create_write_struct_2(PNG_LIBPNG_VER_STRING, nullptr, onPngError,
                                                onPngWarning, nullptr, cachedMalloc, cachedFree);
    if (png == nullptr) return "Failed to create PNG structure";
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return "Failed to initialize PNG info structure";
    }

    png_color* volatile palette = nullptr;
    png_byte* volatile row = nullptr;
    volatile bool temporaryAlpha = false;
    if (setjmp(png_jmpbuf(png))) {
        std::free(palette);
        std::free(row);
        if (temporaryAlpha) AlphaDelete();
        png_destroy_write_struct(&png, &info);
        return "Error saving PNG file";
    }

    png_set_write_fn(png, file, WritePngData, FlushPngData);

    const png_uint_32 width = static_cast<png_uint_32>(header.biWidth);
    const png_uint_32 height = static_cast<png_uint_32>(header.biHeight);
    const int channels = header.biBitCount > 8 ? 3 : 1;
    int bitDepth = header.biBitCount / channels;
    const std::uint32_t options = GetCodecOption(IMAGE_FORMAT_PNG);
    const int interlace =
        (options & PNG_OPTION_INTERLACE) != 0 ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE;

    png_color_16 background{};
    background.index = 0;
    background.red = background.green = background.blue = 255;
    if (imageInfo.transIndex != -1) {
        background.red = imageInfo.transColor.red;
        background.green = imageInfo.transColor.green;
        background.blue = imageInfo.transColor.blue;
    }
    png_set_bKGD(png, info, &background);
    png_set_pHYs(png, info, static_cast<png_uint_32>(header.biXPelsPerMeter),
                 static_cast<png_uint_32>(header.biYPelsPerMeter), PNG_RESOLUTION_METER);

    png_byte transparency[256];
    int transparencyCount = 0;
    std::uint32_t paletteLength = 0;
    if (IsIndexed()) {
        const std::uint32_t colours = GetNumColors();
        // PNG marks transparency per palette entry; the transparent colour is
        // moved to index 0 (palette and pixels alike) so one entry suffices.
        if (imageInfo.transIndex >= 0 &&
            static_cast<std::uint32_t>(imageInfo.transIndex) < colours) {
            transparency[0] = 0;
            transparencyCount = 1;
            if (imageInfo.transIndex != 0) {
                SwapIndex(0, static_cast<std::uint8_t>(imageInfo.transIndex));
                if (imageInfo.ghost != nullptr) imageInfo.ghost->SetTransIndex(0);
            }
        }
        paletteLength = PaletteLength();
        if (imageInfo.alphaPaletteEnabled) {
            for (std::uint32_t i = 0; i < paletteLength; ++i)
                transparency[i] = GetPaletteColor(i).reserved;
            transparencyCount = static_cast<int>(paletteLength);
        }
        palette = static_cast<png_color*>(
            std::malloc(sizeof(png_color) * static_cast<std::size_t>(paletteLength)));
        if (palette == nullptr) png_error(png, "out of memory");
        for (std::uint32_t i = 0; i < paletteLength; ++i) {
            const RgbQuad entry = GetPaletteColor(i);
            palette[i] = png_color{entry.red, entry.green, entry.blue};
        }
    } else if (imageInfo.transIndex >= 0) {
        // The transparent colour becomes full transparency in an RGBA file.
        if (alphaPlane == nullptr) {
            if (!AlphaCreate()) png_error(png, "out of memory");
            temporaryAlpha = true;
        }
        const RgbQuad key = GetTransColor();
        for (std::int32_t y = 0; y < header.biHeight; ++y) {
            for (std::int32_t x = 0; x < header.biWidth; ++x) {
                const RgbQuad colour = GetPixelColor(x, y, false);
                if (colour.blue == key.blue && colour.green == key.green && colour.red == key.red) {
                    AlphaSet(x, y, 0);
                }
            }
        }
    }

    const bool withAlpha = alphaPlane != nullptr;
    int colourType = IsIndexed() ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB;
    if (withAlpha) {
        colourType = PNG_COLOR_TYPE_RGB_ALPHA;
        bitDepth = 8;
    }
    png_set_IHDR(png, info, width, height, bitDepth, colourType, interlace,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (palette != nullptr) png_set_PLTE(png, info, palette, static_cast<int>(paletteLength));
    // An RGBA file carries its transparency in the alpha channel alone.
    if (transparencyCount > 0 && !withAlpha) {
        png_set_tRNS(png, info, transparency, transparencyCount, nullptr);
    }
    png_set_compression_mem_level(png, compressionMemoryLevel(imageInfo.effWidth, height));
    if ((options & PNG_OPTION_FAST_COMPRESSION) != 0) png_set_compression_level(png, Z_BEST_SPEED);
    png_write_info(png, info);
    const int passes = png_set_interlace_handling(png);

    if (withAlpha) {
        row = static_cast<png_byte*>(std::malloc(4 * static_cast<std::size_t>(width) + 10));
        if (row == nullptr) png_error(png, "out of memory");
        for (int pass = 0; pass < passes; ++pass) {
            for (std::int32_t y = header.biHeight - 1; y >= 0; --y) {
                for (std::int32_t x = 0; x < header.biWidth; ++x) {
                    const RgbQuad colour = GetPixelColor(x, y, false);
                    png_byte* out = row + 4 * static_cast<std::size_t>(x);
                    out[0] = colour.red;
                    out[1] = colour.green;
                    out[2] = colour.blue;
                    out[3] = static_cast<png_byte>(AlphaGet(x, y) * imageInfo.alphaMax / 255);
                }
                png_write_row(png, row);
            }
        }
    } else {
        row = static_cast<png_byte*>(std::malloc(imageInfo.effWidth + 10));
        if (row == nullptr) png_error(png, "out of memory");
        for (int pass = 0; pass < passes; ++pass) {
            for (std::int32_t y = header.biHeight - 1; y >= 0; --y) {
                std::memcpy(row, GetBits(static_cast<std::uint32_t>(y)), imageInfo.effWidth);
                // Stored rows are blue, green, red; paletted rows already have the
                // PNG packing, left pixel in the most significant bits.
                if (colourType == PNG_COLOR_TYPE_RGB) RGBtoBGR(row, imageInfo.effWidth);
                png_write_row(png, row);
            }
        }
    }

    std::free(row);
    row = nullptr;
    if (temporaryAlpha) {
        AlphaDelete();
        temporaryAlpha = false;
    }
    png_write_end(png, info);
    // The last bytes may sit in the stream's buffer; a failure to pass them
    // on is a failed file too.
    FlushPngData(png);
    if (file->Error() != 0) png_error(png, "Write Error");
    std::free(palette);
    palette = nullptr;
    png_destroy_write_struct(&png, &info);
    return nullptr;
}

}  // namespace barquill::image
