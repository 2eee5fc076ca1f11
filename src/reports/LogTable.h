#pragma once
// The class table: every logged sample of the surveyed missions in one CSV,
// for R, Python or a spreadsheet. Long form: one row per sample. Wide form:
// one row per minute and one column per logger, a cell left empty where a
// logger took no sample at that minute. A mission downloaded into several
// files is taken once.
#include <string>
#include <vector>

#include "reports/Survey.h"

// The rows whose samples go into the table (survey rows made with keepLogs):
// readable, with samples, and of several files holding one mission the one with
// the most samples (the later download), in survey order.
std::vector<const SurveyRow*> TableMissions(const std::vector<SurveyRow>& rows);

std::string LongTableCsv(const std::vector<SurveyRow>& rows, TempScale scale);
// Temperatures in the scale given.
std::string WideTableCsv(const std::vector<SurveyRow>& rows, TempScale scale);
