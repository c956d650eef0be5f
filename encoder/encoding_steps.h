// SPDX-License-Identifier: MIT
#pragma once
// The steps of buildSymbol, for the encoder's own files and its tests.

#include <array>
#include <cstddef>
#include <cstdint>

#include "encoder/pdf417.h"
#include "encoder/symbol_options.h"

namespace barquill::encoder {

// Longest input the encoder looks at. Even the densest mode (44 digits in 15
// codewords) needs more codewords than a length descriptor can count for a
// longer text, so anything longer is refused before segmentation.
inline constexpr std::size_t MAX_INPUT_LENGTH = TEXT_CAPACITY - 1;

// The largest length descriptor: it must itself be a codeword value.
inline constexpr int MAX_CODEWORD_VALUE = 928;

// ---- Segmentation -------------------------------------------------------

// One run per input character at most, so the table never fills.
inline constexpr int RUN_CAPACITY = static_cast<int>(MAX_INPUT_LENGTH);

struct RunTable {
    int lengths[RUN_CAPACITY];
    int kinds[RUN_CAPACITY];  // LATCH_TEXT, LATCH_BYTE or LATCH_NUMERIC
    int count;
};

int classifyChar(unsigned char c);
// Splits data[0 .. length-1] (length at most MAX_INPUT_LENGTH) into runs and
// refines them.
void segmentText(RunTable* table, const unsigned char* data, std::size_t length);
void refineRuns(RunTable* table);
void mergeRuns(RunTable* table);
// Appends the data codewords of every run, in input order.
void compactRuns(const RunTable* table, const unsigned char* data, CodewordList* list);

// ---- Compaction ---------------------------------------------------------

inline constexpr int SUBMODE_ALPHA = 1;
inline constexpr int SUBMODE_LOWER = 2;
inline constexpr int SUBMODE_MIXED = 4;
inline constexpr int SUBMODE_PUNCT = 8;

// Indexed by character code minus 32, for codes 32 to 126.
extern const int textSubmodes[95];
extern const int textValues[95];

// Appends a codeword, or only counts it when the list is full.
inline void appendCodeword(CodewordList* list, std::int32_t codeword) {
    if (list->count < MAX_CODEWORDS) list->entries[list->count] = codeword;
    ++list->count;
}

void compactText(CodewordList* list, const unsigned char* data, int start, int length,
                 int runIndex);
// previousKind is the kind of the run before (0 for the first run): a lone
// byte may only be shifted in from text compaction.
void compactBytes(CodewordList* list, const unsigned char* data, int start, int length,
                  int previousKind);
void compactNumeric(CodewordList* list, const unsigned char* data, int start, int length);

// ---- Dimensioning and error correction ----------------------------------

// Levels 0 to 8 one after another; level L has 2^(L+1) entries from index
// 2^(L+1) - 2.
extern const std::array<std::int32_t, 1022> ecCoefficients;

// Chooses level and columns, tests the limits, pads and puts the length
// descriptor in front. Returns BUILD_OK, BUILD_TOO_LONG or BUILD_TOO_MANY_ROWS.
int dimensionSymbol(SymbolJob* job, CodewordList* list);

// The level, rows and columns of a symbol of `dataCodewords` at the job's
// level (-1 automatic) and columns (0 automatic), or why none fits.
SymbolReport chooseShape(int dataCodewords, int ecLevel, int columns, int variant,
                         const SymbolOptions& options);

// dimensionSymbol with options and a trailer (the Macro control block)
// that goes after the padding, last before the error correction.
SymbolReport dimensionSymbol(SymbolJob* job, CodewordList* list, const SymbolOptions& options,
                             const std::int32_t* trailer, int trailerCount);

// ---- ECI and Macro PDF417 -----------------------------------------------

inline constexpr std::int32_t ECI_GENERAL = 926;  // two codewords: 900 .. 810899
inline constexpr std::int32_t ECI_USER = 925;     // one codeword: 810900 .. 811799
inline constexpr std::int32_t ECI_CHARSET = 927;  // one codeword: 0 .. 899
inline constexpr std::int32_t MACRO_BEGIN = 928;
inline constexpr std::int32_t MACRO_OPTIONAL_FIELD = 923;
inline constexpr std::int32_t MACRO_TERMINATOR = 922;

// Appends the designator of ECI number `eci` (0 .. 811799).
void appendEci(CodewordList* list, int eci);

// Which option of `options` is out of range, or SymbolOption::None.
SymbolOption invalidOption(const SymbolOptions& options);

// The control block's codewords (the options already checked).
std::vector<std::int32_t> macroControlBlock(const MacroControl& control);
// Appends the 2^(ecLevel+1) Reed-Solomon codewords over list->entries[0 .. count-1].
void appendErrorCorrection(CodewordList* list, int ecLevel);

// ---- Row assembly -------------------------------------------------------

// The 17-module pattern of codeword v in table block b (clusters 0, 3, 6) is
// codewordPatterns[b * 929 + v], module 1 in bit 16, '1' bits for bars.
extern const std::uint32_t codewordPatterns[3 * 929];

inline constexpr std::uint32_t START_PATTERN = 0b11111111010101000;  // 17 modules
inline constexpr std::uint32_t STOP_PATTERN = 0b111111101000101001;  // 18 modules

// What the row indicators of row `row` tell a reader: the rows, the level
// and the columns, two of the three at each end, by the row's cluster.
struct RowIndicators {
    int left;
    int right;
};

inline RowIndicators rowIndicators(int row, int rows, int columns, int ecLevel) {
    const int rowsInfo = (rows - 1) / 3;
    const int levelInfo = 3 * ecLevel + (rows - 1) % 3;
    const int columnsInfo = columns - 1;
    const int base = 30 * (row / 3);
    switch (row % 3) {
        case 0:
            return {base + rowsInfo, base + columnsInfo};
        case 1:
            return {base + levelInfo, base + rowsInfo};
        default:
            return {base + columnsInfo, base + levelInfo};
    }
}

// Writes every row into job->rowBits and sets job->rows and job->width.
void assembleRows(SymbolJob* job, const CodewordList* list);

}  // namespace barquill::encoder
