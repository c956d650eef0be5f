// SPDX-License-Identifier: MIT
#pragma once
// The library's picture of a symbol as a Qt image, pixel for pixel.

#include <QImage>

#include "barquill/render.hpp"

namespace barquill::app {

// A null image for a failed picture.
inline QImage toQImage(const Result<Image>& image) {
    if (!image) return {};
    // Bits as the library packs them: most significant first, 1 a bar.
    QImage picture(image->pixels.data(), image->width, image->height, qsizetype(image->stride),
                   QImage::Format_Mono);
    picture.setColorTable({qRgb(image->space.red, image->space.green, image->space.blue),
                           qRgb(image->bar.red, image->bar.green, image->bar.blue)});
    // The copy owns its pixels.
    return picture.convertToFormat(QImage::Format_RGB32);
}

}  // namespace barquill::app
