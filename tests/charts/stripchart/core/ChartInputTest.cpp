#include "TestChart.h"
#include "charts/stripchart/core/ChartInput.h"

namespace {
struct InputRig {
    TestChart chart;
    ChartLayout layout;
    ChartMouse mouse;

    explicit InputRig(int points = 100) {
        chart.SetAutoScrollEnabled(false);
        chart.AddChannel("A", ChartColors::White);
        chart.AddChannel("B", ChartColors::White);
        AddTimes(chart, points);
        Relayout();
    }
    void Relayout() { layout = ComputeLayout(chart, 500, 250, FixedMeasurer()); }
    void Drag(int x0, int y0, int x1, int y1) {
        ChartMousePress(chart, layout, mouse, x0, y0);
        ChartMouseMove(chart, layout, mouse, x1, y1);
        ChartMouseRelease(chart, layout, mouse, x1, y1);
    }
    int MidX() const { return (layout.Plot.Left + layout.Plot.Right) / 2; }
    int MidY() const { return (layout.Plot.Top + layout.Plot.Bottom) / 2; }
    double Width() const { return layout.Plot.Right - layout.Plot.Left; }
};
}  // namespace

TEST(ChartInputTest, DraggingRightByAQuarterScrollsAQuarterSpanLeft) {
    InputRig rig;
    rig.chart.SetToolBarMode(scmScrollXY);
    rig.layout = ComputeLayout(rig.chart, 501, 250, FixedMeasurer());
    ASSERT_EQ(static_cast<int>(rig.Width()), 356);
    const int quarter = 356 / 4;
    rig.Drag(rig.MidX() - 100, rig.MidY(), rig.MidX() - 100 + quarter, rig.MidY());
    EXPECT_DOUBLE_EQ(rig.chart.XAxisMin(), -2.5);
    EXPECT_DOUBLE_EQ(rig.chart.XWindow().Span(), 10.0);
    EXPECT_EQ(rig.chart.YWindow(), (AxisWindow{0, 100}));  // no vertical move
}

TEST(ChartInputTest, DragInPlotModeDoesNothingAndAfterSwitchingScrollsBothAxes) {
    InputRig rig;
    rig.Drag(rig.MidX(), rig.MidY(), rig.MidX() + 40, rig.MidY() + 30);
    EXPECT_EQ(rig.chart.XWindow(), (AxisWindow{0, 10}));
    EXPECT_EQ(rig.chart.YWindow(), (AxisWindow{0, 100}));
    rig.chart.SetToolBarMode(scmScrollXY);
    rig.Drag(rig.MidX(), rig.MidY(), rig.MidX() + 40, rig.MidY() + 30);
    EXPECT_LT(rig.chart.XAxisMin(), 0.0);  // the data follow the mouse right
    EXPECT_GT(rig.chart.YAxisMin(), 0.0);  // and down
    const double height = rig.layout.Plot.Bottom - rig.layout.Plot.Top;
    EXPECT_DOUBLE_EQ(rig.chart.YAxisMin(), 30 / height * 100);
    rig.chart.SetYAxisReverseScale(true);  // down is now up the scale: the data still follow
    rig.Drag(rig.MidX(), rig.MidY(), rig.MidX(), rig.MidY() + 30);
    EXPECT_DOUBLE_EQ(rig.chart.YAxisMin(), 0.0);
}

TEST(ChartInputTest, DragsOutsideThePlotOrOnAZeroPlotDoNothing) {
    InputRig rig;
    rig.chart.SetToolBarMode(scmScrollXY);
    rig.Drag(2, 2, 60, 60);
    EXPECT_EQ(rig.chart.XWindow(), (AxisWindow{0, 10}));
    rig.layout = ComputeLayout(rig.chart, 60, 40, FixedMeasurer());
    ASSERT_FALSE(rig.layout.PlotDrawable());
    rig.Drag(rig.layout.Plot.Left, rig.layout.Plot.Top, 200, 200);
    EXPECT_EQ(rig.chart.XWindow(), (AxisWindow{0, 10}));
}

