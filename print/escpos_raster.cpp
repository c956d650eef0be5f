// SPDX-License-Identifier: MIT
// ESC/POS's raster bit image, GS v 0 m xL xH yL yH d...: the width in
// bytes and the height in dots, each little-endian in two bytes.

#include <optional>

#include "print/print.h"
#include "print/printer_bitmap.h"

namespace barquill::print {

namespace {

constexpr std::uint8_t GS = 0x1D;
constexpr std::uint8_t NORMAL_SIZE = 0;  // m: neither doubled in width nor height

void appendLittleEndian16(Bytes& out, long value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

std::optional<Error> checkSide(Setting setting, long value) {
    if (value <= ESCPOS_MAX_RASTER_SIDE) return std::nullopt;
    return Error{ErrorCode::bitmapTooLarge, setting, static_cast<double>(value), 1,
                 static_cast<double>(ESCPOS_MAX_RASTER_SIDE)};
}

}  // namespace

Result<Bytes> escPosRaster(const raster::ModuleMatrix& modules, const DotGeometry& geometry,
                           long printWidth) {
    if (std::optional<Error> error = checkDotGeometry(modules, geometry)) return *error;
    const BitmapSize size = bitmapSize(modules, geometry);
    if (std::optional<Error> error = checkSide(Setting::bytesPerRow, size.bytesPerRow))
        return *error;
    if (std::optional<Error> error = checkSide(Setting::dotRows, size.height)) return *error;
    if (printWidth > 0 && size.width > printWidth)
        return Error{ErrorCode::widerThanPrinter, Setting::printWidth,
                     static_cast<double>(size.width), 1, static_cast<double>(printWidth)};
    const std::optional<PrinterBitmap> bitmap = drawPrinterBitmap(modules, geometry);
    if (!bitmap) return Error{ErrorCode::drawingFailed};

    Bytes out;
    out.reserve(8 + bitmap->bits.size());
    out.insert(out.end(), {GS, 'v', '0', NORMAL_SIZE});
    appendLittleEndian16(out, size.bytesPerRow);
    appendLittleEndian16(out, size.height);
    out.insert(out.end(), bitmap->bits.begin(), bitmap->bits.end());
    return out;
}

}  // namespace barquill::print
