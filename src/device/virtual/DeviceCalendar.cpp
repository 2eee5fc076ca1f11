#include "device/virtual/DeviceCalendar.h"

#include <algorithm>
#include <chrono>

namespace {
using namespace std::chrono;

std::int64_t FloorMod(std::int64_t a, std::int64_t b) { return ((a % b) + b) % b; }

// Days 0..36524 from 2000-01-01 follow the Gregorian calendar exactly (2000 is a
// leap year, 2100 is out of range), which is the chip's rule.
year_month_day DateOfDay(std::int64_t day) {
    return year_month_day{sys_days{2000y / January / 1} + days{day}};
}

int DaysInMonth(int year, int month) {
    const year_month_day_last last{std::chrono::year{2000 + year} /
                                   std::chrono::month{static_cast<unsigned>(month)} / std::chrono::last};
    return static_cast<int>(static_cast<unsigned>(last.day()));
}
}  // namespace

std::uint8_t ToBcdByte(int value) { return static_cast<std::uint8_t>(((value / 10) << 4) | (value % 10)); }

int FromBcdByte(std::uint8_t byte) { return std::min(byte >> 4, 9) * 10 + std::min(byte & 0x0F, 9); }

int HourFromByte(std::uint8_t byte) {
    if (byte & 0x40) {
        const int hour12 = std::clamp(FromBcdByte(byte & 0x1F), 1, 12) % 12;
        return hour12 + ((byte & 0x20) ? 12 : 0);
    }
    return std::min(FromBcdByte(byte & 0x3F), 23);
}

DeviceClockFields DeviceCalendar::Fields(std::int64_t seconds) const {
    DeviceClockFields f;
    const std::int64_t centuries = seconds >= 0
                                       ? seconds / kDeviceCenturySeconds
                                       : -((-seconds + kDeviceCenturySeconds - 1) / kDeviceCenturySeconds);
    const std::int64_t inCentury = seconds - centuries * kDeviceCenturySeconds;
    const std::int64_t day = inCentury / 86400;
    const std::int64_t ofDay = inCentury % 86400;
    const year_month_day ymd = DateOfDay(day);
    f.Year = static_cast<int>(ymd.year()) - 2000;
    f.Month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    f.Date = static_cast<int>(static_cast<unsigned>(ymd.day()));
    f.Hour = static_cast<int>(ofDay / 3600);
    f.Minute = static_cast<int>(ofDay / 60 % 60);
    f.Second = static_cast<int>(ofDay % 60);
    f.Century = CenturyAtZero != ((centuries & 1) != 0);
    const std::int64_t absoluteDay = centuries * 36525 + day;
    f.DayOfWeek = static_cast<int>(FloorMod(absoluteDay + DayOfWeekOffset, 7)) + 1;
    return f;
}

std::int64_t DeviceCalendar::SetFrom(const DeviceClockFields& f) {
    const sys_days date{std::chrono::year{2000 + f.Year} /
                        std::chrono::month{static_cast<unsigned>(f.Month)} /
                        std::chrono::day{static_cast<unsigned>(f.Date)}};
    const std::int64_t day = (date - sys_days{2000y / January / 1}).count();
    CenturyAtZero = f.Century;
    DayOfWeekOffset = static_cast<int>(FloorMod(f.DayOfWeek - 1 - day, 7));
    return day * 86400 + f.Hour * 3600 + f.Minute * 60 + f.Second;
}

std::uint8_t DeviceCalendar::HoursByte(int hour) const {
    if (!TwelveHour) return ToBcdByte(hour);
    const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    return static_cast<std::uint8_t>(0x40 | (hour >= 12 ? 0x20 : 0) | ToBcdByte(hour12));
}

std::array<std::uint8_t, 7> DeviceCalendar::ClockBytes(std::int64_t seconds) const {
    const DeviceClockFields f = Fields(seconds);
    return {ToBcdByte(f.Second), ToBcdByte(f.Minute),
            HoursByte(f.Hour),   static_cast<std::uint8_t>(f.DayOfWeek),
            ToBcdByte(f.Date),   static_cast<std::uint8_t>((f.Century ? 0x80 : 0) | ToBcdByte(f.Month)),
            ToBcdByte(f.Year)};
}

std::array<std::uint8_t, 5> DeviceCalendar::StampBytes(std::int64_t seconds) const {
    const auto c = ClockBytes(seconds);
    return {c[1], c[2], c[4], c[5], c[6]};
}

DeviceClockFields FieldsFromClockBytes(const std::array<std::uint8_t, 7>& b) {
    DeviceClockFields f;
    f.Second = std::min(FromBcdByte(b[0] & 0x7F), 59);
    f.Minute = std::min(FromBcdByte(b[1] & 0x7F), 59);
    f.Hour = HourFromByte(b[2]);
    f.DayOfWeek = std::clamp(b[3] & 0x07, 1, 7);
    f.Year = FromBcdByte(b[6]);
    f.Month = std::clamp(FromBcdByte(b[5] & 0x1F), 1, 12);
    f.Century = (b[5] & 0x80) != 0;
    f.Date = std::clamp(FromBcdByte(b[4] & 0x3F), 1, DaysInMonth(f.Year, f.Month));
    return f;
}
