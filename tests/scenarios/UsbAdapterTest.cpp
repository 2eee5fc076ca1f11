// The whole window on the USB adapter: the real DS2490 link in front of an
// emulated chip, the virtual bus and an emulated DS1921, chosen by Titles.ini
// (Adapter=6). It must find, download and program exactly as on the virtual
// adapter, and every fault must end with the session closed and the light off.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "app/TTRecForm.h"
#include "device/virtual/EmulatedUsbHost.h"
#include "device/virtual/TemperatureProfile.h"
#include "scenarios/DownloadRig.h"
#include "support/DateAt.h"
#include "support/PerTestPath.h"
#include "support/ReadFile.h"
#include "support/ScriptedPlatform.h"

namespace fs = std::filesystem;

namespace {
const TDateTime kStart = At(2026, 12, 7, 12, 0, 30);
using Pipe = EmulatedDs2490::Pipe;

// One window with its adapter, its device and its clocks.
struct World {
    explicit World(std::int16_t adapterType, bool withChip = true, bool deviceClockRuns = false)
        : clockRuns(deviceClockRuns) {
        dir = PerTestPath("kelvara-usb-" + std::to_string(adapterType));
        fs::create_directories(dir);
        std::ofstream(dir / "Titles.ini", std::ios::binary)
            << "[Network]\r\nSerialPort=1\r\nAdapter=" << adapterType << "\r\n";
        platform.Dir = dir.string() + "/";
        platform.SetNow(kStart);
        if (withChip) chip = &host.Add(adapter.Bus());
        links.SetUsbHost(&host);
        device->SetClock(kStart);
        adapter.InsertDevice(device);
        form = std::make_unique<TTRecForm>(platform, recorder);
        form->FormCreate({});
    }
    ~World() {
        form.reset();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    // A running mission, one sample a minute for three days: the log has rolled over.
    void StartMission() {
        Ds1921MissionSetup setup;
        setup.SampleRate = 1;
        setup.Control = 0x06 | 0x08;
        setup.LowThreshold = device->CodeFor(20.0);
        setup.HighThreshold = device->CodeFor(25.0);
        device->StartMissionAt(setup, device->ClockMs() - 3LL * 86400000);
        device->WriteUserPage(5, "Pond study");
    }
    void Tick() {
        form->TRecTimerTimer();
        const int step = platform.Interval > 0 ? platform.Interval : 50;
        platform.Advance(step);
        if (clockRuns) clock.Advance(step);
        EXPECT_FALSE(form->GreenLight.On) << "the light is off between ticks";
        EXPECT_EQ(recorder.OpenSessions(), 0) << "no session outlives its job";
    }
    bool TickUntil(const std::function<bool()>& done, int limit = 3000) {
        for (int i = 0; i < limit; ++i) {
            if (done()) return true;
            Tick();
        }
        return done();
    }
    bool Downloaded() const { return form->menuSaveData1.Enabled; }
    std::string SaveDataFile() {
        const fs::path file = dir / "saved.dmp";
        platform.SaveAnswers.push_back(file.string());
        form->menuSaveData1Click();
        return ReadAll(file);
    }

    bool clockRuns;
    fs::path dir;
    ScriptedPlatform platform;
    ManualClock clock{ManualClock::MsFromDateTime(kStart)};
    VirtualAdapter adapter{"", clock};
    std::shared_ptr<Ds1921Device> device =
        std::make_shared<Ds1921Device>(Ds1921Device::MakeRom(Ds1921Variant::Standard, 7), clock,
                                       Ds1921Device::DefaultProfile(Ds1921Variant::Standard, 7));
    EmulatedUsbHost host;
    EmulatedDs2490* chip = nullptr;
    LinkProvider links{&adapter.Bus()};
    TmexDriver driver{links};
    RecordingDriver recorder{driver};
    std::unique_ptr<TTRecForm> form;
};

// The data file of an undisturbed download on the virtual adapter.
std::string VirtualReference() {
    World world(kPortTypeVirtual);
    world.StartMission();
    EXPECT_TRUE(world.TickUntil([&] { return world.Downloaded(); }));
    return world.SaveDataFile();
}

// A data file without its "Download at:" line, which tells when the download began.
std::string WithoutDownloadTime(const std::string& file) {
    const auto first = file.find('\n');
    const auto second = file.find('\n', first + 1);
    return file.substr(0, first + 1) + file.substr(second + 1);
}
}  // namespace

TEST(UsbAdapter, DownloadsTheSameDataFileAsTheVirtualAdapter) {
    const std::string reference = VirtualReference();
    ASSERT_GT(reference.size(), 8000u);
    World usb(kPortTypeUsbDs2490);
    EXPECT_EQ(usb.form->BottomPanel.Caption, " Port: USB");
    usb.StartMission();
    ASSERT_TRUE(usb.TickUntil([&] { return usb.Downloaded(); })) << usb.form->Status.Caption;
    EXPECT_EQ(usb.form->LogList.Items.size(), 2048u);
    EXPECT_EQ(usb.SaveDataFile(), reference);
    EXPECT_TRUE(usb.platform.Boxes.empty());
    EXPECT_FALSE(usb.chip->KernelDriverBound()) << "held while the program runs";
    EXPECT_EQ(usb.chip->ProtocolViolations(), 0);
    usb.links.CloseAll();
    EXPECT_TRUE(usb.chip->KernelDriverBound()) << "handed back at the end";
}

TEST(UsbAdapter, ProgramsTheSameMissionAsTheVirtualAdapter) {
    std::vector<std::uint8_t> programmed[2];
    const std::int16_t types[2] = {kPortTypeVirtual, kPortTypeUsbDs2490};
    for (int i = 0; i < 2; ++i) {
        World world(types[i], true, true);
        ASSERT_TRUE(world.TickUntil([&] { return world.form->PollState == Poll::Idle; }));
        world.form->EditUserChange(0, "Ann");
        world.form->EditUserChange(4, "Stream");
        while (world.form->Wizard.PageIndex < 8) world.form->NextButtonClick();
        world.form->FinishButtonClick();
        world.platform.BoxAnswers.push_back(MsgResult::No);
        ASSERT_TRUE(world.TickUntil([&] { return world.form->PollState == Poll::StatusRead; }));
        ASSERT_FALSE(world.platform.Boxes.empty());
        EXPECT_EQ(world.platform.Boxes.back().Text.rfind("Mission programmed!", 0), 0u);
        programmed[i] = world.device->PeekRange(0, 0x220);
        EXPECT_EQ(world.device->PeekRange(0x20D, 1)[0], 0x01) << "one sample a minute";
    }
    EXPECT_EQ(programmed[0], programmed[1]);
}

TEST(UsbAdapter, WithoutAnAdapterTheWindowShowsTheAdapterMissingBox) {
    World world(kPortTypeUsbDs2490, false);
    world.Tick();  // the window's reset
    world.Tick();  // the first search
    ASSERT_EQ(world.platform.Boxes.size(), 1u);
    EXPECT_EQ(world.platform.Boxes[0].Text.rfind("Blue-dot adapter not found!\r", 0), 0u);
    EXPECT_EQ(world.platform.Boxes[0].Buttons, MsgButtons::YesNo);
    EXPECT_TRUE(world.platform.Terminated);
    EXPECT_NE(world.driver.LastSetupError().find("No USB adapter"), std::string::npos);
}

TEST(UsbAdapter, PulledOutDuringTheDownloadResetsTheWindowAndIsFoundAgain) {
    const std::string reference = VirtualReference();
    World usb(kPortTypeUsbDs2490);
    usb.StartMission();
    ASSERT_TRUE(usb.TickUntil([&] { return usb.form->PollState == Poll::LogPages; }));
    usb.chip->Unplug();
    usb.Tick();
    EXPECT_EQ(usb.form->PollState, Poll::Reset) << "the job saw -1: " << usb.form->Status.Caption;
    EXPECT_TRUE(usb.form->PanelWelcome.Visible);
    for (int i = 0; i < 20; ++i) usb.Tick();
    EXPECT_EQ(usb.form->PollState, Poll::Search);
    EXPECT_EQ(usb.form->Status.Caption, " Waiting for DS1921 iButton...");
    EXPECT_TRUE(usb.platform.Boxes.empty()) << "the adapter-missing box belongs to the first search only";

    usb.chip->Plug();
    ASSERT_TRUE(usb.TickUntil([&] { return usb.Downloaded(); }));
    EXPECT_EQ(WithoutDownloadTime(usb.SaveDataFile()), WithoutDownloadTime(reference));
}

TEST(UsbAdapter, EveryFaultDuringADownloadEndsInACompleteDownload) {
    const std::string reference = WithoutDownloadTime(VirtualReference());
    struct Fault {
        std::string name;
        std::function<void(EmulatedDs2490&)> inject;
    };
    std::vector<Fault> faults;
    for (int k : {0, 1, 2, 5, 9}) {
        for (Pipe pipe : {Pipe::Control, Pipe::DataOut, Pipe::DataIn, Pipe::Status})
            faults.push_back({"stall " + std::to_string(static_cast<int>(pipe)) + "/" + std::to_string(k),
                              [pipe, k](EmulatedDs2490& chip) { chip.StallNext(pipe, k); }});
        faults.push_back({"vanish " + std::to_string(k), [k](EmulatedDs2490& chip) { chip.VanishAfter(k); }});
        faults.push_back(
            {"stuck " + std::to_string(k), [k](EmulatedDs2490& chip) { chip.DelayStatus(100000, k); }});
    }
    faults.push_back({"late status", [](EmulatedDs2490& chip) { chip.DelayStatus(50); }});
    faults.push_back({"halt", [](EmulatedDs2490& chip) { chip.Halt(); }});
    faults.push_back({"short", [](EmulatedDs2490& chip) { chip.BusShorted = true; }});
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.name);
        World usb(kPortTypeUsbDs2490);
        usb.StartMission();
        ASSERT_TRUE(usb.TickUntil([&] { return usb.form->PollState == Poll::HistogramPages; }));
        const int resetsBefore = usb.chip->DeviceResets();
        fault.inject(*usb.chip);
        int ticks = 0;
        // The user plugs the adapter back in and clears the short some ticks later.
        ASSERT_TRUE(usb.TickUntil([&] {
            if (++ticks == 40) usb.chip->ClearFaults();
            if (!usb.chip->Plugged() && ticks > 3) usb.chip->Plug();
            return usb.Downloaded();
        })) << usb.form->Status.Caption;
        EXPECT_EQ(WithoutDownloadTime(usb.SaveDataFile()), reference);
        EXPECT_TRUE(usb.platform.Boxes.empty());
        // A late status is only waited for, and a short is the bus's, not the chip's.
        if (fault.name != "short" && fault.name != "late status") {
            EXPECT_GT(usb.chip->DeviceResets(), resetsBefore) << "the fault was met";
        }
        EXPECT_EQ(usb.chip->ProtocolViolations(), 0);
    }
}
