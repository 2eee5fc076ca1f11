#pragma once
// Texts of the Status tab decoded from register page bytes.
#include <array>
#include <cstdint>
#include <string>

struct TimeAlarmText {
    std::string Mode;     // "Alarm every second" ... "Alarm weekly"
    std::string Setting;  // e.g. "Monday 08:30:00", "30:00", "08:30:15AM"
};

// From the time alarm bytes 0x207-0x20A of the register page.
TimeAlarmText DecodeTimeAlarm(const std::array<std::uint8_t, 32>& registerPage);
// "Conditional(H,L)  Alarm(none)" from the control and status bytes.
std::string TemperatureAlarmText(std::uint8_t control, std::uint8_t status);
// "Conditional(yes)  Alarm(no)".
std::string TimeAlarmFlagsText(std::uint8_t control, std::uint8_t status);
