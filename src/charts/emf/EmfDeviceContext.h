#pragma once

#include <QRegion>
#include <QRgb>
#include <cstdint>
#include <optional>
#include <vector>

#include "charts/emf/EmfObjects.h"

class EmfRecordWriter;

// What the metafile's device context holds at the current end of the record stream:
// the selected objects, colours and modes, and the objects created so far. Each record
// is written only when it changes something, and equal pens, brushes and fonts share
// one object until the painting ends.
class EmfDeviceContext {
public:
    explicit EmfDeviceContext(EmfRecordWriter& writer);

    void selectPen(const EmfPen& pen);
    void selectBrush(const EmfBrush& brush);
    void selectFont(const EmfFont& font);
    void setTextColor(QRgb color);
    // QPainter lays down the background of opaque mode itself, so GDI must not.
    void setTransparentBackground();
    void setPolyFillMode(bool winding);
    void setTextAlignBaselineLeft();
    // Makes the clip exactly `clip` (device pixels): the previous clip is undone by
    // restoring the saved state, since readers ignore exclude-clip records.
    void setClip(const QRegion& clip);
    // End of a painting: undo the clip, select the stock objects, delete every object.
    void finish();

    int objectCount() const { return int(pens_.size() + brushes_.size() + fonts_.size()); }

private:
    struct Selection {
        uint32_t pen = EmfStock::BlackPen;
        uint32_t brush = EmfStock::WhiteBrush;
        uint32_t font = EmfStock::SystemFont;
        QRgb textColor = 0xff000000;
        bool opaque = true;
        bool winding = false;
        bool baselineLeft = false;
    };
    template <typename Key>
    struct Cached {
        Key key;
        uint32_t handle;
        uint64_t lastUse;
    };
    template <typename Key>
    uint32_t handleFor(std::vector<Cached<Key>>& cache, const Key& key);
    template <typename Key>
    void evictOne(std::vector<Cached<Key>>& cache);
    uint32_t create(const EmfPen& pen);
    uint32_t create(const EmfBrush& brush);
    uint32_t create(const EmfFont& font);
    bool inUse(uint32_t handle) const;
    void select(uint32_t Selection::*slot, uint32_t handle);

    EmfRecordWriter& writer_;
    Selection current_;
    std::optional<Selection> saved_;  // state before the clip's SAVEDC
    std::optional<QRegion> clip_;
    std::vector<Cached<EmfPen>> pens_;
    std::vector<Cached<EmfBrush>> brushes_;
    std::vector<Cached<EmfFont>> fonts_;
    uint64_t uses_ = 0;
};
