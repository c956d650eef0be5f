// SPDX-License-Identifier: MIT
#pragma once
// A memory drawing context: a drawing target over the device bitmap selected
// into it. It starts with no bitmap, and drawing without one does nothing.

#include "display/device_bitmap.h"
#include "display/draw_target.h"

namespace barquill::display {

class MemoryDC : public DrawTarget {
public:
    MemoryDC() = default;

    // Draws into `bitmap` from now on (null: into nothing) and returns the
    // bitmap selected before. The clip becomes the whole bitmap. The context
    // does not own the bitmap.
    DeviceBitmap* selectBitmap(DeviceBitmap* bitmap);

private:
    DeviceBitmap* selected_ = nullptr;
};

}  // namespace barquill::display
