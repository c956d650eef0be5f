#pragma once
// The one bridge between the display layer and Qt: a drawing target backed
// by a QImage that a widget paints, and the colour conversions.

#include <QColor>
#include <QImage>

#include "display/color.h"
#include "display/draw_target.h"

namespace barquill::image {
class Picture;
}  // namespace barquill::image

namespace barquill::app {

// A drawing target over a QImage of 32-bit RGB pixels, the display layer's
// own pixel layout, so drawing lands in the image without conversion.
class QImageDrawTarget : public display::DrawTarget {
public:
    QImageDrawTarget(int width, int height, const QColor& background);

    const QImage& image() const { return image_; }

private:
    QImage image_;
};

QColor toQColor(display::ColorRef color);
display::ColorRef toColorRef(const QColor& color);

// The picture as a Qt image of its own size; a null image for an invalid picture.
QImage pictureImage(image::Picture& picture);

}  // namespace barquill::app
