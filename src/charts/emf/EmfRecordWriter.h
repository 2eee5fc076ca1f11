#pragma once

#include <QByteArray>
#include <QList>
#include <QPolygon>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <QString>
#include <cstdint>
#include <memory>

#include "charts/emf/EmfObjects.h"

class QImage;

// One enhanced metafile being built in memory, record by record. A thin layer over
// libUEMF's record builders, so that nothing else sees its C types. Coordinates are
// logical units, which in our MM_TEXT metafiles are device pixels.
class EmfRecordWriter {
public:
    struct Header {
        QRect bounds;                // device pixels, inclusive
        QRect frame;                 // 0.01 mm, inclusive
        QSize referencePixels;       // reference device size in pixels...
        QSize referenceMillimeters;  // ...and in millimetres
        QString application;         // the description's two strings
        QString title;
    };

    explicit EmfRecordWriter(const Header& header);
    ~EmfRecordWriter();
    EmfRecordWriter(const EmfRecordWriter&) = delete;
    EmfRecordWriter& operator=(const EmfRecordWriter&) = delete;

    // Drawing; 16-bit point records whenever every point fits, 32-bit ones otherwise.
    void polyline(const QPolygon& points, const QRect& bounds);
    void polygon(const QPolygon& points, const QRect& bounds);
    void polyPolyline(const QList<QPolygon>& lines, const QRect& bounds);
    void polyPolygon(const QList<QPolygon>& polygons, const QRect& bounds);
    // advances: one per UTF-16 unit of text, in device pixels along the baseline.
    void text(QPoint reference, const QString& text, const QList<int>& advances, const QRect& bounds);
    void image(const QRect& target, const QImage& image);

    // Objects: create returns the handle to select and finally remove.
    uint32_t createPen(const EmfPen& pen);
    uint32_t createBrush(const EmfBrush& brush);
    uint32_t createFont(const EmfFont& font);
    void select(uint32_t handle);
    void remove(uint32_t handle);

    // Device context state.
    void setMapModeText();
    void saveDc();
    void restoreDc();
    void intersectClip(const QRect& rect);
    void intersectClip(const QRegion& region);
    void setTransparentBackground();
    void setTextColor(QRgb color);
    void setTextAlignBaselineLeft();
    void setPolyFillMode(bool winding);

    // The whole file with an end-of-file record, as it stands now.
    QByteArray file() const;

private:
    struct Track;
    struct PointRecord;
    struct PolyPointRecord;
    void append(char* record);
    void points(const QPolygon& points, const QRect& bounds, const PointRecord& record);
    void polyPoints(const QList<QPolygon>& polygons, const QRect& bounds, const PolyPointRecord& record);
    std::unique_ptr<Track> track_;
};
