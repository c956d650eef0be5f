// SPDX-License-Identifier: MIT
#pragma once
// Reading a finished symbol back with an independent reader (zxing-cpp) and
// comparing what it holds with what was asked for, so that a symbol that
// would not scan, or would scan as something else, never leaves the program.
//
// The quick path proves a symbol in two exact steps instead of reading its
// whole picture: the module matrix is checked codeword by codeword (patterns
// of the row's cluster, row indicators, Reed-Solomon syndromes) and read by
// the reader from a raster of one pixel per module; the final picture is
// then checked to sample back to that matrix, pixel block by pixel block.
// The reader lives in a module of its own, loaded on first use.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "loader/module_loader.h"

namespace barquill::verify {

inline constexpr int NO_ECI = -1;
// Designators from here up name no character set (general-purpose and
// user-defined ECIs); the reader does not report them, so a symbol that
// carries one is checked by its bytes alone.
inline constexpr int FIRST_UNREPORTED_ECI = 900;

// The Macro PDF417 fields a reader reports for one symbol of a series.
struct MacroFields {
    int segmentIndex = -1;  // 0-based
    // Expected: -1 when the symbol states no count, and then any count the
    // reader reports (none, or one it infers from a last segment) matches.
    int segmentCount = -1;
    std::string fileId;  // as the reader spells it: each file-id codeword as 3 digits
    bool operator==(const MacroFields&) const = default;
};

// The fields a symbol's control block should read back as.
MacroFields macroFields(int segmentIndex, std::optional<int> segmentCount,
                        const std::vector<std::int32_t>& fileId);

// What the symbol must hold.
struct Expected {
    std::string bytes;                 // the data bytes, after any character-set conversion
    int eci = NO_ECI;                  // the ECI designator in front of them, if any
    std::optional<MacroFields> macro;  // the control block, for a symbol of a Macro series
};

// What the reader found.
struct Reading {
    std::string bytes;
    int eci = NO_ECI;
    std::optional<MacroFields> macro;
};

enum class Mismatch {
    None,         // the symbol reads back as asked
    Unavailable,  // the reader cannot be loaded (see available())
    NotFound,     // the reader found no valid symbol in the raster
    Bytes,        // the data differs
    Eci,          // the ECI designator differs, or is missing or extra
    Macro,        // the Macro fields differ, or are missing or extra
    // The module matrix, before any reader sees it:
    Shape,            // rows or width no PDF417 symbol of that form has
    Guard,            // a row's start or stop pattern is wrong
    Codeword,         // 17 modules that are no codeword of the row's cluster
    RowIndicator,     // a row indicator disagrees with the others or with the shape
    Length,           // the length descriptor does not count the data codewords
    ErrorCorrection,  // a Reed-Solomon syndrome is not zero
    // The final picture against the matrix:
    PictureSize,   // not the matrix's size at the layout
    QuietZone,     // a pixel of the quiet zone is not the background
    RowShifted,    // a symbol row drawn whole modules off its place
    ModuleColour,  // a module's pixel block is not wholly the module's colour
    // The file as written, read back from its bytes:
    FileUnreadable,  // the bytes are not such a file as the writer writes
    FileDiffers,     // a pixel of the file is not the picture's
};

struct Outcome {
    Mismatch mismatch = Mismatch::None;
    Reading read;  // what the reader gave, when it found a symbol
    // Where a matrix or picture check failed: the symbol row and module,
    // and the first wrong pixel; -1 where it does not apply.
    int row = -1;
    int module = -1;
    long x = -1;
    long y = -1;
    bool ok() const { return mismatch == Mismatch::None; }
};

// Whether the reader module can be loaded, and why not. The first call
// loads it (once per process, thread-safe); a program that never reads a
// symbol back never loads the reader or its libraries.
using ReaderState = loader::ModuleState;
using Availability = loader::Availability;

// The module is named by the environment variable BARQUILL_READER when set;
// otherwise it is looked for next to the program or library holding this
// code, in its barquill/ folder, in the installed library folder, and in
// the build tree.
inline constexpr const char* READER_ENVIRONMENT = "BARQUILL_READER";
Availability available();

// A read-only view of a symbol's modules: `rows` rows of `width` bytes,
// `stride` bytes apart; a byte equal to `bar` is a bar. The rasteriser's
// ModuleMatrix holds the same fields, but the check keeps its own reading
// of them: a fault in the drawing's accessor would otherwise be expected by
// the check as well, and pass.
struct ModuleView {
    const std::uint8_t* data = nullptr;
    std::size_t stride = 0;
    int rows = 0;
    int width = 0;
    std::uint8_t bar = 1;

    bool isBar(int row, int module) const {
        return data[static_cast<std::size_t>(row) * stride + static_cast<std::size_t>(module)] ==
               bar;
    }
};

// The grey levels a raster shows bars and background in.
struct Shades {
    std::uint8_t bar = 0;
    std::uint8_t space = 255;
};

// Proves that the matrix holds exactly `expected`: every codeword is exact
// (so the reader had nothing to correct), and the reader reads the data,
// ECI and Macro fields asked for from a small raster of the matrix drawn in
// `shades`, split at mid-grey: bars darker than 128 on a lighter background
// read, anything else is NotFound. `compact`: the form without right
// indicator and stop pattern.
Outcome verifySymbol(const ModuleView& modules, bool compact, const Expected& expected,
                     Shades shades = {});

// How a symbol is drawn: pixels per module across and per row, and the
// quiet zone in pixels on every side.
struct Layout {
    int moduleWidth = 2;
    int rowHeight = 4;
    int margin = 10;
};

enum class PixelFormat {
    OneBit,  // eight pixels a byte, the left one in the high bit
    Grey,    // one byte a pixel
};

// A finished picture, top row first. `stride` is negative for pictures
// stored bottom-up (pass the top row's address). A bar is the bit value
// `barBit` (OneBit) or the level shades.bar (Grey, where a background pixel
// must be shades.space); shades also give the levels a OneBit picture's
// palette shows, for the reader.
struct PictureView {
    const std::uint8_t* top = nullptr;
    std::ptrdiff_t stride = 0;
    long width = 0;
    long height = 0;
    PixelFormat format = PixelFormat::OneBit;
    int barBit = 1;
    Shades shades;
};

// Exact check that the picture is the matrix drawn at `layout`: its size,
// a clean quiet zone, and every module's block wholly the module's colour.
Outcome samplesBack(const PictureView& picture, const ModuleView& modules, const Layout& layout);

// The whole proof for a finished picture: samplesBack, then verifySymbol in
// the picture's shades.
Outcome verifyPicture(const PictureView& picture, const ModuleView& modules, const Layout& layout,
                      bool compact, const Expected& expected);

// Reads the one PDF417 symbol in an 8-bit grey raster (0 black, 255 white,
// top row first) and compares it with `expected`: for callers that have
// only pixels. The reader may correct a few wrong codewords unseen.
Outcome verifyGrey(const std::uint8_t* pixels, int width, int height, int rowStride,
                   const Expected& expected);

// Compares a reading with what was asked; the first difference found, in the
// order bytes, ECI, Macro. An expected designator the reader cannot report
// (FIRST_UNREPORTED_ECI and up) matches a reading without one.
Mismatch compare(const Reading& read, const Expected& expected);

}  // namespace barquill::verify
