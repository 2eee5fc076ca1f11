#include "results/ResultLines.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "model/MemoryImage.h"

namespace {
constexpr int kLogSize = 2048;
constexpr int kAlarmRecords = 24;
constexpr int kHistogramBins = 63;

void AppendTwoDigits(std::string& out, int value) {
    out += static_cast<char>('0' + value / 10 % 10);
    out += static_cast<char>('0' + value % 10);
}

// "%.2d/%.2d/%.4d" of a day count.
std::string DateText(std::int64_t day) {
    const DateTimeParts parts = DecodeDateTime(static_cast<double>(day));
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%.2d/%.2d/%.4d", parts.Day, parts.Month, parts.Year);
    return buffer;
}

// There are only 256 temperature bytes: format each once per rebuild.
struct TemperatureTable {
    explicit TemperatureTable(const TemperatureOptions& options) {
        for (int b = 0; b < 256; ++b) {
            const auto byte = static_cast<std::uint8_t>(b);
            Texts[b] = TemperatureText(byte, options);
            Values[b] = TemperatureOf(byte, options.Variant, options.Scale);
        }
    }
    std::array<std::string, 256> Texts;
    std::array<double, 256> Values{};
};

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// Whole milliseconds first, as the date-time is shown: a time meaning hh:mm:30 is then an
// exact tie whatever its binary form, and goes to the even minute.
std::int64_t WholeMilliseconds(TDateTime t) { return std::llround(t * 86400000.0); }

std::int64_t RoundMillisecondsToMinute(std::int64_t ms) {
    std::int64_t minutes = FloorDiv(ms, 60000);
    const std::int64_t rest = ms - minutes * 60000;
    if (rest > 30000 || (rest == 30000 && (minutes & 1) != 0)) ++minutes;
    return minutes;
}

// " %.2d/%.2d/%.4d  %.2d:%.2d " of a moment, seconds dropped.
std::string AlarmTimeText(TDateTime t) {
    const DateTimeParts parts = DecodeDateTime(t);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, " %.2d/%.2d/%.4d  %.2d:%.2d ", parts.Day, parts.Month, parts.Year,
                  parts.Hour, parts.Minute);
    return buffer;
}
}  // namespace

LogLayout ComputeLogLayout(std::int32_t logSampleCount, bool rolloverEnabled) {
    LogLayout layout;
    layout.Count = logSampleCount < 0 ? 0 : (logSampleCount > kLogSize ? kLogSize : logSampleCount);
    if (rolloverEnabled && logSampleCount > kLogSize) {
        layout.Rolls = logSampleCount / kLogSize;
        layout.Split = logSampleCount % kLogSize;
    }
    return layout;
}

std::int64_t LogSampleNumber(const LogLayout& layout, int position) {
    if (layout.Rolls == 0) return position;
    const std::int64_t round = position < layout.Split ? layout.Rolls : layout.Rolls - 1;
    return round * kLogSize + position;
}

int LogPositionOfLine(const LogLayout& layout, int line) {
    if (layout.Rolls == 0) return line;
    const int position = layout.Split + line;
    return position < layout.Count ? position : position - layout.Count;
}

std::int64_t RoundToMinute(TDateTime t) { return RoundMillisecondsToMinute(WholeMilliseconds(t)); }

std::int64_t LogSampleMinute(TDateTime missionStart, std::int64_t offsetMinutes) {
    return RoundMillisecondsToMinute(WholeMilliseconds(missionStart) + offsetMinutes * 60000);
}

std::vector<AlarmRecord> DecodeAlarmRecords(std::span<const std::uint8_t> alarmArea) {
    std::vector<AlarmRecord> used;
    const int records = std::min<int>(kAlarmRecords, static_cast<int>(alarmArea.size() / 4));
    for (int r = 0; r < records; ++r) {
        const std::uint8_t length = alarmArea[r * 4 + 3];
        if (length == 0) continue;
        used.push_back({r >= 12, ReadCounter24(alarmArea, r * 4) - 1, length});
    }
    return used;
}

