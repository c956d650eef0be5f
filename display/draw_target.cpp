// SPDX-License-Identifier: MIT
#include "display/draw_target.h"

#include <algorithm>

namespace barquill::display {

namespace {

// Clamps a 64-bit coordinate into int range so sums like x + width never wrap.
int clampToInt(long long v) {
    return int(std::clamp<long long>(v, -0x7FFFFFFFLL, 0x7FFFFFFFLL));
}

Rect rectAt(int x, int y, int width, int height) {
    return Rect{x, y, clampToInt((long long)x + width), clampToInt((long long)y + height)};
}

// Colour of pixel `column` of a stored row of a paletted bitmap.
PixelWord paletteColor(const std::uint8_t* storedRow, int column, int bitCount,
                       const std::uint8_t* table, int count) {
    int index;
    if (bitCount == 8) {
        index = storedRow[column];
    } else if (bitCount == 4) {
        std::uint8_t b = storedRow[column / 2];
        index = (column % 2 == 0) ? b >> 4 : b & 0x0F;
    } else {
        index = (storedRow[column / 8] >> (7 - column % 8)) & 1;
    }
    if (table == nullptr || index >= count) return pixelFromBgr(0, 0, 0);
    const std::uint8_t* e = table + 4 * index;
    return pixelFromBgr(e[0], e[1], e[2]);
}

}  // namespace

DrawTarget::DrawTarget(PixelWord* pixels, int width, int height, std::ptrdiff_t strideBytes) {
    attach(pixels, width, height, strideBytes);
}

void DrawTarget::attach(PixelWord* pixels, int width, int height, std::ptrdiff_t strideBytes) {
    if (pixels == nullptr || width <= 0 || height <= 0) {
        pixels_ = nullptr;
        width_ = height_ = 0;
        stride_ = 0;
    } else {
        pixels_ = pixels;
        width_ = width;
        height_ = height;
        stride_ = strideBytes;
    }
    clip_ = Rect{0, 0, width_, height_};
}

void DrawTarget::intersectClip(const Rect& rect) {
    clip_ = intersect(clip_, rect);
}

void DrawTarget::setClip(const Rect& rect) {
    clip_ = intersect(Rect{0, 0, width_, height_}, rect);
}

void DrawTarget::fillRect(const Rect& rect, ColorRef color) {
    Rect r = intersect(clip_, rect);
    if (r.isEmpty()) return;
    PixelWord word = toPixelWord(color);
    for (int y = r.top; y < r.bottom; ++y) std::fill(row(y) + r.left, row(y) + r.right, word);
}

bool DrawTarget::setPixel(int x, int y, ColorRef color) {
    if (!clip_.contains(x, y)) return false;
    row(y)[x] = toPixelWord(color);
    return true;
}

ColorRef DrawTarget::getPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return INVALID_COLOR;
    return toColorRef(row(y)[x]);
}

int DrawTarget::setDIBits(int x, int y, const DibFormat& format, const std::uint8_t* bits,
                          const std::uint8_t* colorTable, int colorCount) {
    const int bitCount = format.bitCount;
    if (bits == nullptr || format.width <= 0 || format.height == 0) return 0;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32)
        return 0;
    const int rows = format.rows();
    const std::size_t stride = format.stride();
    Rect visible = intersect(clip_, rectAt(x, y, format.width, rows));
    for (int py = visible.top; py < visible.bottom; ++py) {
        const std::uint8_t* stored = bits + std::size_t(format.storedRow(py - y)) * stride;
        PixelWord* out = row(py);
        for (int px = visible.left; px < visible.right; ++px) {
            const int column = px - x;
            if (bitCount == 24) {
                const std::uint8_t* p = stored + 3 * std::size_t(column);
                out[px] = pixelFromBgr(p[0], p[1], p[2]);
            } else if (bitCount == 32) {
                const std::uint8_t* p = stored + 4 * std::size_t(column);
                out[px] = pixelFromBgr(p[0], p[1], p[2]);
            } else {
                out[px] = paletteColor(stored, column, bitCount, colorTable, colorCount);
            }
        }
    }
    return rows;
}

bool DrawTarget::readPixels(int x, int y, const DibFormat& format, std::uint8_t* bits) const {
    if (bits == nullptr || format.width <= 0 || format.height == 0) return false;
    if (format.bitCount != 24 && format.bitCount != 32) return false;
    const auto bytesPerPixel = static_cast<std::size_t>(format.bitCount / 8);
    const std::size_t stride = format.stride();
    const int rows = format.rows();
    for (int ry = 0; ry < rows; ++ry) {
        std::uint8_t* out = bits + std::size_t(format.storedRow(ry)) * stride;
        const long long sy = (long long)y + ry;
        for (int rx = 0; rx < format.width; ++rx) {
            const long long sx = (long long)x + rx;
            PixelWord p = 0;
            if (sx >= 0 && sy >= 0 && sx < width_ && sy < height_) p = row(int(sy))[sx];
            std::uint8_t* q = out + std::size_t(rx) * bytesPerPixel;
            q[0] = std::uint8_t(p);
            q[1] = std::uint8_t(p >> 8);
            q[2] = std::uint8_t(p >> 16);
            if (bytesPerPixel == 4) q[3] = 0;
        }
    }
    return true;
}

}  // namespace barquill::display
