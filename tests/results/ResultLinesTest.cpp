#include <gtest/gtest.h>

#include <array>
#include <cstdio>

#include "results/ResultLines.h"

namespace {
TDateTime At(int year, int month, int day, int hour, int minute) {
    TDateTime t = 0;
    EXPECT_TRUE(TryEncodeDateTime(year, month, day, hour, minute, 0, 0, t));
    return t;
}

const TemperatureOptions kCelsius{};
}  // namespace

TEST(LogLayout, WithoutRolloverListsTheFirstSamplesInOrder) {
    const LogLayout layout = ComputeLogLayout(3000, false);
    EXPECT_EQ(layout.Count, 2048);
    EXPECT_EQ(layout.Rolls, 0);
    EXPECT_EQ(LogPositionOfLine(layout, 0), 0);
    EXPECT_EQ(LogSampleNumber(layout, 2047), 2047);
    EXPECT_EQ(ComputeLogLayout(-5, true).Count, 0);
    EXPECT_EQ(ComputeLogLayout(2048, true).Rolls, 0);
}

TEST(LogLayout, RolledOverLogStartsAtTheOldestKeptSample) {
    const LogLayout layout = ComputeLogLayout(5000, true);
    EXPECT_EQ(layout.Rolls, 2);
    EXPECT_EQ(layout.Split, 904);
    EXPECT_EQ(LogPositionOfLine(layout, 0), 904);
    EXPECT_EQ(LogSampleNumber(layout, 904), 2952);
    EXPECT_EQ(LogPositionOfLine(layout, 2047), 903);
    EXPECT_EQ(LogSampleNumber(layout, 903), 4999);

    const LogLayout even = ComputeLogLayout(4096, true);
    EXPECT_EQ(even.Split, 0);
    EXPECT_EQ(LogPositionOfLine(even, 0), 0);
    EXPECT_EQ(LogSampleNumber(even, 0), 2048);
    EXPECT_EQ(LogSampleNumber(even, 2047), 4095);

    const LogLayout small = ComputeLogLayout(2050, true);
    EXPECT_EQ(LogSampleNumber(small, 0), 2048);
    EXPECT_EQ(LogSampleNumber(small, 1), 2049);
    EXPECT_EQ(LogSampleNumber(small, 2), 2);
}

TEST(LogLines, DateTimeAndMinuteOffsetViews) {
    std::array<std::uint8_t, 2048> log{};
    log[2] = 127;  // 23.5 degrees on the standard part
    std::vector<std::string> lines;
    std::array<double, 2048> temps{};
    const TDateTime start = At(2004, 3, 5, 14, 0);
    BuildLogLines(log, ComputeLogLayout(3, false), start, 10, LogView::DateTime, kCelsius, lines, temps);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0],
              "05/03/2004 ,14:00 ,-40.000\xB0"
              "C");
    EXPECT_EQ(lines[2],
              "05/03/2004 ,14:20 ,23.500\xB0"
              "C");
    EXPECT_DOUBLE_EQ(temps[2], 23.5);

    BuildLogLines(log, ComputeLogLayout(3, false), start, 60, LogView::MinuteOffset, kCelsius, lines, temps);
    EXPECT_EQ(lines[2],
              "120, 23.500\xB0"
              "C");

    TemperatureOptions bare;
    bare.ShowUnit = false;
    bare.DecimalSeparator = ',';
    BuildLogLines(log, ComputeLogLayout(3, false), start, 10, LogView::DateTime, bare, lines, {});
    EXPECT_EQ(lines[2], "05/03/2004 ,14:20 ,23,500");
}

TEST(LogLines, CrossesMidnightAndRollsOverWithSampleTimes) {
    std::array<std::uint8_t, 2048> log{};
    std::vector<std::string> lines;
    const TDateTime start = At(2004, 12, 31, 23, 50);
    BuildLogLines(log, ComputeLogLayout(5000, true), start, 1, LogView::MinuteOffset, kCelsius, lines, {});
    ASSERT_EQ(lines.size(), 2048u);
    EXPECT_EQ(lines.front(),
              "2952, -40.000\xB0"
              "C");
    EXPECT_EQ(lines[1],
              "2953, -40.000\xB0"
              "C");
    EXPECT_EQ(lines.back(),
              "4999, -40.000\xB0"
              "C");

    BuildLogLines(log, ComputeLogLayout(3, false), start, 5, LogView::DateTime, kCelsius, lines, {});
    EXPECT_EQ(lines[2],
              "01/01/2005 ,00:00 ,-40.000\xB0"
              "C");

    BuildLogLines(log, ComputeLogLayout(4096, true), start, 1, LogView::DateTime, kCelsius, lines, {});
    // Sample 2048 is 34 h 8 min after the start.
    EXPECT_EQ(lines.front(),
              "02/01/2005 ,09:58 ,-40.000\xB0"
              "C");
}

