// SPDX-License-Identifier: MIT
#pragma once
// PDF417 symbol encoder (ISO/IEC 15438): text in, rows of bar and space
// modules out. Plain procedures over one caller-owned record; fixed-capacity
// storage, no heap allocation, no exceptions. Failure is an integer status
// plus a message copied into the job.
//
// Calling order: initSymbolJob on a fresh job; set the options; then
// encodeSymbolJob (zero-terminated text) or encodeSymbolBytes (data that may
// hold NUL bytes). On success the symbol is in rowBits[0 .. rows-1], each row
// `width` characters of '1' (bar) and '0' (space), not zero-terminated.
// A job is built once: call initSymbolJob again before reusing it.
//
// Each call works on its own job and thread-local scratch tables, so several
// threads may encode at once as long as each has its own job.

#include <cstddef>
#include <cstdint>

namespace barquill::encoder {

// Symbol forms.
inline constexpr std::int32_t SYMBOL_FULL =
    55;  // start, left indicator, data, right indicator, stop
inline constexpr std::int32_t SYMBOL_COMPACT = 56;  // start, left indicator, data, one-module bar

// Mode codewords. The three latches also name the run kinds of segmentation,
// and LATCH_TEXT doubles as the padding codeword.
inline constexpr std::int32_t LATCH_TEXT = 900;
inline constexpr std::int32_t LATCH_BYTE = 901;
inline constexpr std::int32_t LATCH_NUMERIC = 902;
inline constexpr std::int32_t SHIFT_BYTE = 913;
inline constexpr std::int32_t LATCH_BYTE6 = 924;

// Capacities of the job and of the working codeword list.
inline constexpr int MAX_ROWS = 90;
inline constexpr int MAX_COLUMNS = 30;
inline constexpr int MIN_ROWS = 3;
inline constexpr int MAX_CODEWORDS = MAX_ROWS * MAX_COLUMNS;  // 2700
inline constexpr int ROW_CAPACITY = 1000;                     // characters per row slot
inline constexpr int MESSAGE_CAPACITY = 100;
inline constexpr int TEXT_CAPACITY = 7000;  // text and its terminator

// Statuses returned by encodeSymbolJob and encodeSymbolBytes.
inline constexpr int STATUS_OK = 0;
inline constexpr int STATUS_WARNING = 2;  // an option was out of range and replaced; symbol built
inline constexpr int STATUS_ERROR = 5;    // no symbol; message holds the reason

// Results of buildSymbol.
inline constexpr int BUILD_OK = 0;
inline constexpr int BUILD_TOO_LONG = 2;       // too many codewords for any symbol
inline constexpr int BUILD_TOO_MANY_ROWS = 4;  // more than 90 rows at the column count

struct SymbolJob {
    std::int32_t variant;      // SYMBOL_FULL or SYMBOL_COMPACT
    std::int32_t width;        // output: modules per row
    std::int32_t rows;         // output: 3 to 90
    std::int32_t columns;      // in/out: data columns 1 to 30, 0 automatic
    std::int32_t ecLevel;      // in/out: error-correction level 0 to 8, -1 automatic
    std::int32_t margin;       // quiet zone in pixels, for the renderer
    std::uint32_t barColor;    // 0x00BBGGRR
    std::uint32_t spaceColor;  // 0x00BBGGRR
    char rowBits[MAX_ROWS][ROW_CAPACITY];
    char message[MESSAGE_CAPACITY];
    char text[TEXT_CAPACITY];
};

// The working list of one build: data codewords first, then (after
// dimensioning) the length descriptor in front, padding and error correction.
// Appenders store at entries[count] while there is room and always advance
// count, so count tells how many codewords the data needs even when that is
// more than the list holds; such a build ends in BUILD_TOO_LONG.
struct CodewordList {
    std::int32_t entries[MAX_CODEWORDS];
    std::int32_t count;
};

// Zeroes the whole job, then sets the defaults: variant 55, ecLevel -1,
// columns 0, margin 6, black bars on white.
void initSymbolJob(SymbolJob* job);

// The same defaults, with the message and text empty, but the row slots
// and the text's bytes after its terminator left as they are: for a job reused by a caller that
// reads only the rows a build reports (rows x width), since clearing the slots (90 KB) costs more
// than building a label and, on a job's first use, faults in every page.
void resetSymbolJob(SymbolJob* job);

// Checks the options (out-of-range level or columns become automatic with a
// warning), builds the symbol from the zero-terminated text and reports:
// 0 built, 2 built after a warning, 5 not built (message says why).
int encodeSymbolJob(SymbolJob* job, const char* text);

// The same for `length` bytes of data, which may hold NUL bytes.
int encodeSymbolBytes(SymbolJob* job, const unsigned char* data, std::size_t length);

// How many data codewords (mode latches and shifts included; no length
// descriptor, padding or error correction) the data compacts into, so that a
// caller can tell how full a symbol is or why data did not fit. -1 for data
// longer than any symbol can hold.
int countDataCodewords(const unsigned char* data, std::size_t length);

// The core, without option checks: BUILD_OK, BUILD_TOO_LONG or
// BUILD_TOO_MANY_ROWS. Expects ecLevel in -1..8 and columns in 0..30.
int buildSymbol(SymbolJob* job, const unsigned char* data, std::size_t length);
int buildSymbol(SymbolJob* job, const char* text);

}  // namespace barquill::encoder
