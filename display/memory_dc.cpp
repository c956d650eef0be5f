// SPDX-License-Identifier: MIT
#include "display/memory_dc.h"

namespace barquill::display {

DeviceBitmap* MemoryDC::selectBitmap(DeviceBitmap* bitmap) {
    DeviceBitmap* previous = selected_;
    selected_ = bitmap;
    if (bitmap == nullptr)
        attach(nullptr, 0, 0, 0);
    else
        attach(bitmap->pixels(), bitmap->width(), bitmap->height(),
               std::ptrdiff_t(bitmap->width()) * std::ptrdiff_t(sizeof(PixelWord)));
    return previous;
}

}  // namespace barquill::display
