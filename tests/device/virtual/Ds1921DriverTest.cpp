// The emulator driven the way the program drives a real device: through the
// driver, the link and the virtual bus, with the program's byte sequences.
#include <gtest/gtest.h>

#include <cmath>

#include "device/LinkFactory.h"
#include "device/onewire/Search.h"
#include "device/tmex/TmexDriver.h"
#include "device/virtual/VirtualAdapter.h"
#include "support/DateAt.h"

namespace {

class Ds1921ThroughDriver : public ::testing::Test {
protected:
    void SetUp() override {
        device = adapter.InsertDevice(Ds1921Variant::Standard);
        session = driver.TMExtendedStartSession(1, kPortTypeVirtual, nullptr);
        ASSERT_EQ(driver.TMSetup(session), 1);
        ASSERT_EQ(driver.TMFamilySearchSetup(session, state.data(), 0x21), 1);
        ASSERT_EQ(driver.TMNext(session, state.data()), 1);
    }

    // WriteScratch + CopyScratch as the program's write jobs send them.
    int Write(std::uint16_t address, const std::vector<std::uint8_t>& data) {
        const auto n = data.size();
        std::vector<std::uint8_t> block{0x0F, static_cast<std::uint8_t>(address),
                                        static_cast<std::uint8_t>(address >> 8)};
        block.insert(block.end(), data.begin(), data.end());
        if (driver.TMAccess(session, state.data()) != 1) return -1;
        driver.TMBlockStream(session, block.data(), static_cast<std::int16_t>(block.size()));
        if (driver.TMAccess(session, state.data()) != 1) return -1;
        std::vector<std::uint8_t> back(n + 4, 0xFF);
        back[0] = 0xAA;
        driver.TMBlockStream(session, back.data(), static_cast<std::int16_t>(back.size()));
        const auto es = static_cast<std::uint8_t>((address + n - 1) & 0x1F);
        if (back[1] != static_cast<std::uint8_t>(address) || back[2] != (address >> 8) || back[3] != es)
            return -301;
        if (!std::equal(data.begin(), data.end(), back.begin() + 4)) return -301;
        if (driver.TMAccess(session, state.data()) != 1) return -1;
        std::vector<std::uint8_t> copy{0x55, static_cast<std::uint8_t>(address),
                                       static_cast<std::uint8_t>(address >> 8), es};
        copy.resize(14, 0xFF);
        const auto count = driver.TMBlockStream(session, copy.data(), 14);
        return count == 14 && (copy[13] == 0xAA || copy[13] == 0x55) ? 1 : -1;
    }
    int Clear() {
        std::uint8_t arm[] = {0x0F, 0x0E, 0x02, 0x40};
        if (driver.TMAccess(session, state.data()) != 1 || driver.TMBlockStream(session, arm, 4) != 4)
            return -1;
        std::uint8_t copy[] = {0x55, 0x0E, 0x02, 0x0E, 0xFF};
        if (driver.TMAccess(session, state.data()) != 1 || driver.TMBlockStream(session, copy, 5) != 5)
            return -1;
        if ((copy[4] >> 4) != 0x5 && (copy[4] >> 4) != 0xA) return -1;
        if (driver.TMAccess(session, state.data()) != 1) return -1;
        const int result = driver.TMTouchByte(session, 0x3C) == 0x3C ? 1 : -1;
        driver.TMTouchReset(session);
        return result;
    }
    std::vector<std::uint8_t> Pages(int first, int count) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count) * 32);
        for (int p = 0; p < count; ++p)
            EXPECT_GT(driver.TMExtendedReadPage(session, state.data(), static_cast<std::int16_t>(first + p),
                                                &bytes[static_cast<std::size_t>(p) * 32], 0),
                      0);
        return bytes;
    }
    static int Counter(const std::vector<std::uint8_t>& b, std::size_t at, int width) {
        int value = 0;
        for (int i = width - 1; i >= 0; --i) value = value * 256 + b[at + static_cast<std::size_t>(i)];
        return value;
    }

    ManualClock clock{ManualClock::MsFromDateTime(At(2026, 12, 7, 9, 15, 42))};
    VirtualAdapter adapter{"", clock};
    LinkProvider links{&adapter.Bus()};
    TmexDriver driver{links};
    std::vector<std::uint8_t> state = std::vector<std::uint8_t>(kDriverStateSize, 0);
    std::int32_t session = 0;
    std::shared_ptr<Ds1921Device> device;
};

