// Kelvara's DS2480B host against the emulated chip, wired in process so every
// byte and every write can be counted.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <sstream>

#include "device/LinkFactory.h"
#include "device/bus/MemorySlave.h"
#include "device/onewire/Crc.h"
#include "device/onewire/Search.h"
#include "device/serial/Ds2480Chip.h"
#include "device/serial/Ds2480Link.h"
#include "device/tmex/DriverFixture.h"
#include "device/tmex/PortConfig.h"
#include "device/tmex/TmexDriver.h"
#include "device/virtual/VirtualBus.h"
#include "support/ChipSerialPort.h"

namespace {

struct SerialRig {
    explicit SerialRig(Ds2480Link::Options options = {}, Ds2480Chip::Options chipOptions = {})
        : chip(bus, chipOptions) {
        auto serial = std::make_unique<ChipSerialPort>(chip);
        port = serial.get();
        link = std::make_unique<Ds2480Link>(std::move(serial), options);
        link->SetTrace(&trace, "1W chip");
    }
    std::shared_ptr<MemorySlave> Add(std::uint64_t serial) {
        auto slave = std::make_shared<MemorySlave>(MemorySlave::MakeRom(0x21, serial));
        bus.Insert(slave);
        return slave;
    }
    void Open() {
        std::string error;
        ASSERT_TRUE(link->Open(error)) << error;
    }
    VirtualBus bus;
    Ds2480Chip chip;
    ChipSerialPort* port;
    std::unique_ptr<Ds2480Link> link;
    std::ostringstream trace;
};

constexpr Ds2480Link::Options kSlowLine{.fastestBaud = 9600, .overdrive = false};

}  // namespace

TEST(Ds2480Link, OpensWithMasterResetCalibrationProbeAndTheFastRate) {
    SerialRig rig;
    rig.Open();
    EXPECT_EQ(rig.port->breaks, 1);
    const auto& sent = rig.port->hostBytes;
    ASSERT_GE(sent.size(), 5u);
    EXPECT_EQ(sent[0], 0x00) << "the NUL at 4800 bit/s for lines without a break";
    EXPECT_EQ(sent[1], 0xC1) << "the calibration byte";
    EXPECT_EQ(sent[2], 0x17) << "the probe";
    EXPECT_EQ(sent[3], 0x77) << "to 115,200 bit/s";
    EXPECT_EQ(rig.bus.ResetCount(), 0u) << "calibration makes no bus activity";
    EXPECT_EQ(rig.link->Baud(), 115200);
    EXPECT_EQ(rig.chip.Baud(), 115200);
    EXPECT_NE(rig.link->Version().find("115200 bit/s on chip-ttyS0"), std::string::npos);
    EXPECT_NE(rig.trace.str().find("running at 115200 bit/s"), std::string::npos);
}

TEST(Ds2480Link, StaysAt9600WhereTheFastRateFails) {
    SerialRig refused;
    refused.port->fastRatesDead = true;
    refused.Add(1);
    refused.Open();
    EXPECT_EQ(refused.link->Baud(), 9600);
    EXPECT_NE(refused.trace.str().find("no answer at 115200 bit/s: back to 9600"), std::string::npos);
    EXPECT_EQ(refused.link->Reset(), ResetResult::Presence) << "the chip was brought back to 9600 bit/s";

    SerialRig asked(kSlowLine);
    asked.Open();
    EXPECT_EQ(asked.link->Baud(), 9600);
    EXPECT_EQ(std::count(asked.port->hostBytes.begin(), asked.port->hostBytes.end(), 0x77), 0);
}

TEST(Ds2480Link, OpenFailsClearlyWithoutAnAdapter) {
    SerialRig rig;
    rig.chip.GoSilentAfter(0);
    std::string error;
    EXPECT_FALSE(rig.link->Open(error));
    EXPECT_NE(error.find("chip-ttyS0"), std::string::npos);
    EXPECT_FALSE(rig.link->IsOpen());
    EXPECT_EQ(rig.link->Reset(), ResetResult::LinkError);

    SerialRig missing;
    missing.port->failOpen = true;
    EXPECT_FALSE(missing.link->Open(error));
    EXPECT_NE(error.find("No such file"), std::string::npos);
}

