#pragma once
// How large a module is drawn: pixels per module across, pixels per row, and
// the printer resolution those pixels are meant for.

#include <optional>
#include <string>

namespace barquill::cli {

// Bounds that keep every picture within what the writers can store (a GIF
// side is at most 65535 pixels) and within a few hundred megabytes.
inline constexpr int MAX_MODULE_WIDTH = 64;
inline constexpr int MAX_ROW_HEIGHT = 256;
inline constexpr int MAX_MARGIN = 1000;
inline constexpr int MAX_DPI = 10000;
inline constexpr double MAX_XDIM_MM = 10.0;

// Below this many printer dots a module's bars come out unevenly wide.
inline constexpr int MIN_RELIABLE_DOTS = 3;

struct ModuleGeometry {
    int moduleWidth = 2;  // pixels (printer dots) per module, across
    int rowHeight = 4;    // pixels per row
    int dpi = 0;          // resolution written into the file; 0 when not given
};

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
