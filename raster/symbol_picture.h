// SPDX-License-Identifier: MIT
#pragma once
// One symbol's pixels: the 1-bit rasteriser and the SVG document that the
// command line and the library API both write, so that every front end
// draws a symbol the same way.

#include <cstddef>
#include <cstdint>
#include <string>

#include "encoder/pdf417.h"

namespace barquill::image {
class Picture;
}  // namespace barquill::image

namespace barquill::raster {

// Bounds that keep every picture within what the writers can store (a GIF
// side is at most 65535 pixels) and within a few hundred megabytes.
inline constexpr int MAX_MODULE_WIDTH = 64;
inline constexpr int MAX_ROW_HEIGHT = 256;
inline constexpr int MAX_MARGIN = 1000;
inline constexpr int MAX_DPI = 10000;

struct ModuleGeometry {
    int moduleWidth = 2;  // pixels (printer dots) per module, across
    int rowHeight = 4;    // pixels per row
    int dpi = 0;          // resolution written into the file; 0 when not given
};

struct DrawOptions {
    ModuleGeometry geometry;
    int margin = 10;
    std::uint32_t barColor = 0x000000;  // 0x00BBGGRR
    std::uint32_t spaceColor = 0xFFFFFF;
};

struct PictureSize {
    long width = 0;
    long height = 0;
};

// A read-only view of a symbol's modules: `rows` rows of `width` bytes,
// `stride` bytes apart; a byte equal to `bar` is a bar. The encoder's job
// stores '1' characters in fixed slots, the library's symbol 1 bytes packed
// tightly; both are drawn through this one view.
struct ModuleMatrix {
    const std::uint8_t* data = nullptr;
    std::size_t stride = 0;
    int rows = 0;
    int width = 0;
    std::uint8_t bar = 1;

    bool isBar(int row, int module) const {
        return data[static_cast<std::size_t>(row) * stride + static_cast<std::size_t>(module)] ==
               bar;
    }

    // Calls run(first, end) for each run of bars of the row, left to right;
    // the modules first to end - 1 are bars.
    template <class Run>
    void forEachBarRun(int row, Run&& run) const {
        for (int module = 0; module < width;) {
            if (!isBar(row, module)) {
                ++module;
                continue;
            }
            const int first = module;
            while (module < width && isBar(row, module)) ++module;
            run(first, module);
        }
    }
};

ModuleMatrix moduleMatrix(const encoder::SymbolJob& job);

PictureSize pictureSize(const ModuleMatrix& modules, const DrawOptions& options);
PictureSize pictureSize(const encoder::SymbolJob& job, const DrawOptions& options);

// Draws the symbol into a 1-bit paletted picture (index 0 the background,
// 1 the bars): the pixels of a 24-bit rendering in a fraction of the bytes.
// Each module is moduleWidth x rowHeight pixels inside the margin.
bool drawSymbol(const ModuleMatrix& modules, const DrawOptions& options, image::Picture* picture);
bool drawSymbol(const encoder::SymbolJob& job, const DrawOptions& options, image::Picture* picture);

// The SVG document of the symbol.
std::string svgDocument(const ModuleMatrix& modules, const DrawOptions& options);
std::string svgDocument(const encoder::SymbolJob& job, const DrawOptions& options);

}  // namespace barquill::raster
