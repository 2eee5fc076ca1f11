#pragma once
// The Mission Results tab: log, alarm and histogram lists and their views.
#include <array>
#include <cstdint>

#include "app/Controls.h"

struct ResultControls {
    Control LogBox{true, false, "Temperature Log"};
    Control AlarmBox{true, false, "Temperature Alarms"};
    Control HistogramBox{true, false, "Histogram Data"};
    ListControl LogList, AlarmList, HistList;
    Control LogSyntax{true, true, "Date, Time, Temperature"};
    Control HistSyntax{true, true, "Temp Range , Count"};
    RadioGroupControl LogRadio;   // "Alarms/Log": "Date/Time", "Minute Offset "
    RadioGroupControl HistRadio;  // "Histogram": "Range", "Start Only", "Bin Number"
    Control ReadButton{false, true, "Read Data"};
    Control btnDetails{true, false, "Mission Details"};
    // The chart window's buttons, enabled with the result commands.
    Control GraphLogButton{false, true, "Graph..."};
    Control GraphHistButton{false, true, "Chart..."};
    CheckControl GraphAlarmsCheck{{false, true, "Include alarm thresholds on graph"}};
    bool LogChartOpen = false;
    bool HistogramChartOpen = false;

    // Handed to the chart window.
    std::array<double, 2048> LogTemperatures{};
    std::array<std::int32_t, 64> HistogramCounts{};
};
