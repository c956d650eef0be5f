// SPDX-License-Identifier: MIT
#pragma once
// Contrast between two colours as the Web Content Accessibility Guidelines
// define it: relative luminance of sRGB, and the ratio (L1 + 0.05) / (L2 + 0.05).

#include <cstdint>

namespace barquill::checks {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

// 0 for black to 1 for white.
double relativeLuminance(Rgb colour);

// 1 (no contrast) to 21 (black on white), whichever colour is lighter.
double contrastRatio(Rgb a, Rgb b);

// The grey, 0 to 255, that a reader seeing in grey takes the colour for
// (ITU-R BT.601 luma, rounded): what the picture's read-back compares.
std::uint8_t greyLevel(Rgb colour);

// The darkest grey a reader taking a fixed middle threshold still sees as
// background; below it, the background reads as bars.
inline constexpr std::uint8_t MIN_BACKGROUND_GREY = 128;

}  // namespace barquill::checks