TEST_F(Ds1921ThroughDriver, ProgrammedMissionDownloadsConsistentResultsThreeDaysLater) {
    const std::uint8_t low = device->CodeFor(15.5), high = device->CodeFor(24.5);
    ASSERT_EQ(Clear(), 1);
    ASSERT_TRUE(Pages(16, 1)[0x14] & 0x40);
    ASSERT_EQ(Write(0x200, {0x43, 0x15, 0x09, 0x02, 0x07, 0x92, 0x26, 0x00, 0x00, 0x00, 0x01, low, high}), 1);
    ASSERT_EQ(Write(0x20E, {0x06, 0, 0, 0, 0, 0, 0}), 1);
    ASSERT_EQ(Write(0x20D, {4}), 1);
    clock.AdvanceDays(3);

    const auto regs = Pages(16, 1);
    EXPECT_EQ(regs[0x14] & 0x60, 0x20);
    const int samples = Counter(regs, 0x1A, 3);
    EXPECT_EQ(samples, 3 * 1440 / 4);  // 09:16, 09:20 ... 09:12 three days on
    const auto alarms = Pages(17, 3);
    const auto histogram = Pages(64, 4);
    const auto log = Pages(128, 64);

    const std::int64_t first = std::llround((At(2026, 12, 7, 9, 16, 0) - At(2000, 1, 1, 0, 0, 0)) * 1440.0);
    std::array<int, 64> bins{};
    int lowRuns = 0, highRuns = 0;
    for (int k = 0; k < samples; ++k) {
        const std::uint8_t code = log[static_cast<std::size_t>(k)];
        ASSERT_EQ(code, device->CodeFor(device->Profile().CelsiusAt(first + 4 * k)));
        ++bins[code >> 2];
        const std::uint8_t before = k > 0 ? log[static_cast<std::size_t>(k - 1)] : 0x80;
        if (code <= low && !(k > 0 && before <= low)) ++lowRuns;
        if (code >= high && !(k > 0 && before >= high)) ++highRuns;
        // Each excursion's first sample opens a record stamped with its sample number.
        if (code <= low && !(k > 0 && before <= low) && lowRuns <= 12) {
            EXPECT_EQ(Counter(alarms, 4 * static_cast<std::size_t>(lowRuns - 1), 3), k + 1);
        }
        if (code >= high && !(k > 0 && before >= high) && highRuns <= 12) {
            EXPECT_EQ(Counter(alarms, 48 + 4 * static_cast<std::size_t>(highRuns - 1), 3), k + 1);
        }
    }
    EXPECT_GT(lowRuns, 0);
    EXPECT_GT(highRuns, 0);
    for (std::size_t bin = 0; bin < 64; ++bin) EXPECT_EQ(Counter(histogram, 2 * bin, 2), bins[bin]);
    // What the program reads equals the device's own memory.
    EXPECT_EQ(log, device->PeekRange(0x1000, 2048));
}

TEST_F(Ds1921ThroughDriver, StoppingTheMissionAndReprogrammingNeedsTheClear) {
    ASSERT_EQ(Clear(), 1);
    ASSERT_EQ(Write(0x20E, {0x00, 0, 0, 0, 0, 0, 0}), 1);
    ASSERT_EQ(Write(0x20D, {1}), 1);
    clock.AdvanceMinutes(30);
    ASSERT_EQ(Write(0x214, {0x00}), 1);
    EXPECT_FALSE(device->MissionRunning());
    EXPECT_EQ(device->MissionSamples(), 30);
    ASSERT_EQ(Write(0x20D, {1}), 1);
    EXPECT_FALSE(device->MissionRunning());
    ASSERT_EQ(Clear(), 1);
    EXPECT_EQ(device->Peek(0x21A), 0);
    ASSERT_EQ(Write(0x20D, {1}), 1);
    EXPECT_TRUE(device->MissionRunning());
}

