#pragma once
// Building one symbol with the encoder and turning its statuses into
// messages a person can act on.

#include <string>
#include <string_view>
#include <vector>

#include "cli/geometry.h"
#include "encoder/pdf417.h"
#include "encoder/symbol_options.h"

namespace barquill::cli {

struct SymbolOptions {
    int level = -1;   // -1 automatic
    int columns = 0;  // 0 automatic
    bool compact = false;
    encoder::SymbolOptions shape{};  // rows, aspect, filled level, ECI, Macro control
};

struct EncodeOutcome {
    bool built = false;
    std::vector<std::string> warnings;  // the encoder's warning texts, unchanged
    std::vector<std::string> errors;    // why nothing was built and what to change
    encoder::SymbolReport report;       // the encoder's numbers, built or not
};

// Initialises the job, encodes the data into it and reports. Empty data is
// refused ("nothing to encode"): a symbol without data is one readers reject.
EncodeOutcome encodeSymbol(encoder::SymbolJob* job, const SymbolOptions& options,
                           std::string_view data);

// How many data codewords the data compacts to (mode latches included, no
// length descriptor); -1 when the data is longer than the encoder looks at.
int countDataCodewords(std::string_view data);

// The lines -v prints: the symbol's shape, level, capacity used and picture size.
std::vector<std::string> describeSymbol(const encoder::SymbolJob& job, int dataCodewords,
                                        long pictureWidth, long pictureHeight,
                                        const ModuleGeometry& geometry);

}  // namespace barquill::cli
