#include "charts/emf/EmfPaintEngine.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

#include "charts/emf/EmfRecordWriter.h"

namespace {

// GDI's coordinate space; anything further out is clamped to its edge.
constexpr double kCoordinateLimit = (1 << 27) - 1;

std::optional<QPoint> devicePoint(QPointF p) {
    if (!std::isfinite(p.x()) || !std::isfinite(p.y())) return std::nullopt;
    auto pixel = [](double v) {
        return int(std::floor(std::clamp(v, -kCoordinateLimit, kCoordinateLimit) + 0.5));
    };
    return QPoint(pixel(p.x()), pixel(p.y()));
}

// Points that are not numbers are left out rather than drawn to some arbitrary place.
QPolygon devicePolygon(const QTransform& t, const QPointF* points, int count) {
    QPolygon out;
    out.reserve(count);
    for (int i = 0; i < count; ++i)
        if (auto p = devicePoint(t.map(points[i]))) out.append(*p);
    return out;
}

QPolygon devicePolygon(const QPolygonF& mapped) {
    return devicePolygon(QTransform(), mapped.constData(), int(mapped.size()));
}

QRect boundsOf(const QList<QPolygon>& polygons, int penWidth) {
    QRect bounds;
    for (const QPolygon& p : polygons) bounds |= p.boundingRect();
    const int half = (penWidth + 1) / 2;
    return bounds.adjusted(-half, -half, half, half);
}

double scaleOf(const QTransform& t) { return std::sqrt(std::abs(t.determinant())); }

// Rotation and uniform scale without mirror or shear: the transforms a font can follow.
bool isSimilarity(const QTransform& t) {
    const double s = std::hypot(t.m11(), t.m12());
    const double tolerance = 1e-6 * s;
    return t.isAffine() && s > 0 && std::abs(t.m11() - t.m22()) <= tolerance &&
           std::abs(t.m12() + t.m21()) <= tolerance;
}

QRgb colorOf(const QBrush& brush) {
    switch (brush.style()) {
        case Qt::LinearGradientPattern:
        case Qt::RadialGradientPattern:
        case Qt::ConicalGradientPattern: {
            const QGradientStops stops = brush.gradient()->stops();
            return stops.isEmpty() ? brush.color().rgba() : stops.first().second.rgba();
        }
        case Qt::TexturePattern: {
            const QImage texture = brush.textureImage();
            if (texture.isNull()) return brush.color().rgba();
            return texture.scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixel(0, 0);
        }
        default:
            return brush.color().rgba();
    }
}

EmfLineStyle lineStyle(Qt::PenStyle style) {
    switch (style) {
        case Qt::DashLine:
        case Qt::CustomDashLine:
            return EmfLineStyle::Dash;
        case Qt::DotLine:
            return EmfLineStyle::Dot;
        case Qt::DashDotLine:
            return EmfLineStyle::DashDot;
        case Qt::DashDotDotLine:
            return EmfLineStyle::DashDotDot;
        case Qt::NoPen:
            return EmfLineStyle::Null;
        default:
            return EmfLineStyle::Solid;
    }
}

EmfLineCap lineCap(Qt::PenCapStyle cap) {
    switch (cap) {
        case Qt::FlatCap:
            return EmfLineCap::Flat;
        case Qt::RoundCap:
            return EmfLineCap::Round;
        default:
            return EmfLineCap::Square;
    }
}

EmfLineJoin lineJoin(Qt::PenJoinStyle join) {
    switch (join) {
        case Qt::RoundJoin:
            return EmfLineJoin::Round;
        case Qt::MiterJoin:
        case Qt::SvgMiterJoin:
            return EmfLineJoin::Miter;
        default:
            return EmfLineJoin::Bevel;
    }
}

EmfHatch hatch(Qt::BrushStyle style) {
    switch (style) {
        case Qt::HorPattern:
            return EmfHatch::Horizontal;
        case Qt::VerPattern:
            return EmfHatch::Vertical;
        case Qt::CrossPattern:
            return EmfHatch::Cross;
        case Qt::BDiagPattern:
            return EmfHatch::BackwardDiagonal;
        case Qt::FDiagPattern:
            return EmfHatch::ForwardDiagonal;
        case Qt::DiagCrossPattern:
            return EmfHatch::DiagonalCross;
        default:
            return EmfHatch::None;
    }
}

EmfFontFamily fontFamily(QFont::StyleHint hint) {
    switch (hint) {
        case QFont::Serif:
            return EmfFontFamily::Roman;
        case QFont::SansSerif:
            return EmfFontFamily::Swiss;
        case QFont::TypeWriter:
            return EmfFontFamily::Modern;
        default:
            return EmfFontFamily::DontCare;
    }
}

// Tenths of a degree, counter-clockwise on the page (whose y axis points down).
int escapementOf(const QTransform& t) {
    const double degrees = std::atan2(-t.m12(), t.m11()) * 180.0 / std::numbers::pi;
    const int tenths = int(std::lround(degrees * 10.0));
    return ((tenths % 3600) + 3600) % 3600;
}

// Pixels whose centres lie inside the rectangle, as a raster painter clips them.
QRect pixelCentresInside(const QRectF& r) {
    auto edge = [](double v) {
        return int(std::ceil(std::clamp(v, -kCoordinateLimit, kCoordinateLimit) - 0.5));
    };
    const int left = edge(r.left()), top = edge(r.top());
    return QRect(left, top, std::max(0, edge(r.right()) - left), std::max(0, edge(r.bottom()) - top));
}

bool keepsAxes(const QTransform& t) {
    return t.isAffine() && ((t.m12() == 0 && t.m21() == 0) || (t.m11() == 0 && t.m22() == 0));
}

// Clips outside `bound` (the picture, a pixel larger) are cut to it before they are
// turned into regions, so a huge clip costs no more than the picture.
QRegion deviceRegion(const QRegion& region, const QTransform& t, const QRect& bound) {
    if (keepsAxes(t)) {
        QRegion out;
        for (const QRect& r : region) out |= pixelCentresInside(t.mapRect(QRectF(r)));
        return out & bound;
    }
    bool invertible = false;
    const QTransform back = t.inverted(&invertible);
    if (!invertible) return {};
    return t.map(region & back.mapRect(QRectF(bound)).toAlignedRect()) & bound;
}

QRegion deviceRegion(const QPainterPath& path, const QTransform& t, const QRect& bound) {
    const QPolygonF polygon = path.toFillPolygon(t);
    const QRectF box = polygon.boundingRect();
    if (!std::isfinite(box.width()) || !std::isfinite(box.height())) return {};
    const bool onlyCorners = std::all_of(polygon.begin(), polygon.end(), [&box](QPointF p) {
        return (p.x() == box.left() || p.x() == box.right()) && (p.y() == box.top() || p.y() == box.bottom());
    });
    if (onlyCorners && polygon.size() <= 5) return pixelCentresInside(box) & bound;
    QPainterPath inside;
    inside.addPolygon(polygon);
    inside.setFillRule(path.fillRule());
    QPainterPath boundPath;
    boundPath.addRect(QRectF(bound));
    inside = inside.intersected(boundPath);
    return QRegion(devicePolygon(inside.toFillPolygon()), inside.fillRule()) & bound;
}

}  // namespace

