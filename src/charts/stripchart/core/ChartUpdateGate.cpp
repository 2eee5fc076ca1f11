#include "charts/stripchart/core/ChartUpdateGate.h"

ChartUpdateGate::ChartUpdateGate(Sink& sink, std::function<std::int64_t()> clockMs)
    : sink_(sink), clock_(std::move(clockMs)), lastEndUpdate_(clock_()) {}

void ChartUpdateGate::FlushWhenDue() {
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
