// SPDX-License-Identifier: MIT
#include "print/painted_check.h"

#include <cmath>
#include <vector>

namespace barquill::print {

namespace {

// Coordinates are sums of whole modules in floating point: this far from a
// whole module is off the grid.
constexpr double GRID_TOLERANCE = 1e-6;

constexpr Colour WHITE{255, 255, 255};

// The whole number of modules `length` is, or -1 when it is off the grid.
long onGrid(double length, double module) {
    const double modules = length / module;
    const double whole = std::round(modules);
    return std::fabs(modules - whole) <= GRID_TOLERANCE ? static_cast<long>(whole) : -1;
}

}  // namespace

PaintedFault checkPainted(const raster::ModuleMatrix& modules, const VectorLayout& layout,
                          const PagePlan& plan, std::span<const barquill_vector_area> areas) {
    const auto width = static_cast<std::size_t>(modules.width);
    std::vector<Colour> shown(width * static_cast<std::size_t>(modules.rows), WHITE);
    const double left = layout.xMm + layout.quietZoneMm;
    const double top = layout.yMm + layout.quietZoneMm;
    const double slack = GRID_TOLERANCE * std::min(layout.moduleWidthMm, layout.rowHeightMm);
    for (const barquill_vector_area& area : areas) {
        const Colour colour{area.red, area.green, area.blue};
        const bool wholeBox = area.x <= layout.xMm + slack && area.y <= layout.yMm + slack &&
                              area.x + area.width >= layout.xMm + plan.boxWidth - slack &&
                              area.y + area.height >= layout.yMm + plan.boxHeight - slack;
        if (wholeBox) {
            std::fill(shown.begin(), shown.end(), colour);
            continue;
        }
        const long first = onGrid(area.x - left, layout.moduleWidthMm);
        const long end = onGrid(area.x + area.width - left, layout.moduleWidthMm);
        const long firstRow = onGrid(area.y - top, layout.rowHeightMm);
        const long endRow = onGrid(area.y + area.height - top, layout.rowHeightMm);
        if (first < 0 || firstRow < 0 || end <= first || endRow <= firstRow ||
            end > modules.width || endRow > modules.rows)
            return {false, -1, -1};
        for (long row = firstRow; row < endRow; ++row)
            for (long module = first; module < end; ++module)
                shown[static_cast<std::size_t>(row) * width + static_cast<std::size_t>(module)] =
                    colour;
    }
    for (int row = 0; row < modules.rows; ++row)
        for (int module = 0; module < modules.width; ++module) {
            const Colour expected = modules.isBar(row, module) ? layout.bar : layout.space;
            if (shown[static_cast<std::size_t>(row) * width + static_cast<std::size_t>(module)] !=
                expected)
                return {false, row, module};
        }
    return {};
}

}  // namespace barquill::print
