#include "reports/SpreadsheetText.h"

#include <charconv>
#include <cstdio>

#include "reports/CsvField.h"

std::string IsoMinuteText(std::int64_t minute) {
    const DateTimeParts parts = DecodeDateTime(static_cast<double>(minute) * kMinute);
    char text[40];
    std::snprintf(text, sizeof text, "%.4d-%.2d-%.2dT%.2d:%.2d:00", parts.Year, parts.Month, parts.Day,
                  parts.Hour, parts.Minute);
    return text;
}

std::string DecimalText(double value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 3);
    if (result.ec != std::errc()) return "";
    std::string out(text, result.ptr);
    if (out == "-0.000") out = "0.000";
    return out;
}

std::string TextCell(std::string text) {
    if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos)
        text.insert(0, 1, '\'');
    return text;
}

std::string CsvRow(std::span<const std::string> cells) {
    std::string row;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) row += ',';
        row += CsvField(cells[i]);
    }
    row += "\r\n";
    return row;
}
