// SPDX-License-Identifier: MIT
// The BMP codec: a 14-byte file header followed by the picture's DIB block
// exactly as it lies in memory.
#pragma once

#include "image/picture.h"

namespace barquill::image {

class PictureBMP : public Picture {
public:
    PictureBMP() : Picture(IMAGE_FORMAT_BMP) {}
    bool Encode(ByteStream* file);
};

}  // namespace barquill::image
