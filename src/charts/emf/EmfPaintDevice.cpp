#include "charts/emf/EmfPaintDevice.h"

#include <algorithm>
#include <cmath>

#include "charts/emf/EmfPaintEngine.h"
#include "charts/emf/EmfRecordWriter.h"

namespace {

constexpr int kMaxSide = 1 << 27;  // GDI's coordinate space

double validDpi(double dpi) { return std::isfinite(dpi) && dpi >= 1.0 ? std::min(dpi, 100000.0) : 96.0; }

QSize validSize(QSize size) {
    return QSize(std::clamp(size.width(), 0, kMaxSide), std::clamp(size.height(), 0, kMaxSide));
}

int rounded(double v) { return int(std::lround(std::min(v, 2147483647.0))); }

// MM_TEXT: one logical unit is one pixel of the reference device, so the reference
// device must have our resolution. A 20 x 15 inch one has whole millimetres (508 x 381)
// at any dpi, so readers that convert through its millimetres lose nothing to rounding.
EmfRecordWriter::Header headerFor(QSize size, double dpi, const QString& application, const QString& title) {
    EmfRecordWriter::Header h;
    h.bounds = QRect(QPoint(0, 0), size);
    h.frame = QRect(0, 0, rounded(size.width() * 2540.0 / dpi), rounded(size.height() * 2540.0 / dpi));
    h.referencePixels = QSize(rounded(dpi * 20), rounded(dpi * 15));
    h.referenceMillimeters = QSize(508, 381);
    h.application = application;
    h.title = title;
    return h;
}

}  // namespace

EmfPaintDevice::EmfPaintDevice(QSize size, double dpi, const QString& application, const QString& title)
    : size_(validSize(size)),
      dpi_(validDpi(dpi)),
      writer_(std::make_unique<EmfRecordWriter>(headerFor(size_, dpi_, application, title))),
      engine_(std::make_unique<EmfPaintEngine>(*writer_, size_, dpi_)) {
    writer_->setMapModeText();
}

EmfPaintDevice::~EmfPaintDevice() = default;

QByteArray EmfPaintDevice::data() const { return writer_->file(); }

QPaintEngine* EmfPaintDevice::paintEngine() const { return engine_.get(); }

int EmfPaintDevice::metric(PaintDeviceMetric metric) const {
    switch (metric) {
        case PdmWidth:
            return size_.width();
        case PdmHeight:
            return size_.height();
        case PdmWidthMM:
            return rounded(size_.width() * 25.4 / dpi_);
        case PdmHeightMM:
            return rounded(size_.height() * 25.4 / dpi_);
        case PdmNumColors:
            return 1 << 24;
        case PdmDepth:
            return 24;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return rounded(dpi_);
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return 0;
    }
}
