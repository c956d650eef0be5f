// SPDX-License-Identifier: MIT
#include "image/gif_writer.h"

#include <algorithm>
#include <cstring>

#include "image/byte_stream.h"
#include "image/little_endian.h"

namespace barquill::image {

namespace {

// True-colour pictures are cut into tiles of 17 x 15 = 255 pixels, so each
// tile's colours fit a 256-entry table with entry 0 left for transparency.
constexpr std::int32_t kTileWidth = 17;
constexpr std::int32_t kTileHeight = 15;

constexpr std::uint8_t kExtensionIntroducer = 0x21;
constexpr std::uint8_t kGraphicControlLabel = 0xF9;
constexpr std::uint8_t kApplicationLabel = 0xFF;
constexpr std::uint8_t kCommentLabel = 0xFE;
constexpr std::uint8_t kImageSeparator = 0x2C;
constexpr std::uint8_t kTrailer = 0x3B;
constexpr std::int32_t kMaxGifCoordinate = 0xFFFF;

std::uint16_t clamp16(std::int64_t value) {
    return static_cast<std::uint16_t>(std::clamp<std::int64_t>(value, 0, kMaxGifCoordinate));
}

}  // namespace

PictureGIF::PictureGIF() : Picture(IMAGE_FORMAT_GIF) {}

void PictureGIF::SetComment(const char* text) {
    if (text == nullptr) return;
    std::strncpy(comment, text, sizeof comment - 1);
    comment[sizeof comment - 1] = '\0';
}

void PictureGIF::GetComment(char* text) const {
    if (text == nullptr) return;
    std::strcpy(text, comment);
}

void PictureGIF::PutByte(ByteStream* file, std::uint8_t byte) {
    if (!file->PutC(byte)) writeFailed = true;
}

void PictureGIF::PutBytes(ByteStream* file, const void* data, std::size_t length) {
    if (length > 0 && file->Write(data, 1, length) != length) writeFailed = true;
}

void PictureGIF::Putword(std::int32_t value, ByteStream* file) {
    std::uint8_t bytes[2];
    little_endian::put16(bytes, static_cast<std::uint16_t>(value));
    PutBytes(file, bytes, 2);
}

void PictureGIF::CheckStreamError() {
    outFile->Flush();
    if (outFile->Error() != 0) writeFailed = true;
}

bool PictureGIF::FinishFile(ByteStream* file) {
    PutByte(file, kTrailer);
    if (file->Error() != 0) writeFailed = true;
    if (writeFailed) {
        SetLastError("Write Error in GIF file");
        return false;
    }
    return true;
}

void PictureGIF::WriteColourTable(ByteStream* file) {
    std::uint8_t table[3 * 256];
    const std::uint32_t colours = std::min<std::uint32_t>(GetNumColors(), 256);
    for (std::uint32_t i = 0; i < colours; ++i) {
        const RgbQuad entry = GetPaletteColor(i);
        table[3 * i] = entry.red;
        table[3 * i + 1] = entry.green;
        table[3 * i + 2] = entry.blue;
    }
    PutBytes(file, table, 3 * colours);
}

void PictureGIF::EncodeHeader(ByteStream* file) {
    PutBytes(file, "GIF89a", 6);
    Putword(GetWidth(), file);
    Putword(GetHeight(), file);
    if (IsIndexed()) {
        // Global table present, colour resolution and table size from the depth.
        const std::uint8_t depthBits = static_cast<std::uint8_t>(GetBpp() - 1);
        PutByte(file, static_cast<std::uint8_t>(0x80 | depthBits << 4 | depthBits));
    } else {
        PutByte(file, 0x11);
    }
    PutByte(file, 0);  // background colour index
    PutByte(file, 0);  // pixel aspect ratio
    if (IsIndexed()) WriteColourTable(file);
}

void PictureGIF::EncodeExtension(ByteStream* file) {
    gce[0] = static_cast<std::uint8_t>((disposal & 7) << 2 | (imageInfo.transIndex != -1 ? 1 : 0));
    little_endian::put16(gce + 1, clamp16(imageInfo.frameDelay));
    gce[3] = static_cast<std::uint8_t>(imageInfo.transIndex);
    const std::uint8_t introducer[3] = {kExtensionIntroducer, kGraphicControlLabel, 4};
    PutBytes(file, introducer, 3);
    PutBytes(file, gce, 4);
    PutByte(file, 0);
}

void PictureGIF::EncodeLoopExtension(ByteStream* file) {
    const std::uint8_t introducer[3] = {kExtensionIntroducer, kApplicationLabel, 11};
    PutBytes(file, introducer, 3);
    PutBytes(file, "NETSCAPE2.0", 11);
    PutByte(file, 3);
    PutByte(file, 1);
    Putword(clamp16(loops), file);
    PutByte(file, 0);
}

void PictureGIF::EncodeComment(ByteStream* file) {
    const std::size_t length = std::strlen(comment);
    if (length == 0) return;
    const std::uint8_t introducer[3] = {kExtensionIntroducer, kCommentLabel,
                                        static_cast<std::uint8_t>(length)};
    PutBytes(file, introducer, 3);
    PutBytes(file, comment, length);
    PutByte(file, 0);
}

void PictureGIF::EncodeBody(ByteStream* file, bool localColorMap) {
    curX = 0;
    curY = GetHeight() - 1;
    pixelRow = GetBits(static_cast<std::uint32_t>(curY));
    pixelsLeft = static_cast<std::int64_t>(GetWidth()) * GetHeight();

    PutByte(file, kImageSeparator);
    Putword(imageInfo.xOffset, file);
    Putword(imageInfo.yOffset, file);
    Putword(GetWidth(), file);
    Putword(GetHeight(), file);
    PutByte(file, localColorMap ? static_cast<std::uint8_t>(0x80 | (GetBpp() - 1)) : 0);
    if (localColorMap) WriteColourTable(file);

    // GIF's smallest code size is 2, so 1-bit pictures use 2.
    const std::int32_t minimumCodeSize = GetBpp() == 1 ? 2 : GetBpp();
    PutByte(file, static_cast<std::uint8_t>(minimumCodeSize));
    switch (GetCodecOption(IMAGE_FORMAT_GIF)) {
        case 1:
            compressNONE(minimumCodeSize + 1, file);
            break;
        case 2:
            compressRLE(minimumCodeSize + 1, file);
            break;
        default:
            compressLZW(minimumCodeSize + 1, file);
            break;
    }
    PutByte(file, 0);  // block terminator
}

std::int32_t PictureGIF::GifNextPixel() {
    if (pixelsLeft == 0) return -1;
    --pixelsLeft;
    // The row is looked up once per row, not per pixel.
    std::int32_t index;
    switch (GetBpp()) {
        case 8:
            index = pixelRow[curX];
            break;
        case 4:
            index = (pixelRow[curX >> 1] >> ((curX & 1) ? 0 : 4)) & 0x0F;
            break;
        default:
            index = (pixelRow[curX >> 3] >> (7 - (curX & 7))) & 1;
            break;
    }
    if (++curX == GetWidth()) {
        curX = 0;
        --curY;
        pixelRow = curY >= 0 ? GetBits(static_cast<std::uint32_t>(curY)) : nullptr;
    }
    return index;
}

namespace {

// Sizes and positions are 16-bit fields in GIF.
bool fitsGif(const Picture& picture) {
    std::int32_t x = 0;
    std::int32_t y = 0;
    picture.GetOffset(&x, &y);
    return picture.GetWidth() <= kMaxGifCoordinate && picture.GetHeight() <= kMaxGifCoordinate &&
           x >= 0 && x <= kMaxGifCoordinate && y >= 0 && y <= kMaxGifCoordinate;
}

constexpr const char* kTooLarge = "GIF: image size or position exceeds 65535";

}  // namespace

bool PictureGIF::Encode(std::FILE* stream) {
    if (stream == nullptr) return Encode(static_cast<ByteStream*>(nullptr));
    FileStream file(stream);
    return Encode(&file);
}

bool PictureGIF::Encode(ByteStream* file) {
    if (EncodeSafeCheck(file)) return false;
    if (!fitsGif(*this)) {
        SetLastError(kTooLarge);
        return false;
    }
    writeFailed = false;
    if (GetBpp() > 8) return EncodeRGB(file);

    EncodeHeader(file);
    EncodeExtension(file);
    EncodeComment(file);
    EncodeBody(file, false);
    return FinishFile(file);
}

namespace {

// The lowest entry of the current tile's table that holds each colour met so
// far. It gives what a nearest-colour search of the table would give, since
// every pixel's colour is exact in its own entry, without scanning the table
// for each pixel.
class TileColourLookup {
public:
    void clear() { std::memset(keys, 0, sizeof keys); }

