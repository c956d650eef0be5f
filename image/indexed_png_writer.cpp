// SPDX-License-Identifier: MIT
#include "image/indexed_png_writer.h"

#include <zlib.h>

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

// Labels are written by the thousand: zlib's quickest level. A reused zlib
// stream beats libdeflate on them: libdeflate clears a 128 KB match table on
// every call, more work than a label's few kilobytes of rows.
constexpr int kCompressionLevel = Z_BEST_SPEED;
constexpr int kWindowBits = 15;  // zlib's format with a 32 KB window

// One stream per thread, made on its first file and reset for each next one;
// freed when the thread ends. A reset clears the hash table, 2^(level + 8)
// bytes at memory level `level`: level 5 (8 KB) has an entry for every
// byte of a label's rows, where zlib's default 8 would clear 64 KB a file.
constexpr int kMemoryLevel = 5;

class ThreadStream {
public:
    ThreadStream() = default;
    ThreadStream(const ThreadStream&) = delete;
    ThreadStream& operator=(const ThreadStream&) = delete;
    ~ThreadStream() {
        if (ready_) deflateEnd(&stream_);
    }

    // The stream, ready for a new file; nothing when zlib has no memory.
    z_stream* fresh() {
        if (ready_) return deflateReset(&stream_) == Z_OK ? &stream_ : nullptr;
        ready_ = deflateInit2(&stream_, kCompressionLevel, Z_DEFLATED, kWindowBits, kMemoryLevel,
                              Z_DEFAULT_STRATEGY) == Z_OK;
        return ready_ ? &stream_ : nullptr;
    }

private:
    z_stream stream_{};
    bool ready_ = false;
};

thread_local ThreadStream threadStream;

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
    append32(file, static_cast<std::uint32_t>(
                       crc32(0, file.data() + typeAt, static_cast<uInt>(file.size() - typeAt))));
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
    z_stream* stream = Fits() ? threadStream.fresh() : nullptr;
    if (stream == nullptr) {
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
        const std::size_t bound = deflateBound(stream, static_cast<uLong>(rowsSize));
        const std::unique_ptr<std::uint8_t[]> work(new std::uint8_t[rowsSize + bound]);
        std::uint8_t* const rows = work.get();
        std::uint8_t* const compressed = rows + rowsSize;
        const std::uint8_t* stored = GetBits(height - 1);
        for (std::uint32_t y = 0; y < height; ++y, stored -= imageInfo.effWidth) {
            std::uint8_t* row = rows + std::size_t{y} * (rowBytes + 1);
            row[0] = kFilterNone;
            std::memcpy(row + 1, stored, rowBytes);
        }
        stream->next_in = rows;
        stream->avail_in = static_cast<uInt>(rowsSize);
        stream->next_out = compressed;
        stream->avail_out = static_cast<uInt>(bound);
        if (deflate(stream, Z_FINISH) != Z_STREAM_END) {
            SetLastError("Error saving PNG file");
            return false;
        }
        const std::size_t compressedSize = bound - stream->avail_out;

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
