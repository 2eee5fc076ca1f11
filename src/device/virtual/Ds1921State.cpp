// The device's state as "key value..." lines, for the adapter's state file.
#include <algorithm>
#include <charconv>
#include <istream>
#include <map>
#include <ostream>
#include <sstream>

#include "device/virtual/Ds1921Device.h"

namespace {
using Fields = std::map<std::string, std::vector<std::string>>;

const char kHex[] = "0123456789ABCDEF";

std::string Hex(const std::uint8_t* data, std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        text += kHex[data[i] >> 4];
        text += kHex[data[i] & 0x0F];
    }
    return text;
}

bool FromHex(const std::string& text, std::uint8_t* out, std::size_t length) {
    if (text.size() != 2 * length) return false;
    for (std::size_t i = 0; i < length; ++i) {
        unsigned value = 0;
        const auto r = std::from_chars(text.data() + 2 * i, text.data() + 2 * i + 2, value, 16);
        if (r.ec != std::errc{} || r.ptr != text.data() + 2 * i + 2) return false;
        out[i] = static_cast<std::uint8_t>(value);
    }
    return true;
}

class Reader {
public:
    Reader(const Fields& fields, std::string& error) : fields(fields), error(error) {}

    template <typename T>
    bool Number(const std::string& key, std::size_t index, T& out, long long low, long long high) {
        const auto it = fields.find(key);
        if (it == fields.end() || index >= it->second.size()) return Fail("missing \"" + key + "\"");
        const std::string& text = it->second[index];
        long long value = 0;
        const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
        if (r.ec != std::errc{} || r.ptr != text.data() + text.size() || value < low || value > high)
            return Fail("bad value for \"" + key + "\"");
        out = static_cast<T>(value);
        return true;
    }
    bool Fail(const std::string& reason) {
        if (error.empty()) error = reason;
        return false;
    }

private:
    const Fields& fields;
    std::string& error;
};

constexpr long long kBig = 1LL << 60;  // milliseconds
// Minutes and seconds stay within the millisecond range, so no product of them overflows.
constexpr long long kBigMinutes = kBig / 60000, kBigSeconds = kBig / 1000;
}  // namespace

void Ds1921Device::SaveState(std::ostream& out) {
    CatchUp();
    RefreshRegisters();
    out << "calendar " << calendar.CenturyAtZero << ' ' << calendar.DayOfWeekOffset << ' '
        << calendar.TwelveHour << '\n';
    out << "oscillator " << oscillatorRunning << ' ' << clockOffsetMs << ' ' << stoppedClockMs << ' '
        << oscillatorSinceMs << '\n';
    out << "flags " << clearArmed << ' ' << memoryCleared << ' ' << missionInProgress << ' ' << lowFlag << ' '
        << highFlag << ' ' << timeFlag << '\n';
    out << "mission " << missionStartMinute << ' ' << missionDelay << ' ' << stampMinute << ' '
        << firstSampleMinute << ' ' << sampleRate << ' ' << stampWritten << ' ' << missionSamples << ' '
        << deviceSamples << '\n';
    out << "alarms " << lowOpen << ' ' << lowUsed << ' ' << highOpen << ' ' << highUsed << ' '
        << timeAlarmCheckedTo << '\n';
    out << "scratchpad " << targetAddress << ' ' << static_cast<int>(endingStatus) << ' '
        << Hex(scratchpad.data(), scratchpad.size()) << '\n';
    for (std::size_t page = 0; page < kMemorySize / 32; ++page) {
        const std::uint8_t* data = &memory[page * 32];
        if (std::any_of(data, data + 32, [](std::uint8_t b) { return b != 0; }))
            out << "page " << page << ' ' << Hex(data, 32) << '\n';
    }
    out << "end\n";
}

