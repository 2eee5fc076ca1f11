#include <algorithm>
#include <cmath>

#include "TestChart.h"
#include "charts/stripchart/core/ChannelLines.h"

namespace {
const ClipBox kBox{0, 0, 100, 50};

std::size_t PointCount(const std::vector<PixelRun>& runs) {
    std::size_t n = 0;
    for (const auto& run : runs) n += run.size();
    return n;
}

// A 500 x 250 chart with one channel holding count points of f(i).
template <typename F>
void Fill(TestChart& chart, int count, F f) {
    chart.SetAutoScrollEnabled(false);
    chart.SetAutoScaleEnabled(false);
    chart.AddChannel("A", ChartColors::White);
    for (int i = 0; i < count; ++i) {
        chart.AddTimeIndex(i);
        chart.SetChannelData(0, i, f(i));
    }
}
}  // namespace

TEST(ChannelLinesTest, LiangBarskyTrimsToTheBox) {
    PixelPoint a{-50, 25}, b{150, 25};
    ASSERT_TRUE(ClipSegment(a, b, kBox));
    EXPECT_EQ(a, (PixelPoint{0, 25}));
    EXPECT_EQ(b, (PixelPoint{100, 25}));
    a = {50, -50}, b = {50, 100};  // vertical
    ASSERT_TRUE(ClipSegment(a, b, kBox));
    EXPECT_EQ(a, (PixelPoint{50, 0}));
    EXPECT_EQ(b, (PixelPoint{50, 50}));
    a = {10, 60}, b = {90, 70};  // below the box
    EXPECT_FALSE(ClipSegment(a, b, kBox));
    a = {120, -30}, b = {160, 10};  // past a corner
    EXPECT_FALSE(ClipSegment(a, b, kBox));
}

TEST(ChannelLinesTest, ARunLeavingAndReenteringTheBoxBecomesTwo) {
    const std::vector<PixelRun> runs{{{10, 10}, {50, 100}, {90, 10}}, {{200, 10}}, {{20, 20}}};
    const auto clipped = ClipRuns(runs, kBox);
    ASSERT_EQ(clipped.size(), 3u);
    EXPECT_EQ(clipped[0].front(), (PixelPoint{10, 10}));
    EXPECT_EQ(clipped[0].back().Y, 50);
    EXPECT_EQ(clipped[1].front().Y, 50);
    EXPECT_EQ(clipped[1].back(), (PixelPoint{90, 10}));
    EXPECT_EQ(clipped[2], (PixelRun{{20, 20}}));  // the dot inside stays, the one outside goes
}

TEST(ChannelLinesTest, LinesStayInsideThePlot) {
    TestChart chart;
    // Spikes far beyond 0..100 both ways; 50 at the window's ends.
    Fill(chart, 200, [](int i) { return i % 10 == 7 ? 500.0 : (i % 10 == 3 ? -300.0 : 50.0); });
    chart.SetXAxisMin(20.5);
    chart.SetXAxisMax(60.5);
    const ChartLayout layout = ComputeLayout(chart, 500, 250, FixedMeasurer());
    const auto runs = ChannelLinesInPlot(chart, layout, 0);
    ASSERT_FALSE(runs.empty());
    const ClipBox box = ClipBoxFor(layout.Plot);
    for (const auto& run : runs)
        for (const auto& p : run) EXPECT_TRUE(box.Contains(p)) << p.X << "," << p.Y;
    // The line reaches both side edges: it starts and ends just outside the window.
    double left = 1e9, right = -1e9;
    for (const auto& run : runs)
        for (const auto& p : run) left = std::min(left, p.X), right = std::max(right, p.X);
    EXPECT_EQ(left, layout.Plot.Left);
    EXPECT_EQ(right, layout.Plot.Right);
}

