// SPDX-License-Identifier: MIT
#include "print/vector_layout.h"

#include <optional>

namespace barquill::print {

namespace {

// Written so that NaN fails too.
std::optional<Error> checkRange(Setting setting, double value, double minimum, double maximum) {
    if (value >= minimum && value <= maximum) return std::nullopt;
    return Error{ErrorCode::invalidSetting, setting, value, minimum, maximum};
}

// Sums of millimetres carry rounding; a box that fits to a nanometre fits.
constexpr double FIT_TOLERANCE_MM = 1e-6;

std::optional<Error> checkFit(Setting setting, double farEdge, double pageSide) {
    if (farEdge <= pageSide + FIT_TOLERANCE_MM) return std::nullopt;
    return Error{ErrorCode::doesNotFitPage, setting, farEdge, 0, pageSide};
}

}  // namespace

VectorLayout layoutFromPixels(int moduleWidth, int rowHeight, int quietZone, int dpi) {
    const double mmPerPixel = dpi > 0 ? units::mmFromDots(1, dpi) : units::mmPerPoint;
    VectorLayout layout;
    layout.moduleWidthMm = moduleWidth * mmPerPixel;
    layout.rowHeightMm = rowHeight * mmPerPixel;
    layout.quietZoneMm = quietZone * mmPerPixel;
    return layout;
}

std::variant<PagePlan, Error> planPage(const raster::ModuleMatrix& modules,
                                       const VectorLayout& layout) {
    if (modules.rows <= 0 || modules.width <= 0) return Error{ErrorCode::emptySymbol};
    const std::optional<Error> sizes[] = {
        checkRange(Setting::moduleWidth, layout.moduleWidthMm, MIN_MODULE_MM, MAX_PAGE_MM),
        checkRange(Setting::rowHeight, layout.rowHeightMm, MIN_MODULE_MM, MAX_PAGE_MM),
        checkRange(Setting::quietZone, layout.quietZoneMm, 0, MAX_PAGE_MM),
        checkRange(Setting::x, layout.xMm, 0, MAX_PAGE_MM),
        checkRange(Setting::y, layout.yMm, 0, MAX_PAGE_MM),
    };
    for (const std::optional<Error>& error : sizes)
        if (error) return *error;

    PagePlan plan;
    plan.boxWidth = 2 * layout.quietZoneMm + modules.width * layout.moduleWidthMm;
    plan.boxHeight = 2 * layout.quietZoneMm + modules.rows * layout.rowHeightMm;
    if (layout.page) {
        const std::optional<Error> pageSizes[] = {
            checkRange(Setting::pageWidth, layout.page->widthMm, MIN_MODULE_MM, MAX_PAGE_MM),
            checkRange(Setting::pageHeight, layout.page->heightMm, MIN_MODULE_MM, MAX_PAGE_MM),
        };
        for (const std::optional<Error>& error : pageSizes)
            if (error) return *error;
        plan.pageWidth = layout.page->widthMm;
        plan.pageHeight = layout.page->heightMm;
    } else {
        // The box is the page; it must still be a page readers open.
        plan.pageWidth = plan.boxWidth;
        plan.pageHeight = plan.boxHeight;
        const std::optional<Error> boxSizes[] = {
            checkFit(Setting::pageWidth, plan.boxWidth, MAX_PAGE_MM),
            checkFit(Setting::pageHeight, plan.boxHeight, MAX_PAGE_MM),
        };
        for (const std::optional<Error>& error : boxSizes)
            if (error) return *error;
    }
    const std::optional<Error> fits[] = {
        checkFit(Setting::x, layout.xMm + plan.boxWidth, plan.pageWidth),
        checkFit(Setting::y, layout.yMm + plan.boxHeight, plan.pageHeight),
    };
    for (const std::optional<Error>& error : fits)
        if (error) return *error;
    return plan;
}

}  // namespace barquill::print
