// SPDX-License-Identifier: MIT
#pragma once
// Files read back from their bytes by decoders of their own (libpng's
// reader for PNG), never the writers' code, and compared exactly with the
// picture or the module matrix they must hold: a fault in a writer shows as
// a difference before the file is written.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "verify/verify.h"

namespace barquill::verify {

struct Colour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Colour&, const Colour&) = default;
};

// A raster as a file holds it, top row first.
struct WrittenRaster {
    long width = 0;
    long height = 0;
    // 1: eight pixels a byte, the left one in the high bit, each an index
    // into the palette; 8: a byte a pixel, an index; 24: red, green, blue.
    int bits = 8;
    std::vector<Colour> palette;
    std::size_t stride = 0;
    std::vector<std::uint8_t> pixels;

    Colour colourAt(long x, long y) const;
};

enum class FileKind { png, gif, bmp, svg, zpl, escpos };

// Reads the bytes as a file of `kind` into `raster`: the picture of a PNG,
// GIF or BMP; the drawing of an SVG (its bars on its background, at the
// pixels of its view box); the bitmap of a ZPL ^GFA or an ESC/POS raster
// command, 1 black. False, with `fault` telling why, when the bytes are not
// such a file as the writers write it.
bool decodeWritten(FileKind kind, std::span<const std::uint8_t> bytes, WrittenRaster* raster,
                   std::string* fault);

// The written raster against the picture it was encoded from (OneBit, a
// bar the bit value picture.barBit): the same size, and every pixel the
// colour of its bit. FileDiffers with the first pixel that is not.
Outcome sameAsPicture(const WrittenRaster& written, const PictureView& picture, Colour bar,
                      Colour space);

// The written raster against the module matrix drawn at `layout`, for files
// drawn from the matrix without a picture in between (SVG and the
// printers' bitmaps): its pixels of the bar colour are bars, all others the
// background, and that must sample back exactly (samplesBack). A bitmap
// stored in whole bytes may be wider than the layout by its padding, which
// must be background. PictureSize when the size differs.
Outcome drawnAsMatrix(const WrittenRaster& written, const ModuleView& modules, const Layout& layout,
                      Colour bar);

// The modules of the written raster, one pixel a module (the first of its
// block), a byte each, 1 for a bar: what the reader reads, so that it
// reads the file as written.
std::vector<std::uint8_t> modulesOf(const WrittenRaster& written, const Layout& layout, int rows,
                                    int width, Colour bar);

}  // namespace barquill::verify
