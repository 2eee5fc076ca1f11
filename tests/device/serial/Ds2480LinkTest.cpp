#include "device/serial/Ds2480Link.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <sstream>

#include "device/LinkFactory.h"
#include "device/bus/MemorySlave.h"
#include "device/onewire/Search.h"
#include "device/serial/FakeDs2480.h"
#include "device/tmex/DriverFixture.h"
#include "device/tmex/PortConfig.h"
#include "device/tmex/TmexDriver.h"
#include "device/virtual/VirtualBus.h"

namespace {

struct SerialRig {
    SerialRig() {
        auto port = std::make_unique<FakeDs2480Port>(bus);
        fake = port.get();
        link = std::make_unique<Ds2480Link>(std::move(port));
    }
    std::shared_ptr<MemorySlave> Add(std::uint64_t serial) {
        auto slave = std::make_shared<MemorySlave>(MemorySlave::MakeRom(0x21, serial));
        bus.Insert(slave);
        return slave;
    }
    VirtualBus bus;
    FakeDs2480Port* fake;
    std::unique_ptr<Ds2480Link> link;
};

}  // namespace

TEST(Ds2480Link, OpensWithBreakCalibrationAndProbe) {
    SerialRig rig;
    std::string error;
    ASSERT_TRUE(rig.link->Open(error)) << error;
    EXPECT_EQ(rig.fake->breaks, 1);
    ASSERT_GE(rig.fake->hostBytes.size(), 2u);
    EXPECT_EQ(rig.fake->hostBytes[0], 0xC1) << "the calibration byte";
    EXPECT_TRUE(rig.bus.ResetCount() == 0) << "calibration makes no bus activity";
    EXPECT_NE(rig.link->Version().find("DS2480B"), std::string::npos);
}

TEST(Ds2480Link, OpenFailsClearlyWithoutAnAdapter) {
    SerialRig rig;
    rig.fake->chipPresent = false;
    std::string error;
    EXPECT_FALSE(rig.link->Open(error));
    EXPECT_NE(error.find("fake-ttyS0"), std::string::npos);
    EXPECT_FALSE(rig.link->IsOpen());
    EXPECT_EQ(rig.link->Reset(), ResetResult::LinkError);

    SerialRig missing;
    missing.fake->failOpen = true;
    EXPECT_FALSE(missing.link->Open(error));
    EXPECT_NE(error.find("No such file"), std::string::npos);
}

TEST(Ds2480Link, ToleratesAnAnsweredCalibrationByte) {
    SerialRig rig;
    rig.fake->answersCalibration = true;
    std::string error;
    ASSERT_TRUE(rig.link->Open(error)) << error;
    rig.Add(1);
    EXPECT_EQ(rig.link->Reset(), ResetResult::Presence);
}

TEST(Ds2480Link, ResetRepliesAreDecoded) {
    SerialRig rig;
    std::string error;
    ASSERT_TRUE(rig.link->Open(error));
    EXPECT_EQ(rig.link->Reset(), ResetResult::NoPresence);
    rig.Add(1);
    EXPECT_EQ(rig.link->Reset(), ResetResult::Presence);
    rig.fake->resetCodeOverride = 0;
    EXPECT_EQ(rig.link->Reset(), ResetResult::Short);
    rig.fake->resetCodeOverride = 2;
    EXPECT_EQ(rig.link->Reset(), ResetResult::AlarmingPresence);
}

TEST(Ds2480Link, DataModeDoublesTheModeSwitchByte) {
    SerialRig rig;
    auto slave = rig.Add(2);
    std::string error;
    ASSERT_TRUE(rig.link->Open(error));
    ASSERT_EQ(rig.link->Reset(), ResetResult::Presence);
    std::uint8_t block[5] = {0xCC, 0xE3, 0x12, 0xE3, 0xFF};
    ASSERT_TRUE(rig.link->Block(block, sizeof block));
    EXPECT_EQ((std::vector<std::uint8_t>{0xE3, 0x12, 0xE3, 0xFF}), slave->received);
    const auto& sent = rig.fake->hostBytes;
    EXPECT_EQ(std::count(sent.begin(), sent.end(), 0xE3), 4) << "each E3h sent twice";
    // Back in command mode for the next reset.
    EXPECT_EQ(rig.link->Reset(), ResetResult::Presence);
    EXPECT_EQ(rig.link->TouchByte(0xCC), 0xCC);
}

TEST(Ds2480Link, SearchRunsOnSingleBitCommands) {
    SerialRig rig;
    std::set<onewire::Rom> expected;
    for (std::uint64_t serial : {0x1ull, 0x3ull, 0x800000000000ull, 0x123456ull}) expected.insert(rig.Add(serial)->Rom());
    std::string error;
    ASSERT_TRUE(rig.link->Open(error));
    onewire::SearchState state;
    std::set<onewire::Rom> found;
    while (onewire::SearchNext(*rig.link, state) == onewire::SearchOutcome::Found) found.insert(state.rom);
    EXPECT_EQ(found, expected);
}

