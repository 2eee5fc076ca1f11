#include "charts/stripchart/ChartPainter.h"

#include <QFontMetricsF>
#include <QPolygonF>
#include <cmath>

#include "charts/stripchart/ChartQt.h"
#include "charts/stripchart/core/ChannelLines.h"

namespace {
// The classic three-dimensional edge colours of a bevel.
const QColor kEdgeLight(227, 227, 227), kEdgeHighlight(255, 255, 255);
const QColor kEdgeShadow(160, 160, 160), kEdgeDarkShadow(105, 105, 105);

QPen LinePen(ChartColor color, int width = 1, TChannelLineStyle style = clsSolid) {
    QPen pen(ToQColor(color));
    pen.setWidth(std::max(1, width));
    pen.setStyle(ToPenStyle(style));
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

QRect ToQRect(const ChartRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

// The value under major tick i of n on an axis window.
double TickValue(const AxisWindow& window, int i, int n) { return window.Min + i * window.Span() / (n - 1); }
}  // namespace

ChartPainter::ChartPainter(QPainter& painter, const StripChartModel& chart, const ChartLayout& layout,
                           ChartFrameStyle frame)
    : p_(painter), chart_(chart), layout_(layout), frame_(frame) {}

void ChartPainter::HorizontalLine(int x0, int x1, int y) { p_.drawLine(x0, y, x1, y); }
void ChartPainter::VerticalLine(int x, int y0, int y1) { p_.drawLine(x, y0, x, y1); }

void ChartPainter::Text(const ChartFont& font, double x, double y, const QString& text) {
    Text(font, font.Color, x, y, text);
}

void ChartPainter::Text(const ChartFont& font, ChartColor color, double x, double y, const QString& text) {
    const QFont qfont = ToQFont(font);
    p_.setFont(qfont);
    p_.setPen(ToQColor(color));
    p_.drawText(QPointF(x, y + QFontMetricsF(qfont).ascent()), text);
}

double ChartPainter::TextWidth(const ChartFont& font, const QString& text) const {
    return QFontMetricsF(ToQFont(font)).horizontalAdvance(text);
}

void ChartPainter::PaintFrame() {
    p_.fillRect(QRect(0, 0, layout_.ClientWidth, layout_.ClientHeight), ToQColor(frame_.BackGround));
    PaintBorder();
    PaintTitle();
    if (chart_.YAxisShow()) PaintYAxis();
    if (chart_.XAxisShow()) PaintXAxis();
    if (chart_.ShowLegend()) PaintLegend();
    if (chart_.ShowToolBar()) PaintToolBar();
}

void ChartPainter::PaintBorder() {
    if (frame_.Border == bsNone) return;
    const bool raised = frame_.Border == bsRaised;
    const int r = layout_.ClientWidth - 1, b = layout_.ClientHeight - 1;
    auto edge = [&](int inset, const QColor& topLeft, const QColor& bottomRight) {
        p_.setPen(topLeft);
        HorizontalLine(inset, r - inset, inset);
        VerticalLine(inset, inset, b - inset);
        p_.setPen(bottomRight);
        HorizontalLine(inset, r - inset, b - inset);
        VerticalLine(r - inset, inset, b - inset);
    };
    if (raised) {
        edge(0, kEdgeLight, kEdgeDarkShadow);
        edge(1, kEdgeHighlight, kEdgeShadow);
    } else {
        edge(0, kEdgeShadow, kEdgeHighlight);
        edge(1, kEdgeDarkShadow, kEdgeLight);
    }
}

void ChartPainter::PaintTitle() {
    if (layout_.TitleHeight == 0) return;
    const QString title = ChartText(chart_.TitleText());
    const ChartRect& plot = layout_.Plot;
    const double x = plot.Left + (plot.Width() - TextWidth(chart_.TitleFont(), title)) / 2;
    Text(chart_.TitleFont(), x, layout_.TitleBottom - layout_.TitleHeight, title);
}

void ChartPainter::PaintYAxis() {
    const ChartRect& plot = layout_.Plot;
    const int n = chart_.YAxisTickMajorCount();
    const int outer = plot.Left - chart_.YAxisMargin();
    p_.setPen(LinePen(chart_.YAxisTickMajorColor()));
    const std::vector<int> majors = MajorTickPositions(plot.Bottom, plot.Top, n);
    for (int y : majors) HorizontalLine(outer - chart_.YAxisTickMajorLength() + 1, outer, y);
    p_.setPen(LinePen(chart_.YAxisTickMinorColor()));
    if (chart_.YAxisTickMinorLength() > 0)
        for (int y : MinorTickPositions(plot.Bottom, plot.Top, n, chart_.YAxisTickMinorCount()))
            HorizontalLine(outer - chart_.YAxisTickMinorLength() + 1, outer, y);
    // Labels centred on their ticks in the label column; a reversed scale has the minimum on top.
    const ChartFont& font = chart_.YAxisLabelFont();
    const double columnLeft = layout_.YLabelRight - layout_.YLabelWidth + 1;
    for (int i = 0; i < n; ++i) {
        const double value = TickValue(chart_.YWindow(), chart_.YAxisReverseScale() ? n - 1 - i : i, n);
        const QString label = ChartText(chart_.YLabelText(value));
        const double x = columnLeft + (layout_.YLabelWidth - TextWidth(font, label)) / 2;
        Text(font, x, majors[static_cast<std::size_t>(i)] - layout_.YLabelHeight / 2.0, label);
    }
    if (layout_.YTitleHeight == 0) return;
    const QString title = ChartText(chart_.YAxisTitle());
    p_.save();
    p_.translate(chart_.OuterMarginLeft(), plot.Top + plot.Height() / 2.0);
    p_.rotate(-90);  // reading upwards
    Text(chart_.YAxisTitleFont(), -TextWidth(chart_.YAxisTitleFont(), title) / 2, 0, title);
    p_.restore();
}

void ChartPainter::PaintXAxis() {
    const ChartRect& plot = layout_.Plot;
    const int n = chart_.XAxisTickMajorCount();
    const int top = plot.Bottom + chart_.XAxisMargin();
    p_.setPen(LinePen(chart_.XAxisTickMajorColor()));
    for (int x : MajorTickPositions(plot.Left, plot.Right, n))
        VerticalLine(x, top, top + chart_.XAxisTickMajorLength() - 1);
    p_.setPen(LinePen(chart_.XAxisTickMinorColor()));
    if (chart_.XAxisTickMinorLength() > 0)
        for (int x : MinorTickPositions(plot.Left, plot.Right, n, chart_.XAxisTickMinorCount()))
            VerticalLine(x, top, top + chart_.XAxisTickMinorLength() - 1);
    if (layout_.XTitleHeight == 0) return;
    const QString title = ChartText(chart_.XAxisTitle());
    Text(chart_.XAxisTitleFont(), plot.Left + (plot.Width() - TextWidth(chart_.XAxisTitleFont(), title)) / 2,
         layout_.XTitleTop, title);
}

void ChartPainter::PaintXLabels() {
    if (!chart_.XAxisShow()) return;
    p_.fillRect(QRect(2, layout_.XLabelTop, std::max(0, layout_.ClientWidth - 4), layout_.XLabelHeight),
                ToQColor(frame_.BackGround));
    const ChartRect& plot = layout_.Plot;
    const int n = chart_.XAxisTickMajorCount();
    const ChartFont& font = chart_.XAxisLabelFont();
    const std::vector<int> majors = MajorTickPositions(plot.Left, plot.Right, n);
    const bool ends = n == 2 && chart_.XAxisDateTimeEnabled();
    for (int i = 0; i < n; ++i) {
        const QString label = ChartText(chart_.XLabelText(TickValue(chart_.XWindow(), i, n)));
        const double width = TextWidth(font, label);
        double x = majors[static_cast<std::size_t>(i)] - width / 2;
        if (ends) x = i == 0 ? plot.Left : plot.Right + 1 - width;
        Text(font, x, layout_.XLabelTop, label);
    }
}

void ChartPainter::PaintLegend() {
    const ChartRect& legend = layout_.Legend;
    const ChartFont& font = chart_.LegendFont();
    const QFontMetricsF metrics(ToQFont(font));
    const int rowHeight = layout_.LegendRowHeight;
    int top = legend.Top + 5;
    for (int index : layout_.LegendRows) {
        const TStripChartChannel& channel = chart_.GetChannel(index);
        const int middle = top + rowHeight / 2;
        p_.setPen(LinePen(channel.Color, channel.LineWidth, channel.LineStyle));
        HorizontalLine(legend.Left + 2, legend.Left + 15, middle);
        const double nameWidth = legend.Right - 5 - (legend.Left + 20);
        const QString name =
            metrics.elidedText(ChartText(channel.Name), Qt::ElideRight, std::max(0.0, nameWidth));
        const bool cursor = chart_.ToolBarMode() == scmCursor && index == chart_.CursorChannel();
        if (cursor) {
            p_.fillRect(QRectF(legend.Left + 20, top, metrics.horizontalAdvance(name), rowHeight),
                        ToQColor(chart_.CursorChannelBackGroundColor()));
        }
        Text(font, cursor ? chart_.CursorChannelFontColor() : font.Color, legend.Left + 20, top, name);
        top += rowHeight;
    }
}

void ChartPainter::PaintToolBar() {
    const ChartFont& inactive = chart_.ToolBarInactiveModeFont();
    Text(inactive, layout_.ModeCaption.Left, layout_.ModeCaption.Top,
         QString::fromLatin1(kToolBarModeCaption));
    for (const ToolBarButton& button : layout_.Buttons) {
        const bool current = button.Mode == chart_.ToolBarMode();
        Text(current ? chart_.ToolBarActiveModeFont() : inactive, button.Rect.Left, button.Rect.Top,
             QString::fromStdString(button.Text));
    }
    if (chart_.ToolBarMode() == scmCursor)
        Text(chart_.ToolBarActiveModeFont(), layout_.ReadoutLeft, layout_.ModeCaption.Top,
             ChartText(chart_.CursorReadout()));
}

void ChartPainter::PaintPlot() {
    if (!layout_.PlotDrawable()) return;
    const QRect plot = ToQRect(layout_.Plot);
    p_.save();
    // The painter's clip serves the raster outputs; the lines are clipped in our own
    // code as well, for the outputs that ignore clip paths.
    p_.setClipRect(plot);
    p_.fillRect(plot, ToQColor(chart_.GridBackGroundColor()));
    PaintGrid();
    if (chart_.XWindow().Span() != 0.0 && chart_.YWindow().Span() != 0.0) PaintReferenceLines();
    if (ChannelLinesDrawable(chart_)) {
        PaintChannels();
        PaintLabelChannels();
    }
    PaintCursor();
    p_.restore();
}

void ChartPainter::PaintGrid() {
    const ChartRect& plot = layout_.Plot;
    p_.setPen(LinePen(chart_.AxisGridColor()));
    VerticalLine(plot.Left, plot.Top, plot.Bottom);
    HorizontalLine(plot.Left, plot.Right, plot.Bottom);
    if (!chart_.ShowGrid()) return;
    VerticalLine(plot.Right, plot.Top, plot.Bottom);
    HorizontalLine(plot.Left, plot.Right, plot.Top);
    p_.setPen(LinePen(chart_.AxisGridColor(), 1, chart_.GridLineStyle()));
    const std::vector<int> rows = MajorTickPositions(plot.Bottom, plot.Top, chart_.YAxisTickMajorCount());
    for (std::size_t i = 1; i + 1 < rows.size(); ++i) HorizontalLine(plot.Left, plot.Right, rows[i]);
    const int n = chart_.XAxisTickMajorCount();
    if (chart_.XAxisShow()) {
        const std::vector<int> columns = MajorTickPositions(plot.Left, plot.Right, n);
        for (std::size_t i = 1; i + 1 < columns.size(); ++i) VerticalLine(columns[i], plot.Top, plot.Bottom);
        return;
    }
    // Without an X axis the vertical lines sit at multiples of a division and move with the data.
    const AxisWindow x = chart_.XWindow();
    const double step = std::fabs(x.Span()) / (n - 1);
    if (!(step > 0.0) || !std::isfinite(step)) return;
    const PlotMapping mapping = MappingFor(chart_, layout_);
    const double low = std::min(x.Min, x.Max), high = std::max(x.Min, x.Max);
    for (double k = std::ceil(low / step); k * step <= high && k - std::ceil(low / step) < 1000; ++k) {
        const int px = RoundHalfEven(mapping.X(k * step));
        if (px > plot.Left && px < plot.Right) VerticalLine(px, plot.Top, plot.Bottom);
    }
}

void ChartPainter::PaintReferenceLines() {
    const ChartRect& plot = layout_.Plot;
    const PlotMapping mapping = MappingFor(chart_, layout_);
    const AxisWindow y = chart_.YWindow();
    for (int i = 0; i < chart_.ChannelCount(); ++i) {
        const TStripChartChannel& channel = chart_.GetChannel(i);
        if (!channel.Visible) continue;
        for (const TReferenceLine& line : channel.ReferenceLines) {
            if (!line.Enabled || line.Value < std::min(y.Min, y.Max) || line.Value > std::max(y.Min, y.Max))
                continue;
            p_.setPen(LinePen(line.Color, 1, line.LineStyle));
            HorizontalLine(plot.Left, plot.Right, RoundHalfEven(mapping.Y(line.Value)));
        }
    }
}

void ChartPainter::PaintChannels() {
    for (int i = 0; i < chart_.ChannelCount(); ++i) {
        const std::vector<PixelRun> runs = ChannelLinesInPlot(chart_, layout_, i);
        if (runs.empty()) continue;
        const TStripChartChannel& channel = chart_.GetChannel(i);
        QPen pen = LinePen(channel.Color, channel.LineWidth, channel.LineStyle);
        pen.setCapStyle(Qt::SquareCap);
        p_.setPen(pen);
        QPolygonF polygon;
        for (const PixelRun& run : runs) {
            if (run.size() == 1) {
                p_.drawPoint(QPointF(run[0].X, run[0].Y));
                continue;
            }
            polygon.resize(static_cast<int>(run.size()));
            for (std::size_t k = 0; k < run.size(); ++k)
                polygon[static_cast<int>(k)] = QPointF(run[k].X, run[k].Y);
            p_.drawPolyline(polygon);
        }
    }
}

void ChartPainter::PaintLabelChannels() {
    const ChartRect& plot = layout_.Plot;
    const PlotMapping mapping = MappingFor(chart_, layout_);
    for (int c = 0; c < chart_.LabelChannelCount(); ++c) {
        const TStripChartLabelChannel& labels = chart_.GetLabelChannel(c);
        if (!labels.Visible) continue;
        const QFontMetricsF metrics(ToQFont(labels.Font));
        const double y =
            plot.Bottom - labels.HeightPercent / 100.0 * (plot.Height() - 1) - metrics.height() / 2;
        const int last = std::min(chart_.LastVisibleIndex(), labels.Count() - 1);
        for (int i = chart_.FirstVisibleIndex(); i <= last; ++i) {
            if (labels.Text(i).empty()) continue;
            const QString text = ChartText(labels.Text(i));
            const double x =
                RoundHalfEven(mapping.X(chart_.TimeIndex(i))) - metrics.horizontalAdvance(text) / 2;
            // Whole labels only: the SVG and EMF outputs would not cut one at the edge.
            if (x < plot.Left || x + metrics.horizontalAdvance(text) > plot.Right + 1) continue;
            Text(labels.Font, x, y, text);
        }
    }
}

void ChartPainter::PaintCursor() {
    if (chart_.ToolBarMode() != scmCursor || chart_.TimeIndexCount() == 0) return;
    if (chart_.XWindow().Span() == 0.0) return;
    const ChartRect& plot = layout_.Plot;
    const int index = std::clamp(chart_.CursorIndex(), 0, chart_.TimeIndexCount() - 1);
    const double x = std::nearbyint(MappingFor(chart_, layout_).X(chart_.TimeIndex(index)));
    if (x < plot.Left || x > plot.Right) return;
    const double width = std::min(2.0, plot.Right + 1 - x);
    p_.fillRect(QRectF(x, plot.Top, width, plot.Height()), ToQColor(chart_.CursorColor()));
}

void ChartPainter::PaintZoomBox(const ChartRect& box) {
    if (box.Right <= box.Left || box.Bottom <= box.Top) return;
    const ChartColor grid = chart_.GridBackGroundColor();
    QPen pen(QColor(255 - grid.R, 255 - grid.G, 255 - grid.B));
    pen.setStyle(Qt::DotLine);
    p_.setPen(pen);
    p_.setBrush(Qt::NoBrush);
    p_.drawRect(box.Left, box.Top, box.Width() - 1, box.Height() - 1);
}

void PaintChart(QPainter& painter, const StripChartModel& chart, const ChartLayout& layout,
                ChartFrameStyle frame) {
    ChartPainter chartPainter(painter, chart, layout, frame);
    chartPainter.PaintFrame();
    chartPainter.PaintXLabels();
    chartPainter.PaintPlot();
}
