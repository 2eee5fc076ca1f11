#include "reports/ReportLines.h"

#include <cstdio>

namespace {
const std::string kEndMark = "            end:";  // twelve blanks and "end:"

std::string AlarmFormatLine(bool minuteOffsetView) {
    return minuteOffsetView ? "Format: [(HIGH/LOW), Minute Offset range]"
                            : "Format: [(HIGH/LOW), Time/Date range]";
}

// Pairs are joined only in the Date/Time view and when there is more than the
// single line "none".
bool AlarmsInPairs(const ReportSource& source) {
    return !source.MinuteOffsetView && source.AlarmLines.size() > 1;
}

void AppendAll(std::vector<std::string>& lines, std::span<const std::string> more) {
    lines.insert(lines.end(), more.begin(), more.end());
}

// Report lines 1-31: caption, download time, mission details and mission state.
void AppendHeader(std::vector<std::string>& lines, const ReportSource& s) {
    lines.push_back(s.Caption);
    lines.push_back("Download at: " + s.DownloadText);
    lines.push_back("");
    lines.push_back("Mission Details");
    lines.push_back("-------------");
    for (std::size_t k = 0; k < 6; ++k)
        lines.push_back(s.UserDetailCaptions[k] + UserDetailText(s.UserTexts, k));
    lines.push_back("");
    lines.push_back("Mission State");
    lines.push_back("-------------");
    lines.push_back("Mission is " + s.MissionStatus);
    lines.push_back("Sample rate: " + s.SampleRate + " minute(s)");
    lines.push_back("Roll-Over Enabled: " + s.RolloverEnable);
    lines.push_back("Roll-Over Occured: " + s.RolloverOccured);
    lines.push_back("Mission Start time: " + s.MissionStart);
    lines.push_back("Mission Start delay: " + s.MissionDelay + " minute(s)");
    lines.push_back("Mission Samples: " + s.MissionSamples);
    lines.push_back("Device total samples: " + s.DeviceCount);
    lines.push_back("Temperatures displayed in: " + s.Degree);
    lines.push_back("High Threshold: " + s.HighThreshold);
    lines.push_back("Low Threshold: " + s.LowThreshold);
    lines.push_back("Temperature threshold alarm state: " + s.TempAlarm);
    lines.push_back("Current Real-Time Clock from DS1921: " + s.DeviceTime);
    lines.push_back("Current PC Time: " + s.PCTime);
    lines.push_back("Time Alarm mode: " + s.AlarmMode);
    lines.push_back("Alarm Time: " + s.TimeAlarmSetting);
    lines.push_back("Alarm Time state: " + s.TimeAlarm);
}

void AppendAlarmHead(std::vector<std::string>& lines, const ReportSource& s) {
    lines.push_back("");
    lines.push_back("Temperature Alarms");
    lines.push_back("------------------");
    lines.push_back(AlarmFormatLine(s.MinuteOffsetView));
}

void AppendHistogram(std::vector<std::string>& lines, const ReportSource& s) {
    lines.push_back("");
    lines.push_back("Temperature Histogram");
    lines.push_back("---------------------");
    lines.push_back("Format: [" + s.HistSyntax + "] " + s.Degree);
    AppendAll(lines, s.HistLines);
}

void AppendLog(std::vector<std::string>& lines, const ReportSource& s) {
    lines.push_back("");
    lines.push_back("Log Data");
    lines.push_back("--------");
    lines.push_back("Format: [" + s.LogSyntax + "] " + s.Degree);
    AppendAll(lines, s.LogLines);
}
}  // namespace

std::string UserDetailText(std::span<const std::string> userTexts, std::size_t k) {
    return k + 1 < userTexts.size() ? userTexts[k + 1] : std::string();
}

std::string JoinAlarmPair(const std::string& startLine, const std::string& endLine) {
    std::string joined = startLine + " " + endLine;
    if (const auto start = joined.find("start:"); start != std::string::npos) joined.erase(start, 6);
    if (const auto end = joined.find(kEndMark); end != std::string::npos)
        joined.replace(end, kEndMark.size(), "to");
    return joined;
}

