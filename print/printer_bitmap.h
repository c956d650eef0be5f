// SPDX-License-Identifier: MIT
#pragma once
// The symbol at printer dots as the printers' bitmap commands take it: rows
// of whole bytes, top row first, the left dot in the high bit, 1 black.

#include <cstdint>
#include <optional>
#include <vector>

#include "print/print.h"

namespace barquill::print {

struct BitmapSize {
    long width = 0;  // dots
    long height = 0;
    long bytesPerRow = 0;
};

struct PrinterBitmap {
    BitmapSize size;
    std::vector<std::uint8_t> bits;

    const std::uint8_t* row(long y) const {
        return bits.data() +
               static_cast<std::size_t>(y) * static_cast<std::size_t>(size.bytesPerRow);
    }
};

// An empty symbol or a geometry out of range.
std::optional<Error> checkDotGeometry(const raster::ModuleMatrix& modules,
                                      const DotGeometry& geometry);

// Quiet zone included; only for a geometry that passed the check.
BitmapSize bitmapSize(const raster::ModuleMatrix& modules, const DotGeometry& geometry);

// The dots as the PNG writer draws its pixels; nothing when memory runs out.
std::optional<PrinterBitmap> drawPrinterBitmap(const raster::ModuleMatrix& modules,
                                               const DotGeometry& geometry);

}  // namespace barquill::print
