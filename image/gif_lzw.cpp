// SPDX-License-Identifier: MIT
// GIF's variable-length-code LZW, and its uncompressed variant that sends
// every pixel as a literal code while keeping the decoder's table in step.
#include <cstdint>

#include "image/byte_stream.h"
#include "image/gif_writer.h"

namespace barquill::image {

namespace {

constexpr std::int32_t kMaxCodeWidth = 12;
constexpr std::int32_t kPacketSize = 254;

}  // namespace

void PictureGIF::cl_hash(std::int32_t size) {
    for (std::int32_t i = 0; i < size; ++i) hashKeys[i] = -1;
}

void PictureGIF::char_out(std::uint8_t byte) {
    packet[packetLength++] = byte;
    if (packetLength >= kPacketSize) flush_char();
}

void PictureGIF::flush_char() {
    if (packetLength == 0) return;
    PutByte(outFile, static_cast<std::uint8_t>(packetLength));
    PutBytes(outFile, packet, static_cast<std::size_t>(packetLength));
    packetLength = 0;
}

void PictureGIF::output(std::int32_t code) {
    bitBuffer &= bitCount > 0 ? (1u << bitCount) - 1 : 0u;
    if (bitCount > 0)
        bitBuffer |= static_cast<std::uint32_t>(code) << bitCount;
    else
        bitBuffer = static_cast<std::uint32_t>(code);
    bitCount += codeWidth;
    while (bitCount >= 8) {
        char_out(static_cast<std::uint8_t>(bitBuffer & 0xFF));
        bitBuffer >>= 8;
        bitCount -= 8;
    }

    // The width grows right after the code during which the next free code
    // passed the largest of the old width, as the decoder's does; after a
    // clear code it returns to the initial width.
    if (nextCode > maxCode || clearPending) {
        if (clearPending) {
            codeWidth = initWidth;
            maxCode = static_cast<std::int16_t>((1 << codeWidth) - 1);
            clearPending = 0;
        } else {
            ++codeWidth;
            maxCode = static_cast<std::int16_t>(codeWidth == kMaxCodeWidth ? kMaxCodes
                                                                           : (1 << codeWidth) - 1);
        }
    }

    if (code == endCode) {
        while (bitCount > 0) {
            char_out(static_cast<std::uint8_t>(bitBuffer & 0xFF));
            bitBuffer >>= 8;
            bitCount -= 8;
        }
        bitCount = 0;
        flush_char();
        CheckStreamError();
    }
}

// Both variable-width code writers start the same way: codes one bit wider
// than the pixels, a clear code, an end code, and an empty packet.
void PictureGIF::startCodeStream(std::int32_t initBits, ByteStream* file) {
    outFile = file;
    initWidth = codeWidth = initBits;
    maxCode = static_cast<std::int16_t>((1 << initBits) - 1);
    clearPending = 0;
    bitBuffer = 0;
    bitCount = 0;
    packetLength = 0;
    clearCode = 1 << (initBits - 1);
    endCode = clearCode + 1;
    nextCode = static_cast<std::int16_t>(clearCode + 2);
}

void PictureGIF::compressLZW(std::int32_t initBits, ByteStream* file) {
    startCodeStream(initBits, file);

    std::int32_t prefix = GifNextPixel();
    cl_hash(kHashSize);
    output(clearCode);

    std::int32_t pixel;
    while ((pixel = GifNextPixel()) != -1) {
        const std::int32_t key = (pixel << kMaxCodeWidth) + prefix;
        std::int32_t slot =
            (pixel << 4) ^ prefix;  // hash shift 4: 5003 doubled 4 times passes 65536
        if (hashKeys[slot] == key) {
            prefix = hashCodes[slot];
            continue;
        }
        if (hashKeys[slot] >= 0) {
            // Secondary probe; an empty slot (or one holding key 0) ends it.
            const std::int32_t step = slot == 0 ? 1 : kHashSize - slot;
            bool found = false;
            do {
                slot -= step;
                if (slot < 0) slot += kHashSize;
                if (hashKeys[slot] == key) {
                    found = true;
                    break;
                }
            } while (hashKeys[slot] > 0);
            if (found) {
                prefix = hashCodes[slot];
                continue;
            }
        }
        output(prefix);
        prefix = pixel;
        if (nextCode < kMaxCodes) {
            hashCodes[slot] = static_cast<std::uint16_t>(nextCode++);
            hashKeys[slot] = key;
        } else {
            // The 12-bit table is full: start afresh.
            cl_hash(kHashSize);
            nextCode = static_cast<std::int16_t>(clearCode + 2);
            clearPending = 1;
            output(clearCode);
        }
    }
    output(prefix);
    output(endCode);
}

void PictureGIF::compressNONE(std::int32_t initBits, ByteStream* file) {
    startCodeStream(initBits, file);

    std::int32_t pixel = GifNextPixel();
    output(clearCode);
    while (pixel != -1) {
        const std::int32_t next = GifNextPixel();
        output(pixel);
        pixel = next;
        // The decoder adds a table entry per code; follow it so both change
        // width together, and clear before its table would overflow.
        if (nextCode < kMaxCodes) {
            ++nextCode;
        } else {
            nextCode = static_cast<std::int16_t>(clearCode + 2);
            clearPending = 1;
            output(clearCode);
        }
    }
    output(endCode);
}

}  // namespace barquill::image
