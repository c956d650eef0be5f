// SPDX-License-Identifier: MIT
#include "image/bmp_writer.h"

#include "image/byte_stream.h"
#include "image/little_endian.h"

namespace barquill::image {

namespace {

constexpr std::uint16_t kBmpFileType = 0x4D42;  // "BM"
constexpr std::uint32_t kFileHeaderSize = 14;

}  // namespace

bool PictureBMP::Encode(ByteStream* file) {
    if (EncodeSafeCheck(file)) return false;

    std::uint8_t fileHeader[kFileHeaderSize];
    little_endian::put16(fileHeader + 0, kBmpFileType);
    little_endian::put32(fileHeader + 2, GetSize() + kFileHeaderSize);
    little_endian::put16(fileHeader + 6, 0);
    little_endian::put16(fileHeader + 8, 0);
    little_endian::put32(fileHeader + 10, kFileHeaderSize + header.biSize + GetPaletteSize());

    // The block carries the current size, depth, resolution and colour counts.
    RefreshBlockHeader();

    // A stream that took less than offered, or failed when flushed, must not
    // pass for a complete file.
    bool written =
        file->Write(fileHeader, kFileHeaderSize, 1) == 1 && file->Write(dib, GetSize(), 1) == 1;
    written = file->Flush() && written;
    if (!written || file->Error() != 0) {
        SetLastError("Write Error in BMP file");
        return false;
    }
    return true;
}

}  // namespace barquill::image
