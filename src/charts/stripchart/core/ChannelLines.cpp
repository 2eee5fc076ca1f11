#include "charts/stripchart/core/ChannelLines.h"

#include <algorithm>
#include <cmath>

namespace {
// Far-out points are pulled in to this distance so the clipping arithmetic stays
// finite; the visible part of a line moves by far less than a pixel.
constexpr double kFar = 1e7;

// Rounds half to even like nearbyint, without a library call: adding 2^52 leaves no
// fraction bits. Valid for |coordinate| <= kFar.
double Pixel(double coordinate) {
    constexpr double kShift = 4503599627370496.0;
    const double c = std::clamp(coordinate, -kFar, kFar);
    return c >= 0 ? (c + kShift) - kShift : -((-c + kShift) - kShift);
}

// Value access without a virtual call per point for the two kinds of channel.
struct ContinuousValues {
    const double* values;
    bool Get(int i, double& value) const {
        value = values[i];
        return true;
    }
};
struct NullableValues {
    const TDataNullEntry* entries;
    bool Get(int i, double& value) const {
        value = entries[i].Value;
        return !entries[i].Null;
    }
};
struct AnyValues {
    const TStripChartChannel& channel;
    bool Get(int i, double& value) const {
        bool null = false;
        value = channel.GetValue(i, null);
        return !null;
    }
};

// Joins points into runs; a null value ends the run.
class RunBuilder {
public:
    explicit RunBuilder(std::vector<PixelRun>& runs) : runs_(runs) {}
    void Add(const PixelPoint& p) {
        if (!open_) {
            runs_.emplace_back();
            open_ = true;
        }
        PixelRun& run = runs_.back();
        if (run.empty() || !(run.back() == p)) run.push_back(p);
    }
    void Break() { open_ = false; }

private:
    std::vector<PixelRun>& runs_;
    bool open_ = false;
};

// One pixel column of dense data: its first, lowest, highest and last point.
struct Column {
    double X = 0, First = 0, Low = 0, High = 0, Last = 0;
    bool Used = false;
    void Flush(RunBuilder& builder) {
        if (!Used) return;
        // First and last lie between low and high, so this strokes low..high once
        // and joins the neighbouring columns at their ends.
        builder.Add({X, First});
        builder.Add({X, First > Last ? High : Low});
        builder.Add({X, First > Last ? Low : High});
        builder.Add({X, Last});
        Used = false;
    }
    void Add(double x, double y) {
        if (!Used) {
            X = x;
            First = Low = High = y;
            Used = true;
        }
        Low = std::min(Low, y);
        High = std::max(High, y);
        Last = y;
    }
};
}  // namespace

ClipBox ClipBoxFor(const ChartRect& plot) {
    return {static_cast<double>(plot.Left), static_cast<double>(plot.Top), static_cast<double>(plot.Right),
            static_cast<double>(plot.Bottom)};
}

bool ClipSegment(PixelPoint& a, PixelPoint& b, const ClipBox& box) {
    const double dx = b.X - a.X, dy = b.Y - a.Y;
    double t0 = 0.0, t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.X - box.Left, box.Right - a.X, a.Y - box.Top, box.Bottom - a.Y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            if (t > t1) return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return false;
            t1 = std::min(t1, t);
        }
    }
    const PixelPoint start{a.X + t0 * dx, a.Y + t0 * dy};
    const PixelPoint end{a.X + t1 * dx, a.Y + t1 * dy};
    a = start;
    b = end;
    return true;
}

std::vector<PixelRun> ClipRuns(const std::vector<PixelRun>& runs, const ClipBox& box) {
    std::vector<PixelRun> clipped;
    for (const PixelRun& run : runs) {
        if (run.size() == 1) {
            if (box.Contains(run[0])) clipped.push_back(run);
            continue;
        }
        bool open = false;
        for (std::size_t i = 1; i < run.size(); ++i) {
            PixelPoint a = run[i - 1], b = run[i];
            if (!ClipSegment(a, b, box)) {
                open = false;
                continue;
            }
            if (!open || !(clipped.back().back() == a)) {
                clipped.push_back({a});
                open = true;
            }
            clipped.back().push_back(b);
            // A segment that leaves the box ends the run here.
            if (!(b == run[i])) open = false;
        }
    }
    return clipped;
}

