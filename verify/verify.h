#pragma once
// Reading a finished symbol back with an independent reader (zxing-cpp) and
// comparing what it holds with what was asked for, so that a symbol that
// would not scan, or would scan as something else, never leaves the program.

#include <cstdint>
#include <optional>
#include <string>

namespace barquill::verify {

inline constexpr int NO_ECI = -1;
// Designators from here up name no character set (general-purpose and
// user-defined ECIs); the reader does not report them, so a symbol that
// carries one is checked by its bytes alone.
inline constexpr int FIRST_UNREPORTED_ECI = 900;

// The Macro PDF417 fields a reader reports for one symbol of a series.
struct MacroFields {
    int segmentIndex = -1;  // 0-based
    int segmentCount = -1;  // -1 when the symbol does not say
    std::string fileId;     // as the reader spells it: each file-id codeword as 3 digits
    bool operator==(const MacroFields&) const = default;
};

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
    Unavailable,  // this build has no reader
    NotFound,     // the reader found no valid symbol in the raster
    Bytes,        // the data differs
    Eci,          // the ECI designator differs, or is missing or extra
    Macro,        // the Macro fields differ, or are missing or extra
};

struct Outcome {
    Mismatch mismatch = Mismatch::None;
    Reading read;  // what the reader gave, when it found a symbol
    bool ok() const { return mismatch == Mismatch::None; }
};

// True when the program was built with the reader.
bool available();

// Reads the one PDF417 symbol in an 8-bit grey raster (0 black, 255 white,
// top row first) and compares it with `expected`.
Outcome verifyGrey(const std::uint8_t* pixels, int width, int height, int rowStride,
                   const Expected& expected);

// Compares a reading with what was asked; the first difference found, in the
// order bytes, ECI, Macro. An expected designator the reader cannot report
// (FIRST_UNREPORTED_ECI and up) matches a reading without one.
Mismatch compare(const Reading& read, const Expected& expected);

}  // namespace barquill::verify
