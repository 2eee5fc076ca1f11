// Every fault the emulated chip can show, at every point of a page read and of
// a search through the driver: the call either gives the right answer or fails,
// never a wrong page or a wrong device, and the next call after the fault has
// cleared works again.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "device/LinkFactory.h"
#include "device/tmex/DriverFixture.h"
#include "device/tmex/TmexDriver.h"
#include "device/usb/UsbRig.h"

namespace {
using Pipe = EmulatedDs2490::Pipe;

class UsbFaultSweep : public ::testing::Test {
protected:
    void SetUp() override {
        links.SetUsbHost(&host);
        slave = std::make_shared<MemorySlave>(MemorySlave::MakeRom(0x21, 0xC0FFEE));
        for (std::size_t i = 0; i < slave->memory.size(); ++i)
            slave->memory[i] = static_cast<std::uint8_t>(i * 7);
        bus.Insert(slave);
        bus.Insert(std::make_shared<MemorySlave>(MemorySlave::MakeRom(0x81, 0x99)));  // the ID chip
        session = driver.TMExtendedStartSession(1, kPortTypeUsbDs2490, nullptr);
        ASSERT_EQ(driver.TMSetup(session), 1) << driver.LastSetupError();
        std::int16_t rom[8];
        for (int i = 0; i < 8; ++i) rom[i] = slave->Rom()[i];
        ASSERT_EQ(driver.TMRom(session, state.data(), rom), 1);
    }
    std::int16_t ReadPage(std::uint8_t* page) {
        return driver.TMExtendedReadPage(session, state.data(), 5, page, 0);
    }
    std::int16_t Search() {
        std::vector<std::uint8_t> search(kDriverStateSize, 0);
        if (driver.TMFamilySearchSetup(session, search.data(), 0x21) != 1) return -99;
        const std::int16_t found = driver.TMNext(session, search.data());
        std::int16_t rom[8] = {0};
        if (found == 1 && driver.TMRom(session, search.data(), rom) == 1)
            for (int i = 0; i < 8; ++i)
                if (rom[i] != slave->Rom()[i]) return -98;  // a wrong device "found"
        return found;
    }
    // Runs `call` with `inject` done first; checks the result and that the next call works.
    void Sweep(const std::string& name, const std::function<void()>& inject, bool page) {
        SCOPED_TRACE(name);
        inject();
        std::uint8_t read[32] = {};
        const std::int16_t result = page ? ReadPage(read) : Search();
        if (result == 1 && page) {
            EXPECT_EQ(0, std::memcmp(read, slave->memory.data() + 5 * 32, 32));
        }
        EXPECT_NE(result, -98);
        chip.ClearFaults();
        if (!chip.Plugged()) {
            EXPECT_FALSE(links.LinkFor(kPortTypeUsbDs2490, 1)->IsOpen()) << "an unplugged adapter is let go";
            chip.Plug();
        }
        std::memset(read, 0, sizeof read);
        const std::int16_t again = page ? ReadPage(read) : Search();
        EXPECT_EQ(again, 1) << "after " << result;
        if (page) {
            EXPECT_EQ(0, std::memcmp(read, slave->memory.data() + 5 * 32, 32));
        }
        EXPECT_EQ(chip.ProtocolViolations(), 0);
    }
    void SweepAll(bool page) {
        const int before = chip.Transfers();
        std::uint8_t read[32];
        ASSERT_EQ(page ? ReadPage(read) : Search(), 1);
        const int transfers = chip.Transfers() - before;
        ASSERT_GE(transfers, 4);
        for (int k = 0; k <= transfers; ++k) {
            for (Pipe pipe : {Pipe::Control, Pipe::DataOut, Pipe::DataIn, Pipe::Status})
                Sweep(
                    "stall pipe " + std::to_string(static_cast<int>(pipe)) + " after " + std::to_string(k),
                    [&] { chip.StallNext(pipe, k); }, page);
            Sweep(
                "vanish after " + std::to_string(k), [&] { chip.VanishAfter(k); }, page);
        }
        for (int k = 0; k < 6; ++k)
            Sweep(
                "status never ends, command " + std::to_string(k), [&] { chip.DelayStatus(100000, k); },
                page);
        Sweep(
            "late status", [&] { chip.DelayStatus(30); }, page);
        Sweep(
            "halted", [&] { chip.Halt(); }, page);
        Sweep(
            "short", [&] { chip.BusShorted = true; }, page);
    }

    ConfigDirGuard config;
    VirtualBus bus;
    EmulatedUsbHost host;
    EmulatedDs2490& chip = host.Add(bus);
    LinkProvider links;
    TmexDriver driver{links};
    std::shared_ptr<MemorySlave> slave;
    std::int32_t session = 0;
    std::vector<std::uint8_t> state = std::vector<std::uint8_t>(kDriverStateSize, 0);
};
}  // namespace

TEST_F(UsbFaultSweep, PageReadIsRightOrFails) { SweepAll(true); }

TEST_F(UsbFaultSweep, SearchFindsTheRightDeviceOrNothing) { SweepAll(false); }

TEST_F(UsbFaultSweep, AShortedBusReadsAsNoDevice) {
    chip.BusShorted = true;
    std::uint8_t read[32];
    EXPECT_EQ(ReadPage(read), kDriverNoDevice);
    EXPECT_EQ(driver.TMTouchReset(session), 0);
    EXPECT_EQ(driver.TMStrongAccess(session, state.data()), kDriverNoDevice);
}
