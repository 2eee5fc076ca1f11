#pragma once
// Date-time values: days since 1899-12-30 00:00 local time, the fraction being
// the time of day; one minute is 1/1440.
#include <string>

using TDateTime = double;

struct DateTimeParts {
    int Year = 1899, Month = 12, Day = 30;
    int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
    int DayOfWeek = 7;  // 1 = Sunday ... 7 = Saturday
};

constexpr double kMinute = 1.0 / 1440.0;
constexpr double kSecond = 1.0 / 86400.0;

// False for an impossible date or time (31/02, hour 25, minute 60 ...).
bool TryEncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond,
                       TDateTime& out);
bool IsValidDate(int year, int month, int day);
// Decodes to the nearest millisecond.
DateTimeParts DecodeDateTime(TDateTime value);
TDateTime DateTimeFromUnixSeconds(double unixSecondsLocal);
double UnixSecondsFromDateTime(TDateTime value);
