#include <gtest/gtest.h>

#include "device/virtual/DeviceCalendar.h"

namespace {

std::int64_t Write(DeviceCalendar& calendar, const std::array<std::uint8_t, 7>& bytes) {
    calendar.TwelveHour = (bytes[2] & 0x40) != 0;
    return calendar.SetFrom(FieldsFromClockBytes(bytes));
}

TEST(DeviceCalendar, EveryFourthYearIsALeapYearWhateverTheCentury) {
    DeviceCalendar calendar;
    // 28/02/00 23:59:59 with CENT clear (1900 to the program, a leap year to the chip).
    const std::int64_t s = Write(calendar, {0x59, 0x59, 0x23, 0x03, 0x28, 0x02, 0x00});
    EXPECT_EQ(calendar.ClockBytes(s + 1),
              (std::array<std::uint8_t, 7>{0x00, 0x00, 0x00, 0x04, 0x29, 0x02, 0x00}));
    EXPECT_EQ(calendar.ClockBytes(s + 1 + 86400)[4], 0x01);
    const std::int64_t t = Write(calendar, {0x59, 0x59, 0x23, 0x03, 0x28, 0x02, 0x01});
    EXPECT_EQ(calendar.ClockBytes(t + 1)[4], 0x01);
    EXPECT_EQ(calendar.ClockBytes(t + 1)[5], 0x03);
}

TEST(DeviceCalendar, ImpossibleWritesArePulledToTheNearestPossibleValue) {
    DeviceCalendar calendar;
    const std::int64_t s = Write(calendar, {0x7F, 0x61, 0x25, 0x00, 0x31, 0x82, 0x26});
    EXPECT_EQ(calendar.ClockBytes(s),
              (std::array<std::uint8_t, 7>{0x59, 0x59, 0x23, 0x01, 0x28, 0x82, 0x26}));
}

TEST(DeviceCalendar, TwelveHourFormReadsBackWithThePmFlag) {
    DeviceCalendar calendar;
    const std::int64_t s = Write(calendar, {0x00, 0x00, 0x52, 0x01, 0x01, 0x81, 0x26});  // 12 AM
    EXPECT_EQ(calendar.Fields(s).Hour, 0);
    EXPECT_EQ(calendar.HoursByte(13), 0x61);
    EXPECT_EQ(calendar.HoursByte(12), 0x72);
    EXPECT_EQ(HourFromByte(0x72), 12);
    EXPECT_EQ(HourFromByte(0x23), 23);
}

}  // namespace
