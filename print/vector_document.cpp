// PDF and EPS through cairo's vector surfaces, written into memory.
//
// Cairo 1.16 writes every solid colour of a PDF as DeviceRGB, black as
// "0 0 0 rg", and has no way to ask for DeviceGray; its PostScript writes
// an achromatic colour as gray ("0 g"), so an EPS's black bars are gray 0.

#include <cairo-pdf.h>
#include <cairo-ps.h>
#include <cairo.h>

#include <memory>
#include <variant>

#include "print/bar_rectangles.h"
#include "print/print.h"
#include "print/vector_layout.h"

namespace barquill::print {

namespace {

constexpr double POINTS_PER_MM = 72.0 / 25.4;
constexpr const char* TITLE = "PDF417 barcode";
constexpr const char* CREATOR = "Barquill";
constexpr Colour WHITE{255, 255, 255};

struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextDeleter {
    void operator()(cairo_t* context) const { cairo_destroy(context); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using Context = std::unique_ptr<cairo_t, ContextDeleter>;

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length) {
    auto* out = static_cast<Bytes*>(closure);
    out->insert(out->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

// The page in points; the document's header is written at creation.
Surface createSurface(VectorFormat format, Bytes* out, const PagePlan& plan) {
    const double width = plan.pageWidth * POINTS_PER_MM;
    const double height = plan.pageHeight * POINTS_PER_MM;
    if (format == VectorFormat::pdf) {
        Surface surface(cairo_pdf_surface_create_for_stream(appendBytes, out, width, height));
        cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_TITLE, TITLE);
        cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATOR, CREATOR);
        return surface;
    }
    Surface surface(cairo_ps_surface_create_for_stream(appendBytes, out, width, height));
    cairo_ps_surface_set_eps(surface.get(), 1);
    // Cairo names itself as the creator; the title is ours to give.
    cairo_ps_surface_dsc_comment(surface.get(), "%%Title: PDF417 barcode");
    return surface;
}

void setColour(cairo_t* context, Colour colour) {
    cairo_set_source_rgb(context, colour.red / 255.0, colour.green / 255.0, colour.blue / 255.0);
}

void fillBox(cairo_t* context, double x, double y, double width, double height) {
    cairo_rectangle(context, x, y, width, height);
    cairo_fill(context);
}

void drawSymbol(cairo_t* context, const raster::ModuleMatrix& modules, VectorFormat format,
                const VectorLayout& layout, const PagePlan& plan) {
    // Cairo's user space is the page in points, y down.
    cairo_scale(context, POINTS_PER_MM, POINTS_PER_MM);
    if (format == VectorFormat::eps) {
        setColour(context, WHITE);
        fillBox(context, 0, 0, plan.pageWidth, plan.pageHeight);
    }
    if (layout.space != WHITE) {
        setColour(context, layout.space);
        fillBox(context, layout.xMm, layout.yMm, plan.boxWidth, plan.boxHeight);
    }
    // Each rectangle is filled on its own: cairo writes a lone rectangle as
    // one short "re", several in one path as four lines each.
    setColour(context, layout.bar);
    const double left = layout.xMm + layout.quietZoneMm;
    const double top = layout.yMm + layout.quietZoneMm;
    for (const BarRectangle& bar : barRectangles(modules))
        fillBox(context, left + bar.module * layout.moduleWidthMm,
                top + bar.row * layout.rowHeightMm, bar.modules * layout.moduleWidthMm,
                bar.rows * layout.rowHeightMm);
}

}  // namespace

Result<Bytes> vectorDocument(const raster::ModuleMatrix& modules, VectorFormat format,
                             const VectorLayout& layout) {
    const std::variant<PagePlan, Error> planned = planPage(modules, layout);
    if (const Error* error = std::get_if<Error>(&planned)) return *error;
    const PagePlan& plan = std::get<PagePlan>(planned);

    Bytes out;
    Surface surface = createSurface(format, &out, plan);
    {
        Context context(cairo_create(surface.get()));
        drawSymbol(context.get(), modules, format, layout, plan);
        if (const cairo_status_t status = cairo_status(context.get());
            status != CAIRO_STATUS_SUCCESS)
            return Error{ErrorCode::drawingFailed, Setting::none, static_cast<double>(status)};
    }
    // Finishing writes the document's trailer into `out`.
    cairo_surface_finish(surface.get());
    if (const cairo_status_t status = cairo_surface_status(surface.get());
        status != CAIRO_STATUS_SUCCESS)
        return Error{ErrorCode::drawingFailed, Setting::none, static_cast<double>(status)};
    return out;
}

}  // namespace barquill::print
