// SPDX-License-Identifier: MIT
#include "encoder/rendering.h"

#include <algorithm>
#include <climits>
#include <memory>

#include "display/memory_dc.h"

namespace barquill::encoder {

using barquill::display::DeviceBitmap;
using barquill::display::MemoryDC;
using barquill::display::Rect;

namespace {

// The bitmap last rendered and the context it is selected into.
std::unique_ptr<DeviceBitmap> keptBitmap;
std::unique_ptr<MemoryDC> keptContext;

// A pixel extent computed in 64 bits and brought back into int range: any
// margin the caller passes gives a defined size, and sizes beyond int are
// far past what a bitmap may hold anyway.
int pixelExtent(long long value) {
    return int(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

}  // namespace

DeviceBitmap* renderSymbol(SymbolJob* job) {
    encodeSymbolJob(job, job->text);

    const long long m = job->margin;
    const int w = job->width;
    const int n = job->rows;

    releaseSymbolBitmap();

    const int bitmapWidth = pixelExtent(MODULE_PIXEL_WIDTH * (w + m));
    const int bitmapHeight = pixelExtent(2 * m + MODULE_PIXEL_HEIGHT * (long long)n);
    keptBitmap = DeviceBitmap::createCompatible(bitmapWidth, bitmapHeight);
    if (!keptBitmap) return nullptr;
    keptContext = std::make_unique<MemoryDC>();
    keptContext->selectBitmap(keptBitmap.get());

    keptContext->fillRect(Rect{0, 0, bitmapWidth, bitmapHeight}, job->spaceColor);
    // With a negative margin the module area starts outside the bitmap; the
    // context clips what falls outside.
    for (int i = 0; i < n; ++i) {
        const char* bits = job->rowBits[i];
        for (int j = 0; j < w; ++j) {
            if (bits[j] != '1') continue;
            const long long left = m + (long long)MODULE_PIXEL_WIDTH * j;
            const long long top = m + (long long)MODULE_PIXEL_HEIGHT * i;
            keptContext->fillRect(
                Rect{pixelExtent(left), pixelExtent(top), pixelExtent(left + MODULE_PIXEL_WIDTH),
                     pixelExtent(top + MODULE_PIXEL_HEIGHT)},
                job->barColor);
        }
    }
    return keptBitmap.get();
}

int releaseSymbolBitmap() {
    // The context goes first, so the bitmap is no longer selected into
    // anything when it is freed.
    keptContext.reset();
    keptBitmap.reset();
    return 1;
}

}  // namespace barquill::encoder