TEST_F(Ds1921ThroughDriver, ClearingARunningDeviceEndsTheMissionAndClearsInOnePass) {
    ASSERT_EQ(Clear(), 1);
    ASSERT_EQ(Write(0x20D, {1}), 1);
    clock.AdvanceMinutes(15);
    ASSERT_TRUE(device->MissionRunning());
    const auto logBefore = Pages(128, 1);
    ASSERT_NE(logBefore[14], 0);
    ASSERT_EQ(Clear(), 1);
    const auto regs = Pages(16, 1);
    EXPECT_EQ(regs[0x14] & 0x60, 0x40);
    EXPECT_EQ(regs[0x1A], 0);
    EXPECT_EQ(Pages(128, 1), logBefore) << "the log is left as it was";
    EXPECT_EQ(Pages(64, 4), std::vector<std::uint8_t>(128, 0));

    // Read as "nothing is written by the write that ends a mission", the same
    // sequence stops the mission but the clear finds EMCLR unset.
    Ds1921Options strict;
    strict.WriteEndingMissionApplies = false;
    auto other = std::make_shared<Ds1921Device>(Ds1921Device::MakeRom(Ds1921Variant::Standard, 99), clock,
                                                std::make_shared<ConstantProfile>(20.0), strict);
    adapter.RemoveDevice(device);
    adapter.InsertDevice(other);
    ASSERT_EQ(driver.TMFamilySearchSetup(session, state.data(), 0x21), 1);
    ASSERT_EQ(driver.TMNext(session, state.data()), 1);
    ASSERT_EQ(Clear(), 1);
    ASSERT_EQ(Write(0x20D, {1}), 1);
    clock.AdvanceMinutes(15);
    ASSERT_EQ(Clear(), 1);
    EXPECT_EQ(Pages(16, 1)[0x14] & 0x60, 0x00);
    EXPECT_EQ(other->MissionSamples(), 15);
    ASSERT_EQ(Clear(), 1);
    EXPECT_EQ(Pages(16, 1)[0x14] & 0x60, 0x40);
}

TEST_F(Ds1921ThroughDriver, ConditionalSearchFindsOnlyDevicesWithAnEnabledFlag) {
    auto quiet = adapter.InsertDevice(Ds1921Variant::LowTemp);
    device->SetProfile(std::make_shared<ConstantProfile>(30.0));
    ASSERT_EQ(Clear(), 1);
    ASSERT_EQ(Write(0x20B, {0x00, device->CodeFor(25.0)}), 1);
    ASSERT_EQ(Write(0x20E, {0x04, 0, 0, 0, 0, 0, 0}), 1);  // only the low alarm takes part
    ASSERT_EQ(Write(0x20D, {1}), 1);
    clock.AdvanceMinutes(5);

    onewire::SearchState search;
    onewire::ResetSearch(search);
    EXPECT_EQ(onewire::SearchNext(adapter.Bus(), search, true), onewire::SearchOutcome::NoDevice)
        << "THF is set but THS is not";
    ASSERT_EQ(Write(0x214, {0x20}), 1);  // keeps MIP, clears the flags
    ASSERT_EQ(Write(0x20E, {0x02}), 1);  // ends the mission, enables THS
    EXPECT_EQ(onewire::SearchNext(adapter.Bus(), search, true), onewire::SearchOutcome::NoDevice)
        << "flags were cleared";
    ASSERT_EQ(Clear(), 1);
    ASSERT_EQ(Write(0x20E, {0x02}), 1);  // the clear's control byte had dropped THS
    ASSERT_EQ(Write(0x20D, {1}), 1);
    clock.AdvanceMinutes(1);
    onewire::ResetSearch(search);
    ASSERT_EQ(onewire::SearchNext(adapter.Bus(), search, true), onewire::SearchOutcome::Found);
    EXPECT_EQ(search.rom, device->Rom());
    EXPECT_NE(search.rom, quiet->Rom());
}

TEST_F(Ds1921ThroughDriver, FaultsReachTheDriver) {
    device->RefuseCopies(1);
    EXPECT_EQ(Write(0x40, {1, 2, 3}), -1);
    EXPECT_EQ(Write(0x40, {1, 2, 3}), 1);

    std::uint8_t page[32];
    // The CRC catches a flipped bit; the page is read again, up to three times in all.
    for (int attempt = 0; attempt < 3; ++attempt) adapter.Bus().FlipReadBit(40 + attempt * 46, 3);
    EXPECT_LE(driver.TMExtendedReadPage(session, state.data(), 2, page, 0), 0) << "the CRC catches the bit";
    EXPECT_GT(driver.TMExtendedReadPage(session, state.data(), 2, page, 0), 0);
    adapter.Bus().FlipReadBit(40, 3);
    EXPECT_GT(driver.TMExtendedReadPage(session, state.data(), 2, page, 0), 0) << "one bad read is retried";

    adapter.Bus().VanishAfter(device, 5);
    EXPECT_LE(driver.TMExtendedReadPage(session, state.data(), 2, page, 0), 0);
    EXPECT_NE(driver.TMStrongAccess(session, state.data()), 1);
    EXPECT_TRUE(adapter.Devices().empty());
}

TEST_F(Ds1921ThroughDriver, WholeMemoryReadsBackPageByPage) {
    ASSERT_EQ(Write(0x1E0, std::vector<std::uint8_t>(32, 0x41)), 1);
    for (int page = 0; page < 256; ++page) {
        const auto bytes = Pages(page, 1);
        EXPECT_EQ(bytes, device->PeekRange(static_cast<std::uint16_t>(page * 32), 32)) << page;
    }
}

}  // namespace
