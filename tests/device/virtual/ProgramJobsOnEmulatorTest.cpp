// The program's own device jobs against the emulator, through the real driver:
// what a newcomer without hardware gets on the first launch, and a mission
// programmed, stopped and read the way the program does it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "app/TTRecForm.h"
#include "device/LinkFactory.h"
#include "device/tmex/TmexDriver.h"
#include "device/virtual/VirtualAdapter.h"
#include "support/DateAt.h"
#include "support/PerTestPath.h"
#include "support/ScriptedPlatform.h"

namespace {
namespace fs = std::filesystem;

class ProgramJobsOnEmulator : public ::testing::Test {
protected:
    void SetUp() override {
        dir = PerTestPath("kelvara-jobs");
        fs::remove_all(dir);
        fs::create_directories(dir);
        ::setenv("KELVARA_CONFIG_DIR", dir.c_str(), 1);  // no saved port: the virtual adapter
        platform.Dir = dir.string() + "/";
        const TDateTime now = At(2026, 12, 7, 8, 30, 12);
        platform.SetNow(now);
        clock.SetLocalDateTime(now);
        ASSERT_EQ(adapter.Load(), "");
        form.FormCreate({});
    }
    void TearDown() override {
        ::unsetenv("KELVARA_CONFIG_DIR");
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    fs::path dir;
    ScriptedPlatform platform;
    ManualClock clock;
    VirtualAdapter adapter{"", clock};
    LinkProvider links{&adapter.Bus()};
    TmexDriver driver{links};
    TTRecForm form{platform, driver};
};

TEST_F(ProgramJobsOnEmulator, FirstLaunchFindsTheDemoDeviceWithItsMission) {
    std::string romText;
    ASSERT_EQ(form.FindFirstFamily(33, romText), 1);
    auto demo = adapter.Devices().at(0);
    EXPECT_EQ(romText, Ds1921Device::RomText(demo->Rom()));
    std::array<std::uint8_t, 32> page{};
    ASSERT_EQ(form.ReadPage(16, page.data()), 1);
    EXPECT_EQ(page[0x14] & 0x20, 0x20);
    EXPECT_EQ(page[0x1A] | page[0x1B] << 8, 288);
    ASSERT_EQ(form.ReadPage(128, page.data()), 1);
    const auto log = demo->PeekRange(0x1000, 32);
    EXPECT_TRUE(std::equal(page.begin(), page.end(), log.begin()));
    EXPECT_EQ(form.VerifyDevice(), 1);
    adapter.RemoveDevice(demo);
    EXPECT_EQ(form.VerifyDevice(), -1);
}

TEST_F(ProgramJobsOnEmulator, ClearWriteStopAndForcedReading) {
    std::string romText;
    ASSERT_EQ(form.FindFirstFamily(33, romText), 1);
    auto device = adapter.Devices().at(0);
    ASSERT_EQ(form.ClearMemory(), 1);
    std::array<std::uint8_t, 32> page{};
    ASSERT_EQ(form.ReadPage(16, page.data()), 1);
    EXPECT_EQ(page[0x14] & 0x60, 0x40) << "the demo mission ended and the memory is clear";

    // Clock 08:30:13 Monday 07/12/2026, daily alarm, thresholds, 5 minutes, roll-over, 2 minutes' delay.
    const std::array<std::uint8_t, 21> bytes = {0x13, 0x30, 0x08, 0x02, 0x07, 0x92, 0x26,
                                                0x00, 0x00, 0x12, 0x80, 0x60, 0xA0, 0x05,
                                                0x08, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00};
    form.Image.NewRegisterPage = bytes;
    form.SetTimeCheck.Checked = true;
    for (int step = 0; step < 3; ++step) {
        form.WriteStep = step;
        ASSERT_EQ(form.WriteMission(), 1) << step;
    }
    ASSERT_EQ(form.ReadPage(16, page.data()), 1);
    EXPECT_EQ(page[0x14] & 0x60, 0x20);
    EXPECT_EQ(page[0x12], 2);
    EXPECT_EQ(page[0x0D], 5);
    EXPECT_EQ(page[0x0E], 0x08);
    EXPECT_EQ(form.ForceConversion(), 1);
    ASSERT_EQ(form.ReadPage(16, page.data()), 1);
    EXPECT_EQ(page[0x1D] | page[0x1E] << 8, 288) << "no forced conversion during a mission";

    clock.AdvanceMinutes(63);  // 09:33:13: samples at 08:33, 08:38 ... 09:33
    ASSERT_EQ(form.ReadPage(16, page.data()), 1);
    EXPECT_EQ(page[0x1A], 13);
    EXPECT_EQ(page[0x15], 0x33);
    EXPECT_EQ(page[0x16], 0x08);
    ASSERT_EQ(form.StopMission(), 1);
    ASSERT_EQ(form.ForceConversion(), 1);
    ASSERT_EQ(form.ReadPage(16, page.data()), 1);
    EXPECT_EQ(page[0x14] & 0x20, 0x00);
    EXPECT_EQ(page[0x11], device->CodeFor(device->Profile().CelsiusAt(device->ClockMs() / 60000)));
    EXPECT_EQ(page[0x1D] | page[0x1E] << 8, 288 + 13 + 1);

    // The user pages as WriteUser sends them.
    form.Image.UserArea.fill(0x20);
    std::copy_n("Ann", 3, form.Image.UserArea.begin() + 32);
    EXPECT_EQ(form.WriteUser(1), 1);
    EXPECT_EQ(device->PeekRange(32, 4), (std::vector<std::uint8_t>{'A', 'n', 'n', ' '}));
}

}  // namespace
