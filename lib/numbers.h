// SPDX-License-Identifier: MIT
#pragma once
// Numbers and colours as text: one strict rule for every front end that
// takes them as text, whatever the host program's locale.

#include <cstdint>
#include <optional>
#include <string_view>

#include "barquill/render.hpp"

namespace barquill {

// A whole number in [low, high]: decimal digits only, no sign, base prefix or
// space; a leading zero is only a zero (0300 is 300, not octal).
std::optional<long long> parseWholeNumber(std::string_view text, long long low, long long high);

// A length or ratio such as 0.25 or 1: digits with at most one decimal point,
// no sign or exponent.
std::optional<double> parseDecimal(std::string_view text);

// "#RRGGBB" (the # may be left out, as it starts a comment in the shell), or
// a basic colour name such as "black", "navy" or "grey", in any letter case.
std::optional<Rgb> parseColour(std::string_view text);

// Seconds since 1970 UTC from "2026-12-10T14:30:00Z": exactly that form,
// digits where digits belong, and a date that exists.
std::optional<std::int64_t> parseUtcTime(std::string_view text);

}  // namespace barquill
