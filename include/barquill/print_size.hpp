// SPDX-License-Identifier: MIT
#pragma once
// Print sizing: a module width in millimetres at a printer's resolution
// becomes a whole number of printer dots, never a fraction, so bars keep
// their widths on paper.

#include <optional>

#include "barquill/errors.hpp"
#include "barquill/export.h"
#include "barquill/render.hpp"

namespace barquill {

inline constexpr double mmPerInch = 25.4;
inline constexpr double maxModuleMm = 10.0;
// Below this many printer dots a module's bars come out unevenly wide.
inline constexpr int minReliableDots = 3;
// A printed row is this many module widths high unless asked otherwise.
inline constexpr int printedRowModules = 3;
inline constexpr double maxLabelMm = 10000.0;

// What the caller asked for; unset fields take the defaults.
struct PrintSize {
    std::optional<int> moduleWidth;  // pixels or dots
    std::optional<int> rowHeight;
    std::optional<double> moduleMm;  // module width in mm: needs dpi
    std::optional<int> dpi;
    bool operator==(const PrintSize&) const = default;
};

// Pixels per module and row, and the resolution for the file.
struct ModuleSize {
    int moduleWidth = defaultModuleWidth;
    int rowHeight = defaultRowHeight;
    int dpi = 0;
};

// Without moduleMm: moduleWidth (default 2) wide and rowHeight (default
// twice the width) high, the desktop symbol's proportions. With moduleMm and
// dpi: dotsFromMm, at least one, and rows three times
// as high unless rowHeight is given; fewer than minReliableDots dots give
// the warning "thin-module".
struct SizedModules {
    ModuleSize size;
    std::optional<Warning> warning;
};
BARQUILL_API Result<SizedModules> sizeModules(const PrintSize& request);

// A label area in millimetres.
struct LabelArea {
    double widthMm = 0;
    double heightMm = 0;
};

// The largest whole-dot module (rows printedRowModules times as high) with
// which a symbol of `widthModules` x `rows` and its quiet zone (pixels, that
// is dots) fit the area's dotsFromMm at `dpi`; labelTooSmall with the smallest area that
// would do when even one dot is too large.
BARQUILL_API Result<ModuleSize> fitToLabel(int widthModules, int rows, int quietZone,
                                           LabelArea area, int dpi);

// A length in mm as whole printer dots at `dpi`: the nearest, a half
// rounding up. Every writer, check and front end sizes with this one rule,
// so a module width in mm is the same number of dots in every format.
BARQUILL_API int dotsFromMm(double mm, int dpi);

// The length in mm of `dots` printer dots at `dpi` (0 without a resolution).
BARQUILL_API double dotsToMm(long dots, int dpi);

}  // namespace barquill
