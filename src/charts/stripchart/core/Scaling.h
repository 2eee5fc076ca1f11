#pragma once
// The arithmetic of the axis windows: where auto-scroll moves the X window for
// a new point, how far auto-scale widens the Y axis, and zooming about the centre.
#include <optional>

#include "charts/stripchart/core/ChartTypes.h"

struct AxisWindow {
    double Min = 0.0, Max = 0.0;
    double Span() const { return Max - Min; }
    friend bool operator==(const AxisWindow&, const AxisWindow&) = default;
};

struct AutoScrollRule {
    TAutoScroll Type = asSmooth;
    double StepSize = 0.0;
    TAutoScrollFirstStyle FirstStyle = asfsAuto;
};

// The X window after point x was appended, or none when it stays. The visible
// indexes are those computed with the new point; count is the new list size.
std::optional<AxisWindow> AutoScrollWindow(const AxisWindow& window, const AutoScrollRule& rule, double x,
                                           int firstVisibleIndex, int lastVisibleIndex, int count);

struct AutoScaleRule {
    int MajorCount = 6;
    int MinorCount = 4;
    double Hysteresis = 0.0;
    bool MinAdjust = true;
    bool MaxAdjust = true;
    friend bool operator==(const AutoScaleRule&, const AutoScaleRule&) = default;
};

// The Y window that keeps dataMin..dataMax at least one minor tick interval of
// the current axis inside it (or the hysteresis, when that is not zero).
AxisWindow AutoScaleWindow(const AxisWindow& window, const AutoScaleRule& rule, double dataMin,
                           double dataMax);

// The window scaled by factor about its centre; none when the new span would be
// zero or the factor is not a positive number (a negative one would flip the axis).
std::optional<AxisWindow> ZoomWindow(const AxisWindow& window, double factor);
