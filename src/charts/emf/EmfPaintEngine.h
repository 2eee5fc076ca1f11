#pragma once

#include <QPaintEngine>
#include <QRect>
#include <QRegion>

#include "charts/emf/EmfDeviceContext.h"

class EmfRecordWriter;

// Turns QPainter calls into enhanced-metafile records. The engine claims every feature,
// so QPainter hands it untransformed coordinates and never falls back to rasterising;
// it maps each point through the painter's transform itself and writes device pixels.
// What EMF cannot hold is approximated: gradients and textures become a solid colour,
// alpha is dropped (fully transparent pens and brushes draw nothing), text under a
// shear or mirror becomes filled outlines.
class EmfPaintEngine : public QPaintEngine {
public:
    EmfPaintEngine(EmfRecordWriter& writer, QSize deviceSize, double dpi);

    bool begin(QPaintDevice* device) override;
    bool end() override;
    void updateState(const QPaintEngineState& state) override;
    Type type() const override { return User; }

    using QPaintEngine::drawLines;
    using QPaintEngine::drawPoints;
    using QPaintEngine::drawPolygon;
    using QPaintEngine::drawRects;
    void drawPath(const QPainterPath& path) override;
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override;
    void drawLines(const QLineF* lines, int count) override;
    void drawRects(const QRectF* rects, int count) override;
    void drawPoints(const QPointF* points, int count) override;
    void drawTextItem(const QPointF& origin, const QTextItem& item) override;
    void drawPixmap(const QRectF& target, const QPixmap& pixmap, const QRectF& source) override;
    void drawImage(const QRectF& target, const QImage& image, const QRectF& source,
                   Qt::ImageConversionFlags flags) override;

private:
    EmfPen devicePen() const;
    EmfBrush deviceBrush() const;
    bool invisible() const;
    void selectStroke(const EmfPen& pen);
    void strokeLines(const QList<QPolygon>& lines);
    void applyClip(Qt::ClipOperation operation, const QRegion& deviceRegion);
    void writeClip();

    EmfRecordWriter& writer_;
    EmfDeviceContext dc_;
    QRect deviceRect_;
    QRect clipBound_;
    double dpi_;
    bool clipEnabled_ = false;
    bool hasClip_ = false;
    QRegion clip_;  // device pixels
};
