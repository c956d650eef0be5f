// SPDX-License-Identifier: MIT
#pragma once
// ^FO's place for a ZPL field, in dots from the label's top left.

#include <optional>

#include "print/print.h"

namespace barquill::print {

inline std::optional<Error> checkZplOrigin(ZplOrigin origin) {
    for (const auto& [setting, value] : {std::pair{Setting::x, origin.x}, {Setting::y, origin.y}})
        if (value < 0 || value > ZPL_MAX_ORIGIN)
            return Error{ErrorCode::invalidSetting, setting, static_cast<double>(value), 0,
                         static_cast<double>(ZPL_MAX_ORIGIN)};
    return std::nullopt;
}

}  // namespace barquill::print
