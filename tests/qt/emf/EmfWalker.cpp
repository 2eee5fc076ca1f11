#include "qt/emf/EmfWalker.h"

#include <array>
#include <limits>
#include <map>

std::vector<QPoint> EmfRecord::points() const {
    std::vector<QPoint> out;
    const bool wide = type == emr::Polyline || type == emr::Polygon;
    const uint32_t n = u32(24);
    for (uint32_t i = 0; i < n && i < 1'000'000; ++i) {
        if (wide)
            out.emplace_back(i32(28 + 8 * int(i)), i32(32 + 8 * int(i)));
        else
            out.emplace_back(i16(28 + 4 * int(i)), i16(30 + 4 * int(i)));
    }
    return out;
}

EmfWalk walkEmf(const QByteArray& file) {
    EmfWalk walk;
    qsizetype at = 0;
    while (at + 8 <= file.size()) {
        EmfRecord r;
        std::memcpy(&r.type, file.constData() + at, 4);
        uint32_t size = 0;
        std::memcpy(&size, file.constData() + at + 4, 4);
        if (size < 8 || size % 4 != 0 || at + qsizetype(size) > file.size()) {
            walk.error =
                QStringLiteral("record %1 at %2 has size %3").arg(walk.records.size()).arg(at).arg(size);
            return walk;
        }
        r.bytes = file.mid(at, size);
        walk.records.push_back(r);
        walk.sizeSum += size;
        at += size;
        if (r.type == emr::Eof) break;
    }
    if (at != file.size())
        walk.error = QStringLiteral("%1 bytes after the last record").arg(file.size() - at);
    if (walk.records.empty()) walk.error = QStringLiteral("no records");
    return walk;
}

std::vector<size_t> EmfWalk::indexesOf(uint32_t type) const {
    std::vector<size_t> out;
    for (size_t i = 0; i < records.size(); ++i)
        if (records[i].type == type) out.push_back(i);
    return out;
}

size_t EmfWalk::lastBefore(uint32_t type, size_t before) const {
    for (size_t i = std::min(before, records.size()); i-- > 0;)
        if (records[i].type == type) return i;
    return std::numeric_limits<size_t>::max();
}

QString objectLifetimeFault(const EmfWalk& walk) {
    enum Kind { Pen, Brush, Font };
    std::map<uint32_t, Kind> alive;
    std::array<uint32_t, 3> selected = {0x80000007u, 0x80000000u, 0x8000000Du};  // the stock objects
    std::vector<std::array<uint32_t, 3>> saved;
    uint32_t highest = 0;
    auto kindOfStock = [](uint32_t stock) {
        return stock <= 0x80000005u ? Brush : stock <= 0x80000008u ? Pen : Font;
    };
    for (size_t i = 0; i < walk.records.size(); ++i) {
        const EmfRecord& r = walk.records[i];
        const uint32_t handle = r.u32(8);
        const Kind created = r.type == emr::CreateBrushIndirect      ? Brush
                             : r.type == emr::ExtCreateFontIndirectW ? Font
                                                                     : Pen;
        switch (r.type) {
            case emr::CreatePen:
            case emr::CreateBrushIndirect:
            case emr::ExtCreateFontIndirectW:
            case emr::ExtCreatePen:
                if (handle == 0 || !alive.emplace(handle, created).second)
                    return QStringLiteral("record %1 creates handle %2, which is taken").arg(i).arg(handle);
                highest = std::max(highest, handle);
                break;
            case emr::SelectObject:
                if (handle & 0x80000000u)
                    selected[kindOfStock(handle)] = handle;
                else if (alive.count(handle))
                    selected[alive[handle]] = handle;
                else
                    return QStringLiteral("record %1 selects dead handle %2").arg(i).arg(handle);
                break;
            case emr::DeleteObject: {
                auto it = alive.find(handle);
                if (it == alive.end())
                    return QStringLiteral("record %1 deletes dead handle %2").arg(i).arg(handle);
                if (selected[it->second] == handle)
                    return QStringLiteral("record %1 deletes selected handle %2").arg(i).arg(handle);
                for (const auto& s : saved)
                    if (s[it->second] == handle)
                        return QStringLiteral("record %1 deletes saved handle %2").arg(i).arg(handle);
                alive.erase(it);
                break;
            }
            case emr::SaveDc:
                saved.push_back(selected);
                break;
            case emr::RestoreDc:
                if (saved.empty() || r.i32(8) != -1)
                    return QStringLiteral("record %1 restores without a save").arg(i);
                selected = saved.back();
                saved.pop_back();
                break;
            default:
                break;
        }
    }
    if (!alive.empty()) return QStringLiteral("%1 objects never deleted").arg(alive.size());
    if (!saved.empty()) return QStringLiteral("%1 saved states never restored").arg(saved.size());
    if (walk.header().u16(56) <= highest)
        return QStringLiteral("header counts %1 handles, %2 used").arg(walk.header().u16(56)).arg(highest);
    return {};
}
