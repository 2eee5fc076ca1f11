#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "device/onewire/Crc.h"
#include "device/virtual/VirtualAdapter.h"
#include "support/DateAt.h"
#include "support/PerTestPath.h"

namespace {
namespace fs = std::filesystem;

class VirtualAdapterState : public ::testing::Test {
protected:
    void SetUp() override {
        dir = PerTestPath("kelvara-emulator");
        fs::remove_all(dir);
        path = (dir / "state" / "virtual-adapter.txt").string();
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    void WriteFile(const std::string& text) {
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    std::string ReadFile() {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path dir;
    std::string path;
    ManualClock clock{ManualClock::MsFromDateTime(At(2026, 12, 7, 10, 0, 0))};
};

TEST_F(VirtualAdapterState, FirstRunSeedsADemoMissionWithAlarms) {
    VirtualAdapter adapter(path, clock);
    EXPECT_EQ(adapter.Load(), "");
    const auto devices = adapter.Devices();
    ASSERT_EQ(devices.size(), 1u);
    auto& demo = *devices[0];
    EXPECT_EQ(demo.Variant(), Ds1921Variant::Standard);
    EXPECT_TRUE(demo.MissionRunning());
    EXPECT_EQ(demo.MissionSamples(), 288);
    EXPECT_EQ(demo.Peek(0x20D), 10);
    EXPECT_EQ(demo.Peek(0x214) & 0x06, 0x06);
    EXPECT_GT(demo.Peek(0x223), 0) << "a low alarm record";
    EXPECT_GT(demo.Peek(0x253), 0) << "a high alarm record";
    // Mission started two days before the device clock's now; the stamp is its first minute.
    EXPECT_EQ(demo.PeekRange(0x215, 5), (std::vector<std::uint8_t>{0x01, 0x10, 0x05, 0x92, 0x26}));
    EXPECT_EQ(demo.PeekRange(0x20, 4), (std::vector<std::uint8_t>{'A', 'l', 'e', 'x'}));
}

TEST_F(VirtualAdapterState, DevicesAndTheirMissionsSurviveARestart) {
    std::vector<std::uint8_t> logBefore;
    Ds1921Device::Rom8 rom{};
    {
        VirtualAdapter adapter(path, clock);
        ASSERT_EQ(adapter.Load(), "");
        auto body = adapter.InsertDevice(Ds1921Variant::HumanBody);
        rom = body->Rom();
        logBefore = adapter.Devices()[0]->PeekRange(0x1000, 288);
        ASSERT_EQ(adapter.Save(), "");
    }
    EXPECT_FALSE(fs::exists(path + ".tmp"));
    ManualClock tomorrow{clock.NowMs() + 86400000};
    VirtualAdapter again(path, tomorrow);
    ASSERT_EQ(again.Load(), "");
    const auto devices = again.Devices();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[1]->Rom(), rom);
    EXPECT_EQ(devices[1]->Variant(), Ds1921Variant::HumanBody);
    EXPECT_EQ(devices[0]->MissionSamples(), 288 + 144);
    EXPECT_EQ(devices[0]->PeekRange(0x1000, 288), logBefore);
    // New devices after the restart get new serial numbers.
    EXPECT_NE(again.InsertDevice(Ds1921Variant::HumanBody)->Rom(), rom);
}

TEST_F(VirtualAdapterState, TimeNeverRunsBackAcrossARestart) {
    std::int64_t clockBefore = 0;
    {
        VirtualAdapter adapter(path, clock);
        ASSERT_EQ(adapter.Load(), "");
        clock.AdvanceDays(30);  // fast-forwarded in the window
        clockBefore = adapter.Devices()[0]->ClockMs();
        ASSERT_EQ(adapter.Save(), "");
    }
    ManualClock earlier{clock.NowMs() - 86400000LL * 29};
    VirtualAdapter again(path, earlier);
    ASSERT_EQ(again.Load(), "");
    EXPECT_EQ(earlier.NowMs(), clock.NowMs());
    EXPECT_EQ(again.Devices()[0]->ClockMs(), clockBefore);
}

TEST_F(VirtualAdapterState, DamagedFilesGiveAMessageAndAFreshDemoDevice) {
    std::string good;
    {
        VirtualAdapter adapter(path, clock);
        ASSERT_EQ(adapter.Load(), "");
        adapter.InsertDevice(Ds1921Variant::LowTemp);
        ASSERT_EQ(adapter.Save(), "");
        good = ReadFile();
    }
    const std::vector<std::string> damaged = {
        "",
        "something else entirely\n",
        "kelvara-virtual-adapter 99\nend-of-file\n",
        good.substr(0, good.size() / 2),
        [&] {
            std::string text = good;
            text.replace(text.find("alarms "), 7, "alarms 11 3 ");  // open record beyond the used ones
            return text;
        }(),
        [&] {
            std::string text = good;
            text.replace(text.find("page "), 5, "page 9999 ");
            return text;
        }(),
        [&] {
            std::string text = good;
            text.replace(text.find("device "), 9, "device ZZ");
            return text;
        }(),
        [&] {
            std::string text = good;  // the same device twice
            const auto first = text.find("device "), second = text.find("device ", first + 1);
            const std::string entry = text.substr(first, second - first);
            return text.insert(second, entry);
        }(),
        [&] {
            std::string text = good;  // a ROM whose CRC does not match could never be found
            char& digit = text[text.find("device ") + 7];
            digit = digit == '0' ? '1' : '0';
            return text;
        }(),
    };
    for (const auto& text : damaged) {
        WriteFile(text);
        VirtualAdapter adapter(path, clock);
        const std::string message = adapter.Load();
        EXPECT_NE(message.find("could not be restored"), std::string::npos) << text.substr(0, 60);
        ASSERT_EQ(adapter.Devices().size(), 1u);
        EXPECT_TRUE(adapter.Devices()[0]->MissionRunning());
        EXPECT_TRUE(fs::exists(path + ".damaged"));
    }
    // Numbers that parse but lie far outside any clock: refused, not computed with.
    for (const char* line :
         {"mission 0 0 -1000000000000000000 0 10 0 0 0", "mission 0 0 0 -1000000000000000000 10 0 0 0"}) {
        std::string text = good;
        const auto at = text.find("mission ");
        text.replace(at, text.find('\n', at) - at, line);
        WriteFile(text);
        VirtualAdapter adapter(path, clock);
        EXPECT_NE(adapter.Load().find("could not be restored"), std::string::npos) << line;
        ASSERT_EQ(adapter.Devices().size(), 1u);
        EXPECT_TRUE(adapter.Devices()[0]->MissionRunning());
    }
    // Cut anywhere, the file never crashes the loader.
    for (std::size_t cut = 0; cut < good.size(); cut += 97) {
        WriteFile(good.substr(0, cut));
        VirtualAdapter adapter(path, clock);
        adapter.Load();
        EXPECT_FALSE(adapter.Devices().empty());
    }
}

// The ROM of the one device on the bus, read as a master does (Read ROM), or
// nothing when no device answers the reset.
std::optional<Ds1921Device::Rom8> RomOnBus(VirtualBus& bus) {
    std::string error;
    if (!bus.IsOpen() && !bus.Open(error)) return std::nullopt;
    if (bus.Reset() != ResetResult::Presence) return std::nullopt;
    bus.TouchByte(0x33);
    Ds1921Device::Rom8 rom{};
    for (auto& b : rom) b = static_cast<std::uint8_t>(bus.TouchByte(0xFF));
    return rom;
}

TEST_F(VirtualAdapterState, ARemovedDeviceKeepsLoggingOutOfTheAdapterAndComesBack) {
    VirtualAdapter adapter(path, clock);
    ASSERT_EQ(adapter.Load(), "");
    const auto demo = adapter.Devices()[0];
    EXPECT_FALSE(adapter.ReinsertDevice(demo)) << "not out";
    ASSERT_TRUE(adapter.RemoveDevice(demo));
    EXPECT_FALSE(adapter.RemoveDevice(demo)) << "already off the bus";
    EXPECT_TRUE(adapter.Devices().empty());
    ASSERT_EQ(adapter.DevicesOut().size(), 1u);
    EXPECT_EQ(RomOnBus(adapter.Bus()), std::nullopt);

    clock.AdvanceDays(1);
    ASSERT_TRUE(adapter.ReinsertDevice(demo));
    EXPECT_TRUE(adapter.DevicesOut().empty());
    EXPECT_EQ(RomOnBus(adapter.Bus()), demo->Rom());
    EXPECT_EQ(demo->MissionSamples(), 288 + 144);
    EXPECT_EQ(demo->Peek(0x20D), 10) << "the same mission";

    // Inserting a device that is out takes it from the out list: never in both places.
    adapter.RemoveDevice(demo);
    adapter.InsertDevice(demo);
    EXPECT_TRUE(adapter.DevicesOut().empty());
    EXPECT_EQ(adapter.Devices().size(), 1u);
    adapter.InsertDevice(demo);
    EXPECT_EQ(adapter.Bus().Devices().size(), 1u);

    auto other = adapter.InsertDevice(Ds1921Variant::LowTemp);
    adapter.RemoveDevice(other);
    EXPECT_TRUE(adapter.DiscardDevice(other));
    EXPECT_TRUE(adapter.DiscardDevice(demo));
    EXPECT_FALSE(adapter.DiscardDevice(demo));
    EXPECT_TRUE(adapter.Devices().empty());
    EXPECT_TRUE(adapter.DevicesOut().empty());
    ASSERT_EQ(adapter.Save(), "");
    VirtualAdapter again(path, clock);
    ASSERT_EQ(again.Load(), "");
    EXPECT_TRUE(again.Devices().empty()) << "discarded devices stay gone, and no demo is seeded";
    EXPECT_TRUE(again.DevicesOut().empty());
    EXPECT_FALSE(again.Seeded());
}

TEST_F(VirtualAdapterState, DevicesOutOfTheAdapterSurviveARestart) {
    Ds1921Device::Rom8 outRom{}, onRom{};
    {
        VirtualAdapter adapter(path, clock);
        ASSERT_EQ(adapter.Load(), "");
        EXPECT_TRUE(adapter.Seeded());
        outRom = adapter.Devices()[0]->Rom();
        onRom = adapter.InsertDevice(Ds1921Variant::HumanBody)->Rom();
        adapter.RemoveDevice(adapter.Devices()[0]);
        ASSERT_EQ(adapter.Save(), "");
    }
    EXPECT_EQ(ReadFile().rfind("kelvara-virtual-adapter 2\n", 0), 0u);
    ManualClock later{clock.NowMs() + 86400000};
    VirtualAdapter again(path, later);
    ASSERT_EQ(again.Load(), "");
    EXPECT_FALSE(again.Seeded());
    ASSERT_EQ(again.Devices().size(), 1u);
    EXPECT_EQ(again.Devices()[0]->Rom(), onRom);
    ASSERT_EQ(again.DevicesOut().size(), 1u);
    const auto out = again.DevicesOut()[0];
    EXPECT_EQ(out->Rom(), outRom);
    EXPECT_EQ(out->MissionSamples(), 288 + 144) << "it went on logging while out";
    EXPECT_EQ(RomOnBus(again.Bus()), onRom) << "only the device on the adapter answers";
    ASSERT_TRUE(again.ReinsertDevice(out));
    EXPECT_EQ(again.Devices().size(), 2u);

    // The mark is checked: a word other than "out", and one device both on and out, are refused.
    for (const auto& damage : {std::pair<std::string, std::string>{" out\n", " gone\n"},
                               std::pair<std::string, std::string>{" out\n", " out extra\n"}}) {
        again.RemoveDevice(out);
        ASSERT_EQ(again.Save(), "");
        std::string text = ReadFile();
        text.replace(text.find(damage.first), damage.first.size(), damage.second);
        WriteFile(text);
        VirtualAdapter broken(path, later);
        EXPECT_NE(broken.Load().find("bad device line"), std::string::npos) << damage.second;
        EXPECT_TRUE(broken.Seeded());
        again.ReinsertDevice(out);
    }
    {
        again.RemoveDevice(out);
        ASSERT_EQ(again.Save(), "");
        std::string text = ReadFile();
        const auto at = text.find("device " + Ds1921Device::RomText(outRom));
        const std::string entry = text.substr(at, text.find("end-of-file") - at);
        text.insert(text.find("device "),
                    entry.substr(0, entry.find(' ', 7)) + entry.substr(entry.find('\n')));
        WriteFile(text);
        VirtualAdapter broken(path, later);
        EXPECT_NE(broken.Load().find("appears twice"), std::string::npos);
    }
}

TEST_F(VirtualAdapterState, AStateFileOfTheFirstFormatStillLoads) {
    // What the first format wrote: no marks, every device on the bus.
    std::string text;
    Ds1921Device::Rom8 rom{};
    {
        VirtualAdapter adapter(path, clock);
        ASSERT_EQ(adapter.Load(), "");
        rom = adapter.Devices()[0]->Rom();
        text = "kelvara-virtual-adapter 1\nsaved-at " + std::to_string(clock.NowMs()) + "\nnext-serial 2\n" +
               adapter.DevicesText() + "end-of-file\n";
    }
    WriteFile(text);
    VirtualAdapter adapter(path, clock);
    ASSERT_EQ(adapter.Load(), "");
    EXPECT_FALSE(adapter.Seeded());
    ASSERT_EQ(adapter.Devices().size(), 1u);
    EXPECT_EQ(adapter.Devices()[0]->Rom(), rom);
    EXPECT_TRUE(adapter.DevicesOut().empty());
    EXPECT_EQ(adapter.Devices()[0]->MissionSamples(), 288);
    // The first format had no marks, so one there is damage.
    const auto end = text.find('\n', text.find("device "));
    WriteFile(text.insert(end, " out"));
    VirtualAdapter marked(path, clock);
    EXPECT_NE(marked.Load().find("bad device line"), std::string::npos);
}

TEST_F(VirtualAdapterState, SavedDevicesKeepTheirRomsWhateverTheirSerialDigits) {
    // Earlier versions gave standard devices random top digits; such a file still loads as it was.
    Ds1921Device::Rom8 old{0x21, 0x11, 0x22, 0x33, 0x44, 0x95, 0x5A, 0};
    old[7] = onewire::Crc8({old.data(), 7});
    std::string text;
    {
        VirtualAdapter adapter("", clock);
        adapter.InsertDevice(
            std::make_shared<Ds1921Device>(old, clock, std::make_shared<ConstantProfile>(20)));
        text = "kelvara-virtual-adapter 2\nsaved-at 0\nnext-serial 5\n" + adapter.DevicesText() +
               "end-of-file\n";
    }
    WriteFile(text);
    VirtualAdapter adapter(path, clock);
    ASSERT_EQ(adapter.Load(), "");
    ASSERT_EQ(adapter.Devices().size(), 1u);
    EXPECT_EQ(adapter.Devices()[0]->Rom(), old);
    EXPECT_EQ(adapter.Devices()[0]->Variant(), Ds1921Variant::Standard);
    const auto added = adapter.InsertDevice(Ds1921Variant::Standard);
    EXPECT_EQ(Ds1921Device::RomText(added->Rom()).substr(2, 3), "000");
}

TEST_F(VirtualAdapterState, DefaultPathFollowsTheDataFolderVariables) {
    ::setenv("KELVARA_DATA_DIR", "/tmp/kv-data", 1);
    EXPECT_EQ(VirtualAdapter::DefaultStatePath(), "/tmp/kv-data/virtual-adapter.txt");
    ::unsetenv("KELVARA_DATA_DIR");
    ::setenv("XDG_DATA_HOME", "/tmp/kv-xdg", 1);
    EXPECT_EQ(VirtualAdapter::DefaultStatePath(), "/tmp/kv-xdg/kelvara/virtual-adapter.txt");
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_NE(VirtualAdapter::DefaultStatePath().find(".local/share/kelvara/virtual-adapter.txt"),
              std::string::npos);
}

TEST(ScaledClock, SpeedAndFastForwardKeepTimeContinuous) {
    std::int64_t real = 1000000;
    ScaledClock clock([&] { return real; });
    real += 1000;
    EXPECT_EQ(clock.NowMs(), 1001000);
    clock.SetSpeed(60);
    real += 1000;
    EXPECT_EQ(clock.NowMs(), 1061000);
    clock.Advance(3600000);
    clock.Advance(-5);
    EXPECT_EQ(clock.NowMs(), 4661000);
    real -= 5000;  // the computer's clock set back
    EXPECT_EQ(clock.NowMs(), 4661000) << "time stands until the real clock catches up";
    real += 6000;
    EXPECT_EQ(clock.NowMs(), 4661000 + 60 * 1000);
}

}  // namespace

TEST(VirtualClockChoice, ManualFreezesNowOrAtTheGivenLocalTime) {
    std::string problem;
    auto real = MakeVirtualClock(nullptr, problem);
    EXPECT_EQ(real->Speed(), 1.0);
    EXPECT_TRUE(problem.empty());

    auto frozen = MakeVirtualClock("manual", problem);
    EXPECT_EQ(frozen->Speed(), 0.0);
    EXPECT_NEAR(static_cast<double>(frozen->NowMs() - SystemNowMs()), 0.0, 60000.0);

    auto fixed = MakeVirtualClock("manual:2026-12-07T10:00:00", problem);
    ASSERT_TRUE(problem.empty()) << problem;
    EXPECT_NEAR(fixed->LocalNow(), At(2026, 12, 7, 10, 0, 0), 1e-9);
    auto spaced = MakeVirtualClock("manual:2026-12-07 10:00:00", problem);
    EXPECT_EQ(spaced->NowMs(), fixed->NowMs()) << "two programs freeze at the same moment";

    for (const char* bad : {"manul", "manual:2026-13-07T10:00:00", "manual:2026-12-07T10:00", "1"}) {
        auto fallback = MakeVirtualClock(bad, problem);
        EXPECT_EQ(fallback->Speed(), 1.0) << bad;
        EXPECT_NE(problem.find(bad), std::string::npos) << problem;
    }
}
