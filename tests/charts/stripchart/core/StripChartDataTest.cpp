#include <cmath>

#include "TestChart.h"

namespace {
double Value(const StripChartModel& chart, int channel, int index, bool* nullOut = nullptr) {
    bool null = false;
    const double value = chart.GetChannel(channel).GetValue(index, null);
    if (nullOut) *nullOut = null;
    return value;
}
}  // namespace

TEST(StripChartDataTest, EqualTimeIndexesAreAcceptedAndSmallerOnesRefusedWithoutChange) {
    TestChart chart;
    chart.AddChannel("Temp", ChartColors::Lime);
    EXPECT_EQ(chart.AddTimeIndex(1.0), 0);
    EXPECT_EQ(chart.AddTimeIndex(1.0), 1);
    chart.SetChannelData(0, 1, 4.0);
    const AxisWindow window = chart.XWindow();
    ExpectChartError([&] { chart.AddTimeIndex(0.5); }, "Time indexes must be incremental");
    ExpectChartError([&] { chart.AddTimeIndex(std::nan("")); }, "Time indexes must be incremental");
    EXPECT_EQ(chart.TimeIndexCount(), 2);
    EXPECT_EQ(chart.GetChannel(0).Count(), 2);
    EXPECT_EQ(chart.XWindow(), window);
    EXPECT_EQ(chart.LastVisibleIndex(), 1);
}

TEST(StripChartDataTest, SetChannelDataChecksChannelThenIndex) {
    TestChart chart;
    chart.AddChannel("A", ChartColors::White);
    ExpectChartError([&] { chart.SetChannelData(0, -1, 1.0); }, "Time Index out of Bounds");
    AddTimes(chart, 3);
    ExpectChartError([&] { chart.SetChannelData(1, 0, 1.0); }, "Channel Index out of Bounds");
    ExpectChartError([&] { chart.SetChannelData(-1, 0, 1.0); }, "Channel Index out of Bounds");
    ExpectChartError([&] { chart.SetChannelData(0, 3, 1.0); }, "Time Index out of Bounds");
    ExpectChartError([&] { chart.SetChannelData(0, -2, 1.0); }, "Time Index out of Bounds");
    ExpectChartError([&] { chart.GetChannel(1); }, "Channel Index out of Bounds");
    ExpectChartError([&] { chart.GetLabelChannel(0); }, "Label Channel Index out of Bounds");
    EXPECT_EQ(chart.GetChannel(0).LastDataIndex(), -1);
    EXPECT_FALSE(chart.DataSet());
    chart.SetChannelData(0, -1, 9.0);  // -1 is the last time index
    EXPECT_EQ(chart.GetChannel(0).LastDataIndex(), 2);
    EXPECT_EQ(Value(chart, 0, 2), 9.0);
}

TEST(StripChartDataTest, MissingPointsAreInterpolatedFromTheLastSetValueOrLeftAtZero) {
    for (bool interpolate : {true, false}) {
        TestChart chart;
        chart.SetInterpolateMissingDataPoints(interpolate);
        chart.AddChannel("A", ChartColors::White);
        AddTimes(chart, 8);
        chart.SetChannelData(0, 2, 10.0);
        chart.SetChannelData(0, 6, 30.0);
        bool null = true;
        EXPECT_EQ(Value(chart, 0, 3, &null), interpolate ? 15.0 : 0.0);
        EXPECT_FALSE(null);  // drawn either way
        EXPECT_EQ(Value(chart, 0, 4), interpolate ? 20.0 : 0.0);
        EXPECT_EQ(Value(chart, 0, 5), interpolate ? 25.0 : 0.0);
        EXPECT_EQ(Value(chart, 0, 6), 30.0);
        // Interpolated values do not count for the data range.
        EXPECT_EQ(chart.DataMin(), 10.0);
        EXPECT_EQ(chart.DataMax(), 30.0);
    }
}

