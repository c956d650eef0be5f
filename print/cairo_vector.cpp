// SPDX-License-Identifier: MIT
// The vector module: PDF and EPS pages of filled rectangles through cairo's
// vector surfaces, behind the C interface of vector_abi.h.
//
// Cairo 1.16 writes every solid colour of a PDF as DeviceRGB, black as
// "0 0 0 rg", and has no way to ask for DeviceGray; its PostScript writes
// an achromatic colour as gray ("0 g"), so an EPS's black bars are gray 0.

#include <cairo-pdf.h>
#include <cairo-ps.h>
#include <cairo.h>

#include <memory>

#include "base/units.h"
#include "print/vector_abi.h"

#define BARQUILL_VECTOR_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

namespace units = barquill::units;

constexpr const char* TITLE = "PDF417 barcode";
constexpr const char* CREATOR = "Barquill";

struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextDeleter {
    void operator()(cairo_t* context) const { cairo_destroy(context); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using Context = std::unique_ptr<cairo_t, ContextDeleter>;

cairo_status_t passOn(void* closure, const unsigned char* data, unsigned int length) {
    const auto* document = static_cast<const barquill_vector_document*>(closure);
    return document->write(document->closure, data, length) == 0 ? CAIRO_STATUS_SUCCESS
                                                                 : CAIRO_STATUS_WRITE_ERROR;
}

// The page in points; the document's header is written at creation.
Surface createSurface(const barquill_vector_document& document) {
    const double width = document.page_width * units::pointsPerMm;
    const double height = document.page_height * units::pointsPerMm;
    void* closure = const_cast<barquill_vector_document*>(&document);
    if (document.format == BARQUILL_VECTOR_PDF) {
        Surface surface(cairo_pdf_surface_create_for_stream(passOn, closure, width, height));
        cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_TITLE, TITLE);
        cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATOR, CREATOR);
        return surface;
    }
    Surface surface(cairo_ps_surface_create_for_stream(passOn, closure, width, height));
    cairo_ps_surface_set_eps(surface.get(), 1);
    // Cairo names itself as the creator; the title is ours to give.
    cairo_ps_surface_dsc_comment(surface.get(), "%%Title: PDF417 barcode");
    return surface;
}

bool sameColour(const barquill_vector_area& a, const barquill_vector_area& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

// Each rectangle is filled on its own: cairo writes a lone rectangle as one
// short "re", several in one path as four lines each. The colour is set
// only when it changes.
void paint(cairo_t* context, const barquill_vector_document& document) {
    // Cairo's user space is the page in points, y down.
    cairo_scale(context, units::pointsPerMm, units::pointsPerMm);
    for (std::size_t i = 0; i < document.area_count; ++i) {
        const barquill_vector_area& area = document.areas[i];
        if (i == 0 || !sameColour(area, document.areas[i - 1]))
            cairo_set_source_rgb(context, area.red / 255.0, area.green / 255.0, area.blue / 255.0);
        cairo_rectangle(context, area.x, area.y, area.width, area.height);
        cairo_fill(context);
    }
}

int draw(const barquill_vector_document& document) {
    Surface surface = createSurface(document);
    {
        Context context(cairo_create(surface.get()));
        paint(context.get(), document);
        if (const cairo_status_t status = cairo_status(context.get());
            status != CAIRO_STATUS_SUCCESS)
            return status;
    }
    // Finishing writes the document's trailer.
    cairo_surface_finish(surface.get());
    return cairo_surface_status(surface.get());
}

}  // namespace

BARQUILL_VECTOR_EXPORT int barquill_vector_version(void) {
    return BARQUILL_VECTOR_VERSION;
}

BARQUILL_VECTOR_EXPORT int barquill_vector_draw(const barquill_vector_document* document) {
    // Nothing may unwind into a caller that may not share this C++ runtime.
    try {
        // Cairo's PostScript keeps its pages in a temporary file until the
        // end; the caller asks the system why one could not be made.
        const int status = draw(*document);
        return status == CAIRO_STATUS_TEMP_FILE_ERROR ? BARQUILL_VECTOR_NO_TEMPORARY_FILE : status;
    } catch (...) {
        return CAIRO_STATUS_NO_MEMORY;
    }
}
