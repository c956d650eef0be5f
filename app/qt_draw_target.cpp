#include "app/qt_draw_target.h"

#include "image/picture.h"

namespace barquill::app {

QImageDrawTarget::QImageDrawTarget(int width, int height, const QColor& background)
    : image_(width, height, QImage::Format_RGB32) {
    image_.fill(background);
    if (!image_.isNull())
        attach(reinterpret_cast<display::PixelWord*>(image_.bits()), image_.width(),
               image_.height(), image_.bytesPerLine());
}

QColor toQColor(display::ColorRef color) {
    return QColor(display::redOf(color), display::greenOf(color), display::blueOf(color));
}

display::ColorRef toColorRef(const QColor& color) {
    const QColor rgb = color.toRgb();
    return display::rgb(std::uint8_t(rgb.red()), std::uint8_t(rgb.green()),
                        std::uint8_t(rgb.blue()));
}

}  // namespace barquill::app

namespace barquill::app {

QImage pictureImage(image::Picture& picture) {
    if (!picture.IsValid()) return {};
    QImageDrawTarget target(picture.GetWidth(), picture.GetHeight(), Qt::white);
    picture.Draw(&target, 0, 0, -1, -1, nullptr, false);
    return target.image();
}

}  // namespace barquill::app