    // The entry already holding `colour` (blue, green, red in the low 24
    // bits), or `entry` when this is the colour's first appearance.
    std::uint8_t findOrAdd(std::uint32_t colour, std::uint8_t entry) {
        const std::uint32_t key = colour | kOccupied;
        std::uint32_t slot = (colour * 2654435761u) >> (32 - kSlotBits);
        while (keys[slot] != 0) {
            if (keys[slot] == key) return entries[slot];
            slot = (slot + 1) & (kSlots - 1);
        }
        keys[slot] = key;
        entries[slot] = entry;
        return entry;
    }

private:
    static constexpr std::uint32_t kSlotBits = 9;  // twice the 255 colours of a tile
    static constexpr std::uint32_t kSlots = 1u << kSlotBits;
    static constexpr std::uint32_t kOccupied = 1u << 24;
    std::uint32_t keys[kSlots] = {};
    std::uint8_t entries[kSlots] = {};
};

std::uint32_t colourKey(const std::uint8_t* blueGreenRed) {
    return blueGreenRed[0] | blueGreenRed[1] << 8 | blueGreenRed[2] << 16;
}

}  // namespace

bool PictureGIF::EncodeRGB(ByteStream* file) {
    EncodeHeader(file);
    EncodeComment(file);

    PictureGIF tile;
    // The tiles use the compressor chosen for the picture.
    tile.SetCodecOption(GetCodecOption(IMAGE_FORMAT_GIF), IMAGE_FORMAT_GIF);
    TileColourLookup lookup;
    const std::int32_t width = GetWidth();
    const std::int32_t height = GetHeight();
    for (std::int32_t y = 0; y < height; y += kTileHeight) {
        for (std::int32_t x = 0; x < width; x += kTileWidth) {
            const std::int32_t w = std::min(kTileWidth, width - x);
            const std::int32_t h = std::min(kTileHeight, height - y);
            if (!tile.IsValid() || tile.GetWidth() != w || tile.GetHeight() != h) {
                if (tile.Create(static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h), 8,
                                0) == nullptr) {
                    SetLastError(tile.GetLastError());
                    return false;
                }
            }
            if (IsTransparent()) {
                tile.SetTransIndex(0);
                tile.SetPaletteColor(0, GetTransColor());
            }
            // Entry i = 1 + k + 17 j holds pixel (k, j) exactly; entry 0 stays
            // free for transparency. A pixel takes the lowest entry of its colour,
            // which may be entry 0 or an earlier pixel's entry.
            std::uint8_t* table = tile.GetPalette();
            const std::uint32_t entryZero = colourKey(table);
            lookup.clear();
            for (std::int32_t j = 0; j < h; ++j) {
                const std::int32_t sourceRow = height - y - h + j;
                const std::uint8_t* source = GetBits(static_cast<std::uint32_t>(sourceRow)) +
                                             3 * static_cast<std::size_t>(x);
                std::uint8_t* indices = tile.GetBits(static_cast<std::uint32_t>(j));
                for (std::int32_t k = 0; k < w; ++k, source += 3) {
                    const auto entry = static_cast<std::uint8_t>(1 + k + kTileWidth * j);
                    std::uint8_t* slot = table + 4 * entry;
                    slot[0] = source[0];
                    slot[1] = source[1];
                    slot[2] = source[2];
                    slot[3] = alphaPlane != nullptr ? AlphaGet(x + k, sourceRow)
                                                    : imageInfo.transColor.reserved;
                    const std::uint32_t colour = colourKey(source);
                    indices[k] = colour == entryZero ? 0 : lookup.findOrAdd(colour, entry);
                }
            }
            tile.imageInfo.lastColorValid = false;
            tile.SetOffset(x, y);
            tile.EncodeExtension(file);
            tile.EncodeBody(file, true);
        }
    }
    if (tile.writeFailed) writeFailed = true;
    return FinishFile(file);
}

