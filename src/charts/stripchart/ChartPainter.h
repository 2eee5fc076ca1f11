#pragma once
// The one place that draws the chart, onto any QPainter: the off-screen bitmap,
// printers, SVG, PDF, PNG and the EMF device. The screen redraws the frame
// only when the layout changed and the plot and X labels on every repaint;
// every other output draws all of it in one pass (PaintChart).
#include <QPainter>

#include "charts/stripchart/core/Layout.h"

struct ChartFrameStyle {
    ChartColor BackGround = ChartColors::Black;
    TBevelStyle Border = bsLowered;
};

class ChartPainter {
public:
    ChartPainter(QPainter& painter, const StripChartModel& chart, const ChartLayout& layout,
                 ChartFrameStyle frame);

    // Background, border, title, Y axis, X ticks and title, legend, toolbar.
    void PaintFrame();
    // Grid background, axis lines, grid, reference lines, channel and label lines, cursor.
    void PaintPlot();
    // The X labels, on a freshly filled band (they change with every scroll).
    void PaintXLabels();
    void PaintZoomBox(const ChartRect& box);

private:
    void PaintBorder();
    void PaintTitle();
    void PaintYAxis();
    void PaintXAxis();
    void PaintLegend();
    void PaintToolBar();
    void PaintGrid();
    void PaintReferenceLines();
    void PaintChannels();
    void PaintLabelChannels();
    void PaintCursor();

    void HorizontalLine(int x0, int x1, int y);
    void VerticalLine(int x, int y0, int y1);
    // Text with its top-left corner at (x, y).
    void Text(const ChartFont& font, double x, double y, const QString& text);
    void Text(const ChartFont& font, ChartColor color, double x, double y, const QString& text);
    double TextWidth(const ChartFont& font, const QString& text) const;

    QPainter& p_;
    const StripChartModel& chart_;
    const ChartLayout& layout_;
    ChartFrameStyle frame_;
};

// The whole chart in one pass, in the order of a full redraw.
void PaintChart(QPainter& painter, const StripChartModel& chart, const ChartLayout& layout,
                ChartFrameStyle frame);