bool ChannelLinesDrawable(const StripChartModel& chart) {
    return chart.TimeIndexCount() > 0 && chart.FirstVisibleIndex() >= 0 &&
           chart.LastVisibleIndex() >= chart.FirstVisibleIndex() &&
           chart.LastVisibleIndex() < chart.TimeIndexCount() && chart.XWindow().Span() != 0.0 &&
           chart.YWindow().Span() != 0.0;
}

bool ChannelShown(const StripChartModel& chart, int channel) {
    if (!chart.GetChannel(channel).Visible) return false;
    if (chart.ToolBarMode() == scmCursor && chart.CursorHideAllOtherChannels())
        return channel == chart.CursorChannel();
    return true;
}

namespace {
template <typename Values>
void CollectRuns(const StripChartModel& chart, const PlotMapping& scale, int last, const Values& values,
                 std::vector<PixelRun>& runs) {
    const double* times = chart.TimeIndexes().Data();
    const double xMax = chart.XAxisMax();
    const bool minMax = chart.EnableDataDrawMinMax();
    RunBuilder builder(runs);
    Column column;
    for (int i = chart.FirstVisibleIndex(); i <= last; ++i) {
        double value = 0.0;
        const bool set = values.Get(i, value);
        if (!set || !std::isfinite(value)) {
            column.Flush(builder);
            builder.Break();
        } else {
            const double x = Pixel(scale.X(times[i])), y = Pixel(scale.Y(value));
            if (!minMax) {
                builder.Add({x, y});
            } else {
                if (column.Used && column.X != x) column.Flush(builder);
                column.Add(x, y);
            }
        }
        if (times[i] >= xMax) break;
    }
    column.Flush(builder);
}
}  // namespace

std::vector<PixelRun> ChannelRuns(const StripChartModel& chart, const PlotMapping& mapping, int channel) {
    std::vector<PixelRun> runs;
    if (!ChannelLinesDrawable(chart) || !ChannelShown(chart, channel)) return runs;
    const TStripChartChannel& source = chart.GetChannel(channel);
    const PlotMapping percent(mapping.Plot(), chart.XWindow(), {0.0, 100.0}, chart.YAxisReverseScale());
    const PlotMapping& scale = source.PercentScale ? percent : mapping;
    const int last = std::min(chart.LastVisibleIndex(), source.LastDataIndex());
    if (auto* continuous = dynamic_cast<const TStripChartContinuousChannel*>(&source))
        CollectRuns(chart, scale, last, ContinuousValues{continuous->Values().Data()}, runs);
    else if (auto* nullable = dynamic_cast<const TStripChartDiscontinuousChannel*>(&source))
        CollectRuns(chart, scale, last, NullableValues{nullable->Values().Data()}, runs);
    else
        CollectRuns(chart, scale, last, AnyValues{source}, runs);
    return runs;
}

std::vector<PixelRun> ChannelLinesInPlot(const StripChartModel& chart, const ChartLayout& layout,
                                         int channel) {
    if (!layout.PlotDrawable()) return {};
    return ClipRuns(ChannelRuns(chart, MappingFor(chart, layout), channel), ClipBoxFor(layout.Plot));
}

std::vector<int> MajorTickPositions(int first, int last, int count) {
    std::vector<int> positions;
    count = std::max(count, 2);
    for (int i = 0; i < count; ++i)
        positions.push_back(first + RoundHalfEven(static_cast<double>(i) * (last - first) / (count - 1)));
    return positions;
}

std::vector<int> MinorTickPositions(int first, int last, int majorCount, int minorCount) {
    std::vector<int> positions;
    majorCount = std::max(majorCount, 2);
    const double major = static_cast<double>(last - first) / (majorCount - 1);
    for (int i = 0; i + 1 < majorCount; ++i)
        for (int j = 1; j <= minorCount; ++j)
            positions.push_back(first + RoundHalfEven(major * i + major * j / (minorCount + 1)));
    return positions;
}
