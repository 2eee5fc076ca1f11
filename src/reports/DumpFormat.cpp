#include "reports/DumpFormat.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "reports/ReportLines.h"

namespace {
constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendHexLines(std::vector<std::string>& lines, std::span<const std::uint8_t> region) {
    std::string line;
    for (std::size_t i = 0; i < region.size(); ++i) {
        line += kHexDigits[region[i] >> 4];
        line += kHexDigits[region[i] & 0x0F];
        line += ' ';
        if ((i + 1) % 16 == 0) {
            lines.push_back(line);
            line.clear();
        }
    }
    if (!line.empty()) lines.push_back(line);
}

// Where the 16 values of a data line go: the region and the line's first
// line number, or an empty span for a line that holds no data.
struct LineTarget {
    std::span<std::uint8_t> Region;
    int FirstLine = 0;
};

LineTarget TargetOf(int lineNumber, MemoryImage& image) {
    struct Range {
        int First, Last;
        std::span<std::uint8_t> Region;
    };
    const std::array<Range, 5> ranges{{{5, 6, image.RegisterPage},
                                       {8, 39, image.UserArea},
                                       {41, 46, image.AlarmArea},
                                       {48, 55, image.HistogramArea},
                                       {57, 184, image.LogArea}}};
    for (const auto& range : ranges)
        if (lineNumber >= range.First && lineNumber <= range.Last) return {range.Region, range.First};
    return {};
}
}  // namespace

std::uint8_t HexCharToByte(char c) {
    if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(c - '0');
    if (c >= 'A' && c <= 'F') return static_cast<std::uint8_t>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f') return static_cast<std::uint8_t>(c - 'a' + 10);
    return 255;
}

std::int16_t ConvertToBin(std::string_view line, std::span<std::uint8_t> values) {
    std::fill(values.begin(), values.end(), std::uint8_t{0});
    std::size_t count = 0;
    std::size_t pos = 0;
    while (pos < line.size() && count < values.size()) {
        if (line[pos] == ' ') {
            ++pos;
            continue;
        }
        const std::size_t end = std::min(line.find(' ', pos), line.size());
        const std::string_view token = line.substr(pos, end - pos);
        pos = end;
        if (token.size() == 1) {
            values[count++] = static_cast<std::uint8_t>(token[0]);
            continue;
        }
        // Two characters at most; the second must be a hex digit. A non-hex
        // first character stands for nothing, so only the digit counts.
        const std::uint8_t second = HexCharToByte(token[1]);
        if (token.size() > 2 || second == 255) return -1;
        const std::uint8_t first = HexCharToByte(token[0]);
        values[count++] = first == 255 ? second : static_cast<std::uint8_t>(first * 16 + second);
    }
    return static_cast<std::int16_t>(count);
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::vector<std::string> DumpLines(const std::string& caption, const std::string& downloadText,
                                   const MemoryImage& image) {
    std::vector<std::string> lines{caption, "Download at: " + downloadText, "Spare", "Register Page:"};
    lines.reserve(185);
    AppendHexLines(lines, image.RegisterPage);
    lines.push_back("User Page:");
    AppendHexLines(lines, image.UserArea);
    lines.push_back("Alarms:");
    AppendHexLines(lines, image.AlarmArea);
    lines.push_back("Histogram:");
    AppendHexLines(lines, image.HistogramArea);
    lines.push_back("Log:");
    AppendHexLines(lines, image.LogArea);
    lines.push_back("");  // the remainder of the log, always added: the closing empty line
    return lines;
}

std::string_view FirstDumpLine(std::string_view text) {
    if (text.starts_with(kUtf8Mark)) text.remove_prefix(kUtf8Mark.size());
    return text.substr(0, std::min(text.find_first_of("\r\n"), text.size()));
}

std::string DataFileCaptionProblem(std::string_view line) {
    if (!RomDigitsOfCaption(line).empty()) return {};
    std::string shown(line.substr(0, 40));
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return (line.empty() ? std::string("Its first line is empty") : "Its first line is \"" + shown + "\"") +
           ", not \"" + std::string(kDeviceCaptionPrefix) +
           "\" and a 16-digit ROM number: it is not a data file of this program. Nothing was loaded.";
}

std::string RomDigitsOfCaption(std::string_view caption) {
    constexpr std::size_t kRomDigits = 16;
    if (!caption.starts_with(kDeviceCaptionPrefix) ||
        caption.size() != kDeviceCaptionPrefix.size() + kRomDigits)
        return {};
    std::string digits(caption.substr(kDeviceCaptionPrefix.size()));
    for (char& c : digits) {
        if (HexCharToByte(c) == 255) return {};
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return digits;
}

DumpReadResult ReadDump(std::string_view text, MemoryImage& image) {
    if (text.starts_with(kUtf8Mark)) text.remove_prefix(kUtf8Mark.size());
    const auto lines = SplitLines(text);
    DumpReadResult result;
    // Work on a copy so that a refused file changes nothing.
    MemoryImage loaded = image;
    std::size_t position = 0;
    std::array<std::uint8_t, 16> values{};
    for (int j = 1; j <= kDumpDataLines; ++j) {
        if (static_cast<std::size_t>(j) > lines.size()) {
            result.Error = "The file ends after line " + std::to_string(lines.size()) +
                           " without the empty line " + "that closes a data file; it needs " +
                           std::to_string(kDumpDataLines) + " lines.";
            return result;
        }
        const std::string_view line = lines[j - 1];
        if (line.empty()) break;
        ConvertToBin(line, values);
        result.LinesRead = j;
        if (j == 1) {
            result.HasCaption = true;
            result.Caption = std::string(line);
        }
        if (j == 2) result.DownloadLine = std::string(line);
        const LineTarget target = TargetOf(j, loaded);
        if (target.Region.empty() || j == target.FirstLine) position = 0;
        if (target.Region.empty()) continue;
        std::copy(values.begin(), values.end(),
                  target.Region.begin() + static_cast<std::ptrdiff_t>(position));
        position += values.size();
    }
    image = loaded;
    result.Ok = true;
    return result;
}
