// SPDX-License-Identifier: MIT
// Module sizes for print: whole printer dots, and the largest module that
// fits a label.

#include "barquill/print_size.hpp"

#include <algorithm>
#include <cmath>

#include "base/units.h"
#include "lib/internal.h"

namespace barquill {

static_assert(printedRowModules * maxModuleWidth <= maxRowHeight);

static_assert(mmPerInch == units::mmPerInch);

int dotsFromMm(double mm, int dpi) {
    return units::dotsFromMm(mm, dpi);
}

double dotsToMm(long dots, int dpi) {
    return units::mmFromDots(static_cast<double>(dots), dpi);
}

Result<SizedModules> sizeModules(const PrintSize& request) {
    if (request.dpi && (*request.dpi < 1 || *request.dpi > maxDpi))
        return rangeError(ErrorCode::invalidRender, "dpi", *request.dpi, 1, maxDpi);
    if (request.moduleWidth && (*request.moduleWidth < 1 || *request.moduleWidth > maxModuleWidth))
        return rangeError(ErrorCode::invalidRender, "moduleWidth", *request.moduleWidth, 1,
                          maxModuleWidth);
    if (request.rowHeight && (*request.rowHeight < 1 || *request.rowHeight > maxRowHeight))
        return rangeError(ErrorCode::invalidRender, "rowHeight", *request.rowHeight, 1,
                          maxRowHeight);

    SizedModules sized;
    sized.size.dpi = request.dpi.value_or(0);
    if (!request.moduleMm) {
        sized.size.moduleWidth = request.moduleWidth.value_or(defaultModuleWidth);
        sized.size.rowHeight = request.rowHeight.value_or(defaultRowHeight / defaultModuleWidth *
                                                          sized.size.moduleWidth);
        return sized;
    }
    if (request.moduleWidth)
        return pairError(ErrorCode::conflictingOptions, "moduleMm", "moduleWidth");
    if (!request.dpi) return pairError(ErrorCode::missingOption, "moduleMm", "dpi");
    const double mm = *request.moduleMm;
    if (!(mm > 0.0 && mm <= maxModuleMm)) {
        Error error =
            rangeError(ErrorCode::invalidRender, "moduleMm", 0, 0, static_cast<long>(maxModuleMm));
        error.given = std::isfinite(mm) ? decimalText(mm, 3) : "not a number";
        finishMessage(error);
        return error;
    }
    const int dots = std::max(1, units::dotsFromMm(mm, *request.dpi));
    if (dots > maxModuleWidth) {
        // A module of more dots than are drawn: the numbers say how many.
        Error error = rangeError(ErrorCode::invalidRender, "moduleMm", dots, 1, maxModuleWidth);
        error.needed = dots;
        error.available = maxModuleWidth;
        return error;
    }
    sized.size.moduleWidth = dots;
    sized.size.rowHeight = request.rowHeight.value_or(printedRowModules * sized.size.moduleWidth);
    sized.warning = thinModuleWarning(dots, *request.dpi);
    return sized;
}

Result<ModuleSize> fitToLabel(int widthModules, int rows, int quietZone, LabelArea area, int dpi) {
    if (dpi < 1 || dpi > maxDpi) return rangeError(ErrorCode::invalidRender, "dpi", dpi, 1, maxDpi);
    const long width = units::dotsFromMm(area.widthMm, dpi);
    const long height = units::dotsFromMm(area.heightMm, dpi);
    const long margins = 2L * quietZone;
    for (int dots = maxModuleWidth; dots >= 1; --dots) {
        if (margins + static_cast<long>(widthModules) * dots <= width &&
            margins + static_cast<long>(rows) * printedRowModules * dots <= height)
            return ModuleSize{dots, printedRowModules * dots, dpi};
    }
    Error error;
    error.code = ErrorCode::labelTooSmall;
    error.field = "fit";
    error.value = dpi;
    error.widthMm = dotsToMm(margins + widthModules, dpi);
    error.heightMm = dotsToMm(margins + static_cast<long>(printedRowModules) * rows, dpi);
    finishMessage(error);
    return error;
}

}  // namespace barquill
