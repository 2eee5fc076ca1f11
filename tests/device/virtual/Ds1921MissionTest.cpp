#include <gtest/gtest.h>

#include <cmath>

#include "DeviceMaster.h"
#include "support/DateAt.h"

namespace {

// Device-calendar minute (minutes since 2000-01-01 00:00) of a local date-time.
std::int64_t DeviceMinute(TDateTime local) {
    return std::llround((local - At(2000, 1, 1, 0, 0, 0)) * 1440.0);
}

// Sample k of a mission gets the code k mod 250, so log positions can be read off.
class CountingProfile : public TemperatureProfile {
public:
    CountingProfile(std::int64_t firstMinute, int rate) : first(firstMinute), rate(rate) {}
    double CelsiusAt(std::int64_t minute) const override {
        return (static_cast<double>((minute - first) / rate % 250) - 80.0) / 2.0;
    }

private:
    std::int64_t first;
    int rate;
};

int Counter(const std::vector<std::uint8_t>& bytes, std::size_t at, int width) {
    int value = 0;
    for (int i = width - 1; i >= 0; --i) value = value * 256 + bytes[at + static_cast<std::size_t>(i)];
    return value;
}

class Ds1921Mission : public ::testing::Test {
protected:
    const TDateTime start = At(2026, 12, 7, 12, 0, 30);
    ManualClock clock{ManualClock::MsFromDateTime(start)};
    std::shared_ptr<DailyCycleProfile> profile =
        std::make_shared<DailyCycleProfile>(42, DailyCycleProfile::Shape{});
    Ds1921Device device{Ds1921Device::MakeRom(Ds1921Variant::Standard, 11), clock, profile};
    DeviceMaster master{device};

