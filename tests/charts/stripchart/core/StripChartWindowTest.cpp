#include <vector>

#include "TestChart.h"

TEST(StripChartWindowTest, ConstructorDefaultsThatTheRulesDependOn) {
    TestChart chart;
    EXPECT_EQ(chart.XWindow(), (AxisWindow{0, 10}));
    EXPECT_EQ(chart.YWindow(), (AxisWindow{0, 100}));
    EXPECT_EQ(chart.XAxisTickMajorCount(), 11);
    EXPECT_EQ(chart.YAxisTickMajorCount(), 6);
    EXPECT_EQ(chart.XAxisDateTimeFormatString(), "hh:nn:ssam/pm");
    EXPECT_EQ(chart.CursorChannel(), -1);
    EXPECT_EQ(static_cast<int>(scmZoomBox), 8);
}

TEST(StripChartWindowTest, SettersIgnoreEqualValuesAndAskForTheRightPaint) {
    TestChart chart;
    chart.SetShowGrid(true);
    chart.SetXAxisMin(0);
    chart.SetYAxisMax(100);
    EXPECT_EQ(chart.repaints + chart.fullRedraws, 0);
    chart.SetLegendWidth(90);
    EXPECT_EQ(chart.fullRedraws, 1);
    chart.ResetCounts();
    int xEvents = 0, yEvents = 0;
    chart.OnXAxisMinChange = [&] { ++xEvents; };
    chart.OnYAxisMaxChange = [&] { ++yEvents; };
    chart.SetXAxisMin(1);
    EXPECT_EQ(chart.repaints, 1);
    EXPECT_EQ(chart.fullRedraws, 0);
    chart.SetYAxisMax(50);
    EXPECT_EQ(chart.fullRedraws, 1);
    EXPECT_EQ(xEvents, 1);
    EXPECT_EQ(yEvents, 1);
}

TEST(StripChartWindowTest, TickCountsAndCursorChannelAreKeptInRange) {
    TestChart chart;
    chart.SetXAxisTickMajorCount(1);
    EXPECT_EQ(chart.XAxisTickMajorCount(), 2);
    chart.SetYAxisTickMajorCount(-4);
    EXPECT_EQ(chart.YAxisTickMajorCount(), 2);
    chart.AddChannel("A", ChartColors::White);
    chart.AddChannel("B", ChartColors::White);
    chart.SetCursorChannel(7);
    EXPECT_EQ(chart.CursorChannel(), 1);
}

TEST(StripChartWindowTest, ZoomKeepsTheCentreAndRefusesFactorsThatCollapseOrFlipTheAxis) {
    TestChart chart;
    chart.ZoomX(0.5);
    EXPECT_EQ(chart.XWindow(), (AxisWindow{2.5, 7.5}));
    chart.ZoomX(4);
    EXPECT_EQ(chart.XWindow(), (AxisWindow{-5, 15}));  // [0, 10] zoomed by 2
    chart.SetXAxisMin(0);
    chart.SetXAxisMax(10);
    chart.ZoomX(0);
    chart.ZoomX(-1);
    EXPECT_EQ(chart.XWindow(), (AxisWindow{0, 10}));
    chart.SetXAxisMax(0);  // zero span stays zero: nothing to zoom
    chart.ZoomX(2);
    EXPECT_EQ(chart.XWindow(), (AxisWindow{0, 0}));
}

TEST(StripChartWindowTest, ScrollShiftsBothEnds) {
    TestChart chart;
    chart.ScrollX(2.5);
    EXPECT_EQ(chart.XWindow(), (AxisWindow{2.5, 12.5}));
    chart.ResetCounts();
    chart.ScrollY(-10);
    EXPECT_EQ(chart.YWindow(), (AxisWindow{-10, 90}));
    EXPECT_GE(chart.fullRedraws, 1);
}

TEST(StripChartWindowTest, AutoScrollSmoothFollowsTheNewestPoint) {
    TestChart chart;
    chart.AddTimeIndex(20);  // right of the window: the window jumps there
    EXPECT_EQ(chart.XWindow(), (AxisWindow{20, 30}));
    chart.AddTimeIndex(25);
    EXPECT_EQ(chart.XWindow(), (AxisWindow{20, 30}));
    chart.AddTimeIndex(32);
    EXPECT_EQ(chart.XWindow(), (AxisWindow{22, 32}));
}

TEST(StripChartWindowTest, AutoScrollFirstPointStylesAndShiftTypes) {
    struct Case {
        TAutoScrollFirstStyle first;
        TAutoScroll type;
        double second;  // the second point, after 4
        AxisWindow afterFirst, afterSecond;
    };
    const Case cases[] = {{asfsLeftJustify, asSmooth, 5, {4, 14}, {4, 14}},
                          {asfsRightJustify, asSmooth, 5, {-6, 4}, {-5, 5}},
                          {asfsAuto, asStep, 11, {0, 10}, {3, 13}},
                          {asfsAuto, asPage, 11, {0, 10}, {10, 20}},
                          {asfsAuto, asSmoothOffset, 11, {0, 10}, {4, 14}},
                          {asfsAuto, asSmoothOffset, 8, {0, 10}, {1, 11}}};  // within the offset: early
    for (const Case& c : cases) {
        TestChart chart;
        chart.SetAutoScrollFirstStyle(c.first);
        chart.SetAutoScrollType(c.type);
        chart.SetAutoScrollStepSize(3);
        chart.AddTimeIndex(4);
        EXPECT_EQ(chart.XWindow(), c.afterFirst) << c.first << " " << c.type;
        chart.AddTimeIndex(c.second);
        EXPECT_EQ(chart.XWindow(), c.afterSecond) << c.first << " " << c.type << " " << c.second;
    }
}

