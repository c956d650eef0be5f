#pragma once
// One run of the tool as the command line asked for it, checked and resolved:
// what to encode, how to draw it and where to write it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/geometry.h"
#include "cli/output_format.h"
#include "cli/symbology.h"

namespace barquill::cli {

inline constexpr int DEFAULT_MARGIN = 10;  // pixels, as in the desktop application

struct Request {
    // The data of a single symbol: the TEXT argument, else the file inputPath,
    // else standard input.
    std::optional<std::string> text;
    std::string inputPath;
    bool escapes = false;       // decode backslash escapes in the data
    bool stripNewline = false;  // drop one trailing line feed (and a CR before it)

    // "-" is standard output; in a batch, a name pattern with a counter.
    std::string outputPath;
    std::optional<OutputFormat> format;  // --format; otherwise each output name decides

    std::int32_t level = -1;   // 0 to 8; -1 automatic
    std::int32_t columns = 0;  // 1 to 30; 0 automatic
    bool compact = false;
    int margin = DEFAULT_MARGIN;
    std::uint32_t barColor = 0x000000;  // 0x00BBGGRR
    std::uint32_t spaceColor = 0xFFFFFF;
    ModuleGeometry geometry;
    SymbologyRequest symbology;  // shape, character set, Macro series

    bool verbose = false;
    bool quiet = false;
    std::vector<std::string> warnings;  // found while parsing; shown unless quiet

    // Batch: a list of items, one per line (or NUL-separated), "-" for
    // standard input.
    std::optional<std::string> batchPath;
    bool batchNul = false;
    int jobs = 0;  // worker threads; 0 means one per core
};

}  // namespace barquill::cli