EmfPaintEngine::EmfPaintEngine(EmfRecordWriter& writer, QSize deviceSize, double dpi)
    : QPaintEngine(AllFeatures),
      writer_(writer),
      dc_(writer),
      deviceRect_(QPoint(0, 0), deviceSize),
      clipBound_(deviceRect_.adjusted(-1, -1, 1, 1)),
      dpi_(dpi) {}

bool EmfPaintEngine::begin(QPaintDevice*) {
    clipEnabled_ = false;
    hasClip_ = false;
    clip_ = QRegion();
    writeClip();
    return true;
}

bool EmfPaintEngine::end() {
    dc_.finish();
    return true;
}

void EmfPaintEngine::updateState(const QPaintEngineState& s) {
    const DirtyFlags flags = s.state();
    if (flags & (DirtyClipPath | DirtyClipRegion)) {
        // The clip is given in the coordinates of the transform in force when it was set.
        const bool usePath =
            (flags & DirtyClipPath) && !((flags & DirtyClipRegion) && s.clipPath().isEmpty());
        if (s.clipOperation() == Qt::NoClip)
            hasClip_ = false;
        else
            applyClip(s.clipOperation(), usePath ? deviceRegion(s.clipPath(), s.transform(), clipBound_)
                                                 : deviceRegion(s.clipRegion(), s.transform(), clipBound_));
    }
    if (flags & DirtyClipEnabled) clipEnabled_ = s.isClipEnabled();
    if (flags & (DirtyClipPath | DirtyClipRegion | DirtyClipEnabled)) writeClip();
}

void EmfPaintEngine::applyClip(Qt::ClipOperation operation, const QRegion& region) {
    if (operation == Qt::IntersectClip && hasClip_)
        clip_ &= region;
    else
        clip_ = region;
    hasClip_ = true;
}