TEST(StripChartWindowTest, AutoScrollOnlyInPlotMode) {
    TestChart chart;
    chart.AddTimeIndex(0);
    chart.SetToolBarMode(scmScrollX);
    chart.AddTimeIndex(50);
    EXPECT_EQ(chart.XWindow(), (AxisWindow{0, 10}));
}

TEST(StripChartWindowTest, LeavingPlotModeSavesTheWindowsAndReturningRestoresThem) {
    TestChart chart;
    int modeEvents = 0;
    chart.OnModeChange = [&] { ++modeEvents; };
    chart.SetToolBarMode(scmScrollXY);
    chart.ScrollX(4);
    chart.ScrollY(4);
    chart.SetToolBarMode(scmZoomX);
    chart.ZoomX(2);
    chart.SetToolBarMode(scmPlot);
    EXPECT_EQ(chart.XWindow(), (AxisWindow{0, 10}));
    EXPECT_EQ(chart.YWindow(), (AxisWindow{0, 100}));
    EXPECT_EQ(modeEvents, 3);
    chart.SetRestoreXYAxisOnPlotMode(false);
    chart.SetToolBarMode(scmScrollX);
    chart.ScrollX(1);
    chart.SetToolBarMode(scmPlot);
    EXPECT_EQ(chart.XWindow(), (AxisWindow{1, 11}));
    chart.BeginLoading();
    chart.SetToolBarMode(scmScrollY);
    chart.EndLoading();
    EXPECT_EQ(modeEvents, 5);
}

TEST(StripChartWindowTest, EnteringCursorModePutsTheCursorUnderTheMiddle) {
    TestChart chart;
    AddTimes(chart, 10);
    int indexEvents = 0;
    chart.OnCursorIndexChange = [&] { ++indexEvents; };
    chart.SetToolBarMode(scmCursor);
    EXPECT_EQ(chart.CursorIndex(), 5);
    EXPECT_EQ(indexEvents, 1);
}

TEST(StripChartWindowTest, MovingTheCursorBringsItsPointIntoView) {
    TestChart chart;
    chart.SetAutoScrollEnabled(false);
    AddTimes(chart, 100);
    int cursorEvents = 0;
    chart.OnCursorChange = [&] { ++cursorEvents; };
    chart.MoveCursor(99);
    // The right edge goes to the point, then one major division further.
    EXPECT_EQ(chart.XWindow(), (AxisWindow{90, 100}));
    chart.MoveCursor(500);  // clamped to 99: unchanged, nothing happens
    EXPECT_EQ(cursorEvents, 1);
    chart.MoveCursor(0);
    EXPECT_EQ(chart.XWindow(), (AxisWindow{-1, 9}));
    EXPECT_EQ(cursorEvents, 2);
}

TEST(StripChartWindowTest, CursorInAZeroSpanWindowDoesNotHang) {
    TestChart chart;
    chart.SetAutoScrollEnabled(false);
    AddTimes(chart, 5);
    chart.SetXAxisMin(2);
    chart.SetXAxisMax(2);
    chart.MoveCursor(4);
    EXPECT_EQ(chart.CursorIndex(), 4);
    EXPECT_EQ(chart.XWindow().Span(), 0.0);
}

TEST(StripChartWindowTest, BeginAndEndUpdateTurnABulkLoadIntoOnePaint) {
    TestChart chart;
    chart.AddChannel("A", ChartColors::White);
    chart.ResetCounts();
    int events = 0;
    chart.OnDataUpdate = [&] { ++events; };
    chart.BeginUpdate();
    chart.BeginUpdate();  // does not nest
    for (int i = 0; i < 50; ++i) {
        chart.AddTimeIndex(i);
        chart.SetChannelData(0, i, i);
    }
    EXPECT_EQ(chart.repaints + chart.fullRedraws, 0);
    EXPECT_EQ(events, 0);
    chart.EndUpdate();
    EXPECT_EQ(chart.fullRedraws, 1);  // auto-scale asked for a full redraw: it wins
    EXPECT_EQ(chart.repaints, 0);
    EXPECT_EQ(events, 1);
    chart.EndUpdate();
    EXPECT_EQ(chart.fullRedraws, 1);
}

TEST(StripChartWindowTest, FrameRateFlushesALongUpdate) {
    TestChart chart;
    chart.SetAutoScaleEnabled(false);
    chart.AddChannel("A", ChartColors::White);
    chart.gate.SetUpdateFrameRate(10);  // at most every 100 ms
    chart.ResetCounts();
    chart.BeginUpdate();
    for (int i = 0; i < 30; ++i) {
        chart.nowMs += 10;
        chart.AddTimeIndex(i);
        chart.SetChannelData(0, i, i);
    }
    EXPECT_TRUE(chart.gate.Updating());
    // 300 ms of loading: flushed after 110, 220 ms (more than 100 ms each time).
    EXPECT_EQ(chart.repaints + chart.fullRedraws, 2);
    EXPECT_EQ(chart.dataUpdates, 2);
    chart.EndUpdate();
    EXPECT_EQ(chart.repaints + chart.fullRedraws, 3);
}
