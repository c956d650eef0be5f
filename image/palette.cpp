// SPDX-License-Identifier: MIT
#include <algorithm>
#include <cstring>

#include "image/picture.h"

namespace barquill::image {

namespace {

RgbQuad readEntry(const std::uint8_t* entry) {
    return RgbQuad{entry[0], entry[1], entry[2], entry[3]};
}

void writeEntry(std::uint8_t* entry, RgbQuad colour) {
    entry[0] = colour.blue;
    entry[1] = colour.green;
    entry[2] = colour.red;
    entry[3] = colour.reserved;
}

}  // namespace

std::uint32_t Picture::GetPaletteSize() const {
    return dib != nullptr ? 4 * header.biClrUsed : 0;
}

std::uint8_t* Picture::GetPalette() const {
    if (dib == nullptr || header.biClrUsed == 0) return nullptr;
    return dib + BITMAP_INFO_HEADER_SIZE;
}

RgbQuad Picture::GetPaletteColor(std::uint32_t index) const {
    const std::uint8_t* palette = GetPalette();
    if (palette == nullptr || index >= header.biClrUsed) return RgbQuad{};
    return readEntry(palette + 4 * index);
}

bool Picture::GetPaletteColor(std::uint32_t index, std::uint8_t* red, std::uint8_t* green,
                              std::uint8_t* blue) const {
    const std::uint8_t* palette = GetPalette();
    if (palette == nullptr || index >= header.biClrUsed) return false;
    const RgbQuad entry = readEntry(palette + 4 * index);
    if (red != nullptr) *red = entry.red;
    if (green != nullptr) *green = entry.green;
    if (blue != nullptr) *blue = entry.blue;
    return true;
}

void Picture::SetPaletteColor(std::uint32_t index, std::uint8_t red, std::uint8_t green,
                              std::uint8_t blue, std::uint8_t alpha) {
    SetPaletteColor(index, RgbQuad{blue, green, red, alpha});
}

void Picture::SetPaletteColor(std::uint32_t index, RgbQuad entry) {
    std::uint8_t* palette = GetPalette();
    if (palette == nullptr || index >= header.biClrUsed) return;
    writeEntry(palette + 4 * index, entry);
    imageInfo.lastColorValid = false;
}

void Picture::SetPaletteColor(std::uint32_t index, ColorRef colour) {
    SetPaletteColor(index, RgbQuad{static_cast<std::uint8_t>(colour >> 16),
                                   static_cast<std::uint8_t>(colour >> 8),
                                   static_cast<std::uint8_t>(colour), 0});
}

void Picture::SetPalette(const RgbQuad* entries, std::uint32_t count) {
    std::uint8_t* palette = GetPalette();
    if (palette == nullptr || entries == nullptr) return;
    const std::uint32_t entryCount = std::min(count, header.biClrUsed);
    for (std::uint32_t i = 0; i < entryCount; ++i) writeEntry(palette + 4 * i, entries[i]);
    imageInfo.lastColorValid = false;
}

void Picture::SetPalette(std::uint32_t count, const std::uint8_t* reds, const std::uint8_t* greens,
                         const std::uint8_t* blues) {
    std::uint8_t* palette = GetPalette();
    if (palette == nullptr || reds == nullptr) return;
    if (greens == nullptr) greens = reds;
    if (blues == nullptr) blues = greens;
    const std::uint32_t entryCount = std::min(count, header.biClrUsed);
    for (std::uint32_t i = 0; i < entryCount; ++i) {
        writeEntry(palette + 4 * i, RgbQuad{blues[i], greens[i], reds[i], 0});
    }
    imageInfo.lastColorValid = false;
}

void Picture::SetPalette(const RgbTriple* colours, std::uint32_t count) {
    std::uint8_t* palette = GetPalette();
    if (palette == nullptr || colours == nullptr) return;
    const std::uint32_t entryCount = std::min(count, header.biClrUsed);
    for (std::uint32_t i = 0; i < entryCount; ++i) {
        writeEntry(palette + 4 * i, RgbQuad{colours[i].blue, colours[i].green, colours[i].red, 0});
    }
    imageInfo.lastColorValid = false;
}

void Picture::SetGrayPalette() {
    std::uint8_t* palette = GetPalette();
    if (palette == nullptr || header.biClrUsed < 2) return;
    const std::uint32_t step = 255 / (header.biClrUsed - 1);
    for (std::uint32_t i = 0; i < header.biClrUsed; ++i) {
        const auto level = static_cast<std::uint8_t>(i * step);
        writeEntry(palette + 4 * i, RgbQuad{level, level, level, 0});
    }
    imageInfo.lastColorValid = false;
}

std::uint8_t Picture::GetNearestIndex(RgbQuad colour) {
    const std::uint8_t* palette = GetPalette();
    if (palette == nullptr) return 0;
    if (imageInfo.lastColorValid && imageInfo.lastColor == colour) return imageInfo.lastColorIndex;
    imageInfo.lastColor = colour;
    imageInfo.lastColorValid = true;

    std::uint32_t entries = header.biClrImportant != 0 ? header.biClrImportant : header.biClrUsed;
    entries = std::min(entries, header.biClrUsed);
    // Above the largest possible distance, 3 x 255 x 255.
    std::int32_t bestDistance = 200000;
    std::uint8_t best = 0;
    for (std::uint32_t i = 0; i < entries; ++i) {
        const std::uint8_t* entry = palette + 4 * i;
        const std::int32_t db = entry[0] - colour.blue;
        const std::int32_t dg = entry[1] - colour.green;
        const std::int32_t dr = entry[2] - colour.red;
        const std::int32_t distance = db * db + dg * dg + dr * dr;
        if (distance == 0) {
            best = static_cast<std::uint8_t>(i);
            break;
        }
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<std::uint8_t>(i);
        }
    }
    imageInfo.lastColorIndex = best;
    return best;
}

void Picture::SwapIndex(std::uint8_t a, std::uint8_t b) {
    std::uint8_t* palette = GetPalette();
    if (palette == nullptr || a == b || a >= header.biClrUsed || b >= header.biClrUsed) return;
    const RgbQuad entryA = readEntry(palette + 4 * a);
    writeEntry(palette + 4 * a, readEntry(palette + 4 * b));
    writeEntry(palette + 4 * b, entryA);
    imageInfo.lastColorValid = false;
    for (std::int32_t y = 0; y < header.biHeight; ++y) {
        for (std::int32_t x = 0; x < header.biWidth; ++x) {
            const std::uint8_t index = GetPixelIndex(x, y);
            if (index == a)
                SetPixelIndex(x, y, b);
            else if (index == b)
                SetPixelIndex(x, y, a);
        }
    }
}

}  // namespace barquill::image