    // The three write steps of the program, after the clear.
    void Program(std::uint8_t rate, std::uint8_t control, std::uint16_t delay, std::uint8_t low = 0,
                 std::uint8_t high = 0xFA, std::array<std::uint8_t, 4> alarm = {0, 0, 0, 1}) {
        ASSERT_TRUE(master.Clear());
        ASSERT_TRUE(master.Write(0x200, {0x30, 0x00, 0x12, 0x02, 0x07, 0x92, 0x26, alarm[0], alarm[1],
                                         alarm[2], alarm[3], low, high}));
        ASSERT_TRUE(master.Write(0x20E, {control, 0, 0, 0, static_cast<std::uint8_t>(delay),
                                         static_cast<std::uint8_t>(delay >> 8), 0}));
        ASSERT_TRUE(master.Write(0x20D, {rate}));
    }
    std::vector<std::uint8_t> Registers() { return master.Read(0x200, 32); }
};

TEST_F(Ds1921Mission, ThreeDaysOfSamplesAgreeWithProfileHistogramAndAlarms) {
    const std::uint8_t low = device.CodeFor(16.0), high = device.CodeFor(24.0);
    Program(5, 0x06, 0, low, high);
    auto regs = Registers();
    EXPECT_EQ(regs[0x14] & 0x60, 0x20);  // MIP set, MEMCLR gone
    clock.AdvanceDays(3);

    regs = Registers();
    const int samples = Counter(regs, 0x1A, 3);
    ASSERT_EQ(samples, 864);  // 12:01, 12:06 ... up to 12:00:30 three days later
    EXPECT_EQ(Counter(regs, 0x1D, 3), 864);
    EXPECT_EQ(std::vector<std::uint8_t>(regs.begin() + 0x15, regs.begin() + 0x1A),
              (std::vector<std::uint8_t>{0x01, 0x12, 0x07, 0x92, 0x26}));

    const auto log = master.Read(0x1000, 2048);
    const auto histogram = master.Read(0x800, 128);
    const auto alarms = master.Read(0x220, 96);
    const std::int64_t first = DeviceMinute(At(2026, 12, 7, 12, 1, 0));
    std::array<int, 64> bins{};
    for (int k = 0; k < samples; ++k) {
        ASSERT_EQ(log[static_cast<std::size_t>(k)], device.CodeFor(profile->CelsiusAt(first + 5 * k))) << k;
        ++bins[log[static_cast<std::size_t>(k)] >> 2];
    }
    EXPECT_EQ(log[static_cast<std::size_t>(samples)], 0);
    for (std::size_t bin = 0; bin < 64; ++bin) EXPECT_EQ(Counter(histogram, 2 * bin, 2), bins[bin]) << bin;

    // Alarm records: each run of samples beyond a threshold, stamped with its
    // 1-based sample number, in order.
    for (const bool isHigh : {false, true}) {
        std::vector<std::pair<int, int>> runs;
        for (int k = 0; k < samples; ++k) {
            const std::uint8_t code = log[static_cast<std::size_t>(k)];
            const bool beyond = isHigh ? code >= high : code <= low;
            const bool continues = k > 0 && (isHigh ? log[static_cast<std::size_t>(k - 1)] >= high
                                                    : log[static_cast<std::size_t>(k - 1)] <= low);
            if (beyond && continues)
                ++runs.back().second;
            else if (beyond)
                runs.emplace_back(k + 1, 1);
        }
        // Excursions after the twelfth find no free record.
        ASSERT_FALSE(runs.empty());
        for (std::size_t r = 0; r < 12; ++r) {
            const std::size_t at = (isHigh ? 48 : 0) + 4 * r;
            const int stamp = Counter(alarms, at, 3), duration = alarms[at + 3];
            if (r < runs.size()) {
                EXPECT_EQ(stamp, runs[r].first);
                EXPECT_EQ(duration, runs[r].second);
            } else {
                EXPECT_EQ(duration, 0);
            }
        }
    }
    EXPECT_EQ(regs[0x14] & 0x06, 0x06);
    EXPECT_TRUE(device.ConditionalSearchFlag());
}

TEST_F(Ds1921Mission, LogStopsOrRollsOverAfter2048Samples) {
    const std::int64_t first = DeviceMinute(At(2026, 12, 7, 12, 1, 0));
    device.SetProfile(std::make_shared<CountingProfile>(first, 1));
    Program(1, 0x00, 0);
    clock.AdvanceMinutes(2050);
    auto log = master.Read(0x1000, 2048);
    EXPECT_EQ(Counter(Registers(), 0x1A, 3), 2050);
    EXPECT_EQ(log[0], 0);
    EXPECT_EQ(log[2], 2);
    EXPECT_EQ(log[2047], 2047 % 250);
    EXPECT_EQ(master.ReadByte(0x214) & 0x20, 0x20);  // the mission goes on

    Program(1, 0x08, 0);
    clock.AdvanceMinutes(2050);
    log = master.Read(0x1000, 2048);
    EXPECT_EQ(log[0], 2048 % 250);
    EXPECT_EQ(log[1], 2049 % 250);
    EXPECT_EQ(log[2], 2);
    // The histogram counts every sample, also those the log no longer holds.
    const auto histogram = master.Read(0x800, 128);
    int total = 0;
    for (std::size_t bin = 0; bin < 64; ++bin) total += Counter(histogram, 2 * bin, 2);
    EXPECT_EQ(total, 2050);
}

TEST_F(Ds1921Mission, StartDelayCountsMinutesThenSamplingBeginsOnTheNextMinute) {
    Program(10, 0x00, 3);
    EXPECT_EQ(master.ReadByte(0x212), 3);
    clock.Advance(30000);  // 12:01:00
    EXPECT_EQ(master.ReadByte(0x212), 2);
    clock.AdvanceMinutes(2);  // 12:03:00
    EXPECT_EQ(master.ReadByte(0x212), 0);
    EXPECT_EQ(master.ReadByte(0x215), 0x00);
    clock.Advance(59000);
    EXPECT_EQ(master.ReadByte(0x21A), 0);
    clock.Advance(1000);  // 12:04:00
    const auto regs = Registers();
    EXPECT_EQ(regs[0x1A], 1);
    EXPECT_EQ(regs[0x15], 0x04);
    EXPECT_EQ(regs[0x16], 0x12);
}

TEST_F(Ds1921Mission, ClearingMipStopsTheMissionAndANewOneNeedsAClear) {
    Program(1, 0x00, 0);
    clock.AdvanceMinutes(10);
    ASSERT_TRUE(master.Write(0x214, {0x00}));
    clock.AdvanceMinutes(60);
    auto regs = Registers();
    EXPECT_EQ(regs[0x14] & 0x60, 0x00);
    EXPECT_EQ(regs[0x1A], 10);
    ASSERT_TRUE(master.Write(0x20D, {1}));
    EXPECT_EQ(master.ReadByte(0x214) & 0x20, 0x00);
}

TEST_F(Ds1921Mission, WritesToProtectedRegistersEndTheMission) {
    Program(1, 0x00, 0, 10, 200);
    clock.AdvanceMinutes(5);
    ASSERT_TRUE(master.Write(0x20D, {7}));
    auto regs = Registers();
    EXPECT_EQ(regs[0x14] & 0x20, 0x00);
    EXPECT_EQ(regs[0x0D], 1);  // the sample rate stays protected
    EXPECT_EQ(regs[0x1A], 5);

    Program(1, 0x00, 0, 10, 200);
    ASSERT_TRUE(master.Write(0x20B, {20}));
    regs = Registers();
    EXPECT_EQ(regs[0x14] & 0x20, 0x00);
    EXPECT_EQ(regs[0x0B], 20);
    // Counters and the time stamp are read-only at any time.
    ASSERT_TRUE(master.Write(0x215, {0x99, 0x99}));
    EXPECT_EQ(master.ReadByte(0x215), regs[0x15]);
}

TEST_F(Ds1921Mission, DailyTimeAlarmSetsTafAndConditionalSearch) {
    Program(10, 0x01, 0, 0, 0xFA, {0x00, 0x30, 0x12, 0x80});  // daily at 12:30:00
    clock.AdvanceMinutes(29);
    EXPECT_EQ(master.ReadByte(0x214) & 0x01, 0x00);
    EXPECT_FALSE(device.ConditionalSearchFlag());
    clock.AdvanceMinutes(1);
    EXPECT_EQ(master.ReadByte(0x214) & 0x01, 0x01);
    EXPECT_TRUE(device.ConditionalSearchFlag());
    // Weekly on another day does not fire within the day.
    Program(10, 0x01, 0, 0, 0xFA, {0x00, 0x30, 0x12, 0x05});
    clock.AdvanceDays(1);
    EXPECT_EQ(master.ReadByte(0x214) & 0x01, 0x00);
    clock.AdvanceDays(2);  // Thursday 12:00:30
    EXPECT_EQ(master.ReadByte(0x214) & 0x01, 0x00);
    clock.AdvanceMinutes(30);
    EXPECT_EQ(master.ReadByte(0x214) & 0x01, 0x01);
}

TEST_F(Ds1921Mission, LongAlarmsSplitAt255AndStopAfterTwelveRecords) {
    device.SetProfile(std::make_shared<ConstantProfile>(30.0));
    Program(1, 0x00, 0, 0, device.CodeFor(25.0));
    clock.AdvanceMinutes(300);
    auto alarms = master.Read(0x250, 12);
    EXPECT_EQ(Counter(alarms, 0, 3), 1);
    EXPECT_EQ(alarms[3], 255);
    EXPECT_EQ(Counter(alarms, 4, 3), 256);
    EXPECT_EQ(alarms[7], 45);
    EXPECT_EQ(alarms[11], 0);

    // Thirteen one-sample excursions: the thirteenth finds no free record.
    std::map<std::int64_t, double> table;
    const std::int64_t first = DeviceMinute(At(2026, 12, 7, 12, 1, 0));  // Program sets the clock back
    for (int k = 0; k < 26; ++k) table[first + k] = k % 2 == 0 ? 30.0 : 20.0;
    device.SetProfile(std::make_shared<TableProfile>(table));
    Program(1, 0x00, 0, 0, device.CodeFor(25.0));
    clock.AdvanceMinutes(26);
    alarms = master.Read(0x250, 48);
    for (std::size_t r = 0; r < 12; ++r) {
        EXPECT_EQ(Counter(alarms, 4 * r, 3), static_cast<int>(2 * r + 1));
        EXPECT_EQ(alarms[4 * r + 3], 1);
    }
    EXPECT_EQ(master.ReadByte(0x280), 0);
}

TEST_F(Ds1921Mission, JumpingAMillionSamplesAheadKeepsTheNewestLog) {
    Program(1, 0x08, 0);
    clock.AdvanceMinutes(1000000);
    const auto regs = Registers();
    EXPECT_EQ(Counter(regs, 0x1A, 3), 1000000);
    const std::int64_t first = DeviceMinute(At(2026, 12, 7, 12, 1, 0));
    const auto log = master.Read(0x1000, 2048);
    const int newest = (1000000 - 1) % 2048;
    EXPECT_EQ(log[static_cast<std::size_t>(newest)], device.CodeFor(profile->CelsiusAt(first + 999999)));
    EXPECT_EQ(log[static_cast<std::size_t>(newest + 1)],
              device.CodeFor(profile->CelsiusAt(first + 999999 - 2047)));
}

TEST_F(Ds1921Mission, MissionStartNeedsClearedMemoryAndEnabledStart) {
    ASSERT_TRUE(master.Write(0x20D, {1}));  // not cleared
    EXPECT_EQ(master.ReadByte(0x214) & 0x20, 0x00);
    ASSERT_TRUE(master.Clear());
    ASSERT_TRUE(master.Write(0x20E, {0x10}));  // EM: start disabled
    ASSERT_TRUE(master.Write(0x20D, {1}));
    EXPECT_EQ(master.ReadByte(0x214) & 0x20, 0x00);
    ASSERT_TRUE(master.Write(0x20E, {0x00}));
    ASSERT_TRUE(master.Write(0x20D, {0}));  // zero starts nothing
    EXPECT_EQ(master.ReadByte(0x214) & 0x20, 0x00);
    ASSERT_TRUE(master.Write(0x20D, {2}));
    EXPECT_EQ(master.ReadByte(0x214) & 0x60, 0x20);
}

}  // namespace

