// SPDX-License-Identifier: MIT
#pragma once
// Numbers in messages for people: at most two decimals, trailing zeros
// dropped (0.51 mm, 1.5 module widths, 3 dots), whatever the host's locale.
// A length worked out in binary, 0.5079999999999999 mm, reads as the
// 0.51 mm a person would write.

#include <charconv>
#include <string>
#include <system_error>

namespace barquill {

inline std::string numberText(double value, int decimals = 2) {
    char text[64];
    auto [end, failed] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    // Too long for fixed notation: a number no message has a use for in
    // full, shown in its shortest form.
    if (failed != std::errc())
        return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
    std::string number(text, end);
    if (number.find('.') != std::string::npos) {
        while (number.back() == '0') number.pop_back();
        if (number.back() == '.') number.pop_back();
    }
    return number == "-0" ? "0" : number;
}

// A value beside the limit it missed, with as many more decimals as it takes
// not to read as the limit: 0.1695 mm is "0.1695", not "0.17", when it is
// narrower than 0.17 mm.
inline std::string numberTextBeside(double value, double limit) {
    const std::string shown = numberText(limit);
    for (int decimals = 2; decimals < 6; ++decimals)
        if (value == limit || numberText(value, decimals) != shown)
            return numberText(value, decimals);
    return numberText(value, 6);
}

}  // namespace barquill
