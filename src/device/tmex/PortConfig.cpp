#include "device/tmex/PortConfig.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "device/tmex/TmexApi.h"
#include "files/ReadFile.h"
#include "files/SaveBatch.h"

namespace {

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

bool ParseNumber(const std::string& text, std::int16_t& value) {
    int parsed = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (ec != std::errc() || end != text.data() + text.size() || parsed < -32768 || parsed > 32767)
        return false;
    value = static_cast<std::int16_t>(parsed);
    return true;
}

// A port file is a few lines; anything far larger is no port file.
constexpr std::size_t kMaxPortFileBytes = 1 << 20;

const char* const kTypeList = "5 (DS9097U serial), 6 (USB) and 15 (virtual)";

std::string EnvOrEmpty(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

}  // namespace

std::string PortConfigPath() {
    if (const std::string dir = EnvOrEmpty("KELVARA_CONFIG_DIR"); !dir.empty()) return dir + "/port.ini";
    if (const std::string xdg = EnvOrEmpty("XDG_CONFIG_HOME"); !xdg.empty()) return xdg + "/kelvara/port.ini";
    return EnvOrEmpty("HOME") + "/.config/kelvara/port.ini";
}

PortConfigStatus LoadDefaultPort(PortSetting& setting, std::string& error) {
    const char* overridden = std::getenv("KELVARA_PORT");
    if (!overridden || !*overridden) return LoadPortConfig(PortConfigPath(), setting, error);
    std::string why;
    if (ParsePortText(overridden, setting, &why)) return PortConfigStatus::Loaded;
    error = std::string("KELVARA_PORT=") + overridden + ": " + why;
    return PortConfigStatus::Damaged;
}

bool ValidPortSetting(const PortSetting& setting, std::string& error) {
    if (setting.Type != kPortTypeSerialDs2480 && setting.Type != kPortTypeUsbDs2490 &&
        setting.Type != kPortTypeVirtual) {
        error = "Adapter type " + std::to_string(setting.Type) + " does not exist; the types are " +
                kTypeList + ".";
        return false;
    }
    if (setting.Number < 1 || setting.Number > 255) {
        error = "Port number " + std::to_string(setting.Number) + " is outside 1-255.";
        return false;
    }
    if (setting.Device.find_first_of("\r\n") != std::string::npos) {
        error = "The device path holds a line break.";
        return false;
    }
    return true;
}

std::string PortTypeName(std::int16_t type) {
    switch (type) {
        case kPortTypeSerialDs2480:
            return "DS9097U serial adapter";
        case kPortTypeUsbDs2490:
            return "USB adapter (DS2490)";
        case kPortTypeVirtual:
            return "virtual adapter";
        default:
            return "adapter type " + std::to_string(type);
    }
}

// What a user may choose: a valid setting of an adapter type this driver drives
// (all three now, the USB adapter included).
static bool SelectablePortSetting(const PortSetting& setting, std::string& error) {
    return ValidPortSetting(setting, error);
}

PortConfigStatus LoadPortConfig(const std::string& path, PortSetting& setting, std::string& error) {
    std::string text;
    const FileRead read = ReadRegularFile(FilePath(path), kMaxPortFileBytes, text);
    if (read.Missing) return PortConfigStatus::Missing;
    if (!read.Ok) {
        // A folder that loops, cannot be entered or has too long a name: the
        // program goes on with the default port rather than stopping.
        error = "The port settings " + path + " cannot be checked (" + read.Reason + ")";
        return PortConfigStatus::Unreadable;
    }
    std::istringstream in(text);
    PortSetting loaded;
    bool haveType = false, haveNumber = false;
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (lineNumber > 100 || line.size() > 4096) {
            error = path + " is not a port file.";
            return PortConfigStatus::Damaged;
        }
        if (lineNumber == 1 && line.starts_with("\xEF\xBB\xBF"))
            line.erase(0, 3);  // a UTF-8 mark from an editor
        line = Trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#' || line[0] == '[') continue;
        const auto equals = line.find('=');
        if (equals == std::string::npos) {
            error = path + " line " + std::to_string(lineNumber) + ": no key=value.";
            return PortConfigStatus::Damaged;
        }
        const std::string key = Trim(line.substr(0, equals));
        const std::string value = Trim(line.substr(equals + 1));
        if (key == "Type") {
            haveType = ParseNumber(value, loaded.Type);
            if (!haveType) break;
        } else if (key == "Number") {
            haveNumber = ParseNumber(value, loaded.Number);
            if (!haveNumber) break;
        } else if (key == "Device") {
            loaded.Device = value;
        }
    }
    if (!haveType || !haveNumber) {
        error = path + ": Type and Number must both be whole numbers.";
        return PortConfigStatus::Damaged;
    }
    if (!ValidPortSetting(loaded, error)) {
        error = path + ": " + error;
        return PortConfigStatus::Damaged;
    }
    setting = loaded;
    return PortConfigStatus::Loaded;
}