namespace {

TEST(Ds1921MissionOptions, StampMayPrecedeTheFirstSampleByOnePeriod) {
    TDateTime start = 0;
    TryEncodeDateTime(2026, 12, 7, 12, 0, 30, 0, start);
    ManualClock clock(ManualClock::MsFromDateTime(start));
    Ds1921Options options;
    options.Stamp = Ds1921Options::StampRule::PeriodBeforeFirstSample;
    options.TimeAlarmOnlyInMission = false;
    Ds1921Device device(Ds1921Device::MakeRom(Ds1921Variant::Standard, 5), clock,
                        std::make_shared<ConstantProfile>(20.0), options);
    DeviceMaster master(device);
    // Every-minute alarm at second 10, between missions.
    ASSERT_TRUE(master.Write(0x207, {0x10, 0x80, 0x80, 0x80}));
    clock.Advance(39000);
    EXPECT_EQ(master.ReadByte(0x214) & 0x01, 0x00);
    clock.Advance(1000);  // 12:01:10
    EXPECT_EQ(master.ReadByte(0x214) & 0x01, 0x01);

    ASSERT_TRUE(master.Clear());
    ASSERT_TRUE(master.Write(0x20D, {10}));  // at 12:01:10
    clock.AdvanceMinutes(2);
    EXPECT_EQ(master.ReadByte(0x215), 0x02);
    EXPECT_EQ(master.ReadByte(0x21A), 0);
    clock.AdvanceMinutes(9);  // 12:12:10
    EXPECT_EQ(master.ReadByte(0x21A), 1);
}

}  // namespace
