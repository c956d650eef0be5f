// SPDX-License-Identifier: MIT
#include "image/indexed_png_writer.h"

#include <libdeflate.h>

#include <cstring>
#include <memory>
#include <new>

#include "image/big_endian.h"

namespace barquill::image {

namespace {

constexpr std::uint8_t kSignature[8] = {137, 'P', 'N', 'G', '\r', '\n', 26, '\n'};
constexpr std::uint8_t kColourTypePalette = 3;
constexpr std::uint8_t kFilterNone = 0;
constexpr std::uint8_t kUnitMetre = 1;

// Labels are written by the thousand: libdeflate's quickest level, which
// compresses a label's rows smaller than zlib's quickest.
constexpr int kCompressionLevel = 1;

// A compressor holds its match tables: made on a thread's first file and
// kept for its next ones, freed when the thread ends. One compressor serves
// one call at a time, hence one per thread.
class ThreadCompressor {
public:
    ThreadCompressor() = default;
    ThreadCompressor(const ThreadCompressor&) = delete;
    ThreadCompressor& operator=(const ThreadCompressor&) = delete;
    ~ThreadCompressor() { libdeflate_free_compressor(compressor_); }

    // Nothing when there is no memory for it.
    libdeflate_compressor* get() {
        if (compressor_ == nullptr) compressor_ = libdeflate_alloc_compressor(kCompressionLevel);
        return compressor_;
    }

private:
    libdeflate_compressor* compressor_ = nullptr;
};

thread_local ThreadCompressor threadCompressor;

// A chunk is its data's length, its type, the data and the CRC of type and
// data. beginChunk writes length and type and returns where the type starts;
// endChunk appends the CRC of everything since.
std::size_t beginChunk(std::vector<std::uint8_t>& file, const char (&type)[5],
                       std::uint32_t length) {
    const std::size_t start = file.size();
    file.resize(start + 8);
    big_endian::put32(file.data() + start, length);
    std::memcpy(file.data() + start + 4, type, 4);
    return start + 4;
}

void append32(std::vector<std::uint8_t>& file, std::uint32_t value) {
    const std::size_t end = file.size();
    file.resize(end + 4);
    big_endian::put32(file.data() + end, value);
}

void endChunk(std::vector<std::uint8_t>& file, std::size_t typeAt) {
    append32(file, libdeflate_crc32(0, file.data() + typeAt, file.size() - typeAt));
}

}  // namespace

bool IndexedPngWriter::Fits() const {
    const std::uint16_t depth = header.biBitCount;
    if (dib == nullptr || !IsIndexed() || (depth != 1 && depth != 4 && depth != 8)) return false;
    if (imageInfo.transIndex != -1 || imageInfo.alphaPaletteEnabled || alphaPlane != nullptr)
        return false;
    if ((GetCodecOption(IMAGE_FORMAT_PNG) & PNG_OPTION_INTERLACE) != 0) return false;
    const auto width = static_cast<std::size_t>(header.biWidth);
    const auto height = static_cast<std::size_t>(header.biHeight);
    const std::size_t rowBytes = (width * depth + 7) / 8;
    return height <= MAX_PIXEL_BYTES / (rowBytes + 1);
}

bool IndexedPngWriter::Write(bool withResolution, std::vector<std::uint8_t>* file) {
    const auto width = static_cast<std::uint32_t>(header.biWidth);
    const auto height = static_cast<std::uint32_t>(header.biHeight);
    const auto depth = static_cast<std::uint8_t>(header.biBitCount);
    const std::size_t rowBytes = (std::size_t{width} * depth + 7) / 8;
    libdeflate_compressor* compressor = Fits() ? threadCompressor.get() : nullptr;
    if (compressor == nullptr) {
        SetLastError("Error saving PNG file");
        return false;
    }
    const std::uint32_t paletteLength = PaletteLength();
    try {
        // Each row behind its filter byte, top row first: the picture keeps
        // its rows bottom-up, packed as PNG packs them (left pixel in the
        // most significant bits). The compressed rows follow in the same
        // block; neither part needs clearing first.
        const std::size_t rowsSize = std::size_t{height} * (rowBytes + 1);
        const std::size_t bound = libdeflate_zlib_compress_bound(compressor, rowsSize);
        const std::unique_ptr<std::uint8_t[]> work(new std::uint8_t[rowsSize + bound]);
        std::uint8_t* const rows = work.get();
        std::uint8_t* const compressed = rows + rowsSize;
        const std::uint8_t* stored = GetBits(height - 1);
        for (std::uint32_t y = 0; y < height; ++y, stored -= imageInfo.effWidth) {
            std::uint8_t* row = rows + std::size_t{y} * (rowBytes + 1);
            row[0] = kFilterNone;
            std::memcpy(row + 1, stored, rowBytes);
        }
        const std::size_t compressedSize =
            libdeflate_zlib_compress(compressor, rows, rowsSize, compressed, bound);
        if (compressedSize == 0) {
            SetLastError("Error saving PNG file");
            return false;
        }

        std::vector<std::uint8_t>& out = *file;
        out.clear();
        out.reserve(128 + 3 * std::size_t{paletteLength} + compressedSize);
        out.assign(std::begin(kSignature), std::end(kSignature));

        std::size_t chunk = beginChunk(out, "IHDR", 13);
        append32(out, width);
        append32(out, height);
        // Compression 0 (deflate), filter method 0, not interlaced.
        out.insert(out.end(), {depth, kColourTypePalette, 0, 0, 0});
        endChunk(out, chunk);

        chunk = beginChunk(out, "PLTE", 3 * paletteLength);
        for (std::uint32_t i = 0; i < paletteLength; ++i) {
            const RgbQuad entry = GetPaletteColor(i);
            out.insert(out.end(), {entry.red, entry.green, entry.blue});
        }
        endChunk(out, chunk);

        chunk = beginChunk(out, "bKGD", 1);
        out.push_back(0);
        endChunk(out, chunk);

        if (withResolution) {
            chunk = beginChunk(out, "pHYs", 9);
            append32(out, static_cast<std::uint32_t>(header.biXPelsPerMeter));
            append32(out, static_cast<std::uint32_t>(header.biYPelsPerMeter));
            out.push_back(kUnitMetre);
            endChunk(out, chunk);
        }

        chunk = beginChunk(out, "IDAT", static_cast<std::uint32_t>(compressedSize));
        out.insert(out.end(), compressed, compressed + compressedSize);
        endChunk(out, chunk);

        chunk = beginChunk(out, "IEND", 0);
        endChunk(out, chunk);
    } catch (const std::bad_alloc&) {
        SetLastError("Error saving PNG file");
        return false;
    }
    return true;
}

}  // namespace barquill::image
