// SPDX-License-Identifier: MIT
#include "verify/minimal_raster.h"

#include <algorithm>
#include <cstring>

namespace barquill::verify {

namespace {

// The reader's pure mode finds no symbol lower than about nine pixels, and
// reads one-pixel rows more slowly than two-pixel ones.
constexpr int MIN_ROW_HEIGHT = 2;
constexpr int MIN_SYMBOL_HEIGHT = 10;
constexpr int QUIET_ZONE = 2;

}  // namespace

GreyRaster minimalRaster(const ModuleView& modules, Shades shades) {
    GreyRaster raster;
    const int rowHeight = std::max(
        MIN_ROW_HEIGHT, (MIN_SYMBOL_HEIGHT + modules.rows - 1) / std::max(1, modules.rows));
    raster.width = modules.width + 2 * QUIET_ZONE;
    raster.height = modules.rows * rowHeight + 2 * QUIET_ZONE;
    const auto width = static_cast<std::size_t>(raster.width);
    raster.pixels.assign(width * static_cast<std::size_t>(raster.height), shades.space);
    for (int row = 0; row < modules.rows; ++row) {
        std::uint8_t* first =
            raster.pixels.data() + static_cast<std::size_t>(QUIET_ZONE + row * rowHeight) * width;
        // Without a branch per module: bars and spaces alternate too often
        // to predict.
        const std::uint8_t* module = modules.data + static_cast<std::size_t>(row) * modules.stride;
        const auto difference = static_cast<std::uint8_t>(shades.bar ^ shades.space);
        for (std::size_t i = 0; i < static_cast<std::size_t>(modules.width); ++i)
            first[QUIET_ZONE + i] = static_cast<std::uint8_t>(
                shades.space ^ (difference & -static_cast<int>(module[i] == modules.bar)));
        for (int line = 1; line < rowHeight; ++line)
            std::memcpy(first + static_cast<std::size_t>(line) * width, first, width);
    }
    return raster;
}

}  // namespace barquill::verify
