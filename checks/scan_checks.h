// SPDX-License-Identifier: MIT
#pragma once
// Scan checks: what about a symbol, or the way it is drawn or printed, makes
// it hard for readers to scan. A pure function of plain facts; a check
// never changes the symbol, it only tells what to change.

#include <string>
#include <vector>

#include "checks/contrast.h"

namespace barquill::checks {

struct SymbolFacts {
    bool compact = false;             // the compact (truncated) form
    int level = 2;                    // error-correction level used
    int dataCodewords = 0;            // compacted data, ECI designator and control block
    int dataColumns = 0;              // data columns, row indicators not counted
    int seriesSymbols = 1;            // symbols of the Macro series; 1 for a lone symbol
    bool nonAsciiWithoutEci = false;  // bytes above 127 and no ECI says how to read them
};

// When printing, one pixel of the picture is one printer dot.
struct PrintFacts {
    int moduleWidthPx = 2;
    int rowHeightPx = 4;
    int quietZonePx = 6;  // on every side
    int dpi = 0;          // 0: shown on a screen, not printed
    Rgb bar{0, 0, 0};
    Rgb space{255, 255, 255};
};

enum class WarningKind : int {
    Compact,     // compact form
    LowLevel,    // level below the recommended minimum for the data
    Wide,        // more data columns than scanners comfortably take in
    ThinModule,  // printed module narrower than a few printer dots
    LowRows,     // printed rows low for their module width
    QuietZone,   // too little space around the symbol
    Contrast,    // bars and spaces too alike in lightness
    LightBars,   // bars lighter than spaces
    NoEci,       // text beyond ASCII without an ECI
    LongSeries,  // more symbols in a series than a person scans comfortably
};

struct Warning {
    WarningKind kind;
    const char* id;      // stable kebab-case name: "compact", "low-level", ...
    double value = 0;    // what the symbol or print has, in the check's unit
    double limit = 0;    // where the check draws the line: the value to reach
    std::string reason;  // one line, with the numbers
    std::string change;  // what to change, one line
};

// The limits the checks draw.
inline constexpr int MAX_COMFORTABLE_COLUMNS = 20;
inline constexpr int MIN_MODULE_DOTS = 3;
inline constexpr int MIN_ROW_HEIGHT_MODULES = 3;
inline constexpr int MIN_QUIET_ZONE_MODULES = 2;
inline constexpr double MIN_CONTRAST_RATIO = 3.0;
inline constexpr int MAX_COMFORTABLE_SERIES = 20;

// The stable name of a kind of warning.
const char* warningId(WarningKind kind);

// Every warning that applies, in the order of WarningKind.
std::vector<Warning> check(const SymbolFacts& symbol, const PrintFacts& print);

}  // namespace barquill::checks
