// The emulated DS1921 behind the emulated serial adapter: every driver call the
// program makes crosses the DS2480B protocol, and reads what the virtual port reads.
#include <gtest/gtest.h>

#include <cstring>

#include "device/LinkFactory.h"
#include "device/serial/FakeDs2480.h"
#include "device/tmex/DriverFixture.h"
#include "device/tmex/TmexDriver.h"
#include "device/virtual/VirtualAdapter.h"

TEST(Ds1921OverSerial, ReadsTheSamePagesAsTheVirtualPort) {
    ConfigDirGuard config;
    ManualClock clock(ManualClock::MsFromDateTime(46000.5));
    VirtualAdapter adapter("", clock);
    adapter.InsertDevice(Ds1921Variant::Standard);
    LinkProvider links(&adapter.Bus());
    links.SetSerialPortFactory(
        [&](const std::string&) { return std::make_unique<FakeDs2480Port>(adapter.Bus()); });
    TmexDriver driver(links);

    std::uint8_t pages[2][3][32];
    const std::int16_t types[2] = {kPortTypeVirtual, kPortTypeSerialDs2480};
    for (int t = 0; t < 2; ++t) {
        std::vector<std::uint8_t> state(kDriverStateSize, 0);
        const auto session = driver.TMExtendedStartSession(1, types[t], nullptr);
        ASSERT_EQ(driver.TMSetup(session), 1);
        ASSERT_EQ(driver.TMFamilySearchSetup(session, state.data(), 0x21), 1);
        ASSERT_EQ(driver.TMNext(session, state.data()), 1);
        ASSERT_EQ(driver.TMStrongAccess(session, state.data()), 1);
        const std::int16_t wanted[3] = {16, 17, 128};
        for (int p = 0; p < 3; ++p)
            ASSERT_EQ(driver.TMExtendedReadPage(session, state.data(), wanted[p], pages[t][p], 0), 1);
        // Convert Temperature through TMAccess + TMTouchByte, as the conversion job does.
        ASSERT_EQ(driver.TMAccess(session, state.data()), 1);
        EXPECT_EQ(driver.TMTouchByte(session, 0x44), 0x44);
        driver.TMEndSession(session);
    }
    // Page 16 holds the running clock and the converted temperature; compare the settings between.
    EXPECT_EQ(0, std::memcmp(pages[0][0] + 0x07, pages[1][0] + 0x07, 0x11 - 0x07));
    EXPECT_EQ(0, std::memcmp(pages[0][1], pages[1][1], 32));
    EXPECT_EQ(0, std::memcmp(pages[0][2], pages[1][2], 32));
}
