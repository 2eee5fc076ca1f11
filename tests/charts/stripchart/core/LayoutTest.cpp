#include "TestChart.h"
#include "charts/stripchart/core/Layout.h"

// FixedMeasurer: 6 pixels a character, 13 pixels a line for 8 point fonts.
TEST(LayoutTest, DefaultChartOf500By250) {
    TestChart chart;
    const ChartLayout layout = ComputeLayout(chart, 500, 250, FixedMeasurer());
    // Y labels "100" and "0": 18 wide. Left = 10 + 18 + 5 + 7 + 5.
    EXPECT_EQ(layout.YLabelWidth, 18);
    EXPECT_EQ(layout.Plot.Left, 45);
    EXPECT_EQ(layout.Plot.Top, 10 + 13 / 2);
    EXPECT_EQ(layout.Plot.Bottom, 250 - 10 - (5 + 7 + 5 + 13));
    EXPECT_EQ(layout.Plot.Right, 500 - 10 - (80 + 10));
    EXPECT_EQ(layout.Plot.Width(), 400 - 45 + 1);
    EXPECT_EQ(layout.XLabelTop, layout.Plot.Bottom + 17);
    EXPECT_EQ(layout.YLabelRight, 45 - 5 - 7 - 5);
    EXPECT_EQ(layout.Legend, (ChartRect{410, layout.Plot.Top, 489, layout.Plot.Bottom}));
    EXPECT_EQ(layout.LegendRowHeight, 13);
}

TEST(LayoutTest, TitlesToolbarAndNoLegend) {
    TestChart chart;
    chart.SetTitleText("Datalogging Results");
    chart.SetTitleMargin(2);
    chart.SetYAxisTitle("Temperature");
    chart.SetYAxisTitleMargin(3);
    chart.SetXAxisTitle("Date/Time");
    chart.SetXAxisTitleMargin(4);
    chart.SetShowToolBar(true);
    chart.SetShowLegend(false);
    chart.SetYAxisLabelWidthFixed(true);
    chart.SetYAxisLabelWidth(30);
    const ChartLayout layout = ComputeLayout(chart, 600, 400, FixedMeasurer());
    EXPECT_EQ(layout.Plot.Left, 10 + 30 + 5 + 7 + 5 + 13 + 3);
    EXPECT_EQ(layout.ToolBarHeight, 26);
    EXPECT_EQ(layout.Plot.Top, 10 + 6 + 26 + 10 + 13 + 2);
    EXPECT_EQ(layout.TitleBottom, layout.Plot.Top - 6 - 2);
    EXPECT_EQ(layout.Plot.Bottom, 400 - 10 - 30 - (13 + 4));
    EXPECT_EQ(layout.XTitleTop, layout.XLabelTop + 13 + 4);
    // Without the legend, room for half the widest X label ("10": 12 pixels).
    EXPECT_EQ(layout.Plot.Right, 600 - 10 - 6);
}

TEST(LayoutTest, HiddenAxesTakeOnlyTheirMargins) {
    TestChart chart;
    chart.SetXAxisShow(false);
    chart.SetYAxisShow(false);
    const ChartLayout layout = ComputeLayout(chart, 300, 200, FixedMeasurer());
    EXPECT_EQ(layout.Plot.Left, 10);
    EXPECT_EQ(layout.Plot.Bottom, 200 - 10 - 5);
}

TEST(LayoutTest, ToolBarButtonsInTwoRows) {
    TestChart chart;
    chart.SetShowToolBar(true);
    const ChartLayout layout = ComputeLayout(chart, 600, 400, FixedMeasurer());
    ASSERT_EQ(layout.Buttons.size(), 9u);
    EXPECT_EQ(layout.ModeCaption.Left, 10);
    const ToolBarButton& plot = layout.Buttons[0];
    EXPECT_EQ(plot.Text, "Plot ");
    EXPECT_EQ(plot.Rect, (ChartRect{10 + 48, 10, 10 + 48 + 30 - 1, 22}));
    // Every other button is as wide as "Zoom-Box "; Zoom-X sits under Scroll-X.
    const ToolBarButton& scrollX = layout.Buttons[1];
    const ToolBarButton& zoomX = layout.Buttons[2];
    EXPECT_EQ(scrollX.Mode, scmScrollX);
    EXPECT_EQ(zoomX.Mode, scmZoomX);
    EXPECT_EQ(scrollX.Rect.Width(), 54);
    EXPECT_EQ(zoomX.Rect.Left, scrollX.Rect.Left);
    EXPECT_EQ(zoomX.Rect.Top, 23);
    EXPECT_EQ(layout.ReadoutLeft, scrollX.Rect.Left + 4 * 54);
}

TEST(LayoutTest, LegendRowsSkipChannelsHiddenFromTheLegend) {
    TestChart chart;
    chart.AddChannel("A", ChartColors::White);
    chart.AddChannel("B", ChartColors::White);
    chart.AddChannel("C", ChartColors::White);
    chart.GetChannel(1).ShowInLegend = false;
    const ChartLayout layout = ComputeLayout(chart, 500, 250, FixedMeasurer());
    EXPECT_EQ(layout.LegendRows, (std::vector<int>{0, 2}));
}

TEST(LayoutTest, PixelMappingAndItsInverse) {
    const ChartRect plot{100, 50, 199, 149};  // 100 x 100
    const PlotMapping mapping(plot, {0, 10}, {0, 100}, false);
    EXPECT_EQ(mapping.X(0), 100);
    EXPECT_EQ(mapping.X(10), 200);  // one past the right edge, as the rule says
    EXPECT_EQ(mapping.Y(0), 149);
    EXPECT_EQ(mapping.Y(100), 50);
    EXPECT_DOUBLE_EQ(mapping.TimeAt(mapping.X(3.7)), 3.7);
    EXPECT_DOUBLE_EQ(mapping.ValueAt(mapping.Y(42)), 42);
    const PlotMapping reversed(plot, {0, 10}, {0, 100}, true);
    EXPECT_EQ(reversed.Y(0), 50);
    EXPECT_DOUBLE_EQ(reversed.ValueAt(reversed.Y(42)), 42);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
}
