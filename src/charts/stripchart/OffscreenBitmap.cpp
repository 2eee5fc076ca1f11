#include "charts/stripchart/OffscreenBitmap.h"

#include <cmath>

bool TOffscreenBitmap::Resize(QSize size, qreal devicePixelRatio) {
    if (size == size_ && devicePixelRatio == ratio_ && !image_.isNull()) return false;
    size_ = size;
    ratio_ = devicePixelRatio;
    const QSize pixels(std::max(1, static_cast<int>(std::ceil(size.width() * devicePixelRatio))),
                       std::max(1, static_cast<int>(std::ceil(size.height() * devicePixelRatio))));
    image_ = QImage(pixels, QImage::Format_RGB32);
    image_.setDevicePixelRatio(devicePixelRatio);
    image_.fill(Qt::black);
    return true;
}