std::vector<std::string> FullReportLines(const ReportSource& source) {
    std::vector<std::string> lines;
    lines.reserve(50 + source.AlarmLines.size() + source.HistLines.size() + source.LogLines.size());
    AppendHeader(lines, source);
    AppendAlarmHead(lines, source);
    const auto& alarms = source.AlarmLines;
    if (AlarmsInPairs(source)) {
        for (std::size_t i = 0; i < alarms.size(); i += 2)
            lines.push_back(i + 1 < alarms.size() ? JoinAlarmPair(alarms[i], alarms[i + 1]) : alarms[i]);
    } else {
        AppendAll(lines, alarms);
    }
    AppendHistogram(lines, source);
    AppendLog(lines, source);
    lines.push_back("");
    return lines;
}

std::vector<std::string> PrintedLines(const ReportSource& source, bool full) {
    std::vector<std::string> lines;
    AppendHeader(lines, source);
    AppendAlarmHead(lines, source);
    const auto& alarms = source.AlarmLines;
    if (AlarmsInPairs(source)) {
        for (std::size_t i = 0; i < alarms.size(); i += 2) {
            if (i + 1 == alarms.size()) {
                lines.push_back(alarms[i]);
                break;
            }
            lines.push_back(alarms[i] + " " + alarms[i + 1]);
            lines.push_back(JoinAlarmPair(alarms[i], alarms[i + 1]));
        }
    } else {
        AppendAll(lines, alarms);
    }
    if (full) {
        AppendHistogram(lines, source);
        AppendLog(lines, source);
    }
    return lines;
}

std::vector<std::string> CsvLines(const ReportSource& s, const std::string& formatLabel,
                                  std::span<const std::string> rows) {
    auto detail = [&s](std::size_t k) {
        return s.UserDetailCaptions[k] + "," + (k + 1 < s.UserTexts.size() ? s.UserTexts[k + 1] : "");
    };
    std::vector<std::string> lines;
    lines.reserve(rows.size() + 14);
    if (rows.size() <= 13) {
        lines.push_back(",,iButton," + s.RomText);
        lines.push_back(",,Download at," + s.DownloadText);
        lines.push_back(",,Mission Start time," + s.MissionStart);
        lines.push_back(",,Mission Start delay," + s.MissionDelay + " minute(s)");
        lines.push_back(",,Sample rate," + s.SampleRate + " minute(s)");
        lines.push_back(",,High Threshold," + s.HighThreshold);
        lines.push_back(",,Low Threshold," + s.LowThreshold);
        for (std::size_t k = 0; k < 6; ++k) lines.push_back(",," + detail(k));
        lines.push_back(formatLabel);
        AppendAll(lines, rows);
        return lines;
    }
    lines.push_back(formatLabel + ",iButton," + s.RomText);
    lines.push_back(rows[0] + ",Download," + s.DownloadText);
    for (std::size_t i = 1; i <= 6; ++i) lines.push_back(rows[i] + "," + detail(i - 1));
    lines.push_back(rows[7] + ",Mission Start time," + s.MissionStart);
    lines.push_back(rows[8] + ",Mission Start delay," + s.MissionDelay + " minute(s)");
    lines.push_back(rows[9] + ",Sample rate," + s.SampleRate + " minute(s)");
    lines.push_back(rows[10] + ",High Threshold," + s.HighThreshold);
    lines.push_back(rows[11] + ",Low Threshold," + s.LowThreshold);
    AppendAll(lines, rows.subspan(12));
    return lines;
}

std::string JoinCrLf(std::span<const std::string> lines) {
    std::size_t size = 0;
    for (const auto& line : lines) size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::string ProposedFileName(const std::string& missionTitle, const std::string& romText) {
    if (missionTitle.empty() || missionTitle == " " || missionTitle == std::string(32, ' ')) return romText;
    // Windows drops trailing blanks from file names, and a separator would
    // turn the title into a folder, so neither reaches the proposal.
    std::string name = missionTitle.substr(0, missionTitle.find_last_not_of(' ') + 1);
    for (char& c : name)
        if (c == '/' || c == '\\') c = '_';
    return name.empty() ? romText : name;
}

std::string RomTextOfCaption(const std::string& caption) {
    std::string text =
        caption.starts_with(kDeviceCaptionPrefix) ? caption.substr(kDeviceCaptionPrefix.size()) : caption;
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string FixedDateTimeText(TDateTime value) {
    const DateTimeParts p = DecodeDateTime(value);
    char text[64];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d %02d:%02d:%02d", p.Day, p.Month, p.Year, p.Hour,
                  p.Minute, p.Second);
    return text;
}
