// SPDX-License-Identifier: MIT
#pragma once
// The library's symbols in Qt: the picture as an image, pixel for pixel, and
// the modules as rectangles for painters that draw vectors.

#include <QImage>
#include <QPainter>

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

// The symbol with its quiet zone at `origin`, in the painter's units as the
// render counts pixels: on a printer at the render's resolution every module
// is whole dots. A run of bars in a row is one rectangle, as in the PDF.
inline void paintSymbol(QPainter& painter, const Symbol& symbol, const Render& render,
                        QPoint origin) {
    const PictureSize size = pictureSize(symbol, render);
    painter.fillRect(QRect(origin, QSize(int(size.width), int(size.height))),
                     QColor(render.space.red, render.space.green, render.space.blue));
    const QColor bar(render.bar.red, render.bar.green, render.bar.blue);
    const QPoint corner = origin + QPoint(render.quietZone, render.quietZone);
    for (int row = 0; row < symbol.rows(); ++row)
        for (int module = 0; module < symbol.width();) {
            if (!symbol.bar(row, module)) {
                ++module;
                continue;
            }
            int end = module;
            while (end < symbol.width() && symbol.bar(row, end)) ++end;
            painter.fillRect(corner.x() + module * render.moduleWidth,
                             corner.y() + row * render.rowHeight,
                             (end - module) * render.moduleWidth, render.rowHeight, bar);
            module = end;
        }
}

}  // namespace barquill::app