TEST(StripChartDataTest, DiscontinuousChannelsInterpolateOnlyFromASetValue) {
    TestChart chart;
    chart.SetDiscontinuousDataEnabled(true);
    chart.AddChannel("A", ChartColors::White);
    AddTimes(chart, 6);
    chart.SetChannelData(0, 1, 2.0);
    chart.SetChannelData(0, 3, 6.0);
    bool null = true;
    EXPECT_EQ(Value(chart, 0, 2, &null), 4.0);
    EXPECT_FALSE(null);
    chart.GetChannel(0).SetNull(4);
    chart.SetChannelData(0, 5, 1.0);  // the last index is null: no interpolation
    EXPECT_EQ(Value(chart, 0, 4, &null), 0.0);
    EXPECT_TRUE(null);
    EXPECT_EQ(Value(chart, 0, 0, &null), 0.0);
    EXPECT_TRUE(null);
}

TEST(StripChartDataTest, AutoScaleKeepsAMinorTickAboveTheFirstValue) {
    TestChart chart;
    chart.SetYAxisTickMajorCount(5);
    chart.SetYAxisTickMinorCount(4);
    chart.AddChannel("A", ChartColors::White);
    chart.AddTimeIndex(0);
    chart.ClearAllData();
    chart.AddTimeIndex(0);
    chart.SetChannelData(0, 0, 98.0);
    EXPECT_DOUBLE_EQ(chart.YAxisMax(), 103.0);
    EXPECT_EQ(chart.YAxisMin(), 0.0);
    // Every call tests again: the maximum moves towards YAxisMax - step = DataMax.
    const double before = chart.YAxisMax();
    chart.SetChannelData(0, 0, 98.0);
    EXPECT_GT(chart.YAxisMax(), before);
    EXPECT_LT(chart.YAxisMax(), 98.0 + (chart.YAxisMax() - chart.YAxisMin()) / 4 / 5 + 1e-9);
}

TEST(StripChartDataTest, AutoScaleWidensDownwardsWithHysteresisAndOnlyInPlotMode) {
    TestChart chart;
    chart.AddChannel("A", ChartColors::White);
    chart.SetAutoScaleHysterisis(2.0);
    AddTimes(chart, 3);
    chart.SetChannelData(0, 0, -10.0);
    EXPECT_EQ(chart.YAxisMin(), -12.0);
    EXPECT_EQ(chart.YAxisMax(), 100.0);
    chart.SetAutoScaleMinAdjustEnabled(false);
    chart.SetChannelData(0, 1, -50.0);
    EXPECT_EQ(chart.YAxisMin(), -12.0);
    chart.SetAutoScaleMinAdjustEnabled(true);
    chart.SetToolBarMode(scmScrollXY);
    chart.SetChannelData(0, 2, 500.0);
    EXPECT_EQ(chart.YAxisMax(), 100.0);
}

TEST(StripChartDataTest, ClearAllDataEmptiesEverythingAndReportsOnce) {
    TestChart chart;
    chart.AddChannel("A", ChartColors::White);
    chart.AddLabelChannel();
    AddTimes(chart, 5);
    chart.SetChannelData(0, 4, 1.0);
    chart.SetToolBarMode(scmCursor);
    chart.MoveCursor(3);
    int events = 0;
    chart.OnDataUpdate = [&] { ++events; };
    chart.ResetCounts();
    chart.ClearAllData();
    EXPECT_EQ(chart.GetChannel(0).Count(), 0);
    EXPECT_EQ(chart.GetChannel(0).LastDataIndex(), -1);
    EXPECT_EQ(chart.GetLabelChannel(0).Count(), 0);
    EXPECT_EQ(chart.FirstVisibleIndex(), -1);
    EXPECT_EQ(chart.LastVisibleIndex(), -1);
    EXPECT_EQ(chart.CursorIndex(), 0);
    EXPECT_FALSE(chart.DataSet());
    EXPECT_EQ(events, 1);
    EXPECT_EQ(chart.repaints, 1);
}