// The picture never shows what lies outside it, as on screen: the device rectangle is
// always part of the clip.
void EmfPaintEngine::writeClip() {
    dc_.setClip(clipEnabled_ && hasClip_ ? clip_ & deviceRect_ : QRegion(deviceRect_));
}

// A singular transform collapses everything into a line or a point.
bool EmfPaintEngine::invisible() const {
    const double det = state->transform().determinant();
    return state->opacity() <= 0.0 || det == 0.0 || !std::isfinite(det);
}

EmfPen EmfPaintEngine::devicePen() const {
    const QPen& pen = state->pen();
    EmfPen out;
    out.color = colorOf(pen.brush());
    if (pen.style() == Qt::NoPen || pen.brush().style() == Qt::NoBrush || qAlpha(out.color) == 0) {
        out.style = EmfLineStyle::Null;
        out.color = 0;
        return out;
    }
    out.style = lineStyle(pen.style());
    const double width =
        pen.isCosmetic() ? std::max(1.0, pen.widthF()) : pen.widthF() * scaleOf(state->transform());
    out.width = std::isfinite(width) ? int(std::lround(std::clamp(width, 1.0, 10000.0))) : 1;
    if (out.width > 1) {
        out.cap = lineCap(pen.capStyle());
        out.join = lineJoin(pen.joinStyle());
    }
    return out;
}

EmfBrush EmfPaintEngine::deviceBrush() const {
    const QBrush& brush = state->brush();
    EmfBrush out;
    out.color = colorOf(brush);
    out.null = brush.style() == Qt::NoBrush || qAlpha(out.color) == 0;
    if (out.null)
        out.color = 0;
    else
        out.hatch = hatch(brush.style());
    return out;
}

void EmfPaintEngine::selectStroke(const EmfPen& pen) {
    dc_.selectPen(pen);
    dc_.setTransparentBackground();
}

void EmfPaintEngine::strokeLines(const QList<QPolygon>& lines) {
    const EmfPen pen = devicePen();
    if (lines.isEmpty() || pen.style == EmfLineStyle::Null || invisible()) return;
    selectStroke(pen);
    if (lines.size() == 1)
        writer_.polyline(lines.first(), boundsOf(lines, pen.width));
    else
        writer_.polyPolyline(lines, boundsOf(lines, pen.width));
}

void EmfPaintEngine::drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) {
    const QPolygon polygon = devicePolygon(state->transform(), points, count);
    if (polygon.size() < 2) return;
    if (mode == PolylineMode) {
        strokeLines({polygon});
        return;
    }
    const EmfPen pen = devicePen();
    const EmfBrush brush = deviceBrush();
    if ((pen.style == EmfLineStyle::Null && brush.null) || invisible()) return;
    selectStroke(pen);
    dc_.selectBrush(brush);
    dc_.setPolyFillMode(mode == WindingMode);
    writer_.polygon(polygon, boundsOf({polygon}, pen.width));
}

void EmfPaintEngine::drawLines(const QLineF* lines, int count) {
    QList<QPolygon> out;
    const QTransform t = state->transform();
    for (int i = 0; i < count; ++i) {
        const QPointF ends[2] = {lines[i].p1(), lines[i].p2()};
        QPolygon line = devicePolygon(t, ends, 2);
        if (line.size() == 2) out.append(line);
    }
    strokeLines(out);
}

// A dot is a line one pixel long: GDI leaves out a line's last pixel.
void EmfPaintEngine::drawPoints(const QPointF* points, int count) {
    QList<QPolygon> out;
    const QTransform t = state->transform();
    for (int i = 0; i < count; ++i)
        if (auto p = devicePoint(t.map(points[i]))) out.append(QPolygon({*p, *p + QPoint(1, 0)}));
    strokeLines(out);
}

// Rectangles are written as polygons: readers disagree about which edges of a
// rectangle record GDI fills, but agree on polygons.
void EmfPaintEngine::drawRects(const QRectF* rects, int count) {
    for (int i = 0; i < count; ++i) {
        const QRectF& r = rects[i];
        const QPointF corners[4] = {r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft()};
        drawPolygon(corners, 4, ConvexMode);
    }
}

