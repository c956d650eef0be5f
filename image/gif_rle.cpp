// SPDX-License-Identifier: MIT
// Run-length GIF data that any LZW decoder reads. After a clear code, a
// literal pixel p followed by the codes base, base + 1, ... makes the
// decoder's entry base + n - 2 a run of n copies of p; the writer tracks how
// far that table reaches and how wide the decoder's codes are, and clears
// before the decoder could need 13-bit codes.
#include <cstdint>

#include "image/byte_stream.h"
#include "image/gif_writer.h"

namespace barquill::image {

namespace {

constexpr std::int32_t kBlockSize = 255;

}  // namespace

void PictureGIF::compressRLE(std::int32_t initBits, ByteStream* file) {
    tag_RLE rle;
    outFile = file;
    initWidth = initBits;
    rle.rleClear = 1 << (initBits - 1);
    rle.rleEnd = rle.rleClear + 1;
    rle.baseCode = rle.rleClear + 2;
    rle.outBumpInit = rle.rleClear - 1;
    // Small code sizes clear early: their table outgrows 3 bits after a few codes.
    rle.outClearInit = initBits <= 3 ? 9 : rle.outBumpInit - 1;
    rle.outWidthInit = initBits;
    rle.maxOutCodes = kMaxCodes - (rle.rleClear + 3);
    rle.runLength = 0;
    rle_clear(&rle);
    rle.bitBuffer = 0;
    rle.bitCount = 0;
    rle.blockLength = 0;

    rle_output(rle.rleClear, &rle);
    for (;;) {
        const std::int32_t pixel = GifNextPixel();
        if (rle.runLength > 0 && pixel != rle.runPixel) rle_flush(&rle);
        if (pixel == -1) break;
        if (pixel == rle.runPixel) {
            ++rle.runLength;
        } else {
            rle.runPixel = pixel;
            rle.runLength = 1;
        }
    }
    rle_output(rle.rleEnd, &rle);
    rle_output_flush(&rle);
    // Tested like the LZW path, so a failed write is never reported as success.
    CheckStreamError();
}

void PictureGIF::rle_clear(tag_RLE* rle) {
    rle->outWidth = rle->outWidthInit;
    rle->outBump = rle->outBumpInit;
    rle->outClear = rle->outClearInit;
    rle->outCount = 0;
    rle->tableMax = 0;
    rle->justCleared = 1;
}

void PictureGIF::rle_output(std::int32_t code, tag_RLE* rle) {
    rle->bitBuffer |= static_cast<std::uint32_t>(code) << rle->bitCount;
    rle->bitCount += rle->outWidth;
    while (rle->bitCount >= 8) {
        rle_block_out(static_cast<std::uint8_t>(rle->bitBuffer & 0xFF), rle);
        rle->bitBuffer >>= 8;
        rle->bitCount -= 8;
    }
}

void PictureGIF::rle_block_out(std::uint8_t byte, tag_RLE* rle) {
    rle->block[rle->blockLength++] = byte;
    if (rle->blockLength >= kBlockSize) rle_write_block(rle);
}

void PictureGIF::rle_write_block(tag_RLE* rle) {
    PutByte(outFile, static_cast<std::uint8_t>(rle->blockLength));
    PutBytes(outFile, rle->block, static_cast<std::size_t>(rle->blockLength));
    rle->blockLength = 0;
}

void PictureGIF::rle_block_flush(tag_RLE* rle) {
    if (rle->blockLength > 0) rle_write_block(rle);
}

void PictureGIF::rle_output_flush(tag_RLE* rle) {
    if (rle->bitCount > 0) rle_block_out(static_cast<std::uint8_t>(rle->bitBuffer & 0xFF), rle);
    rle->bitBuffer = 0;
    rle->bitCount = 0;
    rle_block_flush(rle);
}

void PictureGIF::rle_output_plain(std::int32_t code, tag_RLE* rle) {
    rle->justCleared = 0;
    rle_output(code, rle);
    ++rle->outCount;
    if (rle->outCount >= rle->outBump) {
        rle->outBump += std::int64_t{1} << rle->outWidth;
        ++rle->outWidth;
    }
    if (rle->outCount >= rle->outClear) {
        rle_output(rle->rleClear, rle);
        rle_clear(rle);
    }
}

void PictureGIF::rle_flush(tag_RLE* rle) {
    if (rle->runLength == 1) {
        rle_output_plain(rle->runPixel, rle);
    } else if (rle->justCleared) {
        rle_flush_fromclear(rle->runLength, rle);
    } else if (rle->tableMax >= 2 && rle->tablePixel == rle->runPixel) {
        rle_flush_withtable(rle->runLength, rle);
    } else {
        rle_flush_clearorrep(rle->runLength, rle);
    }
    rle->runLength = 0;
}

void PictureGIF::rle_flush_fromclear(std::int64_t count, tag_RLE* rle) {
    rle->outClear = rle->maxOutCodes;
    rle->tablePixel = rle->runPixel;
    std::int64_t n = 1;
    while (count > 0) {
        if (n == 1) {
            rle->tableMax = 1;
            rle_output_plain(rle->runPixel, rle);
            --count;
        } else if (count >= n) {
            rle->tableMax = n;
            rle_output_plain(static_cast<std::int32_t>(rle->baseCode + n - 2), rle);
            count -= n;
        } else if (count == 1) {
            ++rle->tableMax;
            rle_output_plain(rle->runPixel, rle);
            count = 0;
        } else {
            ++rle->tableMax;
            rle_output_plain(static_cast<std::int32_t>(rle->baseCode + count - 2), rle);
            count = 0;
        }
        n = rle->outCount == 0 ? 1 : n + 1;
    }
    rle_reset_out_clear(rle);
}

void PictureGIF::rle_reset_out_clear(tag_RLE* rle) {
    rle->outClear = rle->outClearInit;
    if (rle->outCount >= rle->outClear) {
        rle_output(rle->rleClear, rle);
        rle_clear(rle);
    }
}

void PictureGIF::rle_flush_withtable(std::int64_t count, tag_RLE* rle) {
    std::int64_t reps = count / rle->tableMax;
    std::int64_t left = count % rle->tableMax;
    std::int64_t extra = left != 0 ? 1 : 0;
    const auto maxCodes = static_cast<std::uint64_t>(rle->maxOutCodes);
    if (rle->outCount + reps + extra > rle->maxOutCodes) {
        reps = rle->maxOutCodes - rle->outCount;
        left = count - reps * rle->tableMax;
        extra = 1 + static_cast<std::int64_t>(
                        rle_compute_triangle_count(static_cast<std::uint64_t>(left), maxCodes));
    }
    // Starting afresh after a clear is cheaper than repeating the table.
    if (1 + rle_compute_triangle_count(static_cast<std::uint64_t>(count), maxCodes) <
        static_cast<std::uint64_t>(reps + extra)) {
        rle_output(rle->rleClear, rle);
        rle_clear(rle);
        rle_flush_fromclear(count, rle);
        return;
    }
    rle->outClear = rle->maxOutCodes;
    for (; reps > 0; --reps) {
        rle_output_plain(static_cast<std::int32_t>(rle->baseCode + rle->tableMax - 2), rle);
    }
    if (left != 0) {
        if (rle->justCleared) {
            rle_flush_fromclear(left, rle);
        } else if (left == 1) {
            rle_output_plain(rle->runPixel, rle);
        } else {
            rle_output_plain(static_cast<std::int32_t>(rle->baseCode + left - 2), rle);
        }
    }
    rle_reset_out_clear(rle);
}

void PictureGIF::rle_flush_clearorrep(std::int64_t count, tag_RLE* rle) {
    const std::uint64_t withClear =
        1 + rle_compute_triangle_count(static_cast<std::uint64_t>(count),
                                       static_cast<std::uint64_t>(rle->maxOutCodes));
    if (withClear < static_cast<std::uint64_t>(count)) {
        rle_output(rle->rleClear, rle);
        rle_clear(rle);
        rle_flush_fromclear(count, rle);
        return;
    }
    for (; count > 0; --count) rle_output_plain(rle->runPixel, rle);
}

// Codes a rising sequence 1, 2, 3, ... of run lengths needs to cover `count`
// pixels, with at most `codes` codes between clears.
std::uint64_t PictureGIF::rle_compute_triangle_count(std::uint64_t count, std::uint64_t codes) {
    const std::uint64_t perClear = codes * (codes + 1) / 2;
    std::uint64_t cost = 0;
    while (count >= perClear) {
        cost += codes;
        count -= perClear;
    }
    if (count > 0) {
        std::uint64_t n = rle_isqrt(count);
        while (n * (n + 1) >= 2 * count) --n;
        while (n * (n + 1) < 2 * count) ++n;
        cost += n;
    }
    return cost;
}

std::uint64_t PictureGIF::rle_isqrt(std::uint64_t x) {
    if (x < 2) return x;
    std::uint64_t root = 1;
    for (std::uint64_t v = x; v != 0; v >>= 2) root <<= 1;
    for (;;) {
        const std::uint64_t next = (x / root + root) / 2;
        if (next == root || next == root + 1) return root;
        root = next;
    }
}

}  // namespace barquill::image
