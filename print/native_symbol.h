// SPDX-License-Identifier: MIT
#pragma once
// What a printer's own PDF417 command can carry: both ZPL's ^B7 and
// ESC/POS's GS ( k take the data with a level, a shape and truncation, and
// have no field for an ECI or a Macro PDF417 control block.

#include <cstddef>
#include <optional>

#include "print/print.h"

namespace barquill::print {

struct NativeLimits {
    int minimumLevel = 0;  // ^B7 has no level 0
    std::size_t maximumData = 0;
};

// A setting out of range, or what the command cannot express.
std::optional<Error> checkNativeSymbol(const NativeSymbol& symbol, const NativeLimits& limits);

}  // namespace barquill::print