void BuildLogLines(std::span<const std::uint8_t> logArea, const LogLayout& layout, TDateTime missionStart,
                   int sampleRate, LogView view, const TemperatureOptions& options,
                   std::vector<std::string>& lines, std::span<double> temperatures) {
    lines.clear();
    const int count = std::min<int>(layout.Count, static_cast<int>(logArea.size()));
    lines.reserve(count);
    const TemperatureTable table(options);
    const std::int64_t startMs = WholeMilliseconds(missionStart);
    std::int64_t cachedDay = INT64_MIN;
    std::string cachedDate;
    std::string line;
    for (int k = 0; k < count; ++k) {
        const int p = LogPositionOfLine(layout, k);
        const std::int64_t offset = LogSampleNumber(layout, p) * sampleRate;
        const std::uint8_t byte = logArea[p];
        line.clear();
        if (view == LogView::MinuteOffset) {
            line += std::to_string(offset);
            line += ", ";
        } else {
            const std::int64_t minutes = RoundMillisecondsToMinute(startMs + offset * 60000);
            const std::int64_t day = FloorDiv(minutes, 1440);
            if (day != cachedDay) {
                cachedDay = day;
                cachedDate = DateText(day) + " ,";
            }
            const int minuteOfDay = static_cast<int>(minutes - day * 1440);
            line += cachedDate;
            AppendTwoDigits(line, minuteOfDay / 60);
            line += ':';
            AppendTwoDigits(line, minuteOfDay % 60);
            line += " ,";
        }
        line += table.Texts[byte];
        lines.push_back(line);
        if (k < static_cast<int>(temperatures.size())) temperatures[k] = table.Values[byte];
    }
}

void BuildAlarmLines(std::span<const std::uint8_t> alarmArea, TDateTime missionStart, int sampleRate,
                     LogView view, std::vector<std::string>& lines) {
    lines.clear();
    for (const AlarmRecord& record : DecodeAlarmRecords(alarmArea)) {
        const std::int64_t k = record.FirstSample;
        const std::int64_t d = record.Samples - 1;
        const std::string prefix = record.High ? "HIGH " : "LOW  ";
        if (view == LogView::MinuteOffset) {
            lines.push_back(prefix + ", " + std::to_string(k * sampleRate) + " - " +
                            std::to_string((k + d) * sampleRate));
        } else {
            const TDateTime start = missionStart + static_cast<double>(k * sampleRate) * kMinute;
            const TDateTime end = start + static_cast<double>(d * sampleRate) * kMinute;
            lines.push_back(prefix + ", start:" + AlarmTimeText(start));
            lines.push_back("            end: " + AlarmTimeText(end));
        }
    }
    if (lines.empty()) lines.push_back("none");
}

void BuildHistogramLines(std::span<const std::uint8_t> histogramArea, HistogramView view,
                         const TemperatureOptions& options, std::vector<std::string>& lines,
                         std::span<std::int32_t> counts) {
    lines.clear();
    const std::string suffix = UnitSuffix(options);
    const int bins = std::min<int>(kHistogramBins, static_cast<int>(histogramArea.size() / 2));
    for (int b = 0; b < bins; ++b) {
        const std::int32_t count = histogramArea[2 * b] | histogramArea[2 * b + 1] << 8;
        if (b < static_cast<int>(counts.size())) counts[b] = count;
        std::string line;
        if (view == HistogramView::BinNumber) {
            line = std::to_string(b);
        } else {
            line = FormatTemperatureValue(HistogramBinLower(b, options.Variant, options.Scale),
                                          options.DecimalSeparator) +
                   suffix;
            if (view == HistogramView::Range)
                line += " to " +
                        FormatTemperatureValue(HistogramBinUpper(b, options.Variant, options.Scale),
                                               options.DecimalSeparator) +
                        suffix;
        }
        line += " ,";
        line += std::to_string(count);
        lines.push_back(std::move(line));
    }
}
