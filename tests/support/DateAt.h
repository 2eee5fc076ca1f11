#pragma once
#include "model/DateTime.h"

// A local date-time for test fixtures; the arguments are always a valid time.
inline TDateTime At(int year, int month, int day, int hour, int minute, int second) {
    TDateTime value = 0;
    TryEncodeDateTime(year, month, day, hour, minute, second, 0, value);
    return value;
}