TEST(Ds2480Link, ToleratesAnAnsweredCalibrationByteEarlyOrLate) {
    SerialRig rig({}, {.answersCalibration = true});
    rig.Add(1);
    rig.Open();
    EXPECT_EQ(rig.link->Reset(), ResetResult::Presence);

    SerialRig slow({}, {.answersCalibration = true});
    slow.port->holdReplies = 1;
    slow.Open();
    EXPECT_EQ(slow.port->breaks, 2) << "a stray reply costs one more master reset";
}

TEST(Ds2480Link, SynchronisesWithoutABreakAsOnAPseudoTerminal) {
    SerialRig rig;
    rig.port->breakCrosses = false;
    rig.Add(1);
    rig.Open();
    rig.chip.DropReplies(1);
    EXPECT_EQ(rig.link->Reset(), ResetResult::LinkError);
    EXPECT_EQ(rig.link->Reset(), ResetResult::Presence) << "the NUL at 4800 bit/s reset the chip";
}

TEST(Ds2480Link, ResetRepliesAreDecoded) {
    SerialRig rig;
    rig.Open();
    EXPECT_EQ(rig.link->Reset(), ResetResult::NoPresence);
    rig.Add(1);
    EXPECT_EQ(rig.link->Reset(), ResetResult::Presence);
    rig.bus.ForceResetResult(ResetResult::Short);
    EXPECT_EQ(rig.link->Reset(), ResetResult::Short);
    rig.bus.ForceResetResult(ResetResult::AlarmingPresence);
    EXPECT_EQ(rig.link->Reset(), ResetResult::AlarmingPresence);
    EXPECT_NE(rig.link->Version().find("chip revision 3"), std::string::npos);
}

TEST(Ds2480Link, DataModeDoublesTheModeSwitchByte) {
    SerialRig rig;
    auto slave = rig.Add(2);
    rig.Open();
    ASSERT_EQ(rig.link->Reset(), ResetResult::Presence);
    std::uint8_t block[5] = {0xCC, 0xE3, 0x12, 0xE3, 0xFF};
    ASSERT_TRUE(rig.link->Block(block, sizeof block));
    EXPECT_EQ((std::vector<std::uint8_t>{0xE3, 0x12, 0xE3, 0xFF}), slave->received);
    // Back in command mode for the next reset.
    EXPECT_EQ(rig.link->Reset(), ResetResult::Presence);
    EXPECT_EQ(rig.link->TouchByte(0xCC), 0xCC);
    EXPECT_EQ(rig.link->TouchBit(1), 1);
}

TEST(Ds2480Link, SearchAndVerifyRunOnTheAccelerator) {
    SerialRig rig(kSlowLine);
    std::set<onewire::Rom> expected;
    for (std::uint64_t serial : {0x1ull, 0x3ull, 0x800000000000ull, 0x123456ull})
        expected.insert(rig.Add(serial)->Rom());
    rig.Open();
    onewire::SearchState state;
    std::set<onewire::Rom> found;
    int before = rig.port->writeCalls;
    while (onewire::SearchNext(*rig.link, state) == onewire::SearchOutcome::Found) found.insert(state.rom);
    EXPECT_EQ(found, expected);
    EXPECT_EQ(rig.port->writeCalls - before, 4) << "reset, search command and an accelerated pass in one write";

    before = rig.port->writeCalls;
    const onewire::Rom someone = *expected.begin();
    EXPECT_EQ(onewire::VerifyRom(*rig.link, someone), onewire::SearchOutcome::Found);
    EXPECT_EQ(rig.port->writeCalls - before, 3);
    rig.bus.RemoveAll();
    rig.Add(0x55);
    EXPECT_EQ(onewire::VerifyRom(*rig.link, someone), onewire::SearchOutcome::NoDevice);
}

