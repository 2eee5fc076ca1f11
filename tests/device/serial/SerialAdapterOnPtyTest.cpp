// Kelvara's serial adapter end to end: the form and the driver, the DS2480B
// link on a real termios port, a pseudo-terminal, the emulated DS2480B and the
// emulated DS1921 behind it, served on a thread of its own.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

#include "app/TTRecForm.h"
#include "device/LinkFactory.h"
#include "device/serial/Ds2480Chip.h"
#include "device/serial/PtyAdapter.h"
#include "device/serial/TermiosSerialPort.h"
#include "device/tmex/DriverFixture.h"
#include "device/tmex/TmexDriver.h"
#include "device/virtual/VirtualAdapter.h"
#include "model/Bcd.h"
#include "reports/DownloadRun.h"
#include "support/DateAt.h"
#include "support/PerTestPath.h"
#include "support/ReadFile.h"
#include "support/ScriptedPlatform.h"

namespace fs = std::filesystem;

namespace {

const TDateTime kNow = At(2026, 12, 7, 9, 15, 42);

// The emulated adapter, served until the test ends. Everything behind it (bus,
// devices, clock) belongs to the serving thread meanwhile: tests reach it through Run.
class PtyServer {
public:
    explicit PtyServer(Ds2480Chip& chip) : pty(chip, {}) {
        std::string error;
        if (!pty.Open(error)) return;
        pty.OnHostLeft = [this] { ++hostsLeft; };
        thread = std::thread([this] { pty.Serve(); });
    }
    ~PtyServer() { Stop(); }
    bool Serving() const { return thread.joinable(); }
    void Stop() {
        if (!thread.joinable()) return;
        pty.Stop();
        thread.join();
    }
    void Run(const std::function<void()>& task) { pty.Run(task); }

    PtyAdapter pty;
    int hostsLeft = 0;  // read through Run
    std::thread thread;
};

class SerialAdapterOnPty : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server.Serving()) GTEST_SKIP() << "no pseudo-terminals here";
        ::setenv("KELVARA_PORT", ("5:1:" + server.pty.SlavePath()).c_str(), 1);
        platform.SetNow(kNow);
        form.FormCreate({});
        ASSERT_EQ(form.PortType, kPortTypeSerialDs2480);
    }
    // The whole window's download, ticking until it ends (bounded).
    std::string Download(TTRecForm& which) {
        int ticks = 0;
        return RunDownloadCycle(which, 5000, 600000, [&ticks] { return ++ticks > 2000; });
    }
    std::string SaveData(TTRecForm& which, ScriptedPlatform& on, const std::string& name) {
        const fs::path file = PerTestPath(name);
        on.SaveAnswers.push_back(file.string());
        which.menuSaveData1Click();
        const std::string bytes = ReadAll(file);
        fs::remove(file);
        return bytes;
    }
    template <class F>
    auto OnServer(F task) {
        decltype(task()) result{};
        server.Run([&] { result = task(); });
        return result;
    }

    ConfigDirGuard config;
    ManualClock clock{ManualClock::MsFromDateTime(kNow)};  // frozen: the two downloads agree
    VirtualAdapter adapter{"", clock};
    std::shared_ptr<Ds1921Device> device = adapter.InsertDemoDevice();
    Ds2480Chip chip{adapter.Bus()};
    PtyServer server{chip};
    std::ostringstream trace;
    LinkProvider links;
    TmexDriver driver{links};
    ScriptedPlatform platform;
    TTRecForm form{platform, driver};
};

}  // namespace

TEST_F(SerialAdapterOnPty, DownloadsTheSameDataFileAsTheVirtualAdapter) {
    ASSERT_EQ(Download(form), "");
    EXPECT_EQ(form.RomIdText, Ds1921Device::RomText(device->Rom()));
    EXPECT_EQ(form.LogList.Items.size(), 288u);
    const std::string serial = SaveData(form, platform, "serial.dmp");
    EXPECT_EQ(OnServer([&] { return chip.Overruns(); }), 0u);
    EXPECT_TRUE(OnServer([&] { return chip.Baud() == 115200; }));
    links.CloseAll();
    server.Stop();

    ::setenv("KELVARA_PORT", "15:1", 1);
    LinkProvider virtualLinks(&adapter.Bus());
    TmexDriver virtualDriver(virtualLinks);
    ScriptedPlatform virtualPlatform;
    virtualPlatform.SetNow(kNow);
    TTRecForm virtualForm(virtualPlatform, virtualDriver);
    virtualForm.FormCreate({});
    ASSERT_EQ(Download(virtualForm), "");
    EXPECT_EQ(SaveData(virtualForm, virtualPlatform, "virtual.dmp"), serial);
}

