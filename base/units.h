// SPDX-License-Identifier: MIT
#pragma once
// Millimetres, printer dots and points: the one conversion every writer,
// check and front end uses, so that a module asked for in millimetres is
// the same whole number of dots in every format.

#include <climits>
#include <cmath>

namespace barquill::units {

inline constexpr double mmPerInch = 25.4;
inline constexpr double pointsPerInch = 72.0;
inline constexpr double mmPerPoint = mmPerInch / pointsPerInch;
inline constexpr double pointsPerMm = pointsPerInch / mmPerInch;

// The nearest whole number of dots, a half rounding up. A billionth of a dot
// is added because the binary product can fall a hair short of a half that
// is exact in decimal (2.667 mm at 300 dpi is 31.5 dots, computed as
// 31.499999999999996), and the same millimetres must give the same dots
// whichever way a caller's arithmetic rounded. Out of int's range, or not
// a number, becomes INT_MAX (INT_MIN below), which every size check refuses.
inline int dotsFromMm(double mm, int dpi) {
    const double dots = std::floor(mm * dpi / mmPerInch + 0.5 + 1e-9);
    if (dots < INT_MIN) return INT_MIN;
    if (!(dots <= INT_MAX)) return INT_MAX;
    return static_cast<int>(dots);
}

// The length of `dots` at `dpi`; nothing (0) without a resolution.
inline double mmFromDots(double dots, int dpi) {
    return dpi > 0 ? dots * mmPerInch / dpi : 0.0;
}

}  // namespace barquill::units
