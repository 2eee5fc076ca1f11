#pragma once
// Reads an enhanced metafile record by record, on its own (it shares no code with the
// writer), so the tests can check the structure a reader sees.
#include <QByteArray>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <cstring>
#include <vector>

namespace emr {
enum : uint32_t {
    Header = 0x01,
    Polygon = 0x03,
    Polyline = 0x04,
    PolyPolyline = 0x07,
    Eof = 0x0E,
    SetMapMode = 0x11,
    SetBkMode = 0x12,
    SetPolyFillMode = 0x13,
    SetTextAlign = 0x16,
    SetTextColor = 0x18,
    SetBkColor = 0x19,
    IntersectClipRect = 0x1E,
    SaveDc = 0x21,
    RestoreDc = 0x22,
    SelectObject = 0x25,
    CreatePen = 0x26,
    CreateBrushIndirect = 0x27,
    DeleteObject = 0x28,
    ExtSelectClipRgn = 0x4B,
    StretchDiBits = 0x51,
    ExtCreateFontIndirectW = 0x52,
    ExtTextOutW = 0x54,
    Polygon16 = 0x56,
    Polyline16 = 0x57,
    PolyPolyline16 = 0x5A,
    PolyPolygon16 = 0x5B,
    ExtCreatePen = 0x5F,
};
}  // namespace emr

struct EmfRecord {
    uint32_t type = 0;
    QByteArray bytes;  // the whole record, type and size included

    uint32_t u32(int at) const { return read<uint32_t>(at); }
    int32_t i32(int at) const { return read<int32_t>(at); }
    uint16_t u16(int at) const { return read<uint16_t>(at); }
    int16_t i16(int at) const { return read<int16_t>(at); }
    uint8_t u8(int at) const { return read<uint8_t>(at); }
    // RECTL fields as written: left, top, right, bottom.
    std::vector<int32_t> rectl(int at) const { return {i32(at), i32(at + 4), i32(at + 8), i32(at + 12)}; }
    QString utf16(int at, int count) const {
        QString s;
        for (int i = 0; i < count; ++i) s.append(QChar(u16(at + 2 * i)));
        return s;
    }
    // The points of a 16-bit or 32-bit polyline or polygon record.
    std::vector<QPoint> points() const;

private:
    template <typename T>
    T read(int at) const {
        T v{};
        if (at >= 0 && at + int(sizeof(T)) <= bytes.size())
            std::memcpy(&v, bytes.constData() + at, sizeof(T));
        return v;
    }
};

struct EmfWalk {
    std::vector<EmfRecord> records;
    QString error;  // empty when every record is in bounds, aligned and sized sensibly
    size_t sizeSum = 0;

    const EmfRecord& header() const { return records.front(); }
    std::vector<size_t> indexesOf(uint32_t type) const;
    size_t count(uint32_t type) const { return indexesOf(type).size(); }
    // Index of the last record of `type` before `before`, or npos.
    size_t lastBefore(uint32_t type, size_t before) const;
};

EmfWalk walkEmf(const QByteArray& file);

// Checks that objects live as GDI needs them to: selected only while alive, created
// into free slots, all deleted before the end, the header counting enough handles.
// Returns a description of the first fault, or an empty string.
QString objectLifetimeFault(const EmfWalk& walk);
