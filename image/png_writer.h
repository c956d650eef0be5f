// SPDX-License-Identifier: MIT
// The PNG codec, written through libpng: palette, RGB or RGBA by the
// picture's depth, transparency and alpha plane.
#pragma once

#include <cstddef>

#include "image/picture.h"

struct png_struct_def;

namespace barquill::image {

class PicturePNG : public Picture {
public:
    PicturePNG() : Picture(IMAGE_FORMAT_PNG) {}
    bool Encode(ByteStream* file);

protected:
    // The palette entries the file carries: all the picture has, or, for a
    // small picture of more than two colours, up to the highest index used.
    std::uint32_t PaletteLength() const;

    // libpng's output callbacks; the stream is libpng's I/O pointer.
    static void WritePngData(png_struct_def* png, unsigned char* data, std::size_t length);
    static void FlushPngData(png_struct_def* png);

private:
    const char* WritePng(ByteStream* file);
};

}  // namespace barquill::image
