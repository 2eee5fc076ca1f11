#pragma once
// The lines of the log, alarm and histogram lists, built from the memory image
// alone. Reports and exports copy these lines, so they are pure functions that
// anything holding an image can call.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/DateTime.h"
#include "model/Temperature.h"

enum class LogView { DateTime = 0, MinuteOffset = 1 };
enum class HistogramView { Range = 0, StartOnly = 1, BinNumber = 2 };

// Where the samples of a possibly rolled-over log sit in the 2048-byte area.
struct LogLayout {
    int Count = 0;     // valid entries, at most 2048
    int Rolls = 0;     // times the area has been filled
    int Split = 2048;  // positions below it hold the newest round
};

LogLayout ComputeLogLayout(std::int32_t logSampleCount, bool rolloverEnabled);
// Sample number held at log position p (0 <= p < Count).
std::int64_t LogSampleNumber(const LogLayout& layout, int position);
// Log position of the k-th listed line, oldest sample first.
int LogPositionOfLine(const LogLayout& layout, int line);

// t rounded to the nearest whole minute, ties to even, as whole minutes since the epoch.
std::int64_t RoundToMinute(TDateTime t);
// The minute (since the epoch) the log list shows for a sample offsetMinutes after the mission start.
std::int64_t LogSampleMinute(TDateTime missionStart, std::int64_t offsetMinutes);

// One used alarm record: the mission sample number of its first sample (0-based) and its length in samples.
struct AlarmRecord {
    bool High = false;
    std::int64_t FirstSample = 0;
    int Samples = 0;
};
// The used records, low ones first, then high, in record order.
std::vector<AlarmRecord> DecodeAlarmRecords(std::span<const std::uint8_t> alarmArea);

// Clears lines and fills one line per listed sample; temperatures[k] gets the
// display value of line k (temperatures may be empty to skip it).
void BuildLogLines(std::span<const std::uint8_t> logArea, const LogLayout& layout, TDateTime missionStart,
                   int sampleRate, LogView view, const TemperatureOptions& options,
                   std::vector<std::string>& lines, std::span<double> temperatures);

// Low records first, then high; "none" when no record is used.
void BuildAlarmLines(std::span<const std::uint8_t> alarmArea, TDateTime missionStart, int sampleRate,
                     LogView view, std::vector<std::string>& lines);

// Bins 0-62; counts[b] gets each bin's count (counts may be empty to skip it).
void BuildHistogramLines(std::span<const std::uint8_t> histogramArea, HistogramView view,
                         const TemperatureOptions& options, std::vector<std::string>& lines,
                         std::span<std::int32_t> counts);
