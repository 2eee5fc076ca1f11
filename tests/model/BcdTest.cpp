#include <gtest/gtest.h>

#include <array>

#include "model/Bcd.h"

namespace {
TDateTime At(int y, int mo, int d, int h, int mi, int s) {
    TDateTime value = 0;
    EXPECT_TRUE(TryEncodeDateTime(y, mo, d, h, mi, s, 0, value));
    return value;
}

const TDateTime kFallback = At(1970, 1, 1, 1, 0, 0);
}  // namespace

TEST(BcdDigits, NibblesAboveNineShowAsTheCharactersAfterNine) {
    EXPECT_EQ(BcdDigitChar(0x59, true), '5');
    EXPECT_EQ(BcdDigitChar(0x59, false), '9');
    EXPECT_EQ(BcdDigitChar(0xA0, true), ':');
    EXPECT_EQ(BcdDigitChar(0x0F, false), '?');
}

TEST(BcdDigits, ValuesHonourTheMask) {
    EXPECT_EQ(BcdValue(0x59), 59);
    EXPECT_EQ(BcdValue(0x83, 0x7F), 3);
    EXPECT_EQ(BcdValue(0x72, 0x1F), 12);
    EXPECT_EQ(BcdValue(0x23, 0x3F), 23);
    EXPECT_EQ(BcdValue(0x1A), 20);  // a bad nibble still counts, so the date check rejects it
}

TEST(BcdDigits, ToBcdPacksTensAndUnits) {
    EXPECT_EQ(ToBCD(59), 0x59);
    EXPECT_EQ(ToBCD(7), 0x07);
    EXPECT_EQ(ToBCD(0), 0x00);
    EXPECT_EQ(ToBCD(99), 0x99);
}

TEST(DayNames, OneIsSundayAndOutOfRangeIsEmpty) {
    EXPECT_EQ(DayName(1), "Sunday");
    EXPECT_EQ(DayName(7), "Saturday");
    EXPECT_EQ(DayName(0), "");
    EXPECT_EQ(DayName(8), "");
    EXPECT_EQ(DayName(-1), "");
}

TEST(BcdTimeFull, ClockBlockWithCenturyBit) {
    const std::uint8_t block[7] = {0x09, 0x07, 0x14, 0x03, 0x05, 0x83, 0x02};
    const BcdTime t = BCDTimeToString(block, BcdForm::Full, block[5] & 0x80);
    EXPECT_EQ(t.Text, "Tuesday  05/03/2002  14:07:09 ");
    EXPECT_DOUBLE_EQ(t.Value, At(2002, 3, 5, 14, 7, 9));
}

TEST(BcdTimeFull, ClearCenturyBitGivesNineteenHundreds) {
    const std::uint8_t block[7] = {0x09, 0x07, 0x14, 0x03, 0x05, 0x03, 0x02};
    const BcdTime t = BCDTimeToString(block, BcdForm::Full, block[5] & 0x80);
    EXPECT_EQ(t.Text, "Tuesday  05/03/1902  14:07:09 ");
    EXPECT_DOUBLE_EQ(t.Value, At(1902, 3, 5, 14, 7, 9));
}

TEST(BcdTimeFull, TwelveHourModeShowsTheDesignatorAndTheValueMeansTheSameMoment) {
    std::uint8_t block[7] = {0x09, 0x07, 0x72, 0x03, 0x05, 0x83, 0x02};
    BcdTime t = BCDTimeToString(block, BcdForm::Full, true);
    EXPECT_EQ(t.Text, "Tuesday  05/03/2002  12:07:09PM ");
    EXPECT_DOUBLE_EQ(t.Value, At(2002, 3, 5, 12, 7, 9));  // 12 PM is noon

    block[2] = 0x52;  // 12 AM is midnight
    t = BCDTimeToString(block, BcdForm::Full, true);
    EXPECT_EQ(t.Text, "Tuesday  05/03/2002  12:07:09AM ");
    EXPECT_DOUBLE_EQ(t.Value, At(2002, 3, 5, 0, 7, 9));

    block[2] = 0x62;  // 2 PM
    t = BCDTimeToString(block, BcdForm::Full, true);
    EXPECT_EQ(t.Text, "Tuesday  05/03/2002  02:07:09PM ");
    EXPECT_DOUBLE_EQ(t.Value, At(2002, 3, 5, 14, 7, 9));

    block[2] = 0x40;  // hour 0 does not exist on a 12-hour clock
    EXPECT_DOUBLE_EQ(BCDTimeToString(block, BcdForm::Full, true).Value, kFallback);
}

TEST(BcdTimeShort, TimeStampHasNoSecondsNorDayName) {
    const std::uint8_t stamp[5] = {0x07, 0x14, 0x05, 0x83, 0x02};
    const BcdTime t = BCDTimeToString(stamp, BcdForm::Short, true);
    EXPECT_EQ(t.Text, " 05/03/2002  14:07 ");
    EXPECT_DOUBLE_EQ(t.Value, At(2002, 3, 5, 14, 7, 0));

    const std::uint8_t pm[5] = {0x07, 0x62, 0x05, 0x83, 0x02};
    EXPECT_EQ(BCDTimeToString(pm, BcdForm::Short, true).Text, " 05/03/2002  02:07 ");
}