TEST(Ds2480Link, APageReadIsOneExchangeAndNeverOverrunsTheChip) {
    for (const bool overdrive : {true, false}) {
        SCOPED_TRACE(overdrive ? "overdrive" : "standard speed at 115,200 bit/s");
        SerialRig rig;
        auto slave = rig.Add(9);
        rig.Open();
        std::uint8_t block[3 + 32 + 2] = {0xA5, 0x40, 0x00};
        std::memset(block + 3, 0xFF, sizeof block - 3);
        const int before = rig.port->writeCalls;
        ASSERT_EQ(rig.link->SelectBlock(slave->Rom().data(), overdrive, block, sizeof block),
                  ResetResult::Presence);
        EXPECT_TRUE(onewire::HasValidInvertedCrc16(block));
        EXPECT_EQ(0, std::memcmp(block + 3, slave->memory.data() + 0x40, 32));
        EXPECT_EQ(rig.chip.Overruns(), 0u);
        EXPECT_EQ(rig.bus.InOverdrive(slave), overdrive);
        if (overdrive) {
            EXPECT_LE(rig.port->writeCalls - before, 3) << "cut only after the standard-speed reset and 69h";
            // The device is still in overdrive: an overdrive reset and Match ROM, one write.
            const int again = rig.port->writeCalls;
            block[1] = 0x60;
            std::memset(block + 3, 0xFF, sizeof block - 3);
            ASSERT_EQ(rig.link->SelectBlock(slave->Rom().data(), true, block, sizeof block),
                      ResetResult::Presence);
            EXPECT_EQ(0, std::memcmp(block + 3, slave->memory.data() + 0x60, 32));
            EXPECT_EQ(rig.port->writeCalls - again, 1);
            // Taken out and back, it is at standard speed again: the overdrive reset finds nobody.
            rig.bus.Remove(slave);
            rig.bus.Insert(slave);
            std::memset(block + 3, 0xFF, sizeof block - 3);
            ASSERT_EQ(rig.link->SelectBlock(slave->Rom().data(), true, block, sizeof block),
                      ResetResult::Presence);
            EXPECT_TRUE(onewire::HasValidInvertedCrc16(block));
        }
        EXPECT_EQ(rig.chip.Overruns(), 0u);
        EXPECT_EQ(rig.link->Reset(), ResetResult::Presence);
        EXPECT_FALSE(rig.bus.InOverdrive(slave));
    }
}

TEST(Ds2480Link, OverdriveSelectReachesNoDeviceWithoutOverdrive) {
    SerialRig rig;
    auto slave = rig.Add(9);
    slave->overdrive = false;
    rig.Open();
    std::uint8_t block[5] = {0xA5, 0x00, 0x00, 0xFF, 0xFF};
    EXPECT_EQ(rig.link->SelectBlock(slave->Rom().data(), true, block, sizeof block), ResetResult::Presence);
    EXPECT_EQ(block[3], 0xFF) << "the device waits for the next reset";
    block[3] = 0xFF;
    EXPECT_EQ(rig.link->SelectBlock(slave->Rom().data(), false, block, sizeof block), ResetResult::Presence);
    EXPECT_EQ(block[3], slave->memory[0]);
}

TEST(Ds2480Link, RecoversAfterALostReplyAtNineSixHundred) {
    SerialRig rig;
    rig.Add(3);
    rig.Open();
    rig.chip.DropReplies(1);
    EXPECT_EQ(rig.link->Reset(), ResetResult::LinkError);
    EXPECT_EQ(rig.link->Reset(), ResetResult::Presence) << "the next call resynchronises";
    EXPECT_EQ(rig.port->breaks, 2);
    EXPECT_EQ(rig.link->Baud(), 9600) << "anything off: back to 9600 bit/s";
    EXPECT_NE(rig.trace.str().find("0 of 1 replies: resynchronising at 9600 bit/s"), std::string::npos)
        << rig.trace.str();
    std::uint8_t block[3] = {0xCC, 0xFF, 0xFF};
    rig.chip.DropReplies(1);
    EXPECT_FALSE(rig.link->Block(block, 3));
    EXPECT_EQ(rig.link->Reset(), ResetResult::Presence);

    // Adapter unplugged: calls fail (and keep trying) until it answers again.
    rig.chip.GoSilentAfter(0);
    EXPECT_EQ(rig.link->Reset(), ResetResult::LinkError);
    EXPECT_EQ(rig.link->TouchBit(1), -1);
    EXPECT_EQ(rig.link->TouchByte(0xCC), -1);
    rig.chip.ClearFaults();
    EXPECT_EQ(rig.link->Reset(), ResetResult::Presence);
}