bool PictureGIF::Encode(std::FILE* stream, Picture** images, std::int32_t count,
                        bool localColorMap) {
    if (stream == nullptr)
        return Encode(static_cast<ByteStream*>(nullptr), images, count, localColorMap);
    FileStream file(stream);
    return Encode(&file, images, count, localColorMap);
}

bool PictureGIF::Encode(ByteStream* file, Picture** images, std::int32_t count,
                        bool localColorMap) {
    // Every frame is checked before the first byte is written, so a refused
    // animation leaves nothing half-written behind.
    const char* failure = nullptr;
    if (file == nullptr) {
        failure = "invalid file pointer";
    } else if (images == nullptr || count <= 0 || images[0] == nullptr) {
        failure = "multipage GIF, no images!";
    } else {
        for (std::int32_t i = 0; i < count && failure == nullptr; ++i) {
            if (images[i] == nullptr)
                failure = "Bad image pointer";
            else if (!images[i]->IsValid())
                failure = "multipage GIF, empty image!";
            else if (!images[i]->IsIndexed())
                failure = "multipage GIF, image without palette!";
            else if (!fitsGif(*images[i]))
                failure = kTooLarge;
        }
    }
    if (failure != nullptr) {
        SetLastError(failure);
        return false;
    }

    writeFailed = false;
    PictureGIF frame;
    frame.Ghost(images[0]);
    frame.EncodeHeader(file);
    // The loop count says how often to repeat after the first showing.
    if (loops != 1) {
        frame.loops = std::max(loops - 1, 0);
        frame.EncodeLoopExtension(file);
    }
    frame.disposal = disposal;
    frame.EncodeExtension(file);
    EncodeComment(file);
    frame.EncodeBody(file, false);
    for (std::int32_t i = 1; i < count; ++i) {
        frame.Ghost(images[i]);
        frame.disposal = disposal;
        frame.EncodeExtension(file);
        frame.EncodeBody(file, localColorMap);
    }
    if (frame.writeFailed) writeFailed = true;
    return FinishFile(file);
}

}  // namespace barquill::image
