// SPDX-License-Identifier: MIT
#pragma once
// Options beyond the job record: the symbol's shape (rows, aspect ratio,
// error correction raised to fill the symbol), an ECI designator and the
// Macro PDF417 control block of one symbol of a series. A caller that gives
// none of them gets exactly the symbol the job record alone describes.
//
// Failures come back as values: a code and the numbers that explain it, so
// that a front end words its own message and never parses the job's text.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "encoder/pdf417.h"

namespace barquill::encoder {

// The largest number of codewords in one symbol, padding and error
// correction included: a Reed-Solomon code over GF(929) is at most 928 long.
inline constexpr int MAX_SYMBOL_CODEWORDS = 928;

// ECI designators (extended channel interpretation). NO_ECI writes none.
inline constexpr int NO_ECI = -1;
inline constexpr int MAX_ECI = 811799;

// Macro PDF417 limits.
inline constexpr int MAX_MACRO_SEGMENTS = 99999;  // segment index 0 .. 99998
inline constexpr int MAX_FILE_ID_CODEWORDS = 30;
inline constexpr std::size_t MAX_MACRO_TEXT = 100;  // characters of a text field

// The control block that makes a symbol one segment of a series:
// 928, the segment index, the file ID, the optional fields, and 922 in the
// last segment. Unset optional fields are not written.
struct MacroControl {
    int segmentIndex = 0;                   // 0-based, 0 .. 99998
    std::vector<std::int32_t> fileId;       // 1 to 30 codewords of 0 .. 899
    bool lastSegment = false;               // writes the terminator 922
    std::optional<int> segmentCount;        // field 1: 1 .. 99999
    std::string fileName;                   // field 0, printable ASCII; empty: none
    std::optional<std::int64_t> timeStamp;  // field 2: seconds since 1970 UTC, >= 0
    std::string sender;                     // field 3
    std::string addressee;                  // field 4
    std::optional<std::int64_t> fileSize;   // field 5: bytes of the whole data, >= 0
    std::optional<std::uint16_t> checksum;  // field 6: macroChecksum of the whole data
};

// How the data is compacted. Automatic chooses text, byte and numeric
// compaction by the characters; Byte puts all of it into one byte run, as
// schemes that prescribe byte compaction require.
enum class Compaction : int {
    Automatic,
    Byte,
};

struct SymbolOptions {
    // 0: the rows follow from the data; 3 to 90: exactly that many rows.
    // With job->columns 0 the fewest columns that fit are taken.
    int rows = 0;
    // 0: no wish; otherwise the printed width : height wanted. The column
    // count whose symbol comes closest is taken (job->columns and rows must
    // be automatic). The module width and row height, in any unit, give
    // the printed proportions of a module.
    double aspect = 0.0;
    int moduleWidth = 2;
    int rowHeight = 4;
    // Once rows and columns are fixed, raise the level to the highest whose
    // error correction still fits, instead of padding.
    bool fillLevel = false;
    // NO_ECI, or 0 .. 811799: the designator written before the data.
    int eci = NO_ECI;
    // Set: this symbol is one segment of a Macro PDF417 series.
    std::optional<MacroControl> macro;
    // Automatic, or Byte for schemes that prescribe byte compaction.
    Compaction compaction = Compaction::Automatic;
};

// Why a build failed. TooLong and ColumnsDoNotFit keep the core results 2
// and 4 of buildSymbol; the job's message for them is the original text.
enum class SymbolError : int {
    None = 0,
    TooLong = 2,          // more than a symbol holds at the level (n > 928)
    ColumnsDoNotFit = 4,  // the given columns need more than 90 rows or 928 codewords
    ShapeDoesNotFit = 6,  // the given rows (and columns) cannot hold the data
    InvalidOption = 7,    // an option of SymbolOptions is out of range
};

// Which option was out of range, for SymbolError::InvalidOption.
enum class SymbolOption : int {
    None = 0,
    Rows,
    Aspect,
    ModuleSize,
    Eci,
    SegmentIndex,
    SegmentCount,
    FileId,
    MacroText,    // a text field: too long or not printable ASCII
    MacroNumber,  // time stamp or file size below 0
};

// What a build did or why it failed. Counts are codewords.
struct SymbolReport {
    SymbolError error = SymbolError::None;
    SymbolOption option = SymbolOption::None;  // InvalidOption: which one
    int dataCodewords = 0;                     // compacted data, ECI designator and control block
    int level = 0;                             // level used or tried
    int errorCorrectionCodewords = 0;
    int needed = 0;     // length descriptor + data + error correction
    int available = 0;  // what the symbol tried holds: 928, or rows x columns
    int rows = 0;       // shape used or tried
    int columns = 0;
    int columnsAtRows = 0;  // ShapeDoesNotFit: columns the data needs at `rows`
    int rowsAtColumns = 0;  // ShapeDoesNotFit / ColumnsDoNotFit: rows needed at `columns`
    std::uint32_t fittingColumns = 0;  // bit c set: c columns would hold the data
    bool ok() const { return error == SymbolError::None; }
};

// The core with options. Expects job->ecLevel in -1..8 and job->columns in
// 0..30 (encodeSymbolBytes checks them). On success the job holds the symbol
// as buildSymbol leaves it; on failure rows, width and rowBits are untouched.
SymbolReport buildSymbol(SymbolJob* job, const unsigned char* data, std::size_t length,
                         const SymbolOptions& options);

// encodeSymbolBytes with options: the same option checks, statuses and
// message texts, and the report (may be null) for the numbers.
int encodeSymbolBytes(SymbolJob* job, const unsigned char* data, std::size_t length,
                      const SymbolOptions& options, SymbolReport* report);

// The data codewords the data compacts into with the options' ECI
// designator and control block; -1 when longer than the encoder looks at.
int countDataCodewords(const unsigned char* data, std::size_t length, const SymbolOptions& options);

// The checksum field's value: CRC-16 with the CCITT polynomial
// x^16 + x^12 + x^5 + 1, initial value 0xFFFF, over the whole data.
std::uint16_t macroChecksum(const unsigned char* data, std::size_t length);

}  // namespace barquill::encoder
