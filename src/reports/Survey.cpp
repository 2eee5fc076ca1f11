#include "reports/Survey.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "model/Win1252.h"
#include "reports/DumpFormat.h"
#include "reports/SpreadsheetText.h"
#include "results/ResultLines.h"

namespace {
std::string PlainText(std::string programText) {
    for (char& c : programText)
        if (c == '\r') c = ' ';
    return ShownTextToUtf8(programText);
}

std::string Minutes(std::int64_t minutes) {
    return std::to_string(minutes) + " minute" + (minutes == 1 ? "" : "s");
}

// Samples the time from the mission start to the download has room for: the
// first one at the start, then one every sample period.
std::int64_t SamplesTimeAllows(const LoggedMission& m) {
    const std::int64_t startMs = std::llround(m.MissionStart * 86400000.0);
    const std::int64_t downloadMs = std::llround(m.DownloadTime * 86400000.0);
    if (downloadMs < startMs) return 0;
    return (downloadMs - startMs) / (static_cast<std::int64_t>(m.SampleRate) * 60000) + 1;
}

void AddMissionNotes(SurveyRow& row) {
    const LoggedMission& m = row.Mission;
    if (m.LinesRead < kDumpDataLines)
        row.Notes.push_back("the file's data ends at line " + std::to_string(m.LinesRead + 1) +
                            ": the memory after it reads as empty");
    if (!m.Started) {
        row.Notes.push_back(m.Running ? "mission not started: it waits out its start delay of " +
                                            Minutes(m.StartDelay)
                                      : "mission not started: the device holds no mission");
        return;
    }
    if (!m.ValidStart) row.Notes.push_back("the mission start time is no valid date");
    if (m.Samples == 0) {
        row.Notes.push_back("empty log: no samples were taken");
        return;
    }
    if (!m.Running && m.ValidStart && m.SampleRate > 0) {
        // One sample of slack: the download may fall inside the period of the next one.
        const std::int64_t allowed = SamplesTimeAllows(m);
        if (m.Samples + 1 < allowed)
            row.Notes.push_back("stopped before its end: " + std::to_string(m.Samples) +
                                " samples, where the time from start to download allows " +
                                std::to_string(allowed));
    }
}

void Summarise(SurveyRow& row, bool keepLogs) {
    auto& log = row.Mission.Log;
    if (!log.empty()) {
        double sum = 0, low = log.front().Temperature, high = low;
        for (const LoggedSample& s : log) {
            sum += s.Temperature;
            low = std::min(low, s.Temperature);
            high = std::max(high, s.Temperature);
        }
        row.Minimum = low;
        row.Maximum = high;
        row.Mean = sum / static_cast<double>(log.size());
        row.FirstSample = log.front().Minute;
        row.LastSample = log.back().Minute;
    }
    if (!keepLogs) std::vector<LoggedSample>().swap(log);
}

// Started missions by start, then ROM; then the others by ROM; unreadable files last.
auto SortKey(const SurveyRow& row) {
    const int group = !row.Readable ? 2 : row.Mission.Started ? 0 : 1;
    const double start = group == 0 ? row.Mission.MissionStart : 0.0;
    return std::make_tuple(group, start, row.Mission.Rom, row.File);
}

void MarkSameMissions(std::vector<SurveyRow>& rows) {
    std::map<std::pair<std::string, std::int64_t>, std::vector<int>> byMission;
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const SurveyRow& row = rows[i];
        if (!row.Readable || !row.Mission.Started) continue;
        byMission[{row.Mission.Rom, RoundToMinute(row.Mission.MissionStart)}].push_back(i);
    }
    for (const auto& [mission, indexes] : byMission) {
        if (indexes.size() < 2) continue;
        for (const int i : indexes) {
            std::string others;
            for (const int j : indexes)
                if (j != i) others += (others.empty() ? "" : ", ") + rows[j].File;
            rows[i].Notes.push_back("same mission as " + others);
            rows[i].SameMissionAs = indexes.front() == i ? -1 : indexes.front();
        }
    }
}

// A user page may hold any byte; line breaks and other control bytes would split rows of the text table.
std::string DetailText(std::string detail) {
    for (char& c : detail)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return Win1252ToUtf8(detail);
}

std::string CellOf(const std::optional<double>& celsius, TempScale scale) {
    return celsius ? DecimalText(ToScale(*celsius, scale)) : "";
}
std::string CellOf(const std::optional<std::int64_t>& minute) { return minute ? IsoMinuteText(*minute) : ""; }

// Characters, not bytes, for the alignment of UTF-8 text.
std::size_t Width(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}
}  // namespace

std::string VariantName(DeviceVariant variant) {
    switch (variant) {
        case DeviceVariant::HumanBody:
            return "Human Body";
        case DeviceVariant::LowTemp:
            return "Low Temp";
        case DeviceVariant::Standard:
            break;
    }
    return "Standard";
}

