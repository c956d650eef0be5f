// SPDX-License-Identifier: MIT
#pragma once
// The colours said in words for people who cannot see the swatch. Whether
// they read well is the library's scan check (warnings "contrast" and
// "light-bars").

#include <QString>

#include "app/color_ref.h"

namespace barquill::app {

// "white, #FFFFFF": the nearest plain colour name and the exact value.
QString colourInWords(ColorRef color);

}  // namespace barquill::app