bool SavePortConfig(const std::string& path, const PortSetting& setting, std::string& error) {
    if (!ValidPortSetting(setting, error)) return false;
    const FilePath target(path);
    std::error_code ec;
    std::filesystem::create_directories(target.Folder().Fs(), ec);
    std::ostringstream text;
    text << "[Port]\nType=" << setting.Type << "\nNumber=" << setting.Number << '\n';
    if (!setting.Device.empty()) text << "Device=" << setting.Device << '\n';
    std::string problem;
    if (SaveFile(target, text.str(), problem)) return true;
    error = ShownTextToUtf8(problem);
    return false;
}

bool ParsePortText(const std::string& text, PortSetting& setting, std::string* error) {
    std::string ignored;
    std::string& why = error ? *error : ignored;
    const auto first = text.find(':');
    if (first == std::string::npos) {
        why = "\"" + text +
              "\" is not TYPE:NUMBER (such as 15:1 for the virtual adapter or 5:1 for a serial " +
              "adapter on /dev/ttyS0)";
        return false;
    }
    const auto second = text.find(':', first + 1);
    PortSetting parsed;
    if (const std::string type = text.substr(0, first); !ParseNumber(type, parsed.Type)) {
        why = "the adapter type \"" + type + "\" is not a whole number; the types are " + kTypeList;
        return false;
    }
    const std::string number =
        second == std::string::npos ? text.substr(first + 1) : text.substr(first + 1, second - first - 1);
    if (!ParseNumber(number, parsed.Number)) {
        why = "the port number \"" + number + "\" is not a whole number 1-255";
        return false;
    }
    if (second != std::string::npos) parsed.Device = text.substr(second + 1);
    if (!SelectablePortSetting(parsed, why)) return false;
    setting = parsed;
    return true;
}

std::string SerialDevicePath(std::int16_t number, const PortSetting* saved) {
    if (saved && saved->Type == kPortTypeSerialDs2480 && saved->Number == number && !saved->Device.empty())
        return saved->Device;
    return "/dev/ttyS" + std::to_string(number - 1);
}

bool ParsePortSetupArguments(const std::vector<std::string>& arguments, PortSetting& setting,
                             std::string& error) {
    PortSetting parsed;
    bool haveType = false, havePort = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option != "--type" && option != "--port" && option != "--device") {
            error = "Unknown option " + option + ".";
            return false;
        }
        if (i + 1 >= arguments.size()) {
            error = option + " needs a value.";
            return false;
        }
        const std::string& value = arguments[++i];
        if (option == "--device") {
            parsed.Device = value;
        } else if (!ParseNumber(value, option == "--type" ? parsed.Type : parsed.Number)) {
            error = option + " needs a whole number, not \"" + value + "\".";
            return false;
        } else {
            (option == "--type" ? haveType : havePort) = true;
        }
    }
    if (!haveType || !havePort) {
        error = "Both --type and --port are needed.";
        return false;
    }
    if (!parsed.Device.empty() && parsed.Type != kPortTypeSerialDs2480) {
        error = "--device applies to the serial adapter (type 5) only.";
        return false;
    }
    if (!SelectablePortSetting(parsed, error)) return false;
    setting = parsed;
    return true;
}
