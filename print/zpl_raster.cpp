// SPDX-License-Identifier: MIT
// ZPL's ^GFA: the symbol's picture in ASCII hexadecimal, compressed.

#include <optional>
#include <string>

#include "print/print.h"
#include "print/printer_bitmap.h"
#include "print/zpl_compression.h"
#include "print/zpl_origin.h"

namespace barquill::print {

Result<std::string> zplRaster(const raster::ModuleMatrix& modules, const DotGeometry& geometry,
                              ZplOrigin origin) {
    if (std::optional<Error> error = checkDotGeometry(modules, geometry)) return *error;
    if (std::optional<Error> error = checkZplOrigin(origin)) return *error;
    const BitmapSize size = bitmapSize(modules, geometry);
    const long total = size.bytesPerRow * size.height;
    if (total > ZPL_MAX_GRAPHIC_BYTES)
        return Error{ErrorCode::bitmapTooLarge, Setting::graphicBytes, static_cast<double>(total),
                     1, static_cast<double>(ZPL_MAX_GRAPHIC_BYTES)};
    const std::optional<PrinterBitmap> bitmap = drawPrinterBitmap(modules, geometry);
    if (!bitmap) return Error{ErrorCode::drawingFailed};

    // ^GFA,total bytes,total bytes again (the two differ only for binary
    // data),bytes per row,data. Uncompressed the data would be twice `total`.
    std::string zpl = "^XA\n^FO" + std::to_string(origin.x) + "," + std::to_string(origin.y) +
                      "^GFA," + std::to_string(total) + "," + std::to_string(total) + "," +
                      std::to_string(size.bytesPerRow) + ",";
    appendCompressedRows(*bitmap, zpl);
    zpl += "^FS\n^XZ\n";
    return zpl;
}

}  // namespace barquill::print
