#include "cli/geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace barquill::cli {

namespace {

constexpr double MM_PER_INCH = 25.4;

GeometryResult refuse(std::string error) {
    GeometryResult result;
    result.error = std::move(error);
    return result;
}

std::string millimetres(double mm) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f mm", mm);
    return text;
}

}  // namespace

GeometryResult computeGeometry(const GeometryRequest& request) {
    if (request.dpi && (*request.dpi < 1 || *request.dpi > MAX_DPI))
        return refuse("--dpi must be 1 to " + std::to_string(MAX_DPI));
    if (request.moduleWidth &&
        (*request.moduleWidth < 1 || *request.moduleWidth > MAX_MODULE_WIDTH))
        return refuse("--module-width must be 1 to " + std::to_string(MAX_MODULE_WIDTH) +
                      " pixels");
    if (request.rowHeight && (*request.rowHeight < 1 || *request.rowHeight > MAX_ROW_HEIGHT))
        return refuse("--row-height must be 1 to " + std::to_string(MAX_ROW_HEIGHT) + " pixels");

    GeometryResult result;
    result.geometry.dpi = request.dpi.value_or(0);
    if (!request.xdimMm) {
        result.geometry.moduleWidth = request.moduleWidth.value_or(2);
        result.geometry.rowHeight = request.rowHeight.value_or(2 * result.geometry.moduleWidth);
        result.ok = true;
        return result;
    }

    if (request.moduleWidth) return refuse("give either --xdim or --module-width, not both");
    if (!request.dpi) return refuse("--xdim needs --dpi, the printer's resolution");
    const double xdim = *request.xdimMm;
    if (!(xdim > 0.0 && xdim <= MAX_XDIM_MM))
        return refuse("--xdim must be above 0 and at most " + std::to_string(int(MAX_XDIM_MM)) +
                      " mm");

    const long dots = std::max(1L, std::lround(xdim * *request.dpi / MM_PER_INCH));
    if (dots > MAX_MODULE_WIDTH)
        return refuse("--xdim " + millimetres(xdim) + " at " + std::to_string(*request.dpi) +
                      " dpi needs " + std::to_string(dots) + " dots per module; at most " +
                      std::to_string(MAX_MODULE_WIDTH) + " are drawn");
    result.geometry.moduleWidth = static_cast<int>(dots);
    static_assert(3 * MAX_MODULE_WIDTH <= MAX_ROW_HEIGHT);
    result.geometry.rowHeight = request.rowHeight.value_or(3 * result.geometry.moduleWidth);
    if (dots < MIN_RELIABLE_DOTS)
        result.warning = "warning: a module is only " + std::to_string(dots) + " printer dot" +
                         (dots == 1 ? "" : "s") + " wide (" +
                         millimetres(dots * MM_PER_INCH / *request.dpi) + "); with fewer than " +
                         std::to_string(MIN_RELIABLE_DOTS) +
                         " bars print unevenly: use a larger --xdim or a printer of more dpi";
    result.ok = true;
    return result;
}

}  // namespace barquill::cli
