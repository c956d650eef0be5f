// SPDX-License-Identifier: MIT
#pragma once
// Print-ready documents of one symbol: vector PDF and EPS sized in
// millimetres, and the commands of label printers (ZPL) and receipt
// printers (ESC/POS), either as the printer's own PDF417 command or as the
// symbol's bitmap at printer dots.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/units.h"
#include "print/print_error.h"
#include "raster/symbol_picture.h"

namespace barquill::print {

using Bytes = std::vector<std::uint8_t>;

// ---------------------------------------------------------------------------
// Vector documents

struct Colour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Colour&, const Colour&) = default;
};

struct Page {
    double widthMm = 0;
    double heightMm = 0;
};

inline constexpr Page A4{210.0, 297.0};
inline constexpr Page LETTER{215.9, 279.4};

// The largest page side: 14400 points, the limit PDF readers keep to.
inline constexpr double MAX_PAGE_MM = 14400 * units::mmPerPoint;
// Below this cairo's 1/256-point grid would visibly distort the modules.
inline constexpr double MIN_MODULE_MM = 0.01;

enum class VectorFormat { pdf, eps };

// Sizes in millimetres; the defaults are the default pixel geometry at 72 dpi.
struct VectorLayout {
    double moduleWidthMm = 2 * units::mmPerPoint;
    double rowHeightMm = 4 * units::mmPerPoint;
    double quietZoneMm = 10 * units::mmPerPoint;  // on every side
    Colour bar{0, 0, 0};
    Colour space{255, 255, 255};
    // None: the page is the symbol with its quiet zone.
    std::optional<Page> page{};
    // Where the quiet zone's top left corner lies, from the page's top left.
    double xMm = 0;
    double yMm = 0;
};

// A layout for a caller that knows only pixels: each pixel 1/dpi inch, and
// with no resolution (0) one point, so the document measures what the
// picture would at 72 dpi.
VectorLayout layoutFromPixels(int moduleWidth, int rowHeight, int quietZone, int dpi = 0);

// The PDF or EPS document: bars as filled rectangles, each run of bars in a
// row one rectangle, stretched down over the rows that repeat it. The space
// colour is painted over the symbol and its quiet zone only when it is not
// white; an EPS also paints its whole box white, since its bounding box is
// the extent of what it paints and it is placed over other artwork.
Result<Bytes> vectorDocument(const raster::ModuleMatrix& modules, VectorFormat format,
                             const VectorLayout& layout);

// ---------------------------------------------------------------------------
// Printer bitmaps: the symbol at printer dots, 1 bit a dot, 1 black, the
// left dot in the high bit.

struct DotGeometry {
    int moduleWidth = 2;  // dots, 1 to raster::MAX_MODULE_WIDTH
    int rowHeight = 4;    // dots, 1 to raster::MAX_ROW_HEIGHT
    int quietZone = 10;   // dots on every side, 0 to raster::MAX_MARGIN
};

// ---------------------------------------------------------------------------
// The printer's own PDF417: the printer encodes the data itself.

inline constexpr int AUTOMATIC_LEVEL = -1;
inline constexpr int NO_ECI = -1;

struct NativeSymbol {
    std::span<const std::uint8_t> data{};
    int level = 2;    // 0 to 8; AUTOMATIC_LEVEL is refused: pass the level the encoder chose
    int columns = 0;  // 1 to 30, 0 the printer chooses
    int rows = 0;     // 3 to 90, 0 the printer chooses
    bool truncated = false;
    int eci = NO_ECI;    // any ECI is refused: neither command carries one
    bool macro = false;  // a Macro PDF417 segment is refused likewise
};

// ---------------------------------------------------------------------------
// ZPL: one label, ^XA ... ^XZ, the symbol's top left at ^FO x,y.

inline constexpr int ZPL_MAX_ORIGIN = 32000;
// ^GF counts the picture's bytes in at most five digits.
inline constexpr long ZPL_MAX_GRAPHIC_BYTES = 99999;
inline constexpr std::size_t ZPL_MAX_DATA = 3000;

struct ZplOrigin {
    int x = 0;  // dots, 0 to ZPL_MAX_ORIGIN
    int y = 0;
};

// The symbol and its quiet zone as ^GFA, rows compressed with ZPL's ASCII
// run-length form (see zpl_compression.h).
Result<std::string> zplRaster(const raster::ModuleMatrix& modules, const DotGeometry& geometry,
                              ZplOrigin origin = {});

struct ZplNativeSettings {
    int moduleWidth = 2;  // dots, 2 to 10 (^BY)
    int rowHeight = 3;    // in module widths, 1 to 255 (^B7's row height)
    ZplOrigin origin{};
};

// ^BY and ^B7 with the data in ^FD, escaped through ^FH_. Refuses level 0
// and automatic level (^B7 gives its 0 a meaning of its own, not PDF417's
// level 0), more than ZPL_MAX_DATA bytes, an ECI, a Macro segment and more
// than 928 codewords of columns x rows. An automatic shape leaves ^B7's
// columns or rows empty, for the printer's default.
Result<std::string> zplNative(const NativeSymbol& symbol, const ZplNativeSettings& settings = {});

// ---------------------------------------------------------------------------
// ESC/POS: the commands alone, for the caller to place among a receipt's.

inline constexpr long ESCPOS_MAX_RASTER_SIDE = 65535;
inline constexpr std::size_t ESCPOS_MAX_DATA = 65535 - 3;

// The print width of 80 mm receipt paper at 203 dpi: 72 mm, 576 dots.
inline constexpr long ESCPOS_DEFAULT_PRINT_WIDTH = 576;
inline constexpr int ESCPOS_DEFAULT_DPI = 203;

// GS v 0 with the symbol and its quiet zone; its width in bytes and its
// height in dots are each at most ESCPOS_MAX_RASTER_SIDE. A picture wider
// than `printWidth` dots (0: no limit) is refused, since the printer would
// cut or wrap its rows.
Result<Bytes> escPosRaster(const raster::ModuleMatrix& modules, const DotGeometry& geometry,
                           long printWidth = 0);

struct EscPosNativeSettings {
    int moduleWidth = 3;  // dots, 2 to 8
    int rowHeight = 3;    // in module widths, 2 to 8
};

// GS ( k: columns, rows, module width, row height, level, standard or
// truncated, store the data, print. Refuses automatic level, more than
// ESCPOS_MAX_DATA bytes, an ECI, a Macro segment and more than 928
// codewords of columns x rows.
Result<Bytes> escPosNative(const NativeSymbol& symbol, const EscPosNativeSettings& settings = {});

}  // namespace barquill::print
