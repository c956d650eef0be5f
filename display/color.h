// SPDX-License-Identifier: MIT
#pragma once
// The two colour layouts of the display layer.
//
// ColorRef is how callers name a colour: red in the lowest byte, then green,
// then blue, top byte zero (0x00BBGGRR), the layout of the encoder's job and
// of the colour buttons.
//
// PixelWord is how 32-bit surfaces store a pixel: 0xFFRRGGBB, which is the
// screen-compatible layout (blue, green, red, filler in memory on little-endian
// machines) and also Qt's RGB32 image layout, so a surface can be shown
// without conversion.

#include <cstdint>

namespace barquill::display {

using ColorRef = std::uint32_t;
using PixelWord = std::uint32_t;

// What a pixel read outside a surface reports, as the platform's CLR_INVALID.
inline constexpr ColorRef INVALID_COLOR = 0xFFFFFFFFu;

constexpr ColorRef rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return ColorRef(red) | ColorRef(green) << 8 | ColorRef(blue) << 16;
}
constexpr std::uint8_t redOf(ColorRef c) {
    return std::uint8_t(c);
}
constexpr std::uint8_t greenOf(ColorRef c) {
    return std::uint8_t(c >> 8);
}
constexpr std::uint8_t blueOf(ColorRef c) {
    return std::uint8_t(c >> 16);
}

constexpr PixelWord toPixelWord(ColorRef c) {
    return 0xFF000000u | PixelWord(redOf(c)) << 16 | PixelWord(greenOf(c)) << 8 | blueOf(c);
}
constexpr PixelWord pixelFromBgr(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
    return 0xFF000000u | PixelWord(red) << 16 | PixelWord(green) << 8 | blue;
}
constexpr ColorRef toColorRef(PixelWord p) {
    return rgb(std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p));
}

}  // namespace barquill::display