TEST(Ds2480Link, GarbledRepliesAreLinkErrorsNotData) {
    SerialRig rig;
    rig.Add(3);
    rig.Open();
    rig.port->garbleNextReply = 0xC0;
    EXPECT_EQ(rig.link->Reset(), ResetResult::LinkError) << "not a reset reply";
    EXPECT_EQ(rig.link->Reset(), ResetResult::Presence);
    rig.port->garbleNextReply = 0x40;
    EXPECT_EQ(rig.link->TouchBit(1), -1) << "not a bit reply";
    EXPECT_EQ(rig.link->TouchBit(1), 1);
}

class SerialDriverTest : public ::testing::Test {
protected:
    SerialDriverTest() {
        links.SetSerialPortFactory([this](const std::string& path) {
            openedPaths.push_back(path);
            auto serial = std::make_unique<ChipSerialPort>(chip);
            port = serial.get();
            return serial;
        });
    }
    std::int32_t OpenSession() {
        const auto session = driver.TMExtendedStartSession(2, kPortTypeSerialDs2480, nullptr);
        EXPECT_EQ(driver.TMSetup(session), 1) << driver.LastSetupError();
        return session;
    }
    ConfigDirGuard config;
    VirtualBus bus;
    Ds2480Chip chip{bus};
    LinkProvider links;
    TmexDriver driver{links};
    ChipSerialPort* port = nullptr;
    std::vector<std::string> openedPaths;
    std::vector<std::uint8_t> state = std::vector<std::uint8_t>(kDriverStateSize, 0);
};

TEST_F(SerialDriverTest, SearchAndPageReadCrossTheSerialProtocol) {
    auto logger = std::make_shared<MemorySlave>(MemorySlave::MakeRom(0x21, 0xABCDEF));
    bus.Insert(std::make_shared<MemorySlave>(MemorySlave::MakeRom(0x10, 0x1)));
    bus.Insert(logger);
    const auto session = OpenSession();
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
    EXPECT_TRUE(bus.InOverdrive(logger)) << "a DS1921 family device is read at overdrive";
    driver.TMEndSession(session);

    // A second session reuses the open adapter.
    const auto again = driver.TMExtendedStartSession(2, kPortTypeSerialDs2480, nullptr);
    EXPECT_EQ(driver.TMAccess(again, state.data()), 1);
    EXPECT_EQ(port->breaks, 1);
}

TEST_F(SerialDriverTest, APageFailingItsCrcIsReadAgainThenReported) {
    std::ostringstream trace;
    links.SetTracing(true, &trace);
    auto logger = std::make_shared<MemorySlave>(MemorySlave::MakeRom(0x21, 0x77));
    bus.Insert(logger);
    const auto session = OpenSession();
    ASSERT_EQ(driver.TMFamilySearchSetup(session, state.data(), 0x21), 1);
    ASSERT_EQ(driver.TMNext(session, state.data()), 1);
    std::uint8_t page[32];
    // reset, Overdrive Match ROM (9 bytes), A5 TA1 TA2: data byte 10 is byte 22 of the exchange.
    bus.FlipReadBit(9 + 3 + 10, 2);
    ASSERT_EQ(driver.TMExtendedReadPage(session, state.data(), 5, page, 0), 1);
    EXPECT_EQ(0, std::memcmp(page, logger->memory.data() + 5 * 32, 32));
    EXPECT_NE(
        trace.str().find("page 5: CRC error at overdrive: this device is read at standard speed from now on"),
        std::string::npos)
        << trace.str();
    EXPECT_FALSE(bus.InOverdrive(logger));

    const auto exchange = 9 + 3 + 34;
    bus.FlipReadBit(9 + 3 + 1, 0);
    ASSERT_EQ(driver.TMExtendedReadPage(session, state.data(), 5, page, 0), 1);
    EXPECT_NE(trace.str().find("page 5: CRC error, read again (2 of 3)"), std::string::npos) << trace.str();
    for (int attempt = 0; attempt < 3; ++attempt) bus.FlipReadBit(9 + 3 + 1 + attempt * exchange, 0);
    std::memset(page, 0xEE, sizeof page);
    EXPECT_EQ(driver.TMExtendedReadPage(session, state.data(), 5, page, 0), kDriverCrcError);
    EXPECT_EQ(page[0], 0xEE) << "nothing is copied from a bad transfer";
    EXPECT_NE(trace.str().find("page 5: read failed"), std::string::npos);
}

