#include "charts/stripchart/core/Layout.h"

#include <algorithm>
#include <cmath>

namespace {
bool Blank(const std::string& text) { return text.find_first_not_of(" \t") == std::string::npos; }

int LabelWidth(const StripChartModel& chart, const TextMeasurer& measurer) {
    if (chart.YAxisLabelWidthFixed()) return chart.YAxisLabelWidth();
    const ChartFont& font = chart.YAxisLabelFont();
    return std::max(measurer.Measure(font, chart.YLabelText(chart.YAxisMax())).Width,
                    measurer.Measure(font, chart.YLabelText(chart.YAxisMin())).Width);
}

void LayOutToolBar(const StripChartModel& chart, const TextMeasurer& measurer, ChartLayout& layout) {
    const ChartFont& active = chart.ToolBarActiveModeFont();
    const ChartFont& inactive = chart.ToolBarInactiveModeFont();
    auto widest = [&](const char* text) {
        return std::max(measurer.Measure(active, text).Width, measurer.Measure(inactive, text).Width);
    };
    const int row =
        std::max(measurer.Measure(active, "ABC").Height, measurer.Measure(inactive, "ABC").Height);
    layout.ToolBarRowHeight = row;
    layout.ToolBarHeight = 2 * row;
    layout.ToolBarShown = chart.ShowToolBar();
    const int top = 10;
    int x = 10;
    const int captionWidth = measurer.Measure(inactive, kToolBarModeCaption).Width;
    layout.ModeCaption = {x, top, x + captionWidth - 1, top + row - 1};
    x += captionWidth;
    const int plotWidth = widest("Plot ");
    layout.Buttons.push_back({scmPlot, "Plot ", {x, top, x + plotWidth - 1, top + row - 1}});
    x += plotWidth;
    const int width = widest("Zoom-Box ");
    const TStripChartMode rowOne[] = {scmScrollX, scmScrollY, scmScrollXY, scmCursor};
    const char* rowOneText[] = {"Scroll-X", "Scroll-Y", "Scroll-XY", "Cursor"};
    const TStripChartMode rowTwo[] = {scmZoomX, scmZoomY, scmZoomXY, scmZoomBox};
    const char* rowTwoText[] = {"Zoom-X", "Zoom-Y", "Zoom-XY", "Zoom-Box"};
    for (int i = 0; i < 4; ++i) {
        layout.Buttons.push_back({rowOne[i], rowOneText[i], {x, top, x + width - 1, top + row - 1}});
        layout.Buttons.push_back(
            {rowTwo[i], rowTwoText[i], {x, top + row, x + width - 1, top + 2 * row - 1}});
        x += width;
    }
    layout.ReadoutLeft = x;
}
}  // namespace

ChartLayout ComputeLayout(const StripChartModel& chart, int clientWidth, int clientHeight,
                          const TextMeasurer& measurer) {
    ChartLayout layout;
    layout.ClientWidth = clientWidth;
    layout.ClientHeight = clientHeight;
    LayOutToolBar(chart, measurer, layout);

    layout.YLabelWidth = LabelWidth(chart, measurer);
    layout.YLabelHeight = measurer.Measure(chart.YAxisLabelFont(), chart.YLabelText(chart.YAxisMax())).Height;
    layout.XLabelHeight = measurer.Measure(chart.XAxisLabelFont(), chart.XLabelText(chart.XAxisMax())).Height;
    if (!Blank(chart.YAxisTitle()))
        layout.YTitleHeight = measurer.Measure(chart.YAxisTitleFont(), "ABC").Height;
    if (!Blank(chart.XAxisTitle()))
        layout.XTitleHeight = measurer.Measure(chart.XAxisTitleFont(), "ABC").Height;
    if (!Blank(chart.TitleText()))
        layout.TitleHeight = measurer.Measure(chart.TitleFont(), chart.TitleText()).Height;

    ChartRect& plot = layout.Plot;
    plot.Left = chart.OuterMarginLeft();
    if (chart.YAxisShow())
        plot.Left += layout.YLabelWidth + chart.YAxisLabelMargin() + chart.YAxisTickMajorLength() +
                     chart.YAxisMargin();
    if (layout.YTitleHeight > 0) plot.Left += layout.YTitleHeight + chart.YAxisTitleMargin();
    layout.YLabelRight =
        plot.Left - chart.YAxisMargin() - chart.YAxisTickMajorLength() - chart.YAxisLabelMargin();

    const int halfLabel = layout.YLabelHeight / 2;
    plot.Top = chart.OuterMarginTop() + halfLabel;
    if (chart.ShowToolBar()) plot.Top += layout.ToolBarHeight + 10;
    if (layout.TitleHeight > 0) plot.Top += layout.TitleHeight + chart.TitleMargin();
    layout.TitleBottom = plot.Top - halfLabel - chart.TitleMargin();

    plot.Bottom = clientHeight - chart.OuterMarginBottom();
    if (chart.XAxisShow())
        plot.Bottom -= chart.XAxisMargin() + chart.XAxisTickMajorLength() + chart.XAxisLabelMargin() +
                       layout.XLabelHeight;
    else
        plot.Bottom -= chart.XAxisMargin();
    if (layout.XTitleHeight > 0) plot.Bottom -= layout.XTitleHeight + chart.XAxisTitleMargin();
    layout.XLabelTop =
        plot.Bottom + chart.XAxisMargin() + chart.XAxisTickMajorLength() + chart.XAxisLabelMargin();
    layout.XTitleTop = layout.XLabelTop + layout.XLabelHeight + chart.XAxisTitleMargin();

    plot.Right = clientWidth - chart.OuterMarginRight();
    if (chart.ShowLegend())
        plot.Right -= chart.LegendWidth() + chart.LegendMargin();
    else
        plot.Right -= measurer.Measure(chart.XAxisLabelFont(), chart.XLabelText(chart.XAxisMax())).Width / 2;

    layout.Legend = {plot.Right + chart.LegendMargin(), plot.Top,
                     plot.Right + chart.LegendMargin() + chart.LegendWidth() - 1, plot.Bottom};
    layout.LegendRowHeight = measurer.Measure(chart.LegendFont(), "ABC").Height;
    for (int i = 0; i < chart.ChannelCount(); ++i)
        if (chart.GetChannel(i).ShowInLegend) layout.LegendRows.push_back(i);
    return layout;
}

PlotMapping::PlotMapping(const ChartRect& plot, const AxisWindow& x, const AxisWindow& y, bool reverseY)
    : plot_(plot),
      x_(x),
      y_(y),
      reverse_(reverseY),
      xScale_(plot.Width() / x.Span()),
      yScale_((plot.Height() - 1) / y.Span()) {}

double PlotMapping::TimeAt(double px) const { return x_.Min + (px - plot_.Left) / plot_.Width() * x_.Span(); }

double PlotMapping::ValueAt(double py) const {
    const double up = reverse_ ? py - plot_.Top : plot_.Bottom - py;
    return y_.Min + up / (plot_.Height() - 1) * y_.Span();
}

PlotMapping MappingFor(const StripChartModel& chart, const ChartLayout& layout) {
    return PlotMapping(layout.Plot, chart.XWindow(), chart.YWindow(), chart.YAxisReverseScale());
}

int RoundHalfEven(double value) {
    const double limit = 1e9;
    return static_cast<int>(std::nearbyint(std::clamp(value, -limit, limit)));
}
