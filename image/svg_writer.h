// SPDX-License-Identifier: MIT
#pragma once
// Vector output of a two-colour symbol: an SVG document whose user units are
// the pixels of the raster picture, so it scales without resampling.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace barquill::image {

struct SvgSymbol {
    // One string per row of modules: '1' a bar, '0' a space, all equally long.
    std::vector<std::string_view> rows;
    int moduleWidth = 2;                // user units per module, across
    int rowHeight = 4;                  // user units per row
    int margin = 10;                    // user units of background on every side
    std::uint32_t barColor = 0x000000;  // 0x00BBGGRR, red in the lowest byte
    std::uint32_t spaceColor = 0xFFFFFF;
    int dpi = 0;  // when above 0, width and height are given in mm at this resolution
};

// The whole document: a background rectangle, then one path holding a
// rectangle per run of bar modules, drawn with crisp edges.
std::string EncodeSvg(const SvgSymbol& symbol);

}  // namespace barquill::image
