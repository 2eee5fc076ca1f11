#include "results/StatusText.h"

#include "model/Bcd.h"
#include "model/MemoryImage.h"

namespace {
std::string Digits(std::uint8_t byte) { return {BcdDigitChar(byte, true), BcdDigitChar(byte, false)}; }

// "H,L", "H", "L" or "none" from bits 1 (high) and 2 (low).
std::string HighLowFlags(std::uint8_t byte) {
    const bool high = byte & 0x02, low = byte & 0x04;
    if (high && low) return "H,L";
    if (high) return "H";
    if (low) return "L";
    return "none";
}
}  // namespace

TimeAlarmText DecodeTimeAlarm(const std::array<std::uint8_t, 32>& reg) {
    const std::uint8_t seconds = reg[Reg::AlarmSeconds], minutes = reg[Reg::AlarmMinutes],
                       hours = reg[Reg::AlarmHours], day = reg[Reg::AlarmDay];
    const bool twelveHour = hours & 0x40;
    const std::string suffix = twelveHour ? ((hours & 0x20) ? "PM" : "AM") : "";
    TimeAlarmText text;
    if (seconds & 0x80) {
        text.Mode = "Alarm every second";
        text.Setting = suffix;
        return text;
    }
    text.Setting = Digits(seconds & 0x7F) + suffix;
    if (minutes & 0x80) {
        text.Mode = "Alarm minutely";
        return text;
    }
    text.Setting = Digits(minutes & 0x7F) + ":" + text.Setting;
    if (hours & 0x80) {
        text.Mode = "Alarm hourly";
        return text;
    }
    text.Setting = Digits(hours & (twelveHour ? 0x1F : 0x3F)) + ":" + text.Setting;
    if (day & 0x80) {
        text.Mode = "Alarm daily";
        return text;
    }
    text.Setting = DayName(day & 7) + " " + text.Setting;
    text.Mode = "Alarm weekly";
    return text;
}

std::string TemperatureAlarmText(std::uint8_t control, std::uint8_t status) {
    return "Conditional(" + HighLowFlags(control) + ")  Alarm(" + HighLowFlags(status) + ")";
}

std::string TimeAlarmFlagsText(std::uint8_t control, std::uint8_t status) {
    return std::string("Conditional(") + ((control & 0x01) ? "yes" : "no") + ")  Alarm(" +
           ((status & 0x01) ? "yes)" : "no)");
}
