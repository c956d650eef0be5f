// SPDX-License-Identifier: MIT
#include "print/printer_bitmap.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "image/picture.h"

namespace barquill::print {

namespace {

std::optional<Error> checkRange(Setting setting, int value, int minimum, int maximum) {
    if (value >= minimum && value <= maximum) return std::nullopt;
    return Error{ErrorCode::invalidSetting, setting, static_cast<double>(value),
                 static_cast<double>(minimum), static_cast<double>(maximum)};
}

raster::DrawOptions drawOptions(const DotGeometry& geometry) {
    raster::DrawOptions options;
    options.geometry.moduleWidth = geometry.moduleWidth;
    options.geometry.rowHeight = geometry.rowHeight;
    options.margin = geometry.quietZone;
    return options;
}

}  // namespace

std::optional<Error> checkDotGeometry(const raster::ModuleMatrix& modules,
                                      const DotGeometry& geometry) {
    if (modules.rows <= 0 || modules.width <= 0) return Error{ErrorCode::emptySymbol};
    const std::optional<Error> checks[] = {
        checkRange(Setting::moduleWidth, geometry.moduleWidth, 1, raster::MAX_MODULE_WIDTH),
        checkRange(Setting::rowHeight, geometry.rowHeight, 1, raster::MAX_ROW_HEIGHT),
        checkRange(Setting::quietZone, geometry.quietZone, 0, raster::MAX_MARGIN),
    };
    for (const std::optional<Error>& error : checks)
        if (error) return error;
    return std::nullopt;
}

BitmapSize bitmapSize(const raster::ModuleMatrix& modules, const DotGeometry& geometry) {
    const raster::PictureSize size = raster::pictureSize(modules, drawOptions(geometry));
    return {size.width, size.height, (size.width + 7) / 8};
}

std::optional<PrinterBitmap> drawPrinterBitmap(const raster::ModuleMatrix& modules,
                                               const DotGeometry& geometry) {
    // The picture's index 1 is the bar colour, so its bits are already the
    // printers' 1 for black; its rows run bottom-up, four-byte aligned.
    image::Picture picture;
    if (!raster::drawSymbol(modules, drawOptions(geometry), &picture)) return std::nullopt;
    PrinterBitmap bitmap;
    bitmap.size = bitmapSize(modules, geometry);
    const auto rowBytes = static_cast<std::size_t>(bitmap.size.bytesPerRow);
    bitmap.bits.resize(rowBytes * static_cast<std::size_t>(bitmap.size.height));
    const auto height = static_cast<std::uint32_t>(bitmap.size.height);
    for (std::uint32_t y = 0; y < height; ++y)
        std::copy_n(picture.GetBits(height - 1 - y), rowBytes, bitmap.bits.data() + y * rowBytes);
    return bitmap;
}

}  // namespace barquill::print