TEST(BcdTimeShort, AllZeroStampIsNotStartedYet) {
    const std::uint8_t stamp[5] = {};
    const BcdTime t = BCDTimeToString(stamp, BcdForm::Short, false);
    EXPECT_EQ(t.Text, "not started yet");
    EXPECT_DOUBLE_EQ(t.Value, At(1900, 1, 1, 0, 0, 0));  // month and day taken as 1
}

TEST(BcdTimeFull, ImpossibleDatesAndTimesFallBackWhileTheTextStays) {
    std::uint8_t block[7] = {0x00, 0x00, 0x10, 0x01, 0x31, 0x82, 0x03};
    BcdTime t = BCDTimeToString(block, BcdForm::Full, true);
    EXPECT_EQ(t.Text, "Sunday  31/02/2003  10:00:00 ");
    EXPECT_DOUBLE_EQ(t.Value, kFallback);

    block[4] = 0x01;
    block[2] = 0x25;
    EXPECT_DOUBLE_EQ(BCDTimeToString(block, BcdForm::Full, true).Value, kFallback);
    block[2] = 0x10;
    block[1] = 0x60;
    EXPECT_DOUBLE_EQ(BCDTimeToString(block, BcdForm::Full, true).Value, kFallback);
    block[1] = 0x5A;  // bad nibble: shown as ':' and rejected as a minute
    t = BCDTimeToString(block, BcdForm::Full, true);
    EXPECT_EQ(t.Text, "Sunday  01/02/2003  10:5::00 ");
    EXPECT_DOUBLE_EQ(t.Value, kFallback);
}

TEST(BcdTimeFull, DayOfWeekOutOfRangeGivesNoName) {
    const std::uint8_t block[7] = {0x00, 0x00, 0x00, 0x09, 0x01, 0x81, 0x00};
    EXPECT_EQ(BCDTimeToString(block, BcdForm::Full, true).Text, "  01/01/2000  00:00:00 ");
}

TEST(MissionStartCentury, DecidedByBitThenRunningMissionThenYear) {
    std::uint8_t stamp[5] = {0x00, 0x12, 0x01, 0x81, 0x05};
    EXPECT_TRUE(MissionStartCentury(stamp, false, 0, 0, 0));

    stamp[3] = 0x01;
    EXPECT_TRUE(MissionStartCentury(stamp, false, 0, 0, 0));  // 05 below 70
    stamp[4] = 0x98;
    EXPECT_FALSE(MissionStartCentury(stamp, false, 0, 0, 0));

    // A running mission works back from the device clock: 10 samples of 60 minutes.
    stamp[4] = 0x05;
    EXPECT_FALSE(MissionStartCentury(stamp, true, At(2000, 1, 1, 5, 0, 0), 60, 10));
    EXPECT_TRUE(MissionStartCentury(stamp, true, At(2000, 1, 1, 10, 0, 0), 60, 10));
    stamp[4] = 0x98;
    EXPECT_FALSE(MissionStartCentury(stamp, true, At(2024, 6, 1, 0, 0, 0), 255, 0xFFFFFF));
}

TEST(ComputerDate, TextCarriesTheDayNameAndFixedWidths) {
    EXPECT_EQ(ComputerDateText(At(2002, 3, 5, 14, 7, 9)), "Tuesday  05/03/2002  14:07:09 ");
    EXPECT_EQ(ComputerDateText(At(2026, 12, 6, 0, 0, 0)), "Sunday  06/12/2026  00:00:00 ");
}

TEST(ClockEncoding, ComputerTimePlusOneSecondIn24HourForm) {
    const auto block = EncodeClockBlock(At(2002, 3, 5, 14, 7, 8));
    EXPECT_EQ(block, (std::array<std::uint8_t, 7>{0x09, 0x07, 0x14, 0x03, 0x05, 0x83, 0x02}));

    // The added second rolls over into a new year, and the century bit follows the year.
    const auto newYear = EncodeClockBlock(At(1999, 12, 31, 23, 59, 59));
    EXPECT_EQ(newYear, (std::array<std::uint8_t, 7>{0x00, 0x00, 0x00, 0x07, 0x01, 0x81, 0x00}));
    const auto old = EncodeClockBlock(At(1999, 7, 4, 21, 30, 0));
    EXPECT_EQ(old[5], 0x07);
    EXPECT_EQ(old[2], 0x21);

    // What is encoded decodes to the same moment.
    const BcdTime back = BCDTimeToString(block.data(), BcdForm::Full, block[5] & 0x80);
    EXPECT_DOUBLE_EQ(back.Value, At(2002, 3, 5, 14, 7, 9));
}
