#pragma once
// Cells of the CSV files meant for spreadsheets, R and Python (the survey and
// the class table): UTF-8, ISO 8601 times, a dot as decimal separator whatever
// the locale, RFC 4180 quoting, CR LF after every row.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "model/DateTime.h"

// Makes Excel read the file as UTF-8; LibreOffice, pandas and readr skip it.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// "YYYY-MM-DDTHH:MM:00" of whole minutes since 1899-12-30 00:00.
std::string IsoMinuteText(std::int64_t minute);
// Three decimals, a dot as separator, never the locale's.
std::string DecimalText(double value);
// A text typed by someone (a name, a file name) as a cell: one that a spreadsheet
// would take for a formula (=, +, -, @ first) gets an apostrophe before it.
std::string TextCell(std::string text);
// The cells quoted as needed and joined by commas, then CR LF.
std::string CsvRow(std::span<const std::string> cells);
