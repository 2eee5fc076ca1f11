#include "charts/emf/EmfDeviceContext.h"

#include <algorithm>

#include "charts/emf/EmfRecordWriter.h"

namespace {
// Enough for every pen, brush and font a chart uses; a drawing with more distinct ones
// deletes the least recently used, so the handle table stays small.
constexpr size_t kCachedPerKind = 32;
}  // namespace

EmfDeviceContext::EmfDeviceContext(EmfRecordWriter& writer) : writer_(writer) {}

uint32_t EmfDeviceContext::create(const EmfPen& pen) { return writer_.createPen(pen); }
uint32_t EmfDeviceContext::create(const EmfBrush& brush) { return writer_.createBrush(brush); }
uint32_t EmfDeviceContext::create(const EmfFont& font) { return writer_.createFont(font); }

bool EmfDeviceContext::inUse(uint32_t handle) const {
    auto selects = [handle](const Selection& s) {
        return s.pen == handle || s.brush == handle || s.font == handle;
    };
    // An object selected when the clip's state was saved comes back on restore, so it
    // must stay alive as well.
    return selects(current_) || (saved_ && selects(*saved_));
}

template <typename Key>
void EmfDeviceContext::evictOne(std::vector<Cached<Key>>& cache) {
    auto oldest = cache.end();
    for (auto it = cache.begin(); it != cache.end(); ++it) {
        if (inUse(it->handle)) continue;
        if (oldest == cache.end() || it->lastUse < oldest->lastUse) oldest = it;
    }
    if (oldest == cache.end()) return;
    writer_.remove(oldest->handle);
    cache.erase(oldest);
}

template <typename Key>
uint32_t EmfDeviceContext::handleFor(std::vector<Cached<Key>>& cache, const Key& key) {
    ++uses_;
    for (auto& entry : cache) {
        if (entry.key == key) {
            entry.lastUse = uses_;
            return entry.handle;
        }
    }
    if (cache.size() >= kCachedPerKind) evictOne(cache);
    cache.push_back({key, create(key), uses_});
    return cache.back().handle;
}

void EmfDeviceContext::select(uint32_t Selection::*slot, uint32_t handle) {
    if (current_.*slot == handle) return;
    writer_.select(handle);
    current_.*slot = handle;
}

void EmfDeviceContext::selectPen(const EmfPen& pen) {
    select(&Selection::pen, pen.style == EmfLineStyle::Null ? EmfStock::NullPen : handleFor(pens_, pen));
}

void EmfDeviceContext::selectBrush(const EmfBrush& brush) {
    select(&Selection::brush, brush.null ? EmfStock::NullBrush : handleFor(brushes_, brush));
}

void EmfDeviceContext::selectFont(const EmfFont& font) { select(&Selection::font, handleFor(fonts_, font)); }

void EmfDeviceContext::setTextColor(QRgb color) {
    color |= 0xff000000;
    if (current_.textColor == color) return;
    writer_.setTextColor(color);
    current_.textColor = color;
}

void EmfDeviceContext::setTransparentBackground() {
    if (!current_.opaque) return;
    writer_.setTransparentBackground();
    current_.opaque = false;
}

void EmfDeviceContext::setPolyFillMode(bool winding) {
    if (current_.winding == winding) return;
    writer_.setPolyFillMode(winding);
    current_.winding = winding;
}

void EmfDeviceContext::setTextAlignBaselineLeft() {
    if (current_.baselineLeft) return;
    writer_.setTextAlignBaselineLeft();
    current_.baselineLeft = true;
}

void EmfDeviceContext::setClip(const QRegion& clip) {
    if (clip_ && *clip_ == clip) return;
    if (saved_) {
        writer_.restoreDc();
        current_ = *saved_;
    }
    writer_.saveDc();
    saved_ = current_;
    if (clip.rectCount() <= 1)
        writer_.intersectClip(clip.boundingRect());
    else
        writer_.intersectClip(clip);
    clip_ = clip;
}

void EmfDeviceContext::finish() {
    if (saved_) {
        writer_.restoreDc();
        current_ = *saved_;
        saved_.reset();
    }
    clip_.reset();
    select(&Selection::pen, EmfStock::BlackPen);
    select(&Selection::brush, EmfStock::WhiteBrush);
    select(&Selection::font, EmfStock::SystemFont);
    for (const auto& e : pens_) writer_.remove(e.handle);
    for (const auto& e : brushes_) writer_.remove(e.handle);
    for (const auto& e : fonts_) writer_.remove(e.handle);
    pens_.clear();
    brushes_.clear();
    fonts_.clear();
}
