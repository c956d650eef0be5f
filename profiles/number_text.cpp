// SPDX-License-Identifier: MIT
#include "profiles/number_text.h"

#include <charconv>

namespace barquill::profiles {

std::string numberText(double value) {
    char digits[64];
    const auto end = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, end.ptr);
}

}  // namespace barquill::profiles
