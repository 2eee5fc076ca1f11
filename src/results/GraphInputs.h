#pragma once
// What the main window hands a chart window: the arguments of PlotLog and
// PlotHistogram as the buttons compute them, and a snapshot of the mission
// details that the printout and the window title show. A chart window keeps
// its copy; a later download does not change it.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "files/FilePath.h"
#include "model/DateTime.h"
#include "model/Temperature.h"

struct LogGraphInput {
    std::vector<double> Values;  // display scale, oldest first
    bool IncludeAlarms = false;
    TDateTime StartTime = 0;
    int XMode = 0;  // 0 date/time, otherwise sample number
    int SampleRateMinutes = 1;
    double HighThreshold = 0, LowThreshold = 0;
    std::string UnitText, YTitle, XTitle, Caption, Title;
    int Count = 0;
};

struct HistogramGraphInput {
    std::array<std::int32_t, 64> Counts{};
    double BinWidth = 2.0, FirstBinStart = -40.0;  // degrees Celsius
    int XMode = 0;                                 // 2 bin number
    std::string XTitle, YTitle, Caption, Title;
};

// The mission as the main window showed it when the graph was made.
struct GraphDetails {
    std::string RomText;       // the device the data belongs to
    std::string MissionTitle;  // user page 5, trailing blanks dropped
    // "caption text" of each user detail whose text is not empty, in order.
    std::vector<std::string> UserDetailLines;
    // The Status tab's labels.
    std::string MissionStart, MissionDelay, SampleRate, HighThreshold, LowThreshold;
    FilePath SavePath;
};

// " dd/mm/yyyy  hh:mm ": the form a graph's caption gives a date-time.
std::string GraphTimeText(TDateTime value);
// The caption of a graph: the form of from, " to ", the form of to.
std::string GraphTimeCaption(TDateTime from, TDateTime to);

// When the first plotted sample was taken: with roll-over and more than 2048
// samples only the newest 2048 are in the log.
TDateTime LogGraphStartTime(TDateTime missionStart, std::int32_t samples, int sampleRateMinutes,
                            bool rolloverEnabled);

// Where the histogram's bins start and how wide they are, always in Celsius.
struct HistogramBins {
    double FirstBinStart, BinWidth;
};
HistogramBins HistogramBinsOf(DeviceVariant variant);

// The X title of the histogram from the syntax label: up to its first ",",
// with "°C" after it unless the view is "Bin Number" (index 2).
std::string HistogramXTitle(const std::string& histSyntax, int histView);