TEST(ChartInputTest, ZoomDragsScaleAboutTheCentre) {
    InputRig rig;
    rig.chart.SetToolBarMode(scmZoomXY);
    const int quarter = static_cast<int>(rig.Width() / 4);
    rig.Drag(rig.MidX(), rig.MidY(), rig.MidX() - quarter, rig.MidY());  // left: zoom out
    EXPECT_DOUBLE_EQ(rig.chart.XWindow().Span(), 10.0 * (quarter / rig.Width() + 1));
    EXPECT_DOUBLE_EQ((rig.chart.XAxisMin() + rig.chart.XAxisMax()) / 2, 5.0);
    EXPECT_EQ(rig.chart.YWindow(), (AxisWindow{0, 100}));
}

TEST(ChartInputTest, ZoomBoxSetsBothWindowsToTheValuesUnderIt) {
    InputRig rig;
    rig.chart.SetToolBarMode(scmZoomBox);
    const PlotMapping mapping = MappingFor(rig.chart, rig.layout);
    const int left = rig.layout.Plot.Left + 40, top = rig.layout.Plot.Top + 20;
    ChartMousePress(rig.chart, rig.layout, rig.mouse, left, top);
    ChartMouseMove(rig.chart, rig.layout, rig.mouse, 10000, 10000);  // held at the plot's edges
    EXPECT_EQ(rig.mouse.Box.Right, rig.layout.Plot.Right);
    EXPECT_EQ(rig.mouse.Box.Bottom, rig.layout.Plot.Bottom);
    ChartMouseRelease(rig.chart, rig.layout, rig.mouse, 10000, 10000);
    EXPECT_DOUBLE_EQ(rig.chart.XAxisMin(), mapping.TimeAt(left));
    EXPECT_DOUBLE_EQ(rig.chart.XAxisMax(), mapping.TimeAt(rig.layout.Plot.Right));
    EXPECT_DOUBLE_EQ(rig.chart.YAxisMax(), mapping.ValueAt(top));
    EXPECT_DOUBLE_EQ(rig.chart.YAxisMin(), 0.0);
    const AxisWindow zoomed = rig.chart.XWindow();
    rig.Relayout();
    rig.Drag(rig.MidX(), rig.MidY(), rig.MidX() - 20, rig.MidY() + 20);  // no area: no zoom
    EXPECT_EQ(rig.chart.XWindow(), zoomed);
}

TEST(ChartInputTest, ToolBarAndLegendClicks) {
    InputRig rig;
    rig.chart.AddChannel("C", ChartColors::White);
    rig.chart.GetChannel(1).ShowInLegend = false;
    rig.chart.SetShowToolBar(true);
    rig.Relayout();
    const ToolBarButton zoomBox = rig.layout.Buttons.back();
    ASSERT_EQ(zoomBox.Mode, scmZoomBox);
    ChartMousePress(rig.chart, rig.layout, rig.mouse, zoomBox.Rect.Left + 2, zoomBox.Rect.Top + 2);
    EXPECT_EQ(rig.chart.ToolBarMode(), scmZoomBox);
    EXPECT_FALSE(rig.mouse.Dragging);
    // The second legend row shows channel 2, since channel 1 has no row.
    const int rowTwo = rig.layout.Legend.Top + 5 + rig.layout.LegendRowHeight + 2;
    ChartMousePress(rig.chart, rig.layout, rig.mouse, rig.layout.Legend.Left + 10, rowTwo);
    EXPECT_EQ(rig.chart.CursorChannel(), 2);
    ChartMousePress(rig.chart, rig.layout, rig.mouse, rig.layout.Legend.Left + 10, rig.layout.Legend.Top + 1);
    EXPECT_EQ(rig.chart.CursorChannel(), 0);
    rig.chart.SetShowToolBar(false);
    rig.Relayout();
    rig.chart.SetToolBarMode(scmScrollX);
    ChartMousePress(rig.chart, rig.layout, rig.mouse, zoomBox.Rect.Left + 2, zoomBox.Rect.Top + 2);
    EXPECT_EQ(rig.chart.ToolBarMode(), scmScrollX);  // a hidden toolbar has no buttons
}

TEST(ChartInputTest, CursorModeFollowsTheMouseColumn) {
    InputRig rig;
    rig.chart.SetToolBarMode(scmCursor);
    const PlotMapping mapping = MappingFor(rig.chart, rig.layout);
    ChartMousePress(rig.chart, rig.layout, rig.mouse, static_cast<int>(mapping.X(3)), rig.MidY());
    EXPECT_EQ(rig.chart.CursorIndex(), 3);
    ChartMouseMove(rig.chart, rig.layout, rig.mouse, static_cast<int>(mapping.X(7)), rig.MidY());
    EXPECT_EQ(rig.chart.CursorIndex(), 7);
}

