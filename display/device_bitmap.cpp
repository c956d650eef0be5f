// SPDX-License-Identifier: MIT
#include "display/device_bitmap.h"

#include <new>

namespace barquill::display {

std::unique_ptr<DeviceBitmap> DeviceBitmap::createCompatible(int width, int height) {
    std::unique_ptr<DeviceBitmap> bitmap(new DeviceBitmap);
    if (width <= 0 || height <= 0) return bitmap;
    // Both factors are below 2^31, so the product fits in 64 bits.
    const std::uint64_t bytes = std::uint64_t(width) * std::uint64_t(height) * 4;
    if (bytes > MAX_BYTES) return nullptr;
    try {
        bitmap->pixels_.assign(std::size_t(width) * std::size_t(height), pixelFromBgr(0, 0, 0));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    bitmap->width_ = width;
    bitmap->height_ = height;
    return bitmap;
}

int DeviceBitmap::getDIBits(const DibFormat& format, std::uint8_t* bits) const {
    if (bits == nullptr || width_ == 0 || format.width != width_ || format.rows() != height_)
        return 0;
    if (format.bitCount != 24 && format.bitCount != 32) return 0;
    const auto bytesPerPixel = static_cast<std::size_t>(format.bitCount / 8);
    const std::size_t stride = format.stride();
    for (int y = 0; y < height_; ++y) {
        const PixelWord* in = pixels_.data() + std::size_t(y) * std::size_t(width_);
        std::uint8_t* out = bits + std::size_t(format.storedRow(y)) * stride;
        for (int x = 0; x < width_; ++x, out += bytesPerPixel) {
            out[0] = std::uint8_t(in[x]);
            out[1] = std::uint8_t(in[x] >> 8);
            out[2] = std::uint8_t(in[x] >> 16);
            if (bytesPerPixel == 4) out[3] = 0;
        }
        // Padding bytes carry no meaning, but leave them defined.
        for (std::size_t pad = std::size_t(width_) * bytesPerPixel; pad < stride; ++pad)
            bits[std::size_t(format.storedRow(y)) * stride + pad] = 0;
    }
    return height_;
}

}  // namespace barquill::display
