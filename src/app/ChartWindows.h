#pragma once
// How the main window reaches its chart windows: it owns at most one log graph
// and one histogram, and destroys them when it closes. The window's front end
// builds them; a form without one (kelvara-cli, most tests) shows no chart.
#include "results/GraphInputs.h"

enum class ChartKind { Log, Histogram };

class ChartWindows {
public:
    virtual ~ChartWindows() = default;
    virtual void DestroyChartWindow(ChartKind kind) = 0;
    // Creates the window, plots the input once, shows it.
    virtual void ShowLogGraph(const LogGraphInput& input, const GraphDetails& details) = 0;
    virtual void ShowHistogramGraph(const HistogramGraphInput& input, const GraphDetails& details) = 0;
};
