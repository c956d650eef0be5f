// SPDX-License-Identifier: MIT
#pragma once
// Raster rendering: encodes a job and paints its rows into a device bitmap,
// each module a block of 2 × 4 pixels, inside a quiet zone of `margin`
// pixels on every side.
//
// The bitmap and its memory context are kept here until releaseSymbolBitmap
// (or the next renderSymbol), so only one rendering runs at a time.

#include "display/device_bitmap.h"
#include "encoder/pdf417.h"

namespace barquill::encoder {

// Pixels per module across and down.
inline constexpr int MODULE_PIXEL_WIDTH = 2;
inline constexpr int MODULE_PIXEL_HEIGHT = 4;

// Encodes job->text (encodeSymbolJob; its status is left in job->message)
// and returns the painted bitmap of 2 × (width + margin) by
// 2 × margin + 4 × rows pixels. A failed build gives a bitmap of the margin
// alone in spaceColor; a size of 0 or below an empty 0 × 0 bitmap; a size
// too large to hold, null.
barquill::display::DeviceBitmap* renderSymbol(SymbolJob* job);

// Frees the kept bitmap and context, if any. Always returns 1.
int releaseSymbolBitmap();

}  // namespace barquill::encoder
