#pragma once
// One field of a CSV row as spreadsheets read it (RFC 4180): a text holding a
// comma, a double quote or a line break is enclosed in double quotes with its
// inner quotes doubled; any other text is left exactly as it is, so rows
// without such fields keep their bytes. Works on the bytes of any ASCII-based
// encoding (Windows-1252 and UTF-8 alike).
#include <string>
#include <string_view>

std::string CsvField(std::string_view text);
