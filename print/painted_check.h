// SPDX-License-Identifier: MIT
#pragma once
// The check of a vector document's painted areas against the module
// matrix, made before the areas are drawn: what the page shows, module by
// module, must be the symbol.

#include <span>

#include "print/print.h"
#include "print/vector_abi.h"
#include "print/vector_layout.h"

namespace barquill::print {

struct PaintedFault {
    bool ok = true;
    int row = -1;  // the symbol row and module at fault; -1 for an area off the grid
    int module = -1;
};

// Paints the areas in order over the symbol's box: an area that covers the
// whole box is background; every other must lie on the module grid inside
// the symbol (to a millionth of a module). Then each module must show the
// bar colour where the matrix has a bar and the space colour elsewhere
// (white where nothing was painted).
PaintedFault checkPainted(const raster::ModuleMatrix& modules, const VectorLayout& layout,
                          const PagePlan& plan, std::span<const barquill_vector_area> areas);

}  // namespace barquill::print
