#include "charts/emf/EmfRecordWriter.h"

#include <QImage>
#include <QVector>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

// libUEMF is C with macros of its own; it stays inside this file.
#include <uemf.h>

static_assert(EmfStock::WhiteBrush == U_WHITE_BRUSH && EmfStock::NullBrush == U_NULL_BRUSH);
static_assert(EmfStock::BlackPen == U_BLACK_PEN && EmfStock::NullPen == U_NULL_PEN);
static_assert(EmfStock::SystemFont == U_SYSTEM_FONT);

// libUEMF's record builders keep all their state in the two tables below, which each
// metafile owns; they touch no globals, so metafiles need no lock between them.
struct EmfRecordWriter::Track {
    EMFTRACK* et = nullptr;
    EMFHANDLES* eht = nullptr;
    float hundredthsMmPerPixel = 0;
    ~Track() {
        emf_free(&et);
        emf_htable_free(&eht);
    }
};

namespace {

constexpr size_t kInitialSize = 64 * 1024;

U_RECTL toRectl(const QRect& r) { return U_RECTL{r.left(), r.top(), r.right(), r.bottom()}; }

// Clip rectangles exclude their right and bottom edges.
U_RECTL toExclusiveRectl(const QRect& r) {
    return U_RECTL{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

U_COLORREF toColorref(QRgb c) { return colorref3_set(qRed(c), qGreen(c), qBlue(c)); }

bool fits16(const QPolygon& points) {
    for (const QPoint& p : points) {
        if (p.x() < std::numeric_limits<int16_t>::min() || p.x() > std::numeric_limits<int16_t>::max() ||
            p.y() < std::numeric_limits<int16_t>::min() || p.y() > std::numeric_limits<int16_t>::max())
            return false;
    }
    return true;
}

bool allFit16(const QList<QPolygon>& polygons) {
    for (const QPolygon& p : polygons)
        if (!fits16(p)) return false;
    return true;
}

QVector<U_POINT16> points16(const QList<QPolygon>& polygons) {
    QVector<U_POINT16> out;
    for (const QPolygon& polygon : polygons)
        for (const QPoint& p : polygon) out.append(point16_set(int16_t(p.x()), int16_t(p.y())));
    return out;
}

QVector<U_POINTL> points32(const QList<QPolygon>& polygons) {
    QVector<U_POINTL> out;
    for (const QPolygon& polygon : polygons)
        for (const QPoint& p : polygon) out.append(point32_set(p.x(), p.y()));
    return out;
}

QVector<uint32_t> counts(const QList<QPolygon>& polygons) {
    QVector<uint32_t> out;
    for (const QPolygon& p : polygons) out.append(uint32_t(p.size()));
    return out;
}

uint32_t penStyle(EmfLineStyle style) {
    switch (style) {
        case EmfLineStyle::Solid:
            return U_PS_SOLID;
        case EmfLineStyle::Dash:
            return U_PS_DASH;
        case EmfLineStyle::Dot:
            return U_PS_DOT;
        case EmfLineStyle::DashDot:
            return U_PS_DASHDOT;
        case EmfLineStyle::DashDotDot:
            return U_PS_DASHDOTDOT;
        case EmfLineStyle::Null:
            return U_PS_NULL;
    }
    return U_PS_SOLID;
}

uint32_t penCap(EmfLineCap cap) {
    switch (cap) {
        case EmfLineCap::Round:
            return U_PS_ENDCAP_ROUND;
        case EmfLineCap::Square:
            return U_PS_ENDCAP_SQUARE;
        case EmfLineCap::Flat:
            return U_PS_ENDCAP_FLAT;
    }
    return U_PS_ENDCAP_SQUARE;
}

uint32_t penJoin(EmfLineJoin join) {
    switch (join) {
        case EmfLineJoin::Round:
            return U_PS_JOIN_ROUND;
        case EmfLineJoin::Bevel:
            return U_PS_JOIN_BEVEL;
        case EmfLineJoin::Miter:
            return U_PS_JOIN_MITER;
    }
    return U_PS_JOIN_BEVEL;
}

uint32_t hatchStyle(EmfHatch hatch) {
    switch (hatch) {
        case EmfHatch::Horizontal:
            return U_HS_HORIZONTAL;
        case EmfHatch::Vertical:
            return U_HS_VERTICAL;
        case EmfHatch::ForwardDiagonal:
            return U_HS_FDIAGONAL;
        case EmfHatch::BackwardDiagonal:
            return U_HS_BDIAGONAL;
        case EmfHatch::Cross:
            return U_HS_CROSS;
        case EmfHatch::DiagonalCross:
            return U_HS_DIAGCROSS;
        case EmfHatch::None:
            break;
    }
    return 0;
}

uint8_t pitchAndFamily(const EmfFont& font) {
    uint8_t family = U_FF_DONTCARE;
    switch (font.family) {
        case EmfFontFamily::Roman:
            family = U_FF_ROMAN;
            break;
        case EmfFontFamily::Swiss:
            family = U_FF_SWISS;
            break;
        case EmfFontFamily::Modern:
            family = U_FF_MODERN;
            break;
        case EmfFontFamily::DontCare:
            break;
    }
    return uint8_t(family | (font.fixedPitch ? U_FIXED_PITCH : U_VARIABLE_PITCH));
}

}  // namespace

EmfRecordWriter::EmfRecordWriter(const Header& header) : track_(std::make_unique<Track>()) {
    // emf_start insists on a file; the same tracking structure kept in memory serves us.
    track_->et = static_cast<EMFTRACK*>(std::calloc(1, sizeof(EMFTRACK)));
    if (!track_->et) throw std::bad_alloc();
    track_->et->buf = static_cast<char*>(std::malloc(kInitialSize));
    if (!track_->et->buf) throw std::bad_alloc();
    track_->et->allocated = kInitialSize;
    track_->et->chunk = kInitialSize;
    if (emf_htable_create(128, 128, &track_->eht) != 0) throw std::bad_alloc();
    if (header.referencePixels.width() > 0)
        track_->hundredthsMmPerPixel =
            float(header.referenceMillimeters.width() * 100.0 / header.referencePixels.width());

    // The description is "application\0title\0\0" in UTF-16.
    QString description;
    if (!header.application.isEmpty() || !header.title.isEmpty())
        description = header.application + QChar(0) + header.title + QChar(0) + QChar(0);
    QVector<uint16_t> utf16(description.size());
    std::memcpy(utf16.data(), description.utf16(), size_t(description.size()) * 2);
    append(U_EMRHEADER_set(
        toRectl(header.bounds), toRectl(header.frame), nullptr, U_CBSTR(utf16.size()),
        utf16.isEmpty() ? nullptr : utf16.data(),
        sizel_set(header.referencePixels.width(), header.referencePixels.height()),
        sizel_set(header.referenceMillimeters.width(), header.referenceMillimeters.height()), 0));
}

EmfRecordWriter::~EmfRecordWriter() = default;

void EmfRecordWriter::append(char* record) {
    if (!record) throw std::bad_alloc();
    if (emf_append(reinterpret_cast<U_ENHMETARECORD*>(record), track_->et, 1) != 0) throw std::bad_alloc();
}

// The 16-bit and 32-bit builders of one kind of point record.
struct EmfRecordWriter::PointRecord {
    char* (*small)(const U_RECTL, const uint32_t, const U_POINT16*);
    char* (*wide)(const U_RECTL, const uint32_t, const U_POINTL*);
};
struct EmfRecordWriter::PolyPointRecord {
    char* (*small)(const U_RECTL, const uint32_t, const uint32_t*, const uint32_t, const U_POINT16*);
    char* (*wide)(const U_RECTL, const uint32_t, const uint32_t*, const uint32_t, const U_POINTL*);
};

void EmfRecordWriter::points(const QPolygon& points, const QRect& bounds, const PointRecord& record) {
    if (points.isEmpty()) return;
    if (fits16(points)) {
        const auto p = points16({points});
        append(record.small(toRectl(bounds), uint32_t(p.size()), p.constData()));
    } else {
        const auto p = points32({points});
        append(record.wide(toRectl(bounds), uint32_t(p.size()), p.constData()));
    }
}

void EmfRecordWriter::polyPoints(const QList<QPolygon>& polygons, const QRect& bounds,
                                 const PolyPointRecord& record) {
    if (polygons.isEmpty()) return;
    const auto n = counts(polygons);
    if (allFit16(polygons)) {
        const auto p = points16(polygons);
        append(record.small(toRectl(bounds), uint32_t(n.size()), n.constData(), uint32_t(p.size()),
                            p.constData()));
    } else {
        const auto p = points32(polygons);
        append(record.wide(toRectl(bounds), uint32_t(n.size()), n.constData(), uint32_t(p.size()),
                           p.constData()));
    }
}

void EmfRecordWriter::polyline(const QPolygon& p, const QRect& bounds) {
    points(p, bounds, {U_EMRPOLYLINE16_set, U_EMRPOLYLINE_set});
}

void EmfRecordWriter::polygon(const QPolygon& p, const QRect& bounds) {
    points(p, bounds, {U_EMRPOLYGON16_set, U_EMRPOLYGON_set});
}

void EmfRecordWriter::polyPolyline(const QList<QPolygon>& lines, const QRect& bounds) {
    polyPoints(lines, bounds, {U_EMRPOLYPOLYLINE16_set, U_EMRPOLYPOLYLINE_set});
}

void EmfRecordWriter::polyPolygon(const QList<QPolygon>& polygons, const QRect& bounds) {
    polyPoints(polygons, bounds, {U_EMRPOLYPOLYGON16_set, U_EMRPOLYPOLYGON_set});
}

void EmfRecordWriter::text(QPoint reference, const QString& text, const QList<int>& advances,
                           const QRect& bounds) {
    if (text.isEmpty()) return;
    QVector<uint16_t> chars(text.size());
    std::memcpy(chars.data(), text.utf16(), size_t(text.size()) * 2);
    QVector<uint32_t> dx(text.size(), 0);
    for (int i = 0; i < dx.size() && i < advances.size(); ++i) dx[i] = uint32_t(std::max(0, advances[i]));
    char* emrText = emrtext_set(point32_set(reference.x(), reference.y()), U_NUM_STR(chars.size()), 2,
                                chars.data(), 0, U_RECTL{0, 0, -1, -1}, dx.data());
    if (!emrText) throw std::bad_alloc();
    char* record = U_EMREXTTEXTOUTW_set(toRectl(bounds), U_GM_COMPATIBLE, track_->hundredthsMmPerPixel,
                                        track_->hundredthsMmPerPixel, reinterpret_cast<PU_EMRTEXT>(emrText));
    std::free(emrText);
    append(record);
}

void EmfRecordWriter::image(const QRect& target, const QImage& image) {
    if (image.isNull() || target.isEmpty()) return;
    // A bottom-up 24-bit DIB: BGR888 rows, each padded with zeros to 4 bytes.
    const QImage bgr = image.convertToFormat(QImage::Format_BGR888);
    const int rowBytes = (bgr.width() * 3 + 3) / 4 * 4;
    QByteArray bits(qsizetype(rowBytes) * bgr.height(), '\0');
    for (int y = 0; y < bgr.height(); ++y)
        std::memcpy(bits.data() + qsizetype(rowBytes) * (bgr.height() - 1 - y), bgr.constScanLine(y),
                    size_t(bgr.width()) * 3);
    const auto size = uint32_t(bits.size());
    const U_BITMAPINFOHEADER bih =
        bitmapinfoheader_set(bgr.width(), bgr.height(), 1, 24, U_BI_RGB, size, 0, 0, 0, 0);
    PU_BITMAPINFO bmi = bitmapinfo_set(bih, nullptr);
    if (!bmi) throw std::bad_alloc();
    char* record = U_EMRSTRETCHDIBITS_set(toRectl(target), point32_set(target.left(), target.top()),
                                          point32_set(target.width(), target.height()), point32_set(0, 0),
                                          point32_set(bgr.width(), bgr.height()), U_DIB_RGB_COLORS, U_SRCCOPY,
                                          bmi, size, bits.data());
    std::free(bmi);
    append(record);
}

uint32_t EmfRecordWriter::createPen(const EmfPen& pen) {
    uint32_t handle = 0;
    const U_COLORREF color = toColorref(pen.color);
    if (pen.width <= 1 || pen.style == EmfLineStyle::Null) {
        append(createpen_set(
            &handle, track_->eht,
            logpen_set(penStyle(pen.style), point32_set(pen.width <= 1 ? 1 : pen.width, 0), color)));
        return handle;
    }
    // Wide pens keep their dashes, caps and joins only as geometric pens.
    PU_EXTLOGPEN elp =
        extlogpen_set(U_PS_GEOMETRIC | penStyle(pen.style) | penCap(pen.cap) | penJoin(pen.join),
                      uint32_t(pen.width), U_BS_SOLID, color, 0, 0, nullptr);
    if (!elp) throw std::bad_alloc();
    char* record = extcreatepen_set(&handle, track_->eht, nullptr, 0, nullptr, elp);
    std::free(elp);
    append(record);
    return handle;
}

uint32_t EmfRecordWriter::createBrush(const EmfBrush& brush) {
    uint32_t handle = 0;
    const uint32_t style = brush.null ? U_BS_NULL : brush.hatch == EmfHatch::None ? U_BS_SOLID : U_BS_HATCHED;
    append(createbrushindirect_set(
        &handle, track_->eht,
        logbrush_set(style, toColorref(brush.color), int32_t(hatchStyle(brush.hatch)))));
    return handle;
}

uint32_t EmfRecordWriter::createFont(const EmfFont& font) {
    uint16_t face[U_LF_FACESIZE] = {};
    const int n = std::min<int>(font.face.size(), U_LF_FACESIZE - 1);
    std::memcpy(face, font.face.utf16(), size_t(n) * 2);
    U_LOGFONT lf = logfont_set(font.height, 0, font.escapement, font.escapement, font.weight, font.italic,
                               font.underline, font.strikeOut, U_DEFAULT_CHARSET, U_OUT_DEFAULT_PRECIS,
                               U_CLIP_DEFAULT_PRECIS, U_DEFAULT_QUALITY, pitchAndFamily(font), face);
    // The record holds the whole U_LOGFONT_PANOSE: zero what follows the LOGFONT, or the
    // stack behind it would be copied into the file.
    U_LOGFONT_PANOSE elf{};
    elf.elfLogFont = lf;
    uint32_t handle = 0;
    append(extcreatefontindirectw_set(&handle, track_->eht, nullptr, reinterpret_cast<const char*>(&elf)));
    return handle;
}

void EmfRecordWriter::select(uint32_t handle) {
    append((handle & U_STOCK_OBJECT) ? U_EMRSELECTOBJECT_set(handle) : selectobject_set(handle, track_->eht));
}

void EmfRecordWriter::remove(uint32_t handle) {
    if (handle & U_STOCK_OBJECT) return;
    append(deleteobject_set(&handle, track_->eht));
}

void EmfRecordWriter::setMapModeText() { append(U_EMRSETMAPMODE_set(U_MM_TEXT)); }
void EmfRecordWriter::saveDc() { append(U_EMRSAVEDC_set()); }
void EmfRecordWriter::restoreDc() { append(U_EMRRESTOREDC_set(-1)); }

void EmfRecordWriter::intersectClip(const QRect& rect) {
    append(U_EMRINTERSECTCLIPRECT_set(rect.isEmpty() ? U_RECTL{0, 0, 0, 0} : toExclusiveRectl(rect)));
}

void EmfRecordWriter::intersectClip(const QRegion& region) {
    QVector<U_RECTL> rects;
    for (const QRect& r : region) rects.append(toExclusiveRectl(r));
    PU_RGNDATA data = rgndata_set(
        rgndataheader_set(U_NUM_RECTL(rects.size()), toExclusiveRectl(region.boundingRect())), rects.data());
    if (!data) throw std::bad_alloc();
    char* record = U_EMREXTSELECTCLIPRGN_set(U_RGN_AND, data);
    std::free(data);
    append(record);
}

void EmfRecordWriter::setTransparentBackground() { append(U_EMRSETBKMODE_set(U_TRANSPARENT)); }

void EmfRecordWriter::setTextColor(QRgb color) { append(U_EMRSETTEXTCOLOR_set(toColorref(color))); }
void EmfRecordWriter::setTextAlignBaselineLeft() {
    append(U_EMRSETTEXTALIGN_set(U_TA_BASELINE | U_TA_LEFT | U_TA_NOUPDATECP));
}
void EmfRecordWriter::setPolyFillMode(bool winding) {
    append(U_EMRSETPOLYFILLMODE_set(winding ? U_WINDING : U_ALTERNATE));
}

QByteArray EmfRecordWriter::file() const {
    // Finish a copy, so that drawing may go on afterwards: emf_finish fills in the header's
    // byte, record and handle counts and writes the buffer to a stream, here one in memory.
    const EMFTRACK& et = *track_->et;
    EMFTRACK copy = et;
    copy.buf = static_cast<char*>(std::malloc(et.used + 64));
    if (!copy.buf) throw std::bad_alloc();
    std::memcpy(copy.buf, et.buf, et.used);
    copy.allocated = et.used + 64;
    char* stream = nullptr;
    size_t length = 0;
    copy.fp = open_memstream(&stream, &length);
    QByteArray out;
    if (copy.fp) {
        char* eof = U_EMREOF_set(0, nullptr, &copy);
        const bool appended = eof && emf_append(reinterpret_cast<U_ENHMETARECORD*>(eof), &copy, 1) == 0;
        if (appended && emf_finish(&copy, track_->eht) == 0)
            out = QByteArray(stream, qsizetype(length));
        else
            std::fclose(copy.fp);
        std::free(stream);
    }
    std::free(copy.buf);
    if (out.isEmpty()) throw std::bad_alloc();
    return out;
}
