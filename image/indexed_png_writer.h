// SPDX-License-Identifier: MIT
// PNG files of opaque paletted pictures, every symbol the library draws, put
// together chunk by chunk in memory and compressed in one call by
// libdeflate. libpng sets up a zlib stream for every file and clears its
// tables, which costs a label more than its compression; a libdeflate
// compressor is made once per thread and kept. Every other picture, and the
// original interface with its options, goes through libpng (PicturePNG).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/png_writer.h"

namespace barquill::image {

class IndexedPngWriter : public PicturePNG {
public:
    // Larger pictures go through libpng, which streams a row at a time
    // instead of holding a second copy of the pixels.
    static constexpr std::size_t MAX_PIXEL_BYTES = std::size_t{8} << 20;

    // Whether Write takes the picture: 1, 4 or 8 bits per pixel with a
    // palette, no transparent index, no alpha plane or palette alpha, not
    // interlaced, and at most MAX_PIXEL_BYTES of rows.
    bool Fits() const;

    // The whole file in `file`, chunks in the order libpng writes them:
    // signature, IHDR, PLTE, bKGD (palette index 0), pHYs when
    // `withResolution`, one IDAT and IEND. False, with the last-error text
    // set, when the picture does not fit or memory runs out.
    bool Write(bool withResolution, std::vector<std::uint8_t>* file);
};

}  // namespace barquill::image
