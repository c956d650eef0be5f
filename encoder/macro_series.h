// SPDX-License-Identifier: MIT
#pragma once
// Splitting data over a Macro PDF417 series: numbered symbols of one size,
// each holding a slice of the data and its control block, which a reader
// puts back together.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "encoder/symbol_options.h"

namespace barquill::encoder {

// What the caller asks of a series. Unset fields are not written.
struct MacroSeriesOptions {
    int segments = 0;                  // 0: as few as hold the data; else exactly 1 .. 99999
    std::vector<std::int32_t> fileId;  // empty: derived from the data (same data, same ID)
    std::string fileName;
    std::string sender;
    std::string addressee;
    std::optional<std::int64_t> timeStamp;
    bool fileSize = false;  // write the data's size
    bool checksum = false;  // write macroChecksum of the data
};

// One symbol of the series: its slice of the data and its control block.
struct MacroSegment {
    std::size_t offset = 0;
    std::size_t length = 0;
    MacroControl control;
};

// The plan of a series. Build segment i with a job whose ecLevel, columns
// are `level` and `columns`, and options.rows = `rows`, options.macro =
// segments[i].control (plus the caller's eci, compaction and variant):
// every segment then has the same size, chosen for the largest.
struct MacroSeries {
    std::vector<MacroSegment> segments;
    int level = 0;
    int columns = 0;
    int rows = 0;
    // Not ok: why no series was planned (the numbers are those of the
    // largest segment at the count tried, or the option that is wrong).
    SymbolReport report;
};

// Plans the series for `data` with the job's level and columns (-1 / 0
// automatic) and the shape options (rows, aspect, fillLevel, eci,
// compaction; its macro is ignored). A slice never ends inside a UTF-8
// character when the ECI is 26, or inside a UTF-16 code unit when it is 25.
MacroSeries planMacroSeries(const unsigned char* data, std::size_t length, int ecLevel, int columns,
                            const SymbolOptions& shape, const MacroSeriesOptions& options);

// The file ID derived from the data: three codewords from a hash of it.
std::vector<std::int32_t> defaultFileId(const unsigned char* data, std::size_t length);

}  // namespace barquill::encoder
