// SPDX-License-Identifier: MIT
#pragma once
// Where a vector document puts the symbol: its box (the symbol with its
// quiet zone) and the page around it, checked before anything is drawn.

#include <variant>

#include "print/print.h"

namespace barquill::print {

// Millimetres.
struct PagePlan {
    double pageWidth = 0;
    double pageHeight = 0;
    double boxWidth = 0;
    double boxHeight = 0;
};

// The plan, or why the layout cannot be drawn: a size out of range, or a
// box that passes the page's edge.
std::variant<PagePlan, Error> planPage(const raster::ModuleMatrix& modules,
                                       const VectorLayout& layout);

}  // namespace barquill::print
