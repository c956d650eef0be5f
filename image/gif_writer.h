// SPDX-License-Identifier: MIT
// The GIF89a codec: paletted pictures as one image, true-colour pictures as
// tiles of 17 x 15 pixels with a colour table each (every colour exact), and
// animations. Image data goes through one of three compressors chosen by the
// GIF codec option: 0 LZW, 1 uncompressed (literal codes), 2 run-length.
#pragma once

#include <cstdint>
#include <cstdio>

#include "image/picture.h"

namespace barquill::image {

// Working state of one run-length compression call.
struct tag_RLE {
    std::int32_t runPixel = 0;
    std::int32_t baseCode = 0;
    std::int64_t runLength = 0;
    std::int32_t tablePixel = 0;
    std::int64_t tableMax = 0;
    std::int32_t justCleared = 0;
    std::int32_t outWidth = 0;
    std::int32_t outWidthInit = 0;
    std::int64_t outCount = 0;
    std::int64_t outBump = 0;
    std::int64_t outBumpInit = 0;
    std::int64_t outClear = 0;
    std::int64_t outClearInit = 0;
    std::int64_t maxOutCodes = 0;
    std::int32_t rleClear = 0;
    std::int32_t rleEnd = 0;
    std::uint32_t bitBuffer = 0;
    std::int32_t bitCount = 0;
    std::uint8_t block[256] = {};
    std::int32_t blockLength = 0;
};

class PictureGIF : public Picture {
public:
    PictureGIF();
    PictureGIF(const PictureGIF&) = default;
    PictureGIF& operator=(const PictureGIF&) = default;
    ~PictureGIF() override = default;

    bool Encode(ByteStream* file);
    bool Encode(std::FILE* stream);
    // Writes `count` paletted pictures as the frames of one file; the first
    // sets the screen size and the global colour table.
    bool Encode(ByteStream* file, Picture** images, std::int32_t count, bool localColorMap = false);
    bool Encode(std::FILE* stream, Picture** images, std::int32_t count,
                bool localColorMap = false);

    void SetLoops(std::int32_t count) { loops = count; }
    long GetLoops() const { return loops; }
    void SetDisposalMethod(std::int32_t method) { disposal = method; }
    long GetDisposalMethod() const { return disposal; }
    // At most 255 characters are kept; GetComment's buffer needs 256 bytes.
    void SetComment(const char* text);
    void GetComment(char* text) const;

protected:
    static constexpr std::int32_t kHashSize = 5003;  // a prime above 4096
    static constexpr std::int32_t kMaxCodes = 4096;  // 12-bit codes

    void EncodeHeader(ByteStream* file);
    void EncodeExtension(ByteStream* file);
    void EncodeLoopExtension(ByteStream* file);
    void EncodeComment(ByteStream* file);
    void EncodeBody(ByteStream* file, bool localColorMap = false);
    bool EncodeRGB(ByteStream* file);
    std::int32_t GifNextPixel();
    void Putword(std::int32_t value, ByteStream* file);

    void startCodeStream(std::int32_t initBits, ByteStream* file);
    void compressNONE(std::int32_t initBits, ByteStream* file);
    void compressLZW(std::int32_t initBits, ByteStream* file);
    void compressRLE(std::int32_t initBits, ByteStream* file);
    void output(std::int32_t code);
    void cl_hash(std::int32_t size);
    void char_out(std::uint8_t byte);
    void flush_char();

    void rle_clear(tag_RLE* rle);
    void rle_flush(tag_RLE* rle);
    void rle_output_plain(std::int32_t code, tag_RLE* rle);
    void rle_flush_fromclear(std::int64_t count, tag_RLE* rle);
    void rle_reset_out_clear(tag_RLE* rle);
    void rle_flush_withtable(std::int64_t count, tag_RLE* rle);
    static std::uint64_t rle_compute_triangle_count(std::uint64_t count, std::uint64_t codes);
    static std::uint64_t rle_isqrt(std::uint64_t x);
    void rle_flush_clearorrep(std::int64_t count, tag_RLE* rle);
    void rle_output(std::int32_t code, tag_RLE* rle);
    void rle_output_flush(tag_RLE* rle);
    void rle_block_out(std::uint8_t byte, tag_RLE* rle);
    void rle_block_flush(tag_RLE* rle);
    void rle_write_block(tag_RLE* rle);

    // Every byte goes through these two, so a stream that takes fewer bytes
    // than offered marks the file as failed.
    void PutByte(ByteStream* file, std::uint8_t byte);
    void PutBytes(ByteStream* file, const void* data, std::size_t length);
    void WriteColourTable(ByteStream* file);
    void CheckStreamError();
    bool FinishFile(ByteStream* file);

    std::uint8_t gce[4] = {};  // packed flags, delay (2, little-endian), transparent index
    std::int32_t curX = 0;
    std::int32_t curY = 0;
    std::int64_t pixelsLeft = 0;
    const std::uint8_t* pixelRow = nullptr;  // stored row curY
    std::uint32_t bitBuffer = 0;
    std::int32_t bitCount = 0;
    std::int32_t hashKeys[kHashSize] = {};
    std::uint16_t hashCodes[kHashSize] = {};
    std::int32_t codeWidth = 0;
    std::int16_t maxCode = 0;
    std::int16_t nextCode = 0;
    std::int32_t clearPending = 0;
    std::int32_t initWidth = 0;
    ByteStream* outFile = nullptr;
    std::int32_t clearCode = 0;
    std::int32_t endCode = 0;
    std::int32_t packetLength = 0;
    std::uint8_t packet[256] = {};
    char comment[256] = {};
    std::int32_t loops = 0;
    std::int32_t disposal = 0;
    bool writeFailed = false;
};

}  // namespace barquill::image
