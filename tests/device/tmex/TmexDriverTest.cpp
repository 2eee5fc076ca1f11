#include <unistd.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "device/tmex/DriverFixture.h"
#include "device/tmex/PortConfig.h"

TEST_F(DriverTest, SessionsAreTokensForKnownPortTypes) {
    const auto first = Session();
    const auto second = Session();
    EXPECT_GT(first, 0);
    EXPECT_GT(second, 0);
    EXPECT_NE(first, second);
    EXPECT_GT(driver.TMExtendedStartSession(1, kPortTypeSerialDs2480, nullptr), 0);
    EXPECT_LE(driver.TMExtendedStartSession(1, 0, nullptr), 0);
    EXPECT_LE(driver.TMExtendedStartSession(1, 7, nullptr), 0);
    EXPECT_EQ(driver.TMEndSession(first), 1);
    EXPECT_LE(driver.TMSetup(first), 0) << "an ended session is no longer valid";
    EXPECT_EQ(driver.TMSetup(second), 1);
}

TEST_F(DriverTest, SetupFailsWhenTheAdapterIsMissing) {
    LinkProvider noBus;
    TmexDriver lonely(noBus);
    const auto session = lonely.TMExtendedStartSession(1, kPortTypeVirtual, nullptr);
    ASSERT_GT(session, 0);
    EXPECT_EQ(lonely.TMSetup(session), 0);
    const auto usb = lonely.TMExtendedStartSession(1, kPortTypeUsbDs2490, nullptr);
    EXPECT_EQ(lonely.TMSetup(usb), 0);
    EXPECT_FALSE(lonely.LastSetupError().empty());

    const auto badPort = lonely.TMExtendedStartSession(0, kPortTypeSerialDs2480, nullptr);
    EXPECT_EQ(lonely.TMSetup(badPort), 0);
    EXPECT_NE(lonely.LastSetupError().find("outside"), std::string::npos);

    bus.FailLink(true);
    EXPECT_EQ(driver.TMSetup(Session()), 0);
}

TEST_F(DriverTest, FamilySearchFindsTheDeviceAndItsRom) {
    AddSlave(0x10, 0x10);
    auto logger = AddSlave(0x665544332211);
    const auto session = Session();
    ASSERT_EQ(driver.TMSetup(session), 1);
    ASSERT_EQ(driver.TMFamilySearchSetup(session, state.data(), 0x21), 1);
    ASSERT_EQ(driver.TMNext(session, state.data()), 1);
    std::int16_t rom[8] = {0};
    ASSERT_EQ(driver.TMRom(session, state.data(), rom), 1);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(rom[i], logger->Rom()[i]);
    EXPECT_EQ(driver.TMNext(session, state.data()), 0) << "no second device of the family";
}

TEST_F(DriverTest, FamilySearchWithoutThatFamilyFindsNothing) {
    AddSlave(0x10, 0x10);
    const auto session = Session();
    ASSERT_EQ(driver.TMFamilySearchSetup(session, state.data(), 0x21), 1);
    EXPECT_EQ(driver.TMNext(session, state.data()), 0);
    bus.RemoveAll();
    ASSERT_EQ(driver.TMFamilySearchSetup(session, state.data(), 0x21), 1);
    EXPECT_EQ(driver.TMNext(session, state.data()), 0);
    std::int16_t rom[8] = {0};
    EXPECT_EQ(driver.TMRom(session, std::vector<std::uint8_t>(kDriverStateSize).data(), rom), 0)
        << "a fresh state has no current device";
}

TEST_F(DriverTest, FamilyCodeBitSevenIsNotPartOfTheFamily) {
    AddSlave(0x31, 0xA1);
    const auto session = Session();
    ASSERT_EQ(driver.TMFamilySearchSetup(session, state.data(), 0x21), 1);
    ASSERT_EQ(driver.TMNext(session, state.data()), 1);
    std::int16_t rom[8] = {0};
    driver.TMRom(session, state.data(), rom);
    EXPECT_EQ(rom[0], 0xA1);
}

TEST_F(DriverTest, StateTravelsInTheCallersBuffer) {
    auto a = AddSlave(1), b = AddSlave(2);
    const auto session = Session();
    std::vector<std::uint8_t> other(kDriverStateSize, 0);
    driver.TMFamilySearchSetup(session, state.data(), 0x21);
    driver.TMFamilySearchSetup(session, other.data(), 0x21);
    ASSERT_EQ(driver.TMNext(session, state.data()), 1);
    ASSERT_EQ(driver.TMNext(session, state.data()), 1);
    ASSERT_EQ(driver.TMNext(session, other.data()), 1);
    std::int16_t first[8] = {0}, second[8] = {0};
    driver.TMRom(session, state.data(), first);
    driver.TMRom(session, other.data(), second);
    EXPECT_NE(std::memcmp(first, second, sizeof first), 0);
}

