#include "reports/LogTable.h"

#include <algorithm>
#include <map>

#include "model/Win1252.h"
#include "reports/SpreadsheetText.h"
#include "results/ResultLines.h"

namespace {
std::string TemperatureColumn(TempScale scale) {
    return scale == TempScale::Fahrenheit ? "temperature_F" : "temperature_C";
}

// The column of a logger in the wide table: who carried it and the ROM; the
// start as well when one device holds several missions of the table.
std::vector<std::string> ColumnNames(const std::vector<const SurveyRow*>& missions) {
    std::map<std::string, int> missionsOfRom;
    for (const SurveyRow* row : missions) ++missionsOfRom[row->Mission.Rom];
    std::vector<std::string> names;
    for (const SurveyRow* row : missions) {
        const LoggedMission& m = row->Mission;
        std::string who = m.Details[0];
        if (!m.Details[1].empty()) who += (who.empty() ? "" : " ") + m.Details[1];
        std::string name = who.empty() ? m.Rom : Win1252ToUtf8(who) + " (" + m.Rom + ")";
        if (missionsOfRom[m.Rom] > 1) name += " from " + IsoMinuteText(RoundToMinute(m.MissionStart));
        names.push_back(TextCell(name));
    }
    return names;
}
}  // namespace

std::vector<const SurveyRow*> TableMissions(const std::vector<SurveyRow>& rows) {
    // The first row of each mission stands for it; the copy with the most samples is taken in its place.
    std::map<int, const SurveyRow*> best;
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const SurveyRow& row = rows[i];
        if (!row.Readable || row.Mission.Log.empty()) continue;
        const int first = row.SameMissionAs < 0 ? i : row.SameMissionAs;
        auto& chosen = best[first];
        if (!chosen || row.Mission.Samples > chosen->Mission.Samples) chosen = &row;
    }
    std::vector<const SurveyRow*> missions;
    for (const auto& [first, row] : best) missions.push_back(row);
    return missions;
}

std::string LongTableCsv(const std::vector<SurveyRow>& rows, TempScale scale) {
    std::string text(kUtf8ByteOrderMark);
    const std::vector<std::string> header{"rom",     "mission_title", "first_name",
                                          "surname", "time",          TemperatureColumn(scale)};
    text += CsvRow(header);
    std::vector<std::string> cells(header.size());
    for (const SurveyRow* row : TableMissions(rows)) {
        const LoggedMission& m = row->Mission;
        cells[0] = m.Rom;
        cells[1] = TextCell(Win1252ToUtf8(m.Details[4]));
        cells[2] = TextCell(Win1252ToUtf8(m.Details[0]));
        cells[3] = TextCell(Win1252ToUtf8(m.Details[1]));
        for (const LoggedSample& sample : m.Log) {
            cells[4] = IsoMinuteText(sample.Minute);
            cells[5] = DecimalText(ToScale(sample.Temperature, scale));
            text += CsvRow(cells);
        }
    }
    return text;
}

std::string WideTableCsv(const std::vector<SurveyRow>& rows, TempScale scale) {
    const std::vector<const SurveyRow*> missions = TableMissions(rows);
    std::vector<std::string> header{"time"};
    for (auto& name : ColumnNames(missions)) header.push_back(std::move(name));
    std::string text(kUtf8ByteOrderMark);
    text += CsvRow(header);

    std::vector<std::int64_t> minutes;
    for (const SurveyRow* row : missions)
        for (const LoggedSample& sample : row->Mission.Log) minutes.push_back(sample.Minute);
    std::sort(minutes.begin(), minutes.end());
    minutes.erase(std::unique(minutes.begin(), minutes.end()), minutes.end());

    // Each log is in time order: one position per logger walks along with the rows.
    std::vector<std::size_t> next(missions.size(), 0);
    std::vector<std::string> cells(header.size());
    for (const std::int64_t minute : minutes) {
        cells[0] = IsoMinuteText(minute);
        for (std::size_t c = 0; c < missions.size(); ++c) {
            const auto& log = missions[c]->Mission.Log;
            std::size_t& at = next[c];
            while (at < log.size() && log[at].Minute < minute) ++at;
            cells[c + 1] = at < log.size() && log[at].Minute == minute
                               ? DecimalText(ToScale(log[at].Temperature, scale))
                               : "";
        }
        text += CsvRow(cells);
    }
    return text;
}