TEST_F(SerialAdapterOnPty, ProgramsAMissionThroughTheSerialAdapter) {
    std::string rom;
    ASSERT_EQ(form.FindFirstFamily(33, rom), 1);
    ASSERT_EQ(form.ClearMemory(), 1);
    auto& bytes = form.Image.NewRegisterPage;
    bytes.fill(0);
    const auto clockBlock = EncodeClockBlock(kNow);
    std::copy(clockBlock.begin(), clockBlock.end(), bytes.begin());
    bytes[Reg::LowThreshold] = 100;
    bytes[Reg::HighThreshold] = 160;
    bytes[Reg::SampleRate] = 5;
    for (std::int16_t step = 0; step <= 2; ++step) {
        form.WriteStep = step;
        ASSERT_EQ(form.WriteMission(), 1) << step;
    }
    EXPECT_TRUE(OnServer([&] { return device->MissionRunning(); }));
    EXPECT_EQ(OnServer([&] { return device->Peek(0x20D); }), 5);
    std::array<std::uint8_t, 32> page{};
    ASSERT_EQ(form.ReadPage(16, page.data()), 1);
    EXPECT_EQ(page[Reg::HighThreshold], 160);
    EXPECT_FALSE(form.GreenLight.On);
}

TEST_F(SerialAdapterOnPty, APulledDeviceResetsTheWindowAndIsFoundAgain) {
    for (int i = 0; i < 100 && form.PollState != Poll::LogPages; ++i) form.TRecTimerTimer();
    ASSERT_EQ(form.PollState, Poll::LogPages);
    server.Run([&] { adapter.RemoveDevice(device); });
    form.TRecTimerTimer();
    EXPECT_EQ(form.PollState, Poll::Reset) << form.Status.Caption;
    EXPECT_TRUE(form.PanelWelcome.Visible);
    EXPECT_FALSE(form.menuSaveData1.Enabled);
    server.Run([&] { adapter.ReinsertDevice(device); });
    EXPECT_EQ(Download(form), "");
}

TEST_F(SerialAdapterOnPty, ASilentLineEndsTheJobInBoundedTimeAndTheNextTickRecovers) {
    std::string rom;
    ASSERT_EQ(form.FindFirstFamily(33, rom), 1);
    std::array<std::uint8_t, 32> page{};
    ASSERT_EQ(form.ReadPage(17, page.data()), 1);
    // Silent a few bytes into the next page read.
    server.Run([&] { chip.GoSilentAfter(20); });
    const auto start = std::chrono::steady_clock::now();
    const std::int16_t result = form.ReadPage(128, page.data());
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(result, 0);
    EXPECT_NE(result, -200);
    EXPECT_LT(took, std::chrono::seconds(3));
    EXPECT_FALSE(form.GreenLight.On);
    server.Run([&] { chip.ClearFaults(); });
    ASSERT_EQ(form.ReadPage(128, page.data()), 1);
    const auto expected = OnServer([&] { return device->PeekRange(0x1000, 32); });
    EXPECT_TRUE(std::equal(page.begin(), page.end(), expected.begin()));
}

TEST_F(SerialAdapterOnPty, ALostByteCostsARetryNotTheJob) {
    links.SetTracing(true, &trace);
    std::string rom;
    ASSERT_EQ(form.FindFirstFamily(33, rom), 1);
    std::array<std::uint8_t, 32> page{};
    server.Run([&] { chip.DropReplies(1); });
    ASSERT_EQ(form.ReadPage(16, page.data()), 1) << trace.str();
    EXPECT_NE(trace.str().find("read again"), std::string::npos) << trace.str();
    EXPECT_NE(trace.str().find("resynchronising at 9600 bit/s"), std::string::npos) << trace.str();
    EXPECT_EQ(Download(form), "") << "the rest at 9600 bit/s";
}

TEST_F(SerialAdapterOnPty, EachHostFindsTheAdapterAtPowerUp) {
    std::string rom;
    ASSERT_EQ(form.FindFirstFamily(33, rom), 1);
    links.CloseAll();
    // The next host opens the port: the chip is back at 9600 bit/s, uncalibrated.
    LinkProvider second;
    TmexDriver secondDriver(second);
    ScriptedPlatform secondPlatform;
    TTRecForm next(secondPlatform, secondDriver);
    next.FormCreate({});
    ASSERT_EQ(next.FindFirstFamily(33, rom), 1);
    EXPECT_EQ(rom, Ds1921Device::RomText(device->Rom()));
    EXPECT_EQ(OnServer([&] { return server.pty.HostsServed(); }), 2);
    EXPECT_GE(OnServer([&] { return server.hostsLeft; }), 1);
}

TEST(PtyAdapter, PacedRepliesWaitForTheRealChipsTimes) {
    ManualClock clock;
    VirtualBus bus;
    bus.Insert(std::make_shared<Ds1921Device>(Ds1921Device::MakeRom(Ds1921Variant::Standard, 1), clock,
                                              std::make_shared<ConstantProfile>(20)));
    Ds2480Chip chip(bus);
    PtyAdapter pty(chip, {.paced = true});
    std::string error;
    if (!pty.Open(error)) GTEST_SKIP() << error;
    std::thread server([&] { pty.Serve(); });
    TermiosSerialPort port(pty.SlavePath());
    ASSERT_TRUE(port.Open(error)) << error;
    const std::uint8_t reset = 0xC1;
    ASSERT_TRUE(port.Write(&reset, 1));  // calibrates
    port.Sleep(20);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(port.Write(&reset, 1));
    std::uint8_t reply = 0;
    EXPECT_EQ(port.Read(&reply, 1, 1000), 1);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(reply, 0xCD);
    // Two characters at 9600 bit/s and a standard-speed reset: 3.18 ms.
    EXPECT_GE(took, std::chrono::microseconds(3000));
    port.Close();
    pty.Stop();
    server.join();
}
