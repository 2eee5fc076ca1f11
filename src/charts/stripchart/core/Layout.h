#pragma once
// Where everything of the chart goes for a given client size: plot rectangle,
// axis label columns and bands, titles, legend and toolbar buttons. Text is
// measured through a small interface, so the arithmetic tests without a screen.
#include <string>
#include <vector>

#include "charts/stripchart/core/StripChartModel.h"

struct TextSize {
    int Width = 0, Height = 0;
};

class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    virtual TextSize Measure(const ChartFont& font, const std::string& text) const = 0;
};

struct ToolBarButton {
    TStripChartMode Mode = scmPlot;
    std::string Text;
    ChartRect Rect;
};

struct ChartLayout {
    int ClientWidth = 0, ClientHeight = 0;
    ChartRect Plot;
    int YLabelWidth = 0, YLabelHeight = 0, XLabelHeight = 0;
    int YLabelRight = 0;   // right edge of the Y label column
    int YTitleHeight = 0;  // 0 for a blank title
    int XLabelTop = 0;     // top of the X label band
    int XTitleTop = 0, XTitleHeight = 0;
    int TitleBottom = 0, TitleHeight = 0;
    ChartRect Legend;
    int LegendRowHeight = 0;
    // The toolbar, when shown: its two rows, the "Mode :  " caption and the buttons.
    bool ToolBarShown = false;
    int ToolBarHeight = 0, ToolBarRowHeight = 0;
    ChartRect ModeCaption;
    std::vector<ToolBarButton> Buttons;
    int ReadoutLeft = 0;

    bool PlotDrawable() const { return Plot.Width() > 0 && Plot.Height() > 0; }
    // The channel drawn in each legend row: channels hidden from the legend take no row.
    std::vector<int> LegendRows;
};

inline constexpr const char* kToolBarModeCaption = "Mode :  ";

ChartLayout ComputeLayout(const StripChartModel& chart, int clientWidth, int clientHeight,
                          const TextMeasurer& measurer);

// Data to pixels and back for the current axis windows: x = plot left +
// (t - XAxisMin) / X span * plot width; y = plot bottom - (v - YAxisMin) / Y span *
// (plot height - 1), mirrored with a reversed scale. Unrounded.
class PlotMapping {
public:
    PlotMapping(const ChartRect& plot, const AxisWindow& x, const AxisWindow& y, bool reverseY);
    // Inline: the drawing loops map every visible point.
    double X(double time) const { return plot_.Left + (time - x_.Min) * xScale_; }
    double Y(double value) const {
        const double up = (value - y_.Min) * yScale_;
        return reverse_ ? plot_.Top + up : plot_.Bottom - up;
    }
    double TimeAt(double px) const;
    double ValueAt(double py) const;
    const ChartRect& Plot() const { return plot_; }

private:
    ChartRect plot_;
    AxisWindow x_, y_;
    bool reverse_;
    double xScale_, yScale_;  // pixels per unit
};

PlotMapping MappingFor(const StripChartModel& chart, const ChartLayout& layout);

// Rounds to the nearest integer, halves to the even neighbour.
int RoundHalfEven(double value);
