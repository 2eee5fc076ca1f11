#include "model/DateTime.h"

#include <chrono>
#include <cmath>

namespace {
using namespace std::chrono;
constexpr int kEpochOffsetDays = 25569;  // 1970-01-01 as a day count from 1899-12-30
}  // namespace

bool IsValidDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    return year_month_day{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                          std::chrono::day{static_cast<unsigned>(day)}}
        .ok();
}

bool TryEncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond,
                       TDateTime& out) {
    if (!IsValidDate(year, month, day)) return false;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
        millisecond > 999)
        return false;
    const sys_days days{std::chrono::year{year} / std::chrono::month{static_cast<unsigned>(month)} /
                        std::chrono::day{static_cast<unsigned>(day)}};
    const double dayCount = days.time_since_epoch().count() + kEpochOffsetDays;
    const double fraction = (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + millisecond) / 86400000.0;
    // Day counts before the epoch carry the time as a positive fraction towards the past.
    out = dayCount >= 0 ? dayCount + fraction : dayCount - fraction;
    return true;
}

DateTimeParts DecodeDateTime(TDateTime value) {
    double whole = std::trunc(value);
    double fraction = std::fabs(value - whole);
    long long ms = std::llround(fraction * 86400000.0);
    if (ms >= 86400000LL) {
        ms -= 86400000LL;
        whole += value >= 0 ? 1 : -1;
    }
    const sys_days days{std::chrono::days{static_cast<long long>(whole) - kEpochOffsetDays}};
    const year_month_day ymd{days};
    DateTimeParts parts;
    parts.Year = static_cast<int>(ymd.year());
    parts.Month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    parts.Day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    parts.DayOfWeek = static_cast<int>(weekday{days}.c_encoding()) + 1;
    parts.Hour = static_cast<int>(ms / 3600000);
    parts.Minute = static_cast<int>(ms / 60000 % 60);
    parts.Second = static_cast<int>(ms / 1000 % 60);
    parts.Millisecond = static_cast<int>(ms % 1000);
    return parts;
}

TDateTime DateTimeFromUnixSeconds(double unixSecondsLocal) { return unixSecondsLocal / 86400.0 + kEpochOffsetDays; }

double UnixSecondsFromDateTime(TDateTime value) { return (value - kEpochOffsetDays) * 86400.0; }
