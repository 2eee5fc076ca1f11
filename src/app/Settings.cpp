#include "app/Settings.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <string_view>

#include "device/tmex/TmexApi.h"
#include "files/ReadFile.h"
#include "model/Win1252.h"

namespace {
// A settings file is a few lines; a large file in its place is no settings file.
constexpr std::size_t kMaxSettingsBytes = 1 << 20;

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}
}  // namespace

TitlesSettings ParseTitlesIni(const std::string& text, const FilePath& programDir) {
    TitlesSettings settings;
    settings.SavePath = programDir;
    std::string section;
    // An editor may have saved the file as UTF-8 with a byte-order mark; the captions stay Windows-1252.
    constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
    const bool utf8 = text.starts_with(kUtf8Mark);
    std::istringstream in(utf8 ? text.substr(kUtf8Mark.size()) : text);
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#') continue;
        if (trimmed.front() == '[') {
            if (trimmed.back() != ']') {
                settings.Problems.push_back("line " + std::to_string(lineNumber) + ": unclosed section name");
                section.clear();
                continue;
            }
            section = Lower(Trim(trimmed.substr(1, trimmed.size() - 2)));
            continue;
        }
        const auto equals = trimmed.find('=');
        if (equals == std::string::npos) {
            settings.Problems.push_back("line " + std::to_string(lineNumber) + ": not a key=value line");
            continue;
        }
        const std::string key = Lower(Trim(trimmed.substr(0, equals)));
        const std::string raw = Trim(trimmed.substr(equals + 1));
        const std::string value = utf8 ? Utf8ToWin1252(raw) : raw;
        if (section == "title") {
            if (key.size() == 7 && key.compare(0, 6, "string") == 0 && key[6] >= '0' && key[6] <= '5')
                settings.Titles[key[6] - '0'] = value;
        } else if (section == "network") {
            // A present but empty port key counts as its default.
            if (key == "savepath")
                settings.SavePath = utf8 ? FilePath(raw) : PathFromSettingsText(raw);
            else if (key == "serialport")
                settings.SerialPort = value.empty() ? "0" : value;
            else if (key == "adapter")
                settings.Adapter = value.empty() ? "5" : value;
        }
    }
    int number = 0;
    if (!ParsePortValue(settings.SerialPort, number)) {
        settings.Problems.push_back("SerialPort \"" + settings.SerialPort + "\" is not a port number");
        settings.SerialPort = "0";
    }
    if (!ParsePortValue(settings.Adapter, number)) {
        settings.Problems.push_back("Adapter \"" + settings.Adapter + "\" is not an adapter type");
        settings.Adapter = "5";
    } else if (number != kPortTypeSerialDs2480 && number != kPortTypeUsbDs2490 &&
               number != kPortTypeVirtual) {
        // The driver opens no session for any other type, so the search would wait in silence for ever.
        settings.Problems.push_back("Adapter \"" + settings.Adapter +
                                    "\" is not an adapter type this program knows (5, 6 or 15)");
        settings.Adapter = "5";
    }
    return settings;
}

TitlesSettings ReadTitlesIni(const FilePath& path, const FilePath& programDir) {
    TitlesSettings defaults;
    defaults.SavePath = programDir;
    std::string text;
    const FileRead read = ReadRegularFile(path, kMaxSettingsBytes, text);
    if (read.Missing) return defaults;
    // A file that is there but cannot be read must not pass for a missing one.
    if (!read.Ok) {
        defaults.Problems.push_back("the file itself could not be read: " + read.Reason);
        return defaults;
    }
    return ParseTitlesIni(text, programDir);
}

bool ParsePortValue(const std::string& text, int& value) {
    const std::string trimmed = Trim(text);
    if (trimmed.empty() || trimmed.size() > 5) return false;
    if (!std::all_of(trimmed.begin(), trimmed.end(), [](unsigned char c) { return std::isdigit(c); }))
        return false;
    const int parsed = std::stoi(trimmed);
    if (parsed > 32767) return false;
    value = parsed;
    return true;
}
