#include "charts/stripchart/core/Scaling.h"

#include <algorithm>
#include <cmath>

std::optional<AxisWindow> AutoScrollWindow(const AxisWindow& window, const AutoScrollRule& rule, double x,
                                           int firstVisibleIndex, int lastVisibleIndex, int count) {
    const double span = window.Span();
    if (firstVisibleIndex == -1 || lastVisibleIndex == -1) return AxisWindow{x, x + span};
    if (count == 1) {
        if (rule.FirstStyle == asfsLeftJustify) return AxisWindow{x, x + span};
        if (rule.FirstStyle == asfsRightJustify) return AxisWindow{x - span, x};
        return std::nullopt;
    }
    double shift = 0.0;
    if (x > window.Max || (rule.Type == asSmoothOffset && x > window.Max - rule.StepSize)) {
        switch (rule.Type) {
            case asSmooth:
                shift = x - window.Max;
                break;
            case asStep:
                shift = rule.StepSize;
                break;
            case asPage:
                shift = span;
                break;
            case asSmoothOffset:
                shift = rule.StepSize + (x - window.Max);
                break;
        }
    } else if (x < window.Min) {
        shift = x - window.Min;
    } else {
        return std::nullopt;
    }
    return AxisWindow{window.Min + shift, window.Max + shift};
}

AxisWindow AutoScaleWindow(const AxisWindow& window, const AutoScaleRule& rule, double dataMin,
                           double dataMax) {
    // One minor tick interval: span / (major - 1) / (minor + 1), in one division.
    const double step = window.Span() / ((rule.MajorCount - 1) * (std::max(rule.MinorCount, 0) + 1.0));
    const double margin = rule.Hysteresis != 0.0 ? rule.Hysteresis : step;
    AxisWindow result = window;
    if (rule.MaxAdjust && window.Max - step < dataMax) result.Max = dataMax + margin;
    if (rule.MinAdjust && dataMin - step < window.Min) result.Min = dataMin - margin;
    return result;
}

std::optional<AxisWindow> ZoomWindow(const AxisWindow& window, double factor) {
    if (!(factor > 0.0) || !std::isfinite(factor)) return std::nullopt;
    const double span = window.Span() * factor;
    if (span == 0.0 || !std::isfinite(span)) return std::nullopt;
    const double min = (window.Max + window.Min) / 2 - span / 2;
    return AxisWindow{min, min + span};
}
