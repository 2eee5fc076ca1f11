#pragma once
// The pixel geometry of a channel's line: points of the visible range, broken at
// null values, reduced to one min-max stroke per pixel column when dense data
// drawing is on, and clipped to the plot in our own code (the SVG and EMF
// outputs cannot rely on the painter's clip).
#include <vector>

#include "charts/stripchart/core/Layout.h"

struct PixelPoint {
    double X = 0.0, Y = 0.0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// A run of joined points; a run of one point is drawn as a dot.
using PixelRun = std::vector<PixelPoint>;

struct ClipBox {
    double Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool Contains(const PixelPoint& p) const {
        return p.X >= Left && p.X <= Right && p.Y >= Top && p.Y <= Bottom;
    }
};

ClipBox ClipBoxFor(const ChartRect& plot);

// Liang-Barsky: trims the segment a-b to the box; false when nothing of it is inside.
bool ClipSegment(PixelPoint& a, PixelPoint& b, const ClipBox& box);

// The runs cut to the box: a run leaving and re-entering the box becomes two.
std::vector<PixelRun> ClipRuns(const std::vector<PixelRun>& runs, const ClipBox& box);

// The channel's line in pixels, unclipped: empty for a hidden channel, a window of
// zero span, or no visible data.
std::vector<PixelRun> ChannelRuns(const StripChartModel& chart, const PlotMapping& mapping, int channel);

// The same, clipped to the plot: what the painter draws.
std::vector<PixelRun> ChannelLinesInPlot(const StripChartModel& chart, const ChartLayout& layout,
                                         int channel);

// Whether the chart draws channel lines at all: time indexes, a valid visible
// range and both axis spans non-zero.
bool ChannelLinesDrawable(const StripChartModel& chart);

// Whether channel i is drawn (hidden channels, and in scmCursor with
// CursorHideAllOtherChannels every channel but the cursor channel, are not).
bool ChannelShown(const StripChartModel& chart, int channel);

// Evenly spaced integer positions from first to last, count of them (count >= 2).
std::vector<int> MajorTickPositions(int first, int last, int count);
// minorCount positions inside each interval between major positions.
std::vector<int> MinorTickPositions(int first, int last, int majorCount, int minorCount);
