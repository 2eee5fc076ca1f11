#pragma once
// BeginUpdate/EndUpdate for the chart: while updating, repaint and full-redraw
// requests and the data-update event are only remembered; EndUpdate performs
// them once. With a frame rate above 0 a long update still paints that often.
#include <cstdint>
#include <functional>

class ChartUpdateGate {
public:
    class Sink {
    public:
        virtual ~Sink() = default;
        // immediately: the paint ends an update, so a long load shows its progress.
        virtual void Paint(bool fullRedraw, bool immediately) = 0;
        virtual void FireDataUpdate() = 0;
    };

    // clockMs: a millisecond clock, for the frame rate.
    ChartUpdateGate(Sink& sink, std::function<std::int64_t()> clockMs);

    void RequestRepaint() { Request(false); }
    void RequestFullRedraw() { Request(true); }
    void RequestDataUpdate() {
        if (!updating_) return sink_.FireDataUpdate();
        dataUpdatePending_ = true;
        if (frameRate_ > 0) FlushWhenDue();
    }

    // Calls do not nest: one EndUpdate ends any number of BeginUpdate.
    void BeginUpdate() { updating_ = true; }
    void EndUpdate();
    bool Updating() const { return updating_; }

    int UpdateFrameRate() const { return frameRate_; }
    void SetUpdateFrameRate(int framesPerSecond) { frameRate_ = framesPerSecond; }

private:
    // Inline: every data point of a bulk load asks for a paint.
    void Request(bool full) {
        if (!updating_) return sink_.Paint(full, false);
        (full ? fullPending_ : repaintPending_) = true;
        if (frameRate_ > 0) FlushWhenDue();
    }
    void FlushWhenDue();

    Sink& sink_;
    std::function<std::int64_t()> clock_;
    bool updating_ = false;
    bool fullPending_ = false, repaintPending_ = false, dataUpdatePending_ = false;
    std::int64_t lastEndUpdate_ = 0;
    int frameRate_ = 0;
};