TEST(Ds2480Link, RecoversAfterALostReply) {
    SerialRig rig;
    rig.Add(3);
    std::string error;
    ASSERT_TRUE(rig.link->Open(error));
    rig.fake->dropReplies = 1;
    EXPECT_EQ(rig.link->Reset(), ResetResult::LinkError);
    EXPECT_EQ(rig.link->Reset(), ResetResult::Presence) << "the next call resynchronises";
    EXPECT_EQ(rig.fake->breaks, 2);
    std::uint8_t block[3] = {0xCC, 0xFF, 0xFF};
    rig.fake->dropReplies = 1;
    EXPECT_FALSE(rig.link->Block(block, 3));
    EXPECT_EQ(rig.link->Reset(), ResetResult::Presence);

    // Adapter unplugged: calls fail (and keep trying) until it answers again.
    rig.fake->chipPresent = false;
    EXPECT_EQ(rig.link->Reset(), ResetResult::LinkError);
    EXPECT_EQ(rig.link->TouchBit(1), -1);
    EXPECT_EQ(rig.link->TouchByte(0xCC), -1);
    rig.fake->chipPresent = true;
    EXPECT_EQ(rig.link->Reset(), ResetResult::Presence);
}

class SerialDriverTest : public ::testing::Test {
protected:
    SerialDriverTest() {
        links.SetSerialPortFactory([this](const std::string& path) {
            openedPaths.push_back(path);
            auto port = std::make_unique<FakeDs2480Port>(bus);
            fake = port.get();
            return port;
        });
    }
    ConfigDirGuard config;
    VirtualBus bus;
    LinkProvider links;
    TmexDriver driver{links};
    FakeDs2480Port* fake = nullptr;
    std::vector<std::string> openedPaths;
    std::vector<std::uint8_t> state = std::vector<std::uint8_t>(kDriverStateSize, 0);
};

TEST_F(SerialDriverTest, SearchAndPageReadCrossTheSerialProtocol) {
    auto logger = std::make_shared<MemorySlave>(MemorySlave::MakeRom(0x21, 0xABCDEF));
    bus.Insert(std::make_shared<MemorySlave>(MemorySlave::MakeRom(0x10, 0x1)));
    bus.Insert(logger);
    const auto session = driver.TMExtendedStartSession(2, kPortTypeSerialDs2480, nullptr);
    ASSERT_GT(session, 0);
    ASSERT_EQ(driver.TMSetup(session), 1) << driver.LastSetupError();
    EXPECT_EQ(openedPaths, std::vector<std::string>{"/dev/ttyS1"});
    ASSERT_EQ(driver.TMFamilySearchSetup(session, state.data(), 0x21), 1);
    ASSERT_EQ(driver.TMNext(session, state.data()), 1);
    std::int16_t rom[8] = {0};
    ASSERT_EQ(driver.TMRom(session, state.data(), rom), 1);
    EXPECT_EQ(rom[3], 0xAB);
    EXPECT_EQ(driver.TMStrongAccess(session, state.data()), 1);

    std::uint8_t page[32];
    ASSERT_EQ(driver.TMExtendedReadPage(session, state.data(), 7, page, 0), 1);
    EXPECT_EQ(0, std::memcmp(page, logger->memory.data() + 7 * 32, 32));
    bus.FlipReadBit(9 + 3 + 31, 0);
    EXPECT_EQ(driver.TMExtendedReadPage(session, state.data(), 7, page, 0), kDriverCrcError);
    driver.TMEndSession(session);

    // A second session reuses the open adapter.
    const auto again = driver.TMExtendedStartSession(2, kPortTypeSerialDs2480, nullptr);
    EXPECT_EQ(driver.TMAccess(again, state.data()), 1);
    EXPECT_EQ(fake->breaks, 1);
}

TEST_F(SerialDriverTest, SavedDevicePathAndAbsentAdapter) {
    std::string error;
    ASSERT_TRUE(SavePortConfig(config.PortFile(), PortSetting{5, 1, "/dev/ttyUSB0"}, error));
    const auto session = driver.TMExtendedStartSession(1, kPortTypeSerialDs2480, nullptr);
    links.SetSerialPortFactory([this](const std::string& path) {
        openedPaths.push_back(path);
        auto port = std::make_unique<FakeDs2480Port>(bus);
        port->chipPresent = false;
        return port;
    });
    EXPECT_EQ(driver.TMSetup(session), 0) << "a configured but silent adapter is reported missing";
    EXPECT_EQ(openedPaths, std::vector<std::string>{"/dev/ttyUSB0"});
    EXPECT_NE(driver.LastSetupError().find("DS9097U"), std::string::npos);
}

TEST_F(SerialDriverTest, TracingDumpsEveryExchange) {
    std::ostringstream trace;
    links.SetTracing(true, &trace);
    bus.Insert(std::make_shared<MemorySlave>(MemorySlave::MakeRom(0x21, 0x5)));
    const auto session = driver.TMExtendedStartSession(1, kPortTypeSerialDs2480, nullptr);
    ASSERT_EQ(driver.TMSetup(session), 1);
    std::uint8_t block[2] = {0xCC, 0xE3};
    driver.TMTouchReset(session);
    driver.TMBlockStream(session, block, 2);
    const std::string text = trace.str();
    EXPECT_NE(text.find("open: DS9097U"), std::string::npos) << text;
    EXPECT_NE(text.find("reset: presence"), std::string::npos) << text;
    EXPECT_NE(text.find("block 2 > CC E3"), std::string::npos) << text;
    EXPECT_NE(text.find("block 2 < CC E3"), std::string::npos) << text;
}
