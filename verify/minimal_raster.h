// SPDX-License-Identifier: MIT
#pragma once
// The smallest raster of a module matrix the reader reads reliably.

#include <cstdint>
#include <vector>

#include "verify/verify.h"

namespace barquill::verify {

struct GreyRaster {
    std::vector<std::uint8_t> pixels;  // top row first, `width` bytes a row
    int width = 0;
    int height = 0;
};

// The matrix one pixel per module across, in rows of at least two pixels
// and a symbol of at least ten, inside a quiet zone of two pixels.
GreyRaster minimalRaster(const ModuleView& modules, Shades shades);

}  // namespace barquill::verify
