// SPDX-License-Identifier: MIT
#pragma once
// What a reader needs from the two colours of a symbol, and the colours said
// in words for people who cannot see the swatch.

#include <QString>

#include "app/color_ref.h"

namespace barquill::app {

// Below this contrast ratio (WCAG's relative-luminance ratio) many scanners
// no longer tell bars from spaces reliably.
inline constexpr double MIN_READABLE_CONTRAST = 3.0;

enum class ColourProblem { none, barsLighter, lowContrast };

struct ColourCheck {
    ColourProblem problem = ColourProblem::none;
    double contrast = 0.0;  // 1 (equal colours) to 21 (black on white)
};

ColourCheck checkColours(ColorRef bars, ColorRef background);

// "white, #FFFFFF": the nearest plain colour name and the exact value.
QString colourInWords(ColorRef color);

}  // namespace barquill::app
