// SPDX-License-Identifier: MIT
// The print-ready files: PDF and EPS sized from the render's pixels at its
// resolution, and label and receipt printer commands at its dots.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "lib/internal.h"
#include "print/print.h"
#include "print/vector_module.h"

namespace barquill {

namespace {

const char* settingField(print::Setting setting) {
    switch (setting) {
        case print::Setting::moduleWidth:
            return "moduleWidth";
        case print::Setting::rowHeight:
            return "rowHeight";
        case print::Setting::quietZone:
            return "quietZone";
        case print::Setting::pageWidth:
            return "page.widthMm";
        case print::Setting::pageHeight:
            return "page.heightMm";
        case print::Setting::x:
            return "page.xMm";
        case print::Setting::y:
            return "page.yMm";
        case print::Setting::level:
            return "level";
        case print::Setting::columns:
            return "columns";
        case print::Setting::rows:
            return "rows";
        // The printer's picture, by the measure that is too large.
        case print::Setting::bytesPerRow:
            return "picture.bytesPerRow";
        case print::Setting::dotRows:
            return "picture.dotRows";
        case print::Setting::graphicBytes:
            return "picture.bytes";
        case print::Setting::printWidth:
            return "printWidth";
        case print::Setting::none:
            break;
    }
    return "";
}

// A value with no whole-number form (NaN, an infinity, beyond a long) is
// carried as text: casting it would be undefined.
long wholeNumber(double value) {
    constexpr double limit = 1e15;
    return std::isfinite(value) ? static_cast<long>(std::clamp(value, -limit, limit)) : 0;
}

Error errorOf(const print::Error& e) {
    Error error;
    error.field = settingField(e.setting);
    error.value = wholeNumber(e.value);
    if (!std::isfinite(e.value)) error.given = std::isnan(e.value) ? "NaN" : "infinity";
    error.minimum = wholeNumber(e.minimum);
    error.maximum = wholeNumber(e.maximum);
    switch (e.code) {
        case print::ErrorCode::invalidSetting:
            error.code = ErrorCode::invalidRender;
            break;
        case print::ErrorCode::doesNotFitPage:
            error.code = ErrorCode::notOnPage;
            error.field = "page";
            // Only the side that is past the edge: the other fits.
            if (e.setting == print::Setting::pageWidth || e.setting == print::Setting::x) {
                error.other = "across";
                error.widthMm = e.value;
            } else {
                error.other = "down";
                error.heightMm = e.value;
            }
            break;
        case print::ErrorCode::levelNotExpressible:
            error.code = ErrorCode::notExpressible;
            error.field = "level";
            break;
        case print::ErrorCode::dataTooLong:
            error.code = ErrorCode::notExpressible;
            error.field = "data";
            break;
        case print::ErrorCode::eciNotExpressible:
            error.code = ErrorCode::notExpressible;
            error.field = "eci";
            break;
        case print::ErrorCode::macroNotExpressible:
            error.code = ErrorCode::notExpressible;
            error.field = "macro";
            break;
        case print::ErrorCode::shapeTooLarge:
            error.code = ErrorCode::notExpressible;
            error.field = "shape";
            break;
        case print::ErrorCode::bitmapTooLarge:
            error.code = ErrorCode::notExpressible;
            break;
        case print::ErrorCode::widerThanPrinter:
            error.code = ErrorCode::notOnPage;
            break;
        case print::ErrorCode::notTheSymbol:
            error = {};
            error.code = ErrorCode::notVerified;
            error.mismatch = Mismatch::picture;
            error.row = static_cast<int>(e.value);
            error.module = static_cast<int>(e.minimum);
            error.given = "the document's rectangles are not the symbol's modules (row " +
                          std::to_string(error.row) + ", module " + std::to_string(error.module) +
                          ")";
            break;
        case print::ErrorCode::vectorUnavailable: {
            // The module that draws PDF and EPS, and why it cannot.
            const loader::Availability& module = print::vectorModule().availability;
            error.code = ErrorCode::renderFailed;
            error.field = "format";
            error.path = module.path;
            error.given = module.detail;
            finishMessage(error);
            error.message +=
                ": PDF and EPS need the vector module" +
                (module.path.empty() ? std::string(", which this build lacks")
                                     : " " + module.path + ", which " + loader::reason(module));
            return error;
        }
        case print::ErrorCode::noTemporaryFile: {
            error.code = ErrorCode::renderFailed;
            error.field = "format";
            error.path = P_tmpdir;
            error.value = static_cast<long>(e.value);
            finishMessage(error);
            error.message +=
                ": EPS needs a temporary file in " + error.path + ", which cannot be made" +
                (e.value > 0 ? " (" + std::string(std::strerror(static_cast<int>(e.value))) + ")"
                             : std::string());
            return error;
        }
        default:
            error.code = ErrorCode::renderFailed;
            break;
    }
    finishMessage(error);
    return error;
}

template <class T>
Result<Bytes> bytesOf(print::Result<T>&& result) {
    if (!result) return errorOf(result.error());
    const T& value = result.value();
    return Bytes(value.begin(), value.end());
}

print::NativeSymbol nativeOf(const Symbol& symbol) {
    print::NativeSymbol native;
    native.data = symbol.data();
    native.level = symbol.level();
    native.columns = symbol.columns();
    native.rows = symbol.rows();
    native.truncated = symbol.compact();
    native.eci = symbol.eci();
    native.macro = symbol.macro().has_value();
    return native;
}

// The printer's row height is a whole number of module widths.
int rowModules(const Render& render) {
    return std::max(1, (render.rowHeight + render.moduleWidth / 2) / render.moduleWidth);
}

// The receipt printer's print width in dots: the page's width when one is
// given, else 80 mm paper's 72 mm, at the resolution (203 dpi when none).
long escPosPrintWidth(const Render& render) {
    const int dpi = render.dpi > 0 ? render.dpi : print::ESCPOS_DEFAULT_DPI;
    if (render.page) return units::dotsFromMm(render.page->widthMm, dpi);
    return (print::ESCPOS_DEFAULT_PRINT_WIDTH * dpi + print::ESCPOS_DEFAULT_DPI / 2) /
           print::ESCPOS_DEFAULT_DPI;
}

print::ZplOrigin zplOrigin(const Render& render) {
    if (!render.page || render.dpi == 0) return {};
    return {units::dotsFromMm(render.page->xMm, render.dpi),
            units::dotsFromMm(render.page->yMm, render.dpi)};
}

// The printer draws its own symbol from the origin with no quiet zone, so
// the margin moves the origin; a raster carries it inside its picture.
print::ZplOrigin nativeZplOrigin(const Render& render) {
    const print::ZplOrigin origin = zplOrigin(render);
    return {origin.x + render.quietZone, origin.y + render.quietZone};
}

}  // namespace

Result<Bytes> printFile(const Symbol& symbol, Format format, const Render& render) {
    const raster::ModuleMatrix modules = moduleMatrix(symbol);
    const print::DotGeometry dots{render.moduleWidth, render.rowHeight, render.quietZone};
    switch (format) {
        case Format::pdf:
        case Format::eps: {
            print::VectorLayout layout = print::layoutFromPixels(
                render.moduleWidth, render.rowHeight, render.quietZone, render.dpi);
            layout.bar = {render.bar.red, render.bar.green, render.bar.blue};
            layout.space = {render.space.red, render.space.green, render.space.blue};
            if (render.page) {
                layout.page = print::Page{render.page->widthMm, render.page->heightMm};
                layout.xMm = render.page->xMm;
                layout.yMm = render.page->yMm;
            }
            return bytesOf(print::vectorDocument(
                modules,
                format == Format::pdf ? print::VectorFormat::pdf : print::VectorFormat::eps,
                layout));
        }
        case Format::zpl:
            if (render.printerEncodes)
                return bytesOf(print::zplNative(
                    nativeOf(symbol),
                    {render.moduleWidth, rowModules(render), nativeZplOrigin(render)}));
            return bytesOf(print::zplRaster(modules, dots, zplOrigin(render)));
        default:
            if (render.printerEncodes)
                return bytesOf(print::escPosNative(nativeOf(symbol),
                                                   {render.moduleWidth, rowModules(render)}));
            return bytesOf(print::escPosRaster(modules, dots, escPosPrintWidth(render)));
    }
}

}  // namespace barquill