TEST_F(DriverTest, AccessAndStrongAccessFollowThePresence) {
    auto logger = AddSlave(0x42);
    auto neighbour = AddSlave(0x43);
    const auto session = Session();
    MakeCurrent(session, logger->Rom());
    EXPECT_EQ(driver.TMAccess(session, state.data()), 1);
    EXPECT_EQ(driver.TMStrongAccess(session, state.data()), 1);
    EXPECT_EQ(driver.TMTouchByte(session, 0xF0), 0xF0);
    std::uint8_t block[3] = {0x01, 0x00, 0xFF};
    EXPECT_EQ(driver.TMBlockStream(session, block, 3), 3);
    EXPECT_EQ(block[2], logger->memory[1]);
    EXPECT_TRUE(neighbour->received.empty());

    bus.Remove(logger);
    EXPECT_EQ(driver.TMAccess(session, state.data()), 1)
        << "Match ROM cannot tell; another device answers presence";
    EXPECT_LE(driver.TMStrongAccess(session, state.data()), 0);
    bus.Remove(neighbour);
    EXPECT_LE(driver.TMAccess(session, state.data()), 0);
    EXPECT_LE(driver.TMStrongAccess(session, state.data()), 0);
    EXPECT_EQ(driver.TMTouchReset(session), 0);
}

TEST_F(DriverTest, ReadPageChecksTheCrc) {
    auto logger = AddSlave(0x77);
    const auto session = Session();
    MakeCurrent(session, logger->Rom());
    std::uint8_t page[32] = {};
    ASSERT_GT(driver.TMExtendedReadPage(session, state.data(), 5, page, 0), 0);
    EXPECT_EQ(0, std::memcmp(page, logger->memory.data() + 5 * 32, 32));

    // reset (1), Match ROM (9 bytes), A5 TA1 TA2 (3): data byte 10 is byte 22 of the exchange.
    // One spoilt transfer is read again; three in a row fail the read.
    constexpr int kExchange = 9 + 3 + 34;
    std::uint8_t untouched[32];
    std::memset(untouched, 0xEE, sizeof untouched);
    bus.FlipReadBit(9 + 3 + 10, 2);
    EXPECT_EQ(driver.TMExtendedReadPage(session, state.data(), 5, untouched, 0), 1);
    EXPECT_EQ(0, std::memcmp(untouched, page, 32));
    std::memset(untouched, 0xEE, sizeof untouched);
    for (int attempt = 0; attempt < 3; ++attempt) bus.FlipReadBit(9 + 3 + 10 + attempt * kExchange, 2);
    EXPECT_EQ(driver.TMExtendedReadPage(session, state.data(), 5, untouched, 0), kDriverCrcError);
    EXPECT_EQ(untouched[0], 0xEE) << "nothing is copied from a bad transfer";

    for (int attempt = 0; attempt < 3; ++attempt)
        bus.FlipReadBit(9 + 3 + 32 + 1 + attempt * kExchange, 7);  // the CRC's high byte
    EXPECT_EQ(driver.TMExtendedReadPage(session, state.data(), 5, untouched, 0), kDriverCrcError);
    EXPECT_EQ(driver.TMExtendedReadPage(session, state.data(), 5, page, 0), 1);

    EXPECT_LE(driver.TMExtendedReadPage(session, state.data(), -1, page, 0), 0);
    EXPECT_LE(driver.TMExtendedReadPage(session, state.data(), 2048, page, 0), 0);
    EXPECT_LE(driver.TMExtendedReadPage(session, state.data(), 1, nullptr, 0), 0);
    bus.RemoveAll();
    EXPECT_LE(driver.TMExtendedReadPage(session, state.data(), 5, page, 0), 0);
}

