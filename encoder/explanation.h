// SPDX-License-Identifier: MIT
#pragma once
// How data became a symbol: the compaction segments, every codeword in
// symbol order with what it means, the shape, the error correction and the
// row indicators. Built by the same steps as buildSymbol, which report what
// they write, so the codewords are exactly those of the symbol.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "encoder/pdf417.h"
#include "encoder/symbol_options.h"

namespace barquill::encoder {

enum class CompactionMode : int {
    Text,
    Byte,
    Numeric,
};

// A stretch of the data that one compaction mode carries. The segments
// follow each other and cover every byte of the data once; empty data is
// one byte segment of no bytes.
struct Segment {
    CompactionMode mode = CompactionMode::Text;
    std::size_t offset = 0;
    std::size_t length = 0;
};

enum class TextSubmode : int {
    Alpha,
    Lower,
    Mixed,
    Punctuation,
};

enum class TextValueKind : int {
    Character,  // the character at `offset`, in `submode`
    Latch,      // to `submode` until the next latch
    Shift,      // to `submode` for the next character only
    Padding,    // fills the last codeword of an odd number of values
};

// One of the two values 0 .. 29 of a text compaction codeword.
struct TextValue {
    int value = 0;
    TextValueKind kind = TextValueKind::Character;
    TextSubmode submode = TextSubmode::Alpha;
    std::size_t offset = 0;  // Character only
};

enum class CodewordRole : int {
    LengthDescriptor,   // counts itself, the data, padding and control block
    Latch,              // to `mode` (900 text, 901 or 924 byte, 902 numeric)
    Shift,              // 913: the next codeword is one byte
    Text,               // two text values
    Byte,               // part `part` of the bytes [offset, offset + length)
    Numeric,            // part `part` of the digits [offset, offset + length)
    Padding,            // 900, fills the last rows
    Eci,                // 925, 926 or 927: an ECI designator for `number`
    EciNumber,          // part `part` of the ECI number `number`
    MacroMarker,        // 928: the Macro PDF417 control block begins
    MacroSegmentIndex,  // part `part` of segment index `number`
    MacroFileId,        // part `part` of the file ID
    MacroField,         // 923: an optional field follows
    MacroFieldId,       // the field's designator `number`
    MacroFieldData,     // part `part` of field `number`'s content
    MacroTerminator,    // 922: the last segment of the series
    ErrorCorrection,    // Reed-Solomon codeword `part` of `parts`
};

struct ExplainedCodeword {
    std::int32_t value = 0;
    CodewordRole role = CodewordRole::Padding;
    CompactionMode mode = CompactionMode::Text;  // Latch, Shift, Text, Byte, Numeric
    // Byte, Numeric: the data the codeword's group carries.
    std::size_t offset = 0;
    std::size_t length = 0;
    // Codewords that carry one thing together (a byte or digit group, an
    // ECI number, a control field): this is `part` of `parts`, from 0.
    int part = 0;
    int parts = 1;
    int number = 0;  // Eci, EciNumber, MacroSegmentIndex, MacroFieldId, MacroFieldData
    TextValue textValues[2] = {};  // Text
};

// The row indicators at the ends of a row; the compact form has no right one.
struct RowIndicatorPair {
    int left = 0;
    std::optional<int> right;
};

struct Explanation {
    SymbolReport report;  // not ok: nothing below is filled but the data
    std::vector<std::uint8_t> data;
    std::vector<Segment> segments;
    std::vector<ExplainedCodeword> codewords;  // symbol order, row by row
    int rows = 0;
    int columns = 0;
    bool compact = false;
    int level = 0;
    int errorCorrectionCodewords = 0;
    int lengthDescriptor = 0;
    int dataCodewords = 0;  // compacted data, ECI designator and control block
    int paddingCodewords = 0;
    int capacityLeft = 0;  // data codewords that would still fit this symbol
    std::vector<RowIndicatorPair> rowIndicators;
    bool ok() const { return report.ok(); }
};

// Builds the symbol into the job exactly as buildSymbol does (the job's
// ecLevel, columns and variant; ecLevel in -1..8, columns in 0..30) and
// explains it.
Explanation explainSymbol(SymbolJob* job, const unsigned char* data, std::size_t length,
                          const SymbolOptions& options);

// The same with a job of its own: level -1 and columns 0 are automatic.
Explanation explainSymbol(const unsigned char* data, std::size_t length, int ecLevel, int columns,
                          bool compact, const SymbolOptions& options);

}  // namespace barquill::encoder
