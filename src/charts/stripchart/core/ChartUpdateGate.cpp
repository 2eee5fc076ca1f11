#include "charts/stripchart/core/ChartUpdateGate.h"

ChartUpdateGate::ChartUpdateGate(Sink& sink, std::function<std::int64_t()> clockMs)
    : sink_(sink), clock_(std::move(clockMs)), lastEndUpdate_(clock_()) {}

void ChartUpdateGate::Request(bool full) {
    if (!updating_) {
        sink_.Paint(full, false);
        return;
    }
    (full ? fullPending_ : repaintPending_) = true;
    FlushWhenDue();
}

void ChartUpdateGate::RequestDataUpdate() {
    if (!updating_) {
        sink_.FireDataUpdate();
        return;
    }
    dataUpdatePending_ = true;
    FlushWhenDue();
}

void ChartUpdateGate::FlushWhenDue() {
    if (frameRate_ <= 0) return;
    if ((clock_() - lastEndUpdate_) * frameRate_ <= 1000) return;
    EndUpdate();
    BeginUpdate();
}

void ChartUpdateGate::EndUpdate() {
    updating_ = false;
    lastEndUpdate_ = clock_();
    const bool full = fullPending_, repaint = repaintPending_, data = dataUpdatePending_;
    fullPending_ = repaintPending_ = dataUpdatePending_ = false;
    if (full)
        sink_.Paint(true, true);
    else if (repaint)
        sink_.Paint(false, true);
    if (data) sink_.FireDataUpdate();
}
