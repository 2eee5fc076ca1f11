#pragma once
// TChartControl: the windowed base of the chart. It keeps the off-screen
// bitmap at the control's size, takes a lock around every paint, swallows an
// exception while drawing with a beep, and defers repaints between
// BeginUpdate and EndUpdate.
#include <QElapsedTimer>
#include <QWidget>
#include <functional>

#include "charts/stripchart/OffscreenBitmap.h"
#include "charts/stripchart/core/ChartTypes.h"
#include "charts/stripchart/core/ChartUpdateGate.h"

class TChartControl : public QWidget, private ChartUpdateGate::Sink {
    Q_OBJECT
public:
    explicit TChartControl(QWidget* parent = nullptr);
    ~TChartControl() override;

    ChartColor BackGroundColor() const { return backGroundColor_; }
    void SetBackGroundColor(ChartColor color);
    TBevelStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBevelStyle style);
    // Paints per second during a long update; 0 paints only at EndUpdate.
    int UpdateFrameRate() const { return gate_.UpdateFrameRate(); }
    void SetUpdateFrameRate(int framesPerSecond) { gate_.SetUpdateFrameRate(framesPerSecond); }

    virtual void BeginUpdate() { gate_.BeginUpdate(); }
    virtual void EndUpdate() { gate_.EndUpdate(); }
    bool Updating() const { return gate_.Updating(); }

    // What a paint does instead of beeping when drawing failed (tests count it).
    std::function<void()> Beep;
    const TOffscreenBitmap& Bitmap() const { return bitmap_; }

protected:
    // Asks for a paint of the plot and X labels, or of everything; deferred while updating.
    void RequestPaint(bool fullRedraw);
    void RequestDataUpdate() { gate_.RequestDataUpdate(); }
    // The subclass draws onto the off-screen bitmap; fullRedraw when the frame must be drawn too.
    virtual void DrawChart(QPainter& painter, bool fullRedraw) = 0;
    virtual void FireDataUpdateEvent() {}
    // The bitmap follows every change of bounds.
    virtual void ResizeBuffer();

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Paint(bool fullRedraw, bool immediately) override;
    void FireDataUpdate() override { FireDataUpdateEvent(); }

    ChartColor backGroundColor_ = ChartColors::ButtonFace;
    TBevelStyle borderStyle_ = bsNone;
    QElapsedTimer clock_;
    ChartUpdateGate gate_;
    TOffscreenBitmap bitmap_;
    bool fullRedrawPending_ = true;
    bool painting_ = false;  // the paint lock
};
