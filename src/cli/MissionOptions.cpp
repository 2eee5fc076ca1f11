#include "cli/MissionOptions.h"

#include <charconv>
#include <cstdio>

#include "device/tmex/PortConfig.h"
#include "model/Bcd.h"
#include "setup/WizardControls.h"

namespace {
const char* const kModes[] = {"none", "weekly", "daily", "hourly", "minutely", "every-second"};
const char* const kDetailOptions[] = {"--first-name", "--surname", "--class",
                                      "--school",     "--title",   "--description"};
constexpr int kDetailLengths[] = {32, 32, 32, 32, 32, 64};

bool WholeNumber(const std::string& text, int& value) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() && !text.empty();
}

bool Number(const std::string& text, double& value) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() && !text.empty();
}

bool ParseMoment(const std::string& text, MissionOptions::Moment& m) {
    char separator = 0, rest = 0;
    return std::sscanf(text.c_str(), "%4d-%2d-%2d%c%2d:%2d%c", &m.Year, &m.Month, &m.Day, &separator, &m.Hour,
                       &m.Minute, &rest) == 6 &&
           (separator == ' ' || separator == 'T');
}
}  // namespace

ParsedMissionOptions ParseMissionOptions(const std::vector<std::string>& args) {
    ParsedMissionOptions parsed;
    MissionOptions& o = parsed.Options;
    bool alarmDayGiven = false, alarmTimeGiven = false;
    auto fail = [&parsed](const std::string& message) {
        parsed.Error = message;
        return parsed;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string v;
        auto value = [&]() {
            if (i + 1 >= args.size()) return false;
            v = args[++i];
            return true;
        };
        int n = 0;
        if (arg == "--help" || arg == "-h") {
            o.Help = true;
        } else if (arg == "--rate") {
            if (!value() || !WholeNumber(v, n) || n < 1 || n > 255)
                return fail("--rate: the sample rate is a whole number of minutes from 1 to 255");
            o.Rate = n;
        } else if (arg == "--start-delay") {
            if (!value() || !WholeNumber(v, n) || n < 0 || n > 64799)
                return fail(
                    "--start-delay: the start delay is a whole number of minutes from 0 to 64799 "
                    "(44 days 23 hours 59 minutes)");
            o.StartDelay = n;
        } else if (arg == "--start-at") {
            MissionOptions::Moment m{};
            if (!value() || !ParseMoment(v, m))
                return fail("--start-at needs a moment as 'YYYY-MM-DD HH:MM'");
            o.StartAt = m;
        } else if (arg == "--rollover") {
            o.Rollover = true;
        } else if (arg == "--fahrenheit") {
            o.Fahrenheit = true;
        } else if (arg == "--high" || arg == "--low") {
            double t = 0;
            if (!value() || !Number(v, t)) return fail(arg + " needs a temperature such as 30.5");
            (arg == "--high" ? o.High : o.Low) = t;
        } else if (arg == "--no-alarm-search") {
            o.AlarmSearch = false;
        } else if (arg == "--time-alarm") {
            if (!value()) return fail("--time-alarm needs a mode");
            int mode = -1;
            for (int k = 0; k < 6; ++k)
                if (v == kModes[k]) mode = k;
            if (mode < 0)
                return fail(
                    "--time-alarm: the modes are none, weekly, daily, hourly, minutely and every-second");
            o.TimeAlarmMode = mode;
        } else if (arg == "--alarm-day") {
            if (!value()) return fail("--alarm-day needs a day, Sunday to Saturday");
            int day = -1;
            for (int d = 1; d <= 7; ++d)
                if (v == DayName(d)) day = d - 1;
            if (day < 0)
                return fail("--alarm-day: the days are Sunday to Saturday, as the wizard lists them");
            o.AlarmDay = day;
            alarmDayGiven = true;
        } else if (arg == "--alarm-time") {
            char rest = 0;
            if (!value() ||
                std::sscanf(v.c_str(), "%2d:%2d:%2d%c", &o.AlarmHour, &o.AlarmMinute, &o.AlarmSecond,
                            &rest) != 3 ||
                o.AlarmHour < 0 || o.AlarmHour > 23 || o.AlarmMinute < 0 || o.AlarmMinute > 59 ||
                o.AlarmSecond < 0 || o.AlarmSecond > 59)
                return fail("--alarm-time needs HH:MM:SS, hours 00-23, minutes and seconds 00-59");
            alarmTimeGiven = true;
        } else if (arg == "--ignore-details") {
            o.IgnoreDetails = true;
        } else if (arg == "--keep-device-clock") {
            o.SetClock = false;
        } else if (arg == "--force") {
            o.Force = true;
        } else if (arg == "--batch") {
            if (!value() || !WholeNumber(v, n) || n < 1)
                return fail("--batch needs the number of devices, 1 or more");
            o.Batch = n;
        } else if (arg == "--port") {
            PortSetting port;
            std::string why;
            if (!value()) return fail("--port needs TYPE:NUMBER, such as 15:1 or 5:1");
            if (!ParsePortText(v, port, &why)) return fail("--port " + v + ": " + why);
            o.HasPort = true;
            o.PortType = port.Type;
            o.PortNumber = port.Number;
        } else {
            bool detail = false;
            for (int k = 0; k < 6; ++k) {
                if (arg != kDetailOptions[k]) continue;
                if (!value()) return fail(arg + " needs a text");
                if (static_cast<int>(UserEntryText(v, 0).size()) > kDetailLengths[k])
                    return fail(arg + ": the wizard's field holds " + std::to_string(kDetailLengths[k]) +
                                " characters at most");
                o.Details[k] = v;
                detail = true;
            }
            if (!detail) return fail("unknown option " + arg + " for mission");
        }
    }
    if (o.StartDelay && o.StartAt) return fail("--start-delay and --start-at both set the start; give one");
    const int mode = o.TimeAlarmMode;
    if (alarmDayGiven && mode != 1)
        return fail("--alarm-day belongs to --time-alarm weekly, the only mode with a day");
    if (alarmTimeGiven && (mode == 0 || mode == 5))
        return fail("--alarm-time belongs to --time-alarm weekly, daily, hourly or minutely");
    return parsed;
}
