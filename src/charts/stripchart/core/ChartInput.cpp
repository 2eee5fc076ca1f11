#include "charts/stripchart/core/ChartInput.h"

#include <algorithm>

namespace {
// Drags need a plot that spans more than one pixel each way: they divide by it.
bool PlotUsable(const ChartLayout& layout) {
    return layout.Plot.Right > layout.Plot.Left && layout.Plot.Bottom > layout.Plot.Top;
}

bool ScrollsX(TStripChartMode mode) { return mode == scmScrollX || mode == scmScrollXY; }
bool ScrollsY(TStripChartMode mode) { return mode == scmScrollY || mode == scmScrollXY; }
bool ZoomsX(TStripChartMode mode) { return mode == scmZoomX || mode == scmZoomXY; }
bool ZoomsY(TStripChartMode mode) { return mode == scmZoomY || mode == scmZoomXY; }

void CursorToColumn(StripChartModel& chart, const ChartLayout& layout, int x) {
    chart.MoveCursor(chart.FindTimeIndex(MappingFor(chart, layout).TimeAt(x)));
}

bool CursorKey(StripChartModel& chart, ChartKey key) {
    const int cursor = chart.CursorIndex();
    const int visible = chart.LastVisibleIndex() - chart.FirstVisibleIndex();
    switch (key) {
        case ChartKey::PageUp:
            chart.MoveCursor(cursor + visible);
            return true;
        case ChartKey::PageDown:
            chart.MoveCursor(cursor - visible);
            return true;
        case ChartKey::Home:
            chart.MoveCursor(0);
            return true;
        case ChartKey::End:
            chart.MoveCursor(chart.TimeIndexCount() - 1);
            return true;
        case ChartKey::Left:
        case ChartKey::Down:
            chart.MoveCursor(cursor - 1);
            return true;
        case ChartKey::Right:
        case ChartKey::Up:
            chart.MoveCursor(cursor + 1);
            return true;
        case ChartKey::Other:
            return false;
    }
    return false;
}

void LegendClick(StripChartModel& chart, const ChartLayout& layout, int y) {
    if (layout.LegendRows.empty() || layout.LegendRowHeight <= 0) return;
    // Rows list only the channels shown in the legend; a click below them picks the last.
    const int row = std::clamp((y - layout.Legend.Top - 5) / layout.LegendRowHeight, 0,
                               static_cast<int>(layout.LegendRows.size()) - 1);
    chart.SetCursorChannel(layout.LegendRows[static_cast<std::size_t>(row)]);
}
}  // namespace

bool HandleChartKey(StripChartModel& chart, ChartKey key) {
    const TStripChartMode mode = chart.ToolBarMode();
    if (mode == scmCursor) return CursorKey(chart, key);
    if (!ScrollsX(mode) && !ScrollsY(mode)) return false;
    const double s = chart.XWindow().Span(), t = chart.YWindow().Span();
    const int mx = chart.XAxisTickMajorCount(), my = chart.YAxisTickMajorCount();
    const double xPage = s / (mx - 1), yPage = t / (my - 1);
    const double xStep = s / ((mx - 1) * (mx + 1)), yStep = t / ((my - 1) * (my + 1));
    const bool x = ScrollsX(mode);
    switch (key) {
        case ChartKey::PageUp:
            x ? chart.ScrollX(xPage) : chart.ScrollY(yPage);
            return true;
        case ChartKey::PageDown:
            x ? chart.ScrollX(-xPage) : chart.ScrollY(-yPage);
            return true;
        case ChartKey::Home:
            if (!x) return false;
            chart.MoveCursor(0);
            return true;
        case ChartKey::End:
            if (!x) return false;
            chart.MoveCursor(chart.TimeIndexCount() - 1);
            return true;
        case ChartKey::Left:
            if (!x) return false;
            chart.ScrollX(-xStep);
            return true;
        case ChartKey::Right:
            if (!x) return false;
            chart.ScrollX(xStep);
            return true;
        case ChartKey::Up:
            if (!ScrollsY(mode)) return false;
            chart.ScrollY(yStep);
            return true;
        case ChartKey::Down:
            if (!ScrollsY(mode)) return false;
            chart.ScrollY(-yStep);
            return true;
        case ChartKey::Other:
            return false;
    }
    return false;
}

void ChartMousePress(StripChartModel& chart, const ChartLayout& layout, ChartMouse& mouse, int x, int y) {
    mouse.LastX = x;
    mouse.LastY = y;
    if (layout.ToolBarShown) {
        for (const ToolBarButton& button : layout.Buttons) {
            if (button.Rect.Contains(x, y)) {
                chart.SetToolBarMode(button.Mode);
                return;
            }
        }
    }
    if (chart.ShowLegend() && layout.Legend.Contains(x, y)) {
        LegendClick(chart, layout, y);
        return;
    }
    if (!PlotUsable(layout) || !layout.Plot.Contains(x, y)) return;
    mouse.Dragging = true;
    mouse.Box = {x, y, x, y};
    if (chart.ToolBarMode() == scmCursor) CursorToColumn(chart, layout, x);
}

void ChartMouseMove(StripChartModel& chart, const ChartLayout& layout, ChartMouse& mouse, int x, int y) {
    if (!mouse.Dragging || !PlotUsable(layout)) return;
    const TStripChartMode mode = chart.ToolBarMode();
    const double width = layout.Plot.Right - layout.Plot.Left;
    const double height = layout.Plot.Bottom - layout.Plot.Top;
    const double dx = mouse.LastX - x;
    const double dy = chart.YAxisReverseScale() ? mouse.LastY - y : y - mouse.LastY;
    if (ScrollsX(mode)) chart.ScrollX(dx / width * chart.XWindow().Span());
    if (ScrollsY(mode)) chart.ScrollY(dy / height * chart.YWindow().Span());
    if (ZoomsX(mode)) chart.ZoomX(dx / width + 1);
    if (ZoomsY(mode)) chart.ZoomY((y - mouse.LastY) / height + 1);
    if (mode == scmCursor) CursorToColumn(chart, layout, x);
    if (mode == scmZoomBox) {
        mouse.Box.Right = std::min(x, layout.Plot.Right);
        mouse.Box.Bottom = std::min(y, layout.Plot.Bottom);
        chart.Refresh();
    }
    mouse.LastX = x;
    mouse.LastY = y;
}

void ChartMouseRelease(StripChartModel& chart, const ChartLayout& layout, ChartMouse& mouse, int, int) {
    if (!mouse.Dragging) return;
    mouse.Dragging = false;
    const ChartRect box = mouse.Box;
    if (chart.ToolBarMode() != scmZoomBox || !PlotUsable(layout)) return;
    chart.Refresh();  // the box goes
    if (box.Right <= box.Left || box.Bottom <= box.Top) return;
    const PlotMapping mapping = MappingFor(chart, layout);
    const double top = mapping.ValueAt(box.Top), bottom = mapping.ValueAt(box.Bottom);
    chart.SetXAxisMin(mapping.TimeAt(box.Left));
    chart.SetXAxisMax(mapping.TimeAt(box.Right));
    chart.SetYAxisMin(std::min(top, bottom));
    chart.SetYAxisMax(std::max(top, bottom));
}