SurveyRow SurveyRowOf(const FilePath& path, LoggedMission mission, bool keepLogs) {
    SurveyRow row;
    row.Path = path;
    row.File = ShownTextToUtf8(ShownPath(path));
    row.Readable = true;
    row.Mission = std::move(mission);
    AddMissionNotes(row);
    Summarise(row, keepLogs);
    return row;
}

std::vector<SurveyRow> SurveyDataFiles(const std::vector<FilePath>& files, bool keepLogs) {
    std::vector<SurveyRow> rows;
    rows.reserve(files.size());
    for (const FilePath& path : files) {
        LoggedMission mission;
        std::string error;
        if (ReadLoggedMission(path, mission, error)) {
            rows.push_back(SurveyRowOf(path, std::move(mission), keepLogs));
            continue;
        }
        SurveyRow row;
        row.Path = path;
        row.File = ShownTextToUtf8(ShownPath(path));
        row.Notes.push_back("cannot be read: " + PlainText(error));
        rows.push_back(std::move(row));
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const SurveyRow& a, const SurveyRow& b) { return SortKey(a) < SortKey(b); });
    MarkSameMissions(rows);
    return rows;
}

std::vector<std::string> SurveyHeader(TempScale scale) {
    const std::string unit = scale == TempScale::Fahrenheit ? "_F" : "_C";
    return {"file",
            "rom",
            "variant",
            "first_name",
            "surname",
            "class",
            "school",
            "mission_title",
            "description",
            "mission_start",
            "sample_rate_minutes",
            "samples",
            "first_sample",
            "last_sample",
            "min" + unit,
            "mean" + unit,
            "max" + unit,
            "high_alarms",
            "high_alarm_minutes",
            "low_alarms",
            "low_alarm_minutes",
            "rollover",
            "notes"};
}

std::vector<std::string> SurveyCells(const SurveyRow& row, TempScale scale) {
    std::string notes;
    for (const auto& note : row.Notes) notes += (notes.empty() ? "" : "; ") + note;
    if (!row.Readable) {
        std::vector<std::string> cells(SurveyHeader(TempScale::Celsius).size());
        cells.front() = row.File;
        cells.back() = notes;
        return cells;
    }
    const LoggedMission& m = row.Mission;
    std::vector<std::string> cells{row.File, m.Rom, VariantName(m.Variant)};
    for (const auto& detail : m.Details) cells.push_back(DetailText(detail));
    cells.push_back(m.Started && m.ValidStart ? IsoMinuteText(RoundToMinute(m.MissionStart)) : "");
    cells.push_back(std::to_string(m.SampleRate));
    cells.push_back(std::to_string(m.Samples));
    cells.push_back(CellOf(row.FirstSample));
    cells.push_back(CellOf(row.LastSample));
    cells.push_back(CellOf(row.Minimum, scale));
    cells.push_back(CellOf(row.Mean, scale));
    cells.push_back(CellOf(row.Maximum, scale));
    cells.push_back(std::to_string(m.HighAlarms));
    cells.push_back(std::to_string(m.HighAlarmMinutes));
    cells.push_back(std::to_string(m.LowAlarms));
    cells.push_back(std::to_string(m.LowAlarmMinutes));
    cells.push_back(!m.RolloverEnabled ? "no" : m.RolledOver ? "yes, rolled over" : "yes");
    cells.push_back(notes);
    return cells;
}

std::string SurveyCsv(const std::vector<SurveyRow>& rows, TempScale scale) {
    std::string text(kUtf8ByteOrderMark);
    text += CsvRow(SurveyHeader(scale));
    for (const SurveyRow& row : rows) {
        std::vector<std::string> cells = SurveyCells(row, scale);
        for (const int typed : {0, 3, 4, 5, 6, 7, 8}) cells[typed] = TextCell(cells[typed]);
        text += CsvRow(cells);
    }
    return text;
}

std::string SurveyText(const std::vector<SurveyRow>& rows, TempScale scale) {
    std::vector<std::vector<std::string>> table{SurveyHeader(scale)};
    for (const SurveyRow& row : rows) table.push_back(SurveyCells(row, scale));
    std::vector<std::size_t> widths(table.front().size(), 0);
    for (const auto& cells : table)
        for (std::size_t c = 0; c < cells.size(); ++c) widths[c] = std::max(widths[c], Width(cells[c]));
    std::string text;
    for (const auto& cells : table) {
        std::string line;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            line += cells[c];
            if (c + 1 < cells.size()) line.append(widths[c] - Width(cells[c]) + 2, ' ');
        }
        line.erase(line.find_last_not_of(' ') + 1);
        text += line + "\n";
    }
    return text;
}