TEST(ChartInputTest, EndEndHomeEnd) {
    InputRig rig;
    rig.chart.SetToolBarMode(scmScrollXY);
    ASSERT_TRUE(HandleChartKey(rig.chart, ChartKey::End));
    EXPECT_EQ(rig.chart.CursorIndex(), 99);
    EXPECT_EQ(rig.chart.XWindow(), (AxisWindow{90, 100}));
    rig.chart.ScrollX(-50);
    EXPECT_TRUE(HandleChartKey(rig.chart, ChartKey::End));  // consumed, but the cursor is there already
    EXPECT_EQ(rig.chart.XWindow(), (AxisWindow{40, 50}));
    HandleChartKey(rig.chart, ChartKey::Home);
    EXPECT_EQ(rig.chart.CursorIndex(), 0);
    HandleChartKey(rig.chart, ChartKey::End);
    EXPECT_EQ(rig.chart.XWindow(), (AxisWindow{90, 100}));
}

TEST(ChartInputTest, ScrollKeysByMode) {
    InputRig rig;
    EXPECT_FALSE(HandleChartKey(rig.chart, ChartKey::Left));  // scmPlot passes every key on
    rig.chart.SetToolBarMode(scmScrollX);
    EXPECT_TRUE(HandleChartKey(rig.chart, ChartKey::PageUp));
    EXPECT_DOUBLE_EQ(rig.chart.XAxisMin(), 1.0);  // s / (11 - 1)
    EXPECT_TRUE(HandleChartKey(rig.chart, ChartKey::Right));
    EXPECT_DOUBLE_EQ(rig.chart.XAxisMin(), 1.0 + 10.0 / (10 * 12));
    EXPECT_FALSE(HandleChartKey(rig.chart, ChartKey::Up));
    rig.chart.SetToolBarMode(scmScrollY);
    EXPECT_FALSE(HandleChartKey(rig.chart, ChartKey::Home));
    EXPECT_FALSE(HandleChartKey(rig.chart, ChartKey::Left));
    EXPECT_TRUE(HandleChartKey(rig.chart, ChartKey::PageDown));
    EXPECT_DOUBLE_EQ(rig.chart.YAxisMin(), -20.0);  // t / (6 - 1)
    EXPECT_TRUE(HandleChartKey(rig.chart, ChartKey::Up));
    EXPECT_DOUBLE_EQ(rig.chart.YAxisMin(), -20.0 + 100.0 / (5 * 7));
    rig.chart.SetToolBarMode(scmScrollXY);
    EXPECT_TRUE(HandleChartKey(rig.chart, ChartKey::Down));
    EXPECT_TRUE(HandleChartKey(rig.chart, ChartKey::Left));
    EXPECT_FALSE(HandleChartKey(rig.chart, ChartKey::Other));
    rig.chart.SetToolBarMode(scmZoomX);
    EXPECT_FALSE(HandleChartKey(rig.chart, ChartKey::PageUp));
}

TEST(ChartInputTest, CursorKeysMoveByPointsAndPages) {
    InputRig rig;
    rig.chart.SetToolBarMode(scmCursor);
    ASSERT_EQ(rig.chart.CursorIndex(), 5);
    HandleChartKey(rig.chart, ChartKey::Right);
    HandleChartKey(rig.chart, ChartKey::Up);
    EXPECT_EQ(rig.chart.CursorIndex(), 7);
    HandleChartKey(rig.chart, ChartKey::Down);
    EXPECT_EQ(rig.chart.CursorIndex(), 6);
    const int visible = rig.chart.LastVisibleIndex() - rig.chart.FirstVisibleIndex();
    HandleChartKey(rig.chart, ChartKey::PageUp);
    EXPECT_EQ(rig.chart.CursorIndex(), 6 + visible);
    HandleChartKey(rig.chart, ChartKey::Home);
    HandleChartKey(rig.chart, ChartKey::PageDown);
    EXPECT_EQ(rig.chart.CursorIndex(), 0);
}
