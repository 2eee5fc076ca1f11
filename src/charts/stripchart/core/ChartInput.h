#pragma once
// Mouse and keyboard by mode: scrolling and zooming by drag (the data follow the
// mouse), the cursor, the zoom box, toolbar and legend clicks, and the arrow,
// Page, Home and End keys.
#include "charts/stripchart/core/Layout.h"

enum class ChartKey { PageUp, PageDown, Home, End, Left, Right, Up, Down, Other };

// True when the current mode uses the key; the widget then consumes it.
bool HandleChartKey(StripChartModel& chart, ChartKey key);

// The drag in progress.
struct ChartMouse {
    bool Dragging = false;
    int LastX = 0, LastY = 0;
    ChartRect Box;  // the zoom box, from the press to the mouse
};

// Left button only: the right button is the owner's (the chart window's popup menu).
void ChartMousePress(StripChartModel& chart, const ChartLayout& layout, ChartMouse& mouse, int x, int y);
void ChartMouseMove(StripChartModel& chart, const ChartLayout& layout, ChartMouse& mouse, int x, int y);
void ChartMouseRelease(StripChartModel& chart, const ChartLayout& layout, ChartMouse& mouse, int x, int y);