void EmfPaintEngine::drawPath(const QPainterPath& path) {
    if (invisible()) return;
    QList<QPolygon> polygons;
    for (const QPolygonF& subpath : path.toSubpathPolygons(state->transform())) {
        QPolygon polygon = devicePolygon(subpath);
        if (polygon.size() >= 2) polygons.append(polygon);
    }
    if (polygons.isEmpty()) return;
    const EmfBrush brush = deviceBrush();
    if (!brush.null) {
        selectStroke(EmfPen{EmfLineStyle::Null});
        dc_.selectBrush(brush);
        dc_.setPolyFillMode(path.fillRule() == Qt::WindingFill);
        if (polygons.size() == 1)
            writer_.polygon(polygons.first(), boundsOf(polygons, 0));
        else
            writer_.polyPolygon(polygons, boundsOf(polygons, 0));
    }
    strokeLines(polygons);
}

void EmfPaintEngine::drawTextItem(const QPointF& origin, const QTextItem& item) {
    const QString text = item.text();
    const EmfPen pen = devicePen();
    if (text.isEmpty() || pen.style == EmfLineStyle::Null || invisible()) return;
    const QTransform t = state->transform();
    if (!isSimilarity(t)) {
        QPaintEngine::drawTextItem(origin, item);  // as filled outlines
        return;
    }
    const auto reference = devicePoint(t.map(origin));
    if (!reference) return;

    const double scale = std::hypot(t.m11(), t.m12());
    const QFont& font = item.font();
    const double pixels = (font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * dpi_ / 72.0) * scale;
    if (!std::isfinite(pixels)) return;
    QFont deviceFont(font);
    deviceFont.setPixelSize(std::clamp(int(std::lround(pixels)), 1, 100000));
    const QFontInfo info(deviceFont);

    EmfFont emfFont;
    emfFont.face = info.family();
    emfFont.height = -deviceFont.pixelSize();
    emfFont.escapement = escapementOf(t);
    emfFont.weight = std::clamp(int(font.weight()), 0, 1000);
    emfFont.italic = font.italic();
    emfFont.underline = font.underline();
    emfFont.strikeOut = font.strikeOut();
    emfFont.fixedPitch = info.fixedPitch();
    emfFont.family = fontFamily(font.styleHint());

    // Advances from our own metrics keep the text as wide as here when the reader
    // substitutes another face.
    const QFontMetricsF metrics(deviceFont);
    // Each character starts where the text before it ends, so kerning is kept.
    QList<int> advances;
    int placed = 0;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const int next = int(std::lround(metrics.horizontalAdvance(text.left(i + length))));
        advances.append(next - placed);
        if (length == 2) advances.append(0);
        placed = next;
        i += length;
    }
    const double x = placed;
    const QTransform baseline(t.m11() / scale, t.m12() / scale, t.m21() / scale, t.m22() / scale,
                              reference->x(), reference->y());
    const QRect bounds =
        baseline.mapRect(QRectF(0, -metrics.ascent(), x, metrics.ascent() + metrics.descent()))
            .toAlignedRect();

    dc_.selectFont(emfFont);
    dc_.setTextColor(pen.color);
    dc_.setTextAlignBaselineLeft();
    dc_.setTransparentBackground();
    writer_.text(*reference, text, advances, bounds);
}

void EmfPaintEngine::drawPixmap(const QRectF& target, const QPixmap& pixmap, const QRectF& source) {
    drawImage(target, pixmap.toImage(), source, Qt::AutoColor);
}

void EmfPaintEngine::drawImage(const QRectF& target, const QImage& image, const QRectF& source,
                               Qt::ImageConversionFlags) {
    if (image.isNull() || invisible()) return;
    const QRect sourceRect = source.toAlignedRect() & image.rect();
    if (sourceRect.isEmpty()) return;
    const QTransform t = state->transform();
    const auto topLeft = devicePoint(t.mapRect(target).topLeft());
    const auto bottomRight = devicePoint(t.mapRect(target).bottomRight());
    if (!topLeft || !bottomRight) return;
    const QRect deviceTarget(*topLeft,
                             QSize(bottomRight->x() - topLeft->x(), bottomRight->y() - topLeft->y()));
    if (deviceTarget.isEmpty()) return;

    QImage part = image.copy(sourceRect);
    // A DIB is stretched along the page's axes only: turn or mirror the pixels first.
    if (t.m12() != 0 || t.m21() != 0 || t.m11() < 0 || t.m22() < 0) {
        const double s = scaleOf(t);
        if (s <= 0) return;
        part = part.transformed(QTransform(t.m11() / s, t.m12() / s, t.m21() / s, t.m22() / s, 0, 0),
                                Qt::SmoothTransformation);
    }
    // Without alpha in the record, transparent pixels show as white paper.
    if (part.hasAlphaChannel()) {
        QImage flat(part.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        QPainter painter(&flat);
        painter.drawImage(0, 0, part);
        painter.end();
        part = flat;
    }
    writer_.image(deviceTarget, part);
}
