// SPDX-License-Identifier: MIT
// A paletted copy of a true-colour picture that uses few colours.

#include <vector>

#include "image/picture.h"

namespace barquill::image {

bool Picture::CreateIndexedCopy(Picture* target) const {
    if (target == nullptr || target == this || !IsValid() || IsIndexed() || AlphaIsValid()) {
        return false;
    }
    const std::int32_t width = GetWidth();
    const std::int32_t height = GetHeight();

    // Colours in order of first appearance, the background first for a symbol.
    std::vector<RgbQuad> colours;
    std::vector<std::uint8_t> indices(static_cast<std::size_t>(width) *
                                      static_cast<std::size_t>(height));
    std::size_t last = 0;
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            const RgbQuad colour = GetPixelColor(x, y, false);
            if (last >= colours.size() || !(colours[last] == colour)) {
                last = 0;
                while (last < colours.size() && !(colours[last] == colour)) ++last;
                if (last == colours.size()) {
                    if (colours.size() == 256) return false;
                    colours.push_back(colour);
                }
            }
            indices[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                    static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(last);
        }
    }

    const std::uint32_t bitsPerPixel = colours.size() <= 2 ? 1 : colours.size() <= 16 ? 4 : 8;
    Picture copy;
    if (copy.Create(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
                    bitsPerPixel, GetType()) == nullptr) {
        return false;
    }
    for (std::size_t i = 0; i < colours.size(); ++i) {
        copy.SetPaletteColor(static_cast<std::uint32_t>(i), colours[i]);
    }
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            copy.SetPixelIndex(
                x, y,
                indices[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                        static_cast<std::size_t>(x)]);
        }
    }
    copy.SetXDPI(GetXDPI());
    copy.SetYDPI(GetYDPI());
    if (IsTransparent()) {
        const RgbQuad transparent = GetTransColor();
        for (std::size_t i = 0; i < colours.size(); ++i) {
            if (colours[i].red == transparent.red && colours[i].green == transparent.green &&
                colours[i].blue == transparent.blue) {
                copy.SetTransIndex(static_cast<std::int32_t>(i));
            }
        }
    }
    return target->Transfer(copy);
}

}  // namespace barquill::image
