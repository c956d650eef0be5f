// SPDX-License-Identifier: MIT
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "image/picture.h"

namespace barquill::image {

std::uint8_t Picture::GetPixelIndex(std::int32_t x, std::int32_t y) const {
    if (dib == nullptr || header.biClrUsed == 0) return 0;
    if (!IsInside(x, y)) {
        if (imageInfo.transIndex != -1) return static_cast<std::uint8_t>(imageInfo.transIndex);
        return *GetBits(0);
    }
    const std::uint8_t* row = GetBits(0) + static_cast<std::size_t>(y) * imageInfo.effWidth;
    switch (header.biBitCount) {
        case 8:
            return row[x];
        case 4:
            return static_cast<std::uint8_t>((row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F);
        default:
            return static_cast<std::uint8_t>((row[x >> 3] >> (7 - (x & 7))) & 1);
    }
}

void Picture::SetPixelIndex(std::int32_t x, std::int32_t y, std::uint8_t index) {
    if (dib == nullptr || header.biClrUsed == 0 || !IsInside(x, y)) return;
    std::uint8_t* row = GetBits(0) + static_cast<std::size_t>(y) * imageInfo.effWidth;
    switch (header.biBitCount) {
        case 8:
            row[x] = index;
            break;
        case 4: {
            const int shift = (x & 1) ? 0 : 4;
            row[x >> 1] = static_cast<std::uint8_t>((row[x >> 1] & ~(0x0F << shift)) |
                                                    (index & 0x0F) << shift);
            break;
        }
        default: {
            const int shift = 7 - (x & 7);
            row[x >> 3] =
                static_cast<std::uint8_t>((row[x >> 3] & ~(1 << shift)) | (index & 1) << shift);
            break;
        }
    }
}

RgbQuad Picture::GetPixelColor(std::int32_t x, std::int32_t y, bool withAlpha) const {
    if (dib == nullptr || !IsInside(x, y)) {
        if (imageInfo.transIndex != -1) {
            if (header.biBitCount < 24)
                return GetPaletteColor(static_cast<std::uint32_t>(imageInfo.transIndex));
            return imageInfo.transColor;
        }
        if (dib == nullptr) return imageInfo.transColor;
        return GetPixelColor(0, 0, withAlpha);
    }
    RgbQuad colour;
    if (header.biClrUsed != 0) {
        colour = GetPaletteColor(GetPixelIndex(x, y));
    } else {
        const std::uint8_t* pixel = GetBits(0) + static_cast<std::size_t>(y) * imageInfo.effWidth +
                                    3 * static_cast<std::size_t>(x);
        colour = RgbQuad{pixel[0], pixel[1], pixel[2], imageInfo.transColor.reserved};
    }
    if (withAlpha && alphaPlane != nullptr) colour.reserved = AlphaGet(x, y);
    return colour;
}

void Picture::RGBtoBGR(std::uint8_t* buffer, std::uint32_t length) const {
    if (dib == nullptr || header.biClrUsed != 0 || buffer == nullptr) return;
    const std::uint32_t limit = std::min(length, imageInfo.effWidth);
    // Only whole groups inside the buffer, even when the row padding leaves
    // a partial one at the end.
    for (std::uint32_t i = 0; i < limit && i + 2 < length; i += 3)
        std::swap(buffer[i], buffer[i + 2]);
}

bool Picture::AlphaCreate() {
    if (dib == nullptr) return false;
    if (alphaPlane != nullptr) return true;
    const std::size_t bytes = PixelCount();
    alphaPlane = static_cast<std::uint8_t*>(std::malloc(bytes));
    if (alphaPlane == nullptr) return false;
    std::memset(alphaPlane, 255, bytes);
    return true;
}

void Picture::AlphaDelete() {
    if (alphaPlane == nullptr) return;
    // A ghost never frees the plane it borrows, only one it made itself.
    if (imageInfo.ghost == nullptr || imageInfo.ghost->alphaPlane != alphaPlane)
        std::free(alphaPlane);
    alphaPlane = nullptr;
}

std::uint8_t Picture::AlphaGet(std::int32_t x, std::int32_t y) const {
    if (alphaPlane == nullptr || !IsInside(x, y)) return 0;
    return alphaPlane[static_cast<std::size_t>(x) +
                      static_cast<std::size_t>(y) * static_cast<std::size_t>(header.biWidth)];
}

void Picture::AlphaSet(std::int32_t x, std::int32_t y, std::uint8_t level) {
    if (alphaPlane == nullptr || !IsInside(x, y)) return;
    alphaPlane[static_cast<std::size_t>(x) +
               static_cast<std::size_t>(y) * static_cast<std::size_t>(header.biWidth)] = level;
}

}  // namespace barquill::image
