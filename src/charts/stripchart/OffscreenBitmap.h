#pragma once
// The chart's off-screen bitmap: the control's size in device pixels, so a
// high-density screen gets a crisp picture, drawn in the control's own pixels.
#include <QImage>
#include <QSize>

class TOffscreenBitmap {
public:
    // True when the bitmap had to be made anew: everything must be drawn again.
    bool Resize(QSize size, qreal devicePixelRatio);
    QImage& Image() { return image_; }
    const QImage& Image() const { return image_; }
    QSize Size() const { return size_; }

private:
    QImage image_;
    QSize size_;
    qreal ratio_ = 0.0;
};