TEST(LogLines, TimesRoundToTheNearestMinuteWithTiesToEven) {
    EXPECT_EQ(RoundToMinute(16.0 / 1024), 22);  // 22.5 minutes
    EXPECT_EQ(RoundToMinute(48.0 / 1024), 68);  // 67.5 minutes
    EXPECT_EQ(RoundToMinute(At(2004, 3, 5, 14, 20) - 20 * kSecond), RoundToMinute(At(2004, 3, 5, 14, 20)));

    std::array<std::uint8_t, 2048> log{};
    std::vector<std::string> lines;
    BuildLogLines(log, ComputeLogLayout(1, false), At(2004, 3, 5, 14, 20) + 31 * kSecond, 1,
                  LogView::DateTime, kCelsius, lines, {});
    EXPECT_EQ(lines[0].substr(0, 17), "05/03/2004 ,14:21");

    // Every start on a half minute is a tie, whatever the binary form of the date-time.
    for (int minute = 0; minute < 60; ++minute) {
        const TDateTime halfPast = At(2004, 3, 5, 14, minute) + 30 * kSecond;
        BuildLogLines(log, ComputeLogLayout(2, false), halfPast, 1, LogView::DateTime, kCelsius, lines, {});
        for (int k = 0; k < 2; ++k) {
            const int even = (minute + k + 1) / 2 * 2;
            char expected[48];
            std::snprintf(expected, sizeof expected, "05/03/2004 ,%.2d:%.2d", 14 + even / 60, even % 60);
            EXPECT_EQ(lines[k].substr(0, 17), expected) << minute << " + " << k;
        }
        EXPECT_EQ(RoundToMinute(halfPast) % 2, 0) << minute;
    }
}

TEST(AlarmLines, BothViewsWithExactWidths) {
    std::array<std::uint8_t, 96> alarms{};
    alarms[48] = 13;  // record 12, the first high alarm: sample 13, 7 samples long
    alarms[51] = 7;
    alarms[4] = 5;  // record 1: count byte 0, so not an alarm
    std::vector<std::string> lines;
    BuildAlarmLines(alarms, At(2004, 3, 5, 14, 0), 10, LogView::MinuteOffset, lines);
    EXPECT_EQ(lines, std::vector<std::string>{"HIGH , 120 - 180"});

    alarms[0] = 1;
    alarms[3] = 1;
    BuildAlarmLines(alarms, At(2004, 3, 5, 14, 0), 10, LogView::DateTime, lines);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "LOW  , start: 05/03/2004  14:00 ");
    EXPECT_EQ(lines[1], "            end:  05/03/2004  14:00 ");
    EXPECT_EQ(lines[2], "HIGH , start: 05/03/2004  16:00 ");
    EXPECT_EQ(lines[3], "            end:  05/03/2004  17:00 ");
    EXPECT_EQ(lines[2].size(), 32u);
    EXPECT_EQ(lines[3].size(), 36u);
}

TEST(AlarmLines, NoRecordGivesNoneInBothViews) {
    std::array<std::uint8_t, 96> alarms{};
    alarms[0] = 9;  // a sample number without a count is an empty record
    std::vector<std::string> lines;
    BuildAlarmLines(alarms, 0, 1, LogView::DateTime, lines);
    EXPECT_EQ(lines, std::vector<std::string>{"none"});
    BuildAlarmLines(alarms, 0, 1, LogView::MinuteOffset, lines);
    EXPECT_EQ(lines, std::vector<std::string>{"none"});
}

TEST(HistogramLines, ThreeViewsAndCounts) {
    std::array<std::uint8_t, 128> hist{};
    hist[0] = 17;
    hist[124] = 0x01;  // bin 62: 257
    hist[125] = 0x01;
    hist[126] = 0xFF;  // bin 63 is not listed
    std::vector<std::string> lines;
    std::array<std::int32_t, 64> counts{};
    BuildHistogramLines(hist, HistogramView::Range, kCelsius, lines, counts);
    ASSERT_EQ(lines.size(), 63u);
    EXPECT_EQ(lines[0],
              "-40.000\xB0"
              "C to -38.500\xB0"
              "C ,17");
    EXPECT_EQ(lines[62],
              "84.000\xB0"
              "C to 85.500\xB0"
              "C ,257");
    EXPECT_EQ(counts[0], 17);
    EXPECT_EQ(counts[62], 257);
    EXPECT_EQ(counts[63], 0);

    BuildHistogramLines(hist, HistogramView::StartOnly, kCelsius, lines, {});
    EXPECT_EQ(lines[0],
              "-40.000\xB0"
              "C ,17");
    BuildHistogramLines(hist, HistogramView::BinNumber, kCelsius, lines, {});
    EXPECT_EQ(lines[0], "0 ,17");
    EXPECT_EQ(lines[62], "62 ,257");

    TemperatureOptions human;
    human.Variant = DeviceVariant::HumanBody;
    human.Scale = TempScale::Fahrenheit;
    BuildHistogramLines(hist, HistogramView::Range, human, lines, {});
    EXPECT_EQ(lines[0],
              "58.100\xB0"
              "F to 58.775\xB0"
              "F ,17");
}