TEST(StripChartDataTest, BufferTrimmingDropsTheOldestAndShiftsIndexes) {
    TestChart chart;
    chart.SetMaxBufferSize(10);
    chart.SetMinBufferSize(4);
    chart.AddChannel("A", ChartColors::White);
    chart.AddChannel("B", ChartColors::White);
    chart.AddLabelChannel();
    chart.SetXAxisMax(100);
    AddTimes(chart, 11);
    for (int i = 0; i < 11; ++i) chart.SetChannelData(0, i, i * 1.5);
    chart.SetChannelData(1, 7, 70.0);
    chart.SetToolBarMode(scmCursor);
    chart.MoveCursor(8);
    chart.SetToolBarMode(scmPlot);
    chart.AddTimeIndex(11);  // 11 entries > 10: the first 6 go, then 11 is appended
    EXPECT_EQ(chart.TimeIndexCount(), 6);
    EXPECT_EQ(chart.TimeIndex(0), 6.0);
    EXPECT_EQ(chart.GetChannel(0).LastDataIndex(), 4);
    EXPECT_EQ(chart.GetChannel(1).LastDataIndex(), 1);
    bool null = false;
    EXPECT_EQ(Value(chart, 1, 1, &null), 70.0);
    Value(chart, 1, 3, &null);
    EXPECT_TRUE(null);
    EXPECT_EQ(chart.GetLabelChannel(0).Count(), 6);
    EXPECT_EQ(chart.CursorIndex(), 2);
}

TEST(StripChartDataTest, UnsoundBufferSizesNeverTrim) {
    TestChart chart;
    chart.SetMaxBufferSize(5);
    chart.SetMinBufferSize(-3);  // would delete more than the list holds
    chart.AddChannel("A", ChartColors::White);
    AddTimes(chart, 9);
    EXPECT_EQ(chart.TimeIndexCount(), 9);
}

TEST(StripChartDataTest, SwitchingDiscontinuousDataRebuildsTheChannels) {
    TestChart chart;
    chart.AddChannel("Temp", ChartColor(0, 255, 64), clsDash, 2);
    AddTimes(chart, 3);
    chart.SetChannelData(0, 2, 5.0);
    chart.SetDiscontinuousDataEnabled(true);
    EXPECT_EQ(chart.TimeIndexCount(), 0);
    const auto& channel = chart.GetChannel(0);
    EXPECT_NE(dynamic_cast<const TStripChartDiscontinuousChannel*>(&channel), nullptr);
    EXPECT_EQ(chart.WriteChannels(),
              (std::vector<TChannelDefinition>{{"Temp", ChartColor(0, 255, 64), clsDash, 2}}));
    chart.AddTimeIndex(0);
    bool null = false;
    chart.GetChannel(0).GetValue(0, null);
    EXPECT_TRUE(null);
}

TEST(StripChartDataTest, ReadingStoredChannelsReplacesThemAndPointsTheCursorAtTheFirst) {
    TestChart chart;
    chart.AddChannel("Old", ChartColors::White);
    chart.AddChannel("Older", ChartColors::White);
    chart.SetCursorChannel(1);
    AddTimes(chart, 4);
    int cursorEvents = 0;
    chart.OnCursorChange = [&] { ++cursorEvents; };
    const std::vector<TChannelDefinition> stored{{"Temp", ChartColor(0, 255, 64), clsSolid, 2},
                                                 {"Low Alarm", ChartColor(0, 0, 255), clsDot, 1}};
    chart.BeginLoading();
    chart.ReadChannels(stored);
    chart.EndLoading();
    EXPECT_EQ(chart.TimeIndexCount(), 0);
    EXPECT_EQ(chart.WriteChannels(), stored);
    EXPECT_EQ(chart.CursorChannel(), 0);
    EXPECT_EQ(cursorEvents, 0);  // silent while loading
    chart.ReadChannels({});
    EXPECT_EQ(chart.CursorChannel(), -1);
}

TEST(StripChartDataTest, AutoScaleRunsAgainOnceTheAxisWasChangedByHand) {
    TestChart chart;
    chart.AddChannel("A", ChartColors::White);
    AddTimes(chart, 3);
    chart.SetChannelData(0, 0, 50.0);  // well inside: nothing to do
    chart.SetChannelData(0, 1, 50.0);
    EXPECT_EQ(chart.YWindow(), (AxisWindow{0, 100}));
    chart.SetYAxisMax(40);
    chart.SetChannelData(0, 2, 50.0);
    EXPECT_GT(chart.YAxisMax(), 50.0);
}
