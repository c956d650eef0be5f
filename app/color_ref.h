// SPDX-License-Identifier: MIT
#pragma once
// Colours as the dialog keeps them, the original's colour-reference layout
// 0x00BBGGRR (red in the lowest byte), and their Qt and library forms.

#include <QColor>
#include <cstdint>

#include "barquill/render.hpp"

namespace barquill::app {

using ColorRef = std::uint32_t;

constexpr int redOf(ColorRef color) {
    return int(color & 0xFF);
}
constexpr int greenOf(ColorRef color) {
    return int((color >> 8) & 0xFF);
}
constexpr int blueOf(ColorRef color) {
    return int((color >> 16) & 0xFF);
}
constexpr ColorRef colorRef(int red, int green, int blue) {
    return ColorRef(red & 0xFF) | ColorRef(green & 0xFF) << 8 | ColorRef(blue & 0xFF) << 16;
}

inline QColor toQColor(ColorRef color) {
    return QColor(redOf(color), greenOf(color), blueOf(color));
}

inline ColorRef toColorRef(const QColor& color) {
    const QColor rgb = color.toRgb();
    return colorRef(rgb.red(), rgb.green(), rgb.blue());
}

inline Rgb toRgb(ColorRef color) {
    return {std::uint8_t(redOf(color)), std::uint8_t(greenOf(color)), std::uint8_t(blueOf(color))};
}

inline ColorRef toColorRef(Rgb color) {
    return colorRef(color.red, color.green, color.blue);
}

}  // namespace barquill::app