bool Ds1921Device::LoadState(std::istream& in, std::string& error) {
    Fields fields;
    std::array<std::uint8_t, kMemorySize> pages{};
    std::string line;
    bool ended = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string key;
        if (!(words >> key)) continue;
        if (key == "end") {
            ended = true;
            break;
        }
        std::vector<std::string> values;
        for (std::string word; words >> word;) values.push_back(word);
        if (key == "page") {
            long long page = -1;
            if (values.size() != 2) return Reader(fields, error).Fail("bad page line");
            const auto r = std::from_chars(values[0].data(), values[0].data() + values[0].size(), page);
            if (r.ec != std::errc{} || page < 0 || page >= kMemorySize / 32 ||
                !FromHex(values[1], &pages[static_cast<std::size_t>(page) * 32], 32))
                return Reader(fields, error).Fail("bad page line");
            continue;
        }
        fields[key] = std::move(values);
    }
    Reader r(fields, error);
    if (!ended) return r.Fail("device entry is cut short");

    DeviceCalendar cal;
    bool running = false, armed = false, cleared = false, mip = false, tlf = false, thf = false, taf = false;
    bool stamped = false;
    std::int64_t offset = 0, stopped = 0, since = 0, startMinute = 0, stampAt = 0, firstAt = 0, samples = 0;
    std::int64_t devSamples = 0, alarmTo = 0;
    std::uint16_t delay = 0, address = 0;
    int rate = 0, lOpen = -1, lUsed = 0, hOpen = -1, hUsed = 0, status = 0;
    std::array<std::uint8_t, 32> pad{};
    const bool ok =
        r.Number("calendar", 0, cal.CenturyAtZero, 0, 1) &&
        r.Number("calendar", 1, cal.DayOfWeekOffset, 0, 6) && r.Number("calendar", 2, cal.TwelveHour, 0, 1) &&
        r.Number("oscillator", 0, running, 0, 1) && r.Number("oscillator", 1, offset, -kBig, kBig) &&
        r.Number("oscillator", 2, stopped, -kBig, kBig) && r.Number("oscillator", 3, since, -kBig, kBig) &&
        r.Number("flags", 0, armed, 0, 1) && r.Number("flags", 1, cleared, 0, 1) &&
        r.Number("flags", 2, mip, 0, 1) && r.Number("flags", 3, tlf, 0, 1) &&
        r.Number("flags", 4, thf, 0, 1) && r.Number("flags", 5, taf, 0, 1) &&
        r.Number("mission", 0, startMinute, -kBigMinutes, kBigMinutes) &&
        r.Number("mission", 1, delay, 0, 0xFFFF) &&
        r.Number("mission", 2, stampAt, -kBigMinutes, kBigMinutes) &&
        r.Number("mission", 3, firstAt, -kBigMinutes, kBigMinutes) &&
        r.Number("mission", 4, rate, mip ? 1 : 0, 255) && r.Number("mission", 5, stamped, 0, 1) &&
        r.Number("mission", 6, samples, 0, 0xFFFFFF) && r.Number("mission", 7, devSamples, 0, 0xFFFFFF) &&
        r.Number("alarms", 1, lUsed, 0, 12) && r.Number("alarms", 0, lOpen, -1, lUsed - 1) &&
        r.Number("alarms", 3, hUsed, 0, 12) && r.Number("alarms", 2, hOpen, -1, hUsed - 1) &&
        r.Number("alarms", 4, alarmTo, -kBigSeconds, kBigSeconds) &&
        r.Number("scratchpad", 0, address, 0, 0xFFFF) && r.Number("scratchpad", 1, status, 0, 0xFF);
    if (!ok) return false;
    const auto pad_it = fields.find("scratchpad");
    if (pad_it->second.size() < 3 || !FromHex(pad_it->second[2], pad.data(), pad.size()))
        return r.Fail("bad scratchpad");

    calendar = cal;
    oscillatorRunning = running;
    clockOffsetMs = offset;
    stoppedClockMs = stopped;
    oscillatorSinceMs = since;
    clearArmed = armed;
    memoryCleared = cleared;
    missionInProgress = mip;
    lowFlag = tlf;
    highFlag = thf;
    timeFlag = taf;
    missionStartMinute = startMinute;
    missionDelay = delay;
    stampMinute = stampAt;
    firstSampleMinute = firstAt;
    sampleRate = rate;
    stampWritten = stamped;
    missionSamples = samples;
    deviceSamples = devSamples;
    lowOpen = lOpen;
    lowUsed = lUsed;
    highOpen = hOpen;
    highUsed = hUsed;
    timeAlarmCheckedTo = alarmTo;
    targetAddress = address;
    endingStatus = static_cast<std::uint8_t>(status);
    scratchpad = pad;
    memory = pages;
    // Reserved pages read zero whatever the file says.
    std::fill(memory.begin() + 0x280, memory.begin() + 0x800, 0);
    std::fill(memory.begin() + 0x880, memory.begin() + 0x1000, 0);
    std::fill(memory.begin() + 0x1800, memory.end(), 0);
    command = Command::None;
    return true;
}
