// SPDX-License-Identifier: MIT
// The print-ready files: PDF and EPS sized from the render's pixels at its
// resolution, and label and receipt printer commands at its dots.

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
        case print::Setting::bytesPerRow:
        case print::Setting::dotRows:
        case print::Setting::graphicBytes:
            return "picture";
        case print::Setting::none:
            break;
    }
    return "";
}

Error errorOf(const print::Error& e, const Render& render) {
    Error error;
    error.field = settingField(e.setting);
    error.value = static_cast<long>(e.value);
    error.minimum = static_cast<long>(e.minimum);
    error.maximum = static_cast<long>(e.maximum);
    switch (e.code) {
        case print::ErrorCode::invalidSetting:
            error.code = ErrorCode::invalidRender;
            break;
        case print::ErrorCode::doesNotFitPage:
            error.code = ErrorCode::notOnPage;
            error.field = "page";
            if (render.page) {
                const bool across =
                    e.setting == print::Setting::pageWidth || e.setting == print::Setting::x;
                error.widthMm = across ? e.value : render.page->widthMm;
                error.heightMm = across ? render.page->heightMm : e.value;
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
            error.message += ": PDF and EPS need the vector module" +
                             (module.path.empty() ? std::string(", which this build lacks")
                                                  : " " + module.path) +
                             (module.detail.empty() ? std::string() : " (" + module.detail + ")");
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
Result<Bytes> bytesOf(print::Result<T>&& result, const Render& render) {
    if (!result) return errorOf(result.error(), render);
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

print::ZplOrigin zplOrigin(const Render& render) {
    if (!render.page || render.dpi == 0) return {};
    return {print::dotsFromMm(render.page->xMm, render.dpi),
            print::dotsFromMm(render.page->yMm, render.dpi)};
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
            return bytesOf(print::vectorDocument(modules,
                                                 format == Format::pdf ? print::VectorFormat::pdf
                                                                       : print::VectorFormat::eps,
                                                 layout),
                           render);
        }
        case Format::zpl:
            if (render.printerEncodes)
                return bytesOf(
                    print::zplNative(nativeOf(symbol),
                                     {render.moduleWidth, rowModules(render), zplOrigin(render)}),
                    render);
            return bytesOf(print::zplRaster(modules, dots, zplOrigin(render)), render);
        default:
            if (render.printerEncodes)
                return bytesOf(
                    print::escPosNative(nativeOf(symbol), {render.moduleWidth, rowModules(render)}),
                    render);
            return bytesOf(print::escPosRaster(modules, dots), render);
    }
}

}  // namespace barquill
