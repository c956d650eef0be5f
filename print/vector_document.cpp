// SPDX-License-Identifier: MIT
// PDF and EPS documents: the page's areas in millimetres, drawn by the
// vector module.

#include <cerrno>
#include <cstdio>
#include <variant>
#include <vector>

#include "print/bar_rectangles.h"
#include "print/painted_check.h"
#include "print/print.h"
#include "print/vector_layout.h"
#include "print/vector_module.h"

namespace barquill::print {

namespace {

constexpr Colour WHITE{255, 255, 255};

barquill_vector_area area(double x, double y, double width, double height, Colour colour) {
    return {x, y, width, height, colour.red, colour.green, colour.blue};
}

// What is painted, in order: an EPS's whole box white, since its bounding
// box is the extent of what it paints and it is placed over other artwork;
// the space colour over the symbol and its quiet zone when it is not white;
// then the bars.
std::vector<barquill_vector_area> areas(const raster::ModuleMatrix& modules, VectorFormat format,
                                        const VectorLayout& layout, const PagePlan& plan) {
    std::vector<barquill_vector_area> painted;
    if (format == VectorFormat::eps)
        painted.push_back(area(0, 0, plan.pageWidth, plan.pageHeight, WHITE));
    if (layout.space != WHITE)
        painted.push_back(
            area(layout.xMm, layout.yMm, plan.boxWidth, plan.boxHeight, layout.space));
    const double left = layout.xMm + layout.quietZoneMm;
    const double top = layout.yMm + layout.quietZoneMm;
    for (const BarRectangle& bar : barRectangles(modules))
        painted.push_back(
            area(left + bar.module * layout.moduleWidthMm, top + bar.row * layout.rowHeightMm,
                 bar.modules * layout.moduleWidthMm, bar.rows * layout.rowHeightMm, layout.bar));
    return painted;
}

// Called from the module: nothing may unwind through it.
int append(void* closure, const unsigned char* data, std::size_t size) {
    try {
        auto* out = static_cast<Bytes*>(closure);
        out->insert(out->end(), data, data + size);
        return 0;
    } catch (...) {
        return 1;
    }
}

}  // namespace

Result<Bytes> vectorDocument(const raster::ModuleMatrix& modules, VectorFormat format,
                             const VectorLayout& layout) {
    const std::variant<PagePlan, Error> planned = planPage(modules, layout);
    if (const Error* error = std::get_if<Error>(&planned)) return *error;
    const PagePlan& plan = std::get<PagePlan>(planned);

    const VectorModule& module = vectorModule();
    if (!module.draw)
        return Error{ErrorCode::vectorUnavailable, Setting::none,
                     static_cast<double>(module.availability.state)};
    const std::vector<barquill_vector_area> painted = areas(modules, format, layout, plan);
    // What would be drawn is the symbol, module for module, or nothing is.
    if (const PaintedFault fault = checkPainted(modules, layout, plan, painted); !fault.ok)
        return Error{ErrorCode::notTheSymbol, Setting::none, static_cast<double>(fault.row),
                     static_cast<double>(fault.module)};
    Bytes out;
    const barquill_vector_document document{
        format == VectorFormat::pdf ? BARQUILL_VECTOR_PDF : BARQUILL_VECTOR_EPS,
        plan.pageWidth,
        plan.pageHeight,
        painted.data(),
        painted.size(),
        append,
        &out};
    if (const int status = module.draw(&document); status == BARQUILL_VECTOR_NO_TEMPORARY_FILE) {
        // The system's reason, asked the way the drawing library asked.
        errno = 0;
        std::FILE* probe = std::tmpfile();
        const int reason = probe ? 0 : errno;
        if (probe) std::fclose(probe);
        return Error{ErrorCode::noTemporaryFile, Setting::none, static_cast<double>(reason)};
    } else if (status != 0) {
        return Error{ErrorCode::drawingFailed, Setting::none, static_cast<double>(status)};
    }
    return out;
}

}  // namespace barquill::print
