#pragma once
// The DS1921's calendar: BCD fields over a count of seconds. The count starts
// at year 00 of the century the clock was last written in; the chip's leap
// rule (every year divisible by 4, year 00 included) makes every century
// 36525 days long, and CENT toggles each time the year rolls 99 -> 00.
#include <array>
#include <cstdint>

struct DeviceClockFields {
    int Second = 0, Minute = 0, Hour = 0;  // hour 0-23
    int DayOfWeek = 1;                     // 1-7
    int Date = 1, Month = 1, Year = 0;     // year 00-99
    bool Century = false;
};

// How a device keeps its clock register: the seconds count, the CENT bit at
// count 0, the weekday counter's offset and the 12/24-hour form.
struct DeviceCalendar {
    bool CenturyAtZero = true;
    int DayOfWeekOffset = 0;  // day of week = (days + offset) mod 7 + 1
    bool TwelveHour = false;

    DeviceClockFields Fields(std::int64_t seconds) const;
    // Writes the calendar's bases so that Fields(result) == fields.
    std::int64_t SetFrom(const DeviceClockFields& fields);

    // Register bytes 0x200-0x206.
    std::array<std::uint8_t, 7> ClockBytes(std::int64_t seconds) const;
    // Mission time stamp 0x215-0x219: minutes, hours, date, month, year.
    std::array<std::uint8_t, 5> StampBytes(std::int64_t seconds) const;
    std::uint8_t HoursByte(int hour) const;
};

constexpr std::int64_t kDeviceCenturySeconds = 36525LL * 86400;

std::uint8_t ToBcdByte(int value);
int FromBcdByte(std::uint8_t byte);  // digits above 9 count as 9
// Hour 0-23 from an hours byte in either form.
int HourFromByte(std::uint8_t byte);
// The fields a clock write leaves: `bytes` (0x200-0x206) over what the clock
// held, with impossible values pulled to the nearest possible one.
DeviceClockFields FieldsFromClockBytes(const std::array<std::uint8_t, 7>& bytes);
