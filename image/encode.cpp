// SPDX-License-Identifier: MIT
// Encoding dispatch: picks the codec for a format id, runs it on a ghost of
// the picture (so it reads the picture's own buffers, copying nothing) and
// carries its failure text back.
#include <cstdlib>
#include <cstring>
#include <functional>

#include "image/bmp_writer.h"
#include "image/byte_stream.h"
#include "image/gif_writer.h"
#include "image/picture.h"
#include "image/png_writer.h"

namespace barquill::image {

bool Picture::EncodeSafeCheck(ByteStream* file) {
    if (file == nullptr) {
        SetLastError("null file handler");
        return true;
    }
    if (dib == nullptr) {
        SetLastError("null image!!!");
        return true;
    }
    return false;
}

bool Picture::Encode(std::FILE* stream, std::uint32_t type) {
    if (stream == nullptr) return Encode(static_cast<ByteStream*>(nullptr), type);
    FileStream file(stream);
    return Encode(&file, type);
}

bool Picture::Encode(ByteStream* file, std::uint32_t type) {
    const auto finish = [this](const Picture& codec, bool ok) {
        if (!ok) SetLastError(codec.GetLastError());
        return ok;
    };
    switch (type) {
        case IMAGE_FORMAT_BMP: {
            PictureBMP codec;
            codec.Ghost(this);
            return finish(codec, codec.Encode(file));
        }
        case IMAGE_FORMAT_GIF: {
            PictureGIF codec;
            codec.Ghost(this);
            return finish(codec, codec.Encode(file));
        }
        case IMAGE_FORMAT_PNG: {
            PicturePNG codec;
            codec.Ghost(this);
            return finish(codec, codec.Encode(file));
        }
        default:
            SetLastError("Encode: Unknown format");
            return false;
    }
}

bool Picture::EncodeToBuffer(std::uint8_t*& buffer, std::int32_t& size,
                             const std::function<bool(ByteStream*)>& encode) {
    if (buffer != nullptr) {
        SetLastError("the buffer must be empty");
        return false;
    }
    MemoryStream stream;
    if (!stream.Open()) {
        SetLastError("Encode: can't allocate memory");
        return false;
    }
    if (!encode(&stream)) return false;
    size = stream.Size();
    buffer = stream.GetBuffer(true);
    return true;
}

bool Picture::Encode(std::uint8_t*& buffer, std::int32_t& size, std::uint32_t type) {
    return EncodeToBuffer(buffer, size, [&](ByteStream* stream) { return Encode(stream, type); });
}

bool Picture::Encode(std::FILE* stream, Picture** images, std::int32_t count, std::uint32_t type) {
    if (stream == nullptr) return Encode(static_cast<ByteStream*>(nullptr), images, count, type);
    FileStream file(stream);
    return Encode(&file, images, count, type);
}

bool Picture::Encode(ByteStream* file, Picture** images, std::int32_t count, std::uint32_t type) {
    if (type != IMAGE_FORMAT_GIF) {
        SetLastError("Multipage Encode, Unsupported operation for this format");
        return false;
    }
    PictureGIF codec;
    codec.Ghost(this);
    // Every further frame carries its own colour table, so frames with
    // different palettes keep their colours.
    const bool ok = codec.Encode(file, images, count, true);
    if (!ok) SetLastError(codec.GetLastError());
    return ok;
}

bool Picture::Encode2RGBA(ByteStream* file) {
    if (EncodeSafeCheck(file)) return false;
    const auto width = static_cast<std::size_t>(header.biWidth);
    auto* row = static_cast<std::uint8_t*>(std::malloc(4 * width));
    if (row == nullptr) {
        SetLastError("Encode: can't allocate memory");
        return false;
    }
    bool ok = true;
    for (std::int32_t y = 0; y < header.biHeight && ok; ++y) {
        for (std::int32_t x = 0; x < header.biWidth; ++x) {
            const RgbQuad colour = GetPixelColor(x, y, false);
            std::uint8_t* out = row + 4 * static_cast<std::size_t>(x);
            out[0] = colour.red;
            out[1] = colour.green;
            out[2] = colour.blue;
            out[3] = IsIndexed() ? colour.reserved : AlphaGet(x, y);
        }
        ok = file->Write(row, 1, 4 * width) == 4 * width;
    }
    std::free(row);
    if (!ok) SetLastError("Write Error in RGBA data");
    return ok;
}

bool Picture::Encode2RGBA(std::uint8_t*& buffer, std::int32_t& size) {
    return EncodeToBuffer(buffer, size, [&](ByteStream* stream) { return Encode2RGBA(stream); });
}

void Picture::FreeMemory(void* block) {
    std::free(block);
}

}  // namespace barquill::image