TEST_F(SerialDriverTest, ADeviceWithoutOverdriveIsReadAtStandardSpeed) {
    std::ostringstream trace;
    links.SetTracing(true, &trace);
    auto logger = std::make_shared<MemorySlave>(MemorySlave::MakeRom(0x21, 0x78));
    logger->overdrive = false;
    bus.Insert(logger);
    const auto session = OpenSession();
    ASSERT_EQ(driver.TMFamilySearchSetup(session, state.data(), 0x21), 1);
    ASSERT_EQ(driver.TMNext(session, state.data()), 1);
    std::uint8_t page[32];
    for (int p = 0; p < 3; ++p) {
        ASSERT_EQ(driver.TMExtendedReadPage(session, state.data(), p, page, 0), 1);
        EXPECT_EQ(0, std::memcmp(page, logger->memory.data() + p * 32, 32));
    }
    const std::string text = trace.str();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n') > 0, true);
    EXPECT_NE(text.find("page 0: CRC error at overdrive"), std::string::npos) << text;
    EXPECT_EQ(text.find("page 1: CRC error"), std::string::npos) << "the fallback is remembered";
    EXPECT_EQ(chip.Overruns(), 0u);
}

TEST_F(SerialDriverTest, SavedDevicePathAndAbsentAdapter) {
    std::string error;
    ASSERT_TRUE(SavePortConfig(config.PortFile(), PortSetting{5, 1, "/dev/ttyUSB0"}, error));
    const auto session = driver.TMExtendedStartSession(1, kPortTypeSerialDs2480, nullptr);
    chip.GoSilentAfter(0);
    EXPECT_EQ(driver.TMSetup(session), 0) << "a configured but silent adapter is reported missing";
    EXPECT_EQ(openedPaths, std::vector<std::string>{"/dev/ttyUSB0"});
    EXPECT_NE(driver.LastSetupError().find("DS9097U"), std::string::npos);
}

TEST_F(SerialDriverTest, TracingDumpsEveryExchange) {
    std::ostringstream trace;
    links.SetTracing(true, &trace);
    bus.Insert(std::make_shared<MemorySlave>(MemorySlave::MakeRom(0x21, 0x5)));
    const auto session = OpenSession();
    std::uint8_t block[2] = {0xCC, 0xE3};
    driver.TMTouchReset(session);
    driver.TMBlockStream(session, block, 2);
    ASSERT_EQ(driver.TMFamilySearchSetup(session, state.data(), 0x21), 1);
    ASSERT_EQ(driver.TMNext(session, state.data()), 1);
    const std::string text = trace.str();
    EXPECT_NE(text.find("open: DS9097U"), std::string::npos) << text;
    EXPECT_NE(text.find("note: running at 115200 bit/s"), std::string::npos) << text;
    EXPECT_NE(text.find("reset: presence"), std::string::npos) << text;
    EXPECT_NE(text.find("block 2 > CC E3"), std::string::npos) << text;
    EXPECT_NE(text.find("block 2 < CC E3"), std::string::npos) << text;
    EXPECT_NE(text.find("search pass F0 > 21"), std::string::npos) << text;
}
