// SPDX-License-Identifier: MIT
#pragma once
// The bars of a symbol as few rectangles, for the vector documents.

#include <vector>

#include "raster/symbol_picture.h"

namespace barquill::print {

// In modules and rows, from the symbol's top left.
struct BarRectangle {
    int module = 0;
    int row = 0;
    int modules = 0;
    int rows = 0;
    friend bool operator==(const BarRectangle&, const BarRectangle&) = default;
};

// Each run of bars in a row is one rectangle, stretched down over the rows
// below that have the same run: the start and stop patterns, the same in
// every row, become a few tall rectangles. Top row first, left to right.
std::vector<BarRectangle> barRectangles(const raster::ModuleMatrix& modules);

}  // namespace barquill::print
