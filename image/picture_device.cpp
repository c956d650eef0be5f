// SPDX-License-Identifier: MIT
// Moving pixels between a picture and the display layer: import from a device
// bitmap, and drawing into a drawing target at natural size, stretched,
// transparent or alpha-blended, always within the target's clip.

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <new>
#include <vector>

#include "display/device_bitmap.h"
#include "display/draw_target.h"
#include "image/picture.h"

namespace barquill::image {

using barquill::display::DeviceBitmap;
using barquill::display::DibFormat;
using barquill::display::DrawTarget;
using barquill::display::Rect;

namespace {

int clampToInt(long long v) {
    return int(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

// The part of the target rectangle inside the clip box; its width or height
// may be 0.
Rect paintBox(const Rect& clip, int x, int y, int width, int height) {
    const int right = clampToInt((long long)x + width);
    const int bottom = clampToInt((long long)y + height);
    Rect box;
    box.top = std::min(clip.bottom, std::max(clip.top, y));
    box.left = std::min(clip.right, std::max(clip.left, x));
    box.right = std::max(clip.left, std::min(clip.right, right));
    box.bottom = std::max(clip.top, std::min(clip.bottom, bottom));
    return box;
}

// An off-screen 24-bit bottom-up section the size of the paint box.
struct Section {
    explicit Section(const Rect& box) : format{box.width(), box.height(), 24} {
        if (box.isEmpty()) return;
        try {
            bits.assign(format.stride() * std::size_t(format.rows()), 0);
        } catch (const std::bad_alloc&) {
            bits.clear();
        }
    }
    bool isValid() const { return !bits.empty(); }
    std::uint8_t* pixel(int xx, int yy) {
        return &bits[std::size_t(yy) * format.stride() + 3 * std::size_t(xx)];
    }

    DibFormat format;
    std::vector<std::uint8_t> bits;
};

// Maps paint-box pixels to source pixels when the picture is stretched: the
// nearest-pixel rule with single-precision ratios, rows counted from the
// bottom as the picture stores them.
struct StretchMap {
    StretchMap(int pictureWidth, int pictureHeight, int targetX, int targetY, int width, int height,
               const Rect& paintBox)
        : imageWidth(pictureWidth),
          imageHeight(pictureHeight),
          x(targetX),
          y(targetY),
          box(paintBox),
          fx(float(pictureWidth) / float(width)),
          fy(float(pictureHeight) / float(height)) {}

    // Source position before rounding, for output column xx and output row
    // yy (0 is the bottom row of the paint box).
    float dx(int xx) const { return float((long long)xx + box.left - x) * fx; }
    float dy(int yy) const {
        return float(imageHeight) - float((long long)box.bottom - yy - y) * fy;
    }
    // Single-precision rounding can land a hair outside the picture: clamp
    // before converting.
    int sx(int xx) const { return toPixel(dx(xx), imageWidth); }
    int sy(int yy) const { return toPixel(dy(yy), imageHeight); }
    static int toPixel(float position, int extent) {
        return int(std::clamp(std::floor(position), 0.0f, float(extent - 1)));
    }

    int imageWidth, imageHeight, x, y;
    Rect box;
    float fx, fy;
};

RgbQuad interpolate(const Picture& picture, float x, float y) {
    // Bilinear: the four pixels around (x, y), weighted by nearness; outside
    // the picture the nearest edge pixel stands in.
    const int width = picture.GetWidth(), height = picture.GetHeight();
    // Beyond one pixel outside, every neighbour is an edge pixel anyway.
    x = std::clamp(x, -1.0f, float(width));
    y = std::clamp(y, -1.0f, float(height));
    const float fx = std::floor(x), fy = std::floor(y);
    const float wx = x - fx, wy = y - fy;
    auto at = [&](long long px, long long py) {
        return picture.GetPixelColor(int(std::clamp<long long>(px, 0, width - 1)),
                                     int(std::clamp<long long>(py, 0, height - 1)), false);
    };
    const long long x0 = (long long)fx, y0 = (long long)fy;
    const RgbQuad c00 = at(x0, y0), c10 = at(x0 + 1, y0), c01 = at(x0, y0 + 1),
                  c11 = at(x0 + 1, y0 + 1);
    auto mix = [&](std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
        const float top = a * (1 - wx) + b * wx;
        const float bottom = c * (1 - wx) + d * wx;
        return std::uint8_t(std::clamp(top * (1 - wy) + bottom * wy + 0.5f, 0.0f, 255.0f));
    };
    RgbQuad out;
    out.blue = mix(c00.blue, c10.blue, c01.blue, c11.blue);
    out.green = mix(c00.green, c10.green, c01.green, c11.green);
    out.red = mix(c00.red, c10.red, c01.red, c11.red);
    return out;
}

}  // namespace

bool Picture::CreateFromHBITMAP(const DeviceBitmap* bitmap) {
    if (!Destroy() || bitmap == nullptr) return false;
    if (Create(std::uint32_t(bitmap->width()), std::uint32_t(bitmap->height()),
               std::uint32_t(bitmap->depth()), IMAGE_FORMAT_UNKNOWN) == nullptr)
        return false;
    const DibFormat format{GetWidth(), GetHeight(), GetBpp()};
    if (bitmap->getDIBits(format, GetBits(0)) == 0) {
        SetLastError("GetDIBits failed");
        return false;
    }
    return true;
}

std::int32_t Picture::Draw(DrawTarget* dc, const Rect& rect, const Rect* clipRect, bool smooth) {
    return Draw(dc, rect.left, rect.top, rect.width(), rect.height(), clipRect, smooth);
}

std::int32_t Picture::Draw(DrawTarget* dc, std::int32_t x, std::int32_t y, std::int32_t width,
                           std::int32_t height, const Rect* clipRect, bool smooth) {
    if (!IsValid() || dc == nullptr || width == 0 || height == 0 || !IsEnabled()) return 0;
    if (width < 0) width = GetWidth();
    if (height < 0) height = GetHeight();

    const bool transparent = imageInfo.transIndex != -1;
    const bool hasAlpha = AlphaIsValid();

    const Rect savedClip = dc->clipBox();
    if (clipRect != nullptr) dc->intersectClip(*clipRect);
    const Rect box = paintBox(dc->clipBox(), x, y, width, height);
    const bool naturalSize = width == GetWidth() && height == GetHeight();

    if (!transparent && !hasAlpha && !imageInfo.alphaPaletteEnabled) {
        if (naturalSize) {
            // The whole picture goes to the target in one call; the target clips.
            dc->setDIBits(x, y, DibFormat{GetWidth(), GetHeight(), GetBpp()}, GetBits(0),
                          GetPalette(), std::int32_t(GetNumColors()));
        } else {
            Section section(box);
            if (section.isValid()) {
                const StretchMap map(GetWidth(), GetHeight(), x, y, width, height, box);
                for (int yy = 0; yy < box.height(); ++yy)
                    for (int xx = 0; xx < box.width(); ++xx) {
                        RgbQuad c = smooth
                                        ? interpolate(*this, map.dx(xx) - 0.5f, map.dy(yy) - 0.5f)
                                        : GetPixelColor(map.sx(xx), map.sy(yy), false);
                        std::uint8_t* p = section.pixel(xx, yy);
                        p[0] = c.blue, p[1] = c.green, p[2] = c.red;
                    }
                dc->setDIBits(box.left, box.top, section.format, section.bits.data());
            }
        }
    } else {
        Section section(box);
        if (section.isValid() &&
            dc->readPixels(box.left, box.top, section.format, section.bits.data())) {
            const StretchMap map(GetWidth(), GetHeight(), x, y, width, height, box);
            const RgbQuad transColour = GetTransColor();
            for (int yy = 0; yy < box.height(); ++yy)
                for (int xx = 0; xx < box.width(); ++xx) {
                    const int sx = naturalSize ? box.left - x + xx : map.sx(xx);
                    const int sy = naturalSize ? GetHeight() - box.bottom + y + yy : map.sy(yy);
                    int a = hasAlpha ? AlphaGet(sx, sy) : 255;
                    a = (a * (imageInfo.alphaMax + 1)) >> 8;
                    const RgbQuad c = GetPixelColor(sx, sy);
                    if (IsIndexed()) {
                        const std::uint8_t index = GetPixelIndex(sx, sy);
                        if (imageInfo.alphaPaletteEnabled)
                            a = (a * (GetPaletteColor(index).reserved + 1)) >> 8;
                        if (transparent && index == imageInfo.transIndex) continue;
                    } else if (transparent && c == transColour) {
                        continue;
                    }
                    std::uint8_t* p = section.pixel(xx, yy);
                    if (a == 0) continue;
                    if (a == 255) {
                        p[0] = c.blue, p[1] = c.green, p[2] = c.red;
                    } else {
                        p[0] = std::uint8_t((p[0] * (255 - a) + c.blue * a) >> 8);
                        p[1] = std::uint8_t((p[1] * (255 - a) + c.green * a) >> 8);
                        p[2] = std::uint8_t((p[2] * (255 - a) + c.red * a) >> 8);
                    }
                }
            dc->setDIBits(box.left, box.top, section.format, section.bits.data());
        }
    }

    // With rectangles, widening the narrowed clip by the saved box gives the
    // saved box back.
    if (clipRect != nullptr) dc->setClip(savedClip);
    return 1;
}

}  // namespace barquill::image
