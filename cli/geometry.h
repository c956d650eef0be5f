#pragma once
// How large a module is drawn: pixels per module across, pixels per row, and
// the printer resolution those pixels are meant for.

#include <optional>
#include <string>

#include "raster/symbol_picture.h"

namespace barquill::cli {

// The picture bounds the raster library sets for every front end.
using raster::MAX_DPI;
using raster::MAX_MARGIN;
using raster::MAX_MODULE_WIDTH;
using raster::MAX_ROW_HEIGHT;
inline constexpr double MAX_XDIM_MM = 10.0;

// Below this many printer dots a module's bars come out unevenly wide.
inline constexpr int MIN_RELIABLE_DOTS = 3;

// Pixels per module across and per row, and the resolution for the file.
using raster::ModuleGeometry;

// What the user asked for; unset fields take the defaults.
struct GeometryRequest {
    std::optional<int> moduleWidth;
    std::optional<int> rowHeight;
    std::optional<double> xdimMm;
    std::optional<int> dpi;
};

struct GeometryResult {
    bool ok = false;
    ModuleGeometry geometry;
    std::string error;    // when not ok
    std::string warning;  // may be set when ok
};

// Without --xdim: the module is moduleWidth wide (default 2) and the row
// twice that (default 4), the desktop symbol's proportions. With --xdim and
// --dpi: the module is the nearest whole number of printer dots, never a
// fraction, and the row three times as high unless rowHeight is given.
GeometryResult computeGeometry(const GeometryRequest& request);

}  // namespace barquill::cli
