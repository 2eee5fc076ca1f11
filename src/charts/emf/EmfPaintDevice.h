#pragma once

#include <QByteArray>
#include <QPaintDevice>
#include <QSize>
#include <QString>
#include <memory>

class EmfPaintEngine;
class EmfRecordWriter;

// A paint device that records what a QPainter draws as an enhanced metafile (EMF), so
// the one paint routine that draws the screen also draws the metafile. Painters that
// follow one another draw onto the same picture, as on an image.
class EmfPaintDevice : public QPaintDevice {
public:
    // size: picture size in pixels at `dpi` dots per inch; the header's frame (0.01 mm)
    // follows from it. application/title: the header's two description strings.
    explicit EmfPaintDevice(QSize size, double dpi = 96.0,
                            const QString& application = QStringLiteral("Vendrix"),
                            const QString& title = QStringLiteral("Strip Chart"));
    ~EmfPaintDevice() override;

    // The whole .emf file; valid once every QPainter on the device has ended.
    QByteArray data() const;

    QPaintEngine* paintEngine() const override;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QSize size_;
    double dpi_;
    std::unique_ptr<EmfRecordWriter> writer_;
    std::unique_ptr<EmfPaintEngine> engine_;
};
