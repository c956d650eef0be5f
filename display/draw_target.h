// SPDX-License-Identifier: MIT
#pragma once
// A drawing target: a surface of 32-bit pixels (PixelWord) with a clip
// rectangle, the part of a device context the drawing code relies on. It does
// not own its pixels: a memory context points it at a device bitmap, and a
// toolkit adapter points it at an image of its own.

#include <cstddef>
#include <cstdint>

#include "display/color.h"
#include "display/dib_format.h"
#include "display/rect.h"

namespace barquill::display {

class DrawTarget {
public:
    // A target without a surface: every drawing is clipped away.
    DrawTarget() = default;
    // Rows of `width` pixels, top row first, `strideBytes` apart.
    DrawTarget(PixelWord* pixels, int width, int height, std::ptrdiff_t strideBytes);
    virtual ~DrawTarget() = default;

    DrawTarget(const DrawTarget&) = delete;
    DrawTarget& operator=(const DrawTarget&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }

    // The bounding box of what can be drawn now (GetClipBox).
    Rect clipBox() const { return clip_; }
    // Narrows the clip to its common part with `rect` (a region AND).
    void intersectClip(const Rect& rect);
    // Sets the clip to `rect`, cut to the surface. With rectangular clips,
    // widening a narrowed clip by the box it was narrowed from gives that box
    // again, so this also serves to undo intersectClip.
    void setClip(const Rect& rect);

    // Fills the visible part of `rect`.
    void fillRect(const Rect& rect, ColorRef color);
    // Sets one pixel if it is visible; reports whether it was.
    bool setPixel(int x, int y, ColorRef color);
    // The pixel's colour, or INVALID_COLOR outside the surface.
    ColorRef getPixel(int x, int y) const;

    // Copies a device-independent bitmap unscaled with its top-left pixel at
    // (x, y), within the clip (SetDIBitsToDevice). `colorTable` holds the
    // entries of 1-, 4- and 8-bit bitmaps; an index past `colorCount` draws
    // black. Returns the number of rows handed over, 0 for a shape it cannot
    // read.
    int setDIBits(int x, int y, const DibFormat& format, const std::uint8_t* bits,
                  const std::uint8_t* colorTable = nullptr, int colorCount = 0);

    // Reads the pixels of the rectangle at (x, y) of the format's size into a
    // 24- or 32-bit bitmap (a BitBlt from the device into an off-screen
    // section). Pixels outside the surface read as black. False for other
    // depths.
    bool readPixels(int x, int y, const DibFormat& format, std::uint8_t* bits) const;

protected:
    void attach(PixelWord* pixels, int width, int height, std::ptrdiff_t strideBytes);

private:
    PixelWord* row(int y) const {
        return reinterpret_cast<PixelWord*>(reinterpret_cast<std::uint8_t*>(pixels_) +
                                            std::ptrdiff_t(y) * stride_);
    }

    PixelWord* pixels_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    std::ptrdiff_t stride_ = 0;
    Rect clip_{};
};

}  // namespace barquill::display
