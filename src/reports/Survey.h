#pragma once
// The survey of a class's data files: one row per file with who carried the
// logger, its mission and a summary of its log, and notes in plain words on
// what needs a look (a mission stopped early or never started, an empty log,
// the same mission downloaded twice, a file that cannot be read).
#include <optional>
#include <string>
#include <vector>

#include "files/FilePath.h"
#include "reports/LoggedMission.h"

struct SurveyRow {
    FilePath Path;
    std::string File;  // the path as given, as UTF-8 text
    bool Readable = false;
    LoggedMission Mission;                         // when Readable; its Log is kept only when asked for
    std::optional<double> Minimum, Mean, Maximum;  // degrees Celsius
    std::optional<std::int64_t> FirstSample, LastSample;  // minutes, as LoggedSample::Minute
    std::vector<std::string> Notes;                       // UTF-8
    int SameMissionAs = -1;  // index of the first row holding the same mission, or -1
};

// Reads every file (one that cannot be read gets a row with the reason) and
// returns the rows sorted by mission start, then ROM; missions not started and
// unreadable files last. keepLogs keeps each mission's samples for the table.
std::vector<SurveyRow> SurveyDataFiles(const std::vector<FilePath>& files, bool keepLogs);

// The row of one readable file, its notes on itself (not yet those on other files).
SurveyRow SurveyRowOf(const FilePath& path, LoggedMission mission, bool keepLogs);

// The columns of the survey, and a row's cells (UTF-8), temperatures in the scale.
std::vector<std::string> SurveyHeader(TempScale scale);
std::vector<std::string> SurveyCells(const SurveyRow& row, TempScale scale);

// The survey as a CSV file (byte-order mark, header row, CR LF), and as an
// aligned table for a terminal (LF).
std::string SurveyCsv(const std::vector<SurveyRow>& rows, TempScale scale);
std::string SurveyText(const std::vector<SurveyRow>& rows, TempScale scale);

// The variant's name as the Options menu shows it.
std::string VariantName(DeviceVariant variant);