TEST_F(DriverTest, PullingTheDeviceAtAnyStepNeverYieldsAWrongPage) {
    // Every operation of one page read, with the device pulled before it.
    std::uint64_t operationsOfARead = 0;
    {
        auto logger = AddSlave(0x99);
        const auto session = Session();
        MakeCurrent(session, logger->Rom());
        std::uint8_t page[32];
        const auto before = bus.OperationCount();
        ASSERT_EQ(driver.TMExtendedReadPage(session, state.data(), 3, page, 0), 1);
        operationsOfARead = bus.OperationCount() - before;
        bus.RemoveAll();
    }
    ASSERT_EQ(operationsOfARead, 1u + 9u + 3u + 34u);
    for (std::uint64_t step = 0; step <= operationsOfARead; ++step) {
        auto logger = AddSlave(0x99);
        const auto session = Session();
        MakeCurrent(session, logger->Rom());
        bus.VanishAfter(logger, step);
        std::uint8_t page[32];
        std::memset(page, 0xEE, sizeof page);
        const auto result = driver.TMExtendedReadPage(session, state.data(), 3, page, 0);
        if (step == operationsOfARead) {
            EXPECT_EQ(result, 1);
            EXPECT_EQ(0, std::memcmp(page, logger->memory.data() + 96, 32));
        } else {
            EXPECT_LE(result, 0) << "pulled before operation " << step;
            EXPECT_EQ(page[0], 0xEE);
        }
        bus.RemoveAll();
    }
}

TEST_F(DriverTest, LinkFailureIsReportedNotMistakenForData) {
    auto logger = AddSlave(0x5);
    const auto session = Session();
    MakeCurrent(session, logger->Rom());
    bus.FailLink(true);
    std::uint8_t page[32];
    std::uint8_t block[4] = {0xF0, 0, 0, 0xFF};
    EXPECT_EQ(driver.TMExtendedReadPage(session, state.data(), 0, page, 0), kDriverLinkError);
    EXPECT_EQ(driver.TMBlockStream(session, block, 4), 0);
    EXPECT_LT(driver.TMTouchByte(session, 0xFF), 0);
    EXPECT_LE(driver.TMAccess(session, state.data()), 0);
    EXPECT_LE(driver.TMNext(session, state.data()), 0);
}

TEST_F(DriverTest, RomCallRejectsElementsOutsideAByte) {
    const auto session = Session();
    std::int16_t rom[8] = {0x21, 1, 2, 3, 4, 5, 256, 0};
    EXPECT_LE(driver.TMRom(session, state.data(), rom), 0);
    EXPECT_LE(driver.TMRom(session, nullptr, rom), 0);
}

TEST_F(DriverTest, VersionTextsFitTheCallersBuffer) {
    char buffer[256];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_GT(driver.Get_Version(buffer), 0);
    EXPECT_LT(std::strlen(buffer), 201u);
    EXPECT_GT(driver.TMGetTypeVersion(kPortTypeVirtual, buffer), 0);
    EXPECT_NE(std::string(buffer).find("irtual"), std::string::npos);
    EXPECT_GT(driver.TMGetTypeVersion(kPortTypeSerialDs2480, buffer), 0);
    EXPECT_GT(driver.TMGetTypeVersion(kPortTypeUsbDs2490, buffer), 0);
    EXPECT_NE(std::string(buffer).find("DS2490"), std::string::npos);
    EXPECT_LE(driver.TMGetTypeVersion(0, buffer), 0);
    EXPECT_LE(driver.TMGetTypeVersion(kPortTypeVirtual, nullptr), 0);
}

TEST_F(DriverTest, DefaultPortComesFromTheSavedFile) {
    std::int16_t number = -1, type = -1;
    ASSERT_EQ(driver.TMReadDefaultPort(&number, &type), 1);
    EXPECT_EQ(type, kPortTypeVirtual);
    EXPECT_EQ(number, 1);

    std::ofstream(config.PortFile()) << "[Port]\nType=5\nNumber=2\n";
    ASSERT_EQ(driver.TMReadDefaultPort(&number, &type), 1);
    EXPECT_EQ(type, 5);
    EXPECT_EQ(number, 2);

    std::ofstream(config.PortFile()) << "[Port]\nType=6\nNumber=1\n";
    ASSERT_EQ(driver.TMReadDefaultPort(&number, &type), 1) << "the USB adapter saved by the set-up tool";
    EXPECT_EQ(type, kPortTypeUsbDs2490);

    ::setenv("KELVARA_PORT", "15:3", 1);
    ASSERT_EQ(driver.TMReadDefaultPort(&number, &type), 1);
    EXPECT_EQ(type, 15);
    EXPECT_EQ(number, 3);
    ::setenv("KELVARA_PORT", "serial", 1);
    EXPECT_EQ(driver.TMReadDefaultPort(&number, &type), 0);
    ::unsetenv("KELVARA_PORT");

    std::ofstream(config.PortFile()) << "[Port]\nType=five\nNumber=2\n";
    EXPECT_EQ(driver.TMReadDefaultPort(&number, &type), 0) << "a damaged file offers the port set-up tool";
}

