// SPDX-License-Identifier: MIT
#pragma once
// The shape of a device-independent bitmap as the display layer reads and
// writes it: rows padded to 4 bytes, bottom row first when height is
// positive, top row first when it is negative. Depths of 1, 4 and 8 bits
// index a colour table of blue, green, red, reserved entries; 24-bit pixels
// are blue, green, red; 32-bit pixels are blue, green, red, reserved.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace barquill::display {

struct DibFormat {
    int width = 0;
    int height = 0;  // > 0: bottom-up rows; < 0: top-down rows
    int bitCount = 24;

    int rows() const { return std::abs(height); }
    // Bytes per stored row; 0 for a width or depth that has no rows.
    std::size_t stride() const {
        if (width <= 0 || bitCount <= 0) return 0;
        return (std::size_t(width) * std::size_t(bitCount) + 31) / 32 * 4;
    }
    // Index of the stored row that holds picture row y (0 is the top).
    int storedRow(int y) const { return height > 0 ? height - 1 - y : y; }
};

}  // namespace barquill::display