TEST(ChannelLinesTest, AZeroSpanWindowDrawsNoLines) {
    TestChart chart;
    Fill(chart, 20, [](int i) { return i * 2.0; });
    const ChartLayout layout = ComputeLayout(chart, 500, 250, FixedMeasurer());
    EXPECT_FALSE(ChannelLinesInPlot(chart, layout, 0).empty());
    chart.SetXAxisMax(chart.XAxisMin());
    EXPECT_TRUE(ChannelLinesInPlot(chart, layout, 0).empty());
    chart.SetXAxisMax(10);
    chart.SetYAxisMin(100);
    EXPECT_TRUE(ChannelLinesInPlot(chart, layout, 0).empty());
}

TEST(ChannelLinesTest, AChannelNeverGivenAValueDrawsNothing) {
    TestChart chart;
    Fill(chart, 10, [](int i) { return i; });
    chart.AddChannel("Empty", ChartColors::White);
    const ChartLayout layout = ComputeLayout(chart, 500, 250, FixedMeasurer());
    EXPECT_TRUE(ChannelLinesInPlot(chart, layout, 1).empty());
    EXPECT_EQ(layout.LegendRows.size(), 2u);  // its legend row is still there
}

TEST(ChannelLinesTest, NullValuesBreakTheLineAndLonePointsAreDots) {
    TestChart chart;
    chart.SetDiscontinuousDataEnabled(true);
    Fill(chart, 0, [](int) { return 0.0; });
    for (int i = 0; i < 8; ++i) chart.AddTimeIndex(i);
    chart.SetInterpolateMissingDataPoints(false);
    for (int i : {0, 1, 2, 4, 6, 7}) chart.SetChannelData(0, i, 50.0);
    const ChartLayout layout = ComputeLayout(chart, 500, 250, FixedMeasurer());
    const auto runs = ChannelLinesInPlot(chart, layout, 0);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].size(), 3u);
    EXPECT_EQ(runs[1].size(), 1u);  // index 4 alone: a dot
    EXPECT_EQ(runs[2].size(), 2u);
}

TEST(ChannelLinesTest, MinMaxDrawingCostFollowsThePixelWidth) {
    TestChart chart;
    Fill(chart, 100000, [](int i) { return 50.0 + 40.0 * std::sin(i * 0.37); });
    chart.SetXAxisMax(100000);
    chart.SetEnableDataDrawMinMax(true);
    const ChartLayout layout = ComputeLayout(chart, 500, 250, FixedMeasurer());
    const auto runs = ChannelLinesInPlot(chart, layout, 0);
    EXPECT_LE(PointCount(runs), 4u * static_cast<std::size_t>(layout.Plot.Width() + 1));
    // Each column still spans the data's whole range.
    double top = 1e9, bottom = -1e9;
    for (const auto& run : runs)
        for (const auto& p : run) top = std::min(top, p.Y), bottom = std::max(bottom, p.Y);
    const PlotMapping mapping = MappingFor(chart, layout);
    EXPECT_NEAR(top, mapping.Y(90), 1.0);
    EXPECT_NEAR(bottom, mapping.Y(10), 1.0);
}

TEST(ChannelLinesTest, HiddenAndCursorHiddenChannelsAreNotDrawn) {
    TestChart chart;
    Fill(chart, 10, [](int i) { return i; });
    chart.AddChannel("B", ChartColors::White);
    for (int i = 0; i < 10; ++i) chart.SetChannelData(1, i, 5);
    EXPECT_TRUE(ChannelShown(chart, 1));
    chart.SetToolBarMode(scmCursor);
    chart.SetCursorHideAllOtherChannels(true);
    EXPECT_TRUE(ChannelShown(chart, 0));
    EXPECT_FALSE(ChannelShown(chart, 1));
    chart.GetChannel(0).Visible = false;
    EXPECT_FALSE(ChannelShown(chart, 0));
}

TEST(ChannelLinesTest, TickPositionsSpanTheirRange) {
    EXPECT_EQ(MajorTickPositions(0, 100, 5), (std::vector<int>{0, 25, 50, 75, 100}));
    EXPECT_EQ(MinorTickPositions(0, 100, 3, 4), (std::vector<int>{10, 20, 30, 40, 60, 70, 80, 90}));
    EXPECT_EQ(MajorTickPositions(200, 100, 2), (std::vector<int>{200, 100}));
}
