// SPDX-License-Identifier: MIT
#pragma once
// A device bitmap: pixels in the screen's format (32 bits, PixelWord), drawn
// into through a memory context and read out as a device-independent bitmap.

#include <cstdint>
#include <memory>
#include <vector>

#include "display/color.h"
#include "display/dib_format.h"

namespace barquill::display {

class DeviceBitmap {
public:
    // Depth of every device bitmap: the screen-compatible 32-bit format.
    static constexpr int SCREEN_DEPTH = 32;
    // Largest pixel block a bitmap may take; a request beyond it is refused
    // rather than left to fail in the allocator.
    static constexpr std::uint64_t MAX_BYTES = std::uint64_t(256) << 20;

    // A bitmap of width × height pixels compatible with the screen
    // (CreateCompatibleBitmap), every pixel black. A width or height of 0 or
    // below gives an empty bitmap of size 0 × 0; a size beyond MAX_BYTES or
    // one the allocator refuses gives null.
    static std::unique_ptr<DeviceBitmap> createCompatible(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    int depth() const { return SCREEN_DEPTH; }

    // Converts all rows into a 24- or 32-bit device-independent bitmap at
    // `bits` (GetDIBits). The format's width and row count must be the
    // bitmap's. Returns the number of rows copied, 0 when the shape does not
    // match or the depth is not one it converts to.
    int getDIBits(const DibFormat& format, std::uint8_t* bits) const;

    // The pixel rows, top row first, width() words each.
    PixelWord* pixels() { return pixels_.data(); }
    const PixelWord* pixels() const { return pixels_.data(); }

private:
    DeviceBitmap() = default;

    int width_ = 0;
    int height_ = 0;
    std::vector<PixelWord> pixels_;
};

}  // namespace barquill::display
