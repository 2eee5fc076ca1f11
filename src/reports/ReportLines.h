#pragma once
// Line builders of the text report, the printed reports and the CSV exports.
// They copy what the window shows (label captions and list lines), so every
// output follows the chosen views and units alike.
#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/DateTime.h"

// Everything the outputs copy, as the window shows it.
struct ReportSource {
    std::string Caption;       // the main window's caption
    std::string RomText;       // the device the data belongs to
    std::string DownloadText;  // DownloadTime in the date-time text form
    std::array<std::string, 6> UserDetailCaptions;
    std::span<const std::string> UserTexts;  // 16 entries; 1-6 are the details

    // Value labels of the Status tab and the wizard, as last refreshed.
    std::string MissionStatus, SampleRate, RolloverEnable, RolloverOccured, MissionStart, MissionDelay,
        MissionSamples, DeviceCount, Degree, HighThreshold, LowThreshold, TempAlarm, DeviceTime, PCTime,
        AlarmMode, TimeAlarmSetting, TimeAlarm;

    bool MinuteOffsetView = false;  // the "Minute Offset " item of the alarm/log views
    std::string LogSyntax, HistSyntax;
    std::span<const std::string> AlarmLines, HistLines, LogLines;
};

// The text of user detail k (0 first name ... 5 description) that every output shows.
std::string UserDetailText(std::span<const std::string> userTexts, std::size_t k);

// A start/end pair of alarm lines joined into the report's "to" form.
std::string JoinAlarmPair(const std::string& startLine, const std::string& endLine);

// The text report, line by line (without line ends); the last line is empty.
std::vector<std::string> FullReportLines(const ReportSource& source);

// The printed summary (details, state, alarms) or full report (plus histogram
// and log). Each alarm pair is printed in its list form and its "to" form.
std::vector<std::string> PrintedLines(const ReportSource& source, bool full);

// The log or histogram list as CSV: header facts above (13 list lines or
// fewer) or beside the first twelve rows (14 or more). Nothing is quoted.
std::vector<std::string> CsvLines(const ReportSource& source, const std::string& formatLabel,
                                  std::span<const std::string> rows);

// Every line followed by CR LF, the last one too.
std::string JoinCrLf(std::span<const std::string> lines);

// The name a save dialog proposes: the mission title, unless it is empty, a
// single blank or 32 blanks; then the ROM text. Trailing blanks are dropped and
// path separators become '_'.
std::string ProposedFileName(const std::string& missionTitle, const std::string& romText);

// What precedes the ROM text in the caption of a found device or a data file.
inline constexpr std::string_view kDeviceCaptionPrefix = "DS1921 iButton - ";

// The ROM text of a caption kDeviceCaptionPrefix + ROM; other captions are
// returned without surrounding blanks.
std::string RomTextOfCaption(const std::string& caption);

// The date-time text form the program uses on every platform: dd/mm/yyyy hh:mm:ss.
std::string FixedDateTimeText(TDateTime value);
