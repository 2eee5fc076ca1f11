#include "model/Bcd.h"

#include <algorithm>
#include <cstdio>

namespace {
constexpr std::uint8_t kTwelveHourMode = 0x40, kPm = 0x20, kCentury = 0x80;

TDateTime FallbackValue() {
    TDateTime value = 0;
    TryEncodeDateTime(1970, 1, 1, 1, 0, 0, 0, value);
    return value;
}

std::uint8_t HourMask(std::uint8_t hours) { return (hours & kTwelveHourMode) ? 0x1F : 0x3F; }

void AppendDigits(std::string& text, std::uint8_t highSource, std::uint8_t lowSource) {
    text += BcdDigitChar(highSource, true);
    text += BcdDigitChar(lowSource, false);
}

// 12-hour clocks count 12, 1, ..., 11; the value must mean the moment the text shows.
bool HourOfDay(std::uint8_t hours, int& hour) {
    const int digits = BcdValue(hours, HourMask(hours));
    if (!(hours & kTwelveHourMode)) {
        hour = digits;
        return true;
    }
    if (digits < 1 || digits > 12) return false;
    hour = digits % 12 + ((hours & kPm) ? 12 : 0);
    return true;
}
}  // namespace

const std::string& DayName(int dayOfWeek) {
    static const std::string names[8] = {"",          "Sunday",   "Monday", "Tuesday",
                                         "Wednesday", "Thursday", "Friday", "Saturday"};
    return dayOfWeek >= 1 && dayOfWeek <= 7 ? names[dayOfWeek] : names[0];
}

char BcdDigitChar(std::uint8_t byte, bool highDigit) {
    return static_cast<char>('0' + (highDigit ? byte >> 4 : byte & 0x0F));
}

int BcdValue(std::uint8_t byte, std::uint8_t mask) {
    const std::uint8_t masked = byte & mask;
    return (masked >> 4) * 10 + (masked & 0x0F);
}

std::uint8_t ToBCD(int value) {
    value = std::clamp(value, 0, 99);
    return static_cast<std::uint8_t>((value / 10) << 4 | value % 10);
}

BcdTime BCDTimeToString(const std::uint8_t* block, BcdForm form, bool century) {
    const bool full = form == BcdForm::Full;
    const std::uint8_t seconds = full ? block[0] : 0;
    const std::uint8_t minutes = block[full ? 1 : 0];
    const std::uint8_t hours = block[full ? 2 : 1];
    const std::uint8_t date = block[full ? 4 : 2];
    const std::uint8_t month = block[full ? 5 : 3];
    const std::uint8_t year = block[full ? 6 : 4];

    BcdTime result;
    std::string& text = result.Text;
    text = full ? DayName(block[3]) + "  " : " ";
    AppendDigits(text, date, date);
    text += '/';
    AppendDigits(text, month & 0x7F, month);
    text += '/';
    text += century ? "20" : "19";
    AppendDigits(text, year, year);
    text += "  ";
    AppendDigits(text, hours & HourMask(hours), hours);
    text += ':';
    AppendDigits(text, minutes, minutes);
    if (full) {
        text += ':';
        AppendDigits(text, seconds, seconds);
        if (hours & kTwelveHourMode) text += (hours & kPm) ? "PM" : "AM";
    }
    text += ' ';

    const int monthValue = BcdValue(month, 0x7F), dateValue = BcdValue(date);
    if (monthValue == 0 || dateValue == 0) text = kNotStartedText;

    int hour = 0;
    const bool hourOk = HourOfDay(hours, hour);
    if (!hourOk || !TryEncodeDateTime((century ? 2000 : 1900) + BcdValue(year), std::max(monthValue, 1),
                                      std::max(dateValue, 1), hour, BcdValue(minutes),
                                      full ? BcdValue(seconds) : 0, 0, result.Value))
        result.Value = FallbackValue();
    return result;
}

bool MissionStartCentury(const std::uint8_t* stampBlock, bool missionRunning, TDateTime deviceClock,
                         int sampleRate, int missionSamples) {
    if (stampBlock[3] & kCentury) return true;
    if (missionRunning) {
        TDateTime year2000 = 0;
        TryEncodeDateTime(2000, 1, 1, 0, 0, 0, 0, year2000);
        const TDateTime start =
            deviceClock - kMinute * static_cast<double>(sampleRate) * static_cast<double>(missionSamples);
        return start >= year2000;
    }
    return BcdValue(stampBlock[4]) < 70;
}

std::string ComputerDateText(TDateTime value) {
    const DateTimeParts parts = DecodeDateTime(value);
    char text[96];
    std::snprintf(text, sizeof text, "%s  %.2d/%.2d/%.4d  %.2d:%.2d:%.2d ", DayName(parts.DayOfWeek).c_str(),
                  parts.Day, parts.Month, parts.Year, parts.Hour, parts.Minute, parts.Second);
    return text;
}

std::array<std::uint8_t, 7> EncodeClockBlock(TDateTime localNow) {
    const DateTimeParts parts = DecodeDateTime(localNow + kSecond);
    return {ToBCD(parts.Second),
            ToBCD(parts.Minute),
            ToBCD(parts.Hour),
            ToBCD(parts.DayOfWeek),
            ToBCD(parts.Day),
            static_cast<std::uint8_t>(ToBCD(parts.Month) | (parts.Year >= 2000 ? kCentury : 0)),
            ToBCD(parts.Year % 100)};
}