TEST(LinkProvider, MapsPortTypesToLinks) {
    VirtualBus bus;
    bus.Insert(std::make_shared<MemorySlave>(MemorySlave::MakeRom(0x21, 1)));
    LinkProvider links(&bus);
    links.SetTracing(false);
    EXPECT_EQ(links.LinkFor(kPortTypeVirtual, 1), &bus);
    EXPECT_NE(links.LinkFor(kPortTypeUsbDs2490, 1), nullptr);
    EXPECT_EQ(links.LinkFor(kPortTypeUsbDs2490, 0), nullptr);
    EXPECT_EQ(links.LinkFor(3, 1), nullptr);
    EXPECT_EQ(links.LinkFor(kPortTypeSerialDs2480, 0), nullptr);

    std::ostringstream trace;
    LinkProvider traced(&bus);
    traced.SetTracing(true, &trace);
    Link* link = traced.LinkFor(kPortTypeVirtual, 1);
    ASSERT_NE(link, &bus);
    EXPECT_EQ(link, traced.LinkFor(kPortTypeVirtual, 1)) << "one wrapper per port";
    EXPECT_EQ(link->Reset(), ResetResult::Presence);
    std::uint8_t bits[3] = {1, 1, 0};
    EXPECT_TRUE(link->TouchBits(bits, 3));
    EXPECT_NE(trace.str().find("reset: presence"), std::string::npos) << trace.str();
    EXPECT_NE(trace.str().find("bits 3 > 110"), std::string::npos) << trace.str();
}

// A settings folder that cannot even be looked at must not end the program:
// the driver names it and the reason, then answers with the virtual adapter.
TEST_F(DriverTest, AConfigFolderThatCannotBeCheckedGivesTheDefaultPortAndSaysWhy) {
    std::vector<std::string> said;
    driver.SetDiagnostics([&said](const std::string& text) { said.push_back(text); });
    const auto loop = config.dir / "loop";
    std::filesystem::create_directory_symlink(loop, loop);  // a folder that names itself
    std::ofstream(config.dir / "plain-file") << "not a folder";
    const struct {
        std::string Folder, Reason;
    } cases[] = {
        {loop.string(), "Too many levels of symbolic links"},
        {(config.dir / "plain-file").string(), "Not a directory"},
        {config.dir.string() + "/" + std::string(5000, 'x'), "File name too long"},
    };
    for (const auto& c : cases) {
        ::setenv("KELVARA_CONFIG_DIR", c.Folder.c_str(), 1);
        std::int16_t number = -1, type = -1;
        EXPECT_EQ(driver.TMReadDefaultPort(&number, &type), 1) << c.Reason;
        EXPECT_EQ(type, kPortTypeVirtual);
        EXPECT_EQ(number, 1);
        ASSERT_FALSE(said.empty());
        EXPECT_NE(said.back().find(c.Folder.substr(0, 200)), std::string::npos) << said.back();
        EXPECT_NE(said.back().find(c.Reason), std::string::npos) << said.back();
        PortSetting setting;
        std::string error;
        EXPECT_EQ(LoadDefaultPort(setting, error), PortConfigStatus::Unreadable);
    }
}

TEST(PortConfig, ABadPortTextNamesThePartThatIsWrongAndWhatItMayBe) {
    PortSetting setting;
    const struct {
        const char *Text, *Expected;
    } cases[] = {
        {"5", "is not TYPE:NUMBER"},
        {"x:1", "adapter type \"x\" is not a whole number; the types are 5"},
        {"99:1",
         "Adapter type 99 does not exist; the types are 5 (DS9097U serial), 6 (USB) and 15 (virtual)"},
        {"5:x", "port number \"x\" is not a whole number 1-255"},
        {"5:0", "outside 1-255"},
        {"5:300", "outside 1-255"},
    };
    for (const auto& c : cases) {
        std::string why;
        EXPECT_FALSE(ParsePortText(c.Text, setting, &why)) << c.Text;
        EXPECT_NE(why.find(c.Expected), std::string::npos) << c.Text << ": " << why;
    }
    ConfigDirGuard config;
    ::setenv("KELVARA_PORT", "5:x", 1);
    std::string error;
    EXPECT_EQ(LoadDefaultPort(setting, error), PortConfigStatus::Damaged);
    EXPECT_NE(error.find("KELVARA_PORT=5:x: the port number"), std::string::npos) << error;
}
