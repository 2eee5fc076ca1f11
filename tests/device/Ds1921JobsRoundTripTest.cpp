// The jobs through the real driver and virtual bus into an emulated DS1921:
// what they write must land in the device, and pulling the device or losing
// the adapter at any bus operation must end every job cleanly.
#include <gtest/gtest.h>

#include <functional>

#include "app/TTRecForm.h"
#include "device/LinkFactory.h"
#include "device/tmex/TmexDriver.h"
#include "device/virtual/VirtualAdapter.h"
#include "model/Bcd.h"
#include "support/DateAt.h"
#include "support/ForwardingDriver.h"
#include "support/ScriptedPlatform.h"

namespace {
// Counts the sessions the jobs leave open.
class SessionCounter : public ForwardingDriver {
public:
    using ForwardingDriver::ForwardingDriver;
    int Open = 0;

    std::int32_t TMExtendedStartSession(std::int16_t n, std::int16_t t, void* r) override {
        const auto handle = ForwardingDriver::TMExtendedStartSession(n, t, r);
        if (handle > 0) ++Open;
        return handle;
    }
    std::int16_t TMEndSession(std::int32_t s) override {
        const auto result = ForwardingDriver::TMEndSession(s);
        if (result == 1) --Open;
        return result;
    }
};

class JobsOnEmulatedDevice : public ::testing::Test {
protected:
    void SetUp() override {
        device = adapter.InsertDevice(Ds1921Variant::Standard);
        form.PortType = kPortTypeVirtual;
        form.PortNumber = 1;
        std::string text;
        ASSERT_EQ(form.FindFirstFamily(33, text), 1);
        ASSERT_EQ(text, Ds1921Device::RomText(device->Rom()));
    }
    void ExpectClosed() {
        EXPECT_EQ(counter.Open, 0);
        EXPECT_FALSE(form.GreenLight.On);
    }
    std::array<std::uint8_t, 32> RegisterPage() {
        std::array<std::uint8_t, 32> page{};
        EXPECT_EQ(form.ReadPage(16, page.data()), 1);
        return page;
    }
    // A new mission's register bytes: clock from the computer, thresholds, a
    // 10-minute sample rate, no delay.
    void ComposeMission(std::uint8_t sampleRate = 10) {
        auto& bytes = form.Image.NewRegisterPage;
        bytes.fill(0);
        const auto clockBlock = EncodeClockBlock(clock.LocalNow());
        std::copy(clockBlock.begin(), clockBlock.end(), bytes.begin());
        bytes[Reg::AlarmSeconds] = bytes[Reg::AlarmMinutes] = bytes[Reg::AlarmHours] = 0x80;
        bytes[Reg::AlarmDay] = 0x81;
        bytes[Reg::LowThreshold] = 100;
        bytes[Reg::HighThreshold] = 160;
        bytes[Reg::SampleRate] = sampleRate;
    }
    void Program() {
        ASSERT_EQ(form.ClearMemory(), 1);
        ASSERT_TRUE(RegisterPage()[Reg::Status] & Reg::StatusMemoryCleared);
        ComposeMission();
        for (std::int16_t step = 0; step <= 2; ++step) {
            form.WriteStep = step;
            ASSERT_EQ(form.WriteMission(), 1) << step;
        }
    }

    ManualClock clock{ManualClock::MsFromDateTime(At(2026, 12, 7, 9, 15, 42))};
    VirtualAdapter adapter{"", clock};
    LinkProvider links{&adapter.Bus()};
    TmexDriver driver{links};
    SessionCounter counter{driver};
    ScriptedPlatform platform;
    TTRecForm form{platform, counter};
    std::shared_ptr<Ds1921Device> device;
};
}  // namespace

TEST_F(JobsOnEmulatedDevice, ProgrammedMissionLandsInTheDevice) {
    clock.Advance(1500);  // the device accepts a mission only after its clock has run a second
    Program();
    EXPECT_TRUE(device->MissionRunning());
    const auto written = device->PeekRange(0x207, 7);
    EXPECT_EQ(written, std::vector<std::uint8_t>(form.Image.NewRegisterPage.begin() + 7,
                                                 form.Image.NewRegisterPage.begin() + 14));

    clock.AdvanceMinutes(35);
    const auto page = RegisterPage();
    EXPECT_TRUE(page[Reg::Status] & Reg::StatusMissionInProgress);
    EXPECT_EQ(page[Reg::SampleRate], 10);
    EXPECT_GE(MissionSampleCount(page), 3);
    // The device clock was set from the computer plus one second and has run since.
    const BcdTime deviceClock = BCDTimeToString(page.data(), BcdForm::Full, page[Reg::ClockMonth] & 0x80);
    EXPECT_NEAR((deviceClock.Value - clock.LocalNow()) * 86400.0, 1.0, 1.5);

    EXPECT_EQ(form.StopMission(), 1);
    EXPECT_FALSE(device->MissionRunning());
    ExpectClosed();
}

TEST_F(JobsOnEmulatedDevice, UserPageRoundTrip) {
    auto slot = form.Image.PageSlot(1);
    std::fill(slot.begin(), slot.end(), ' ');
    slot[0] = 'A';
    slot[1] = 'n';
    slot[2] = 'n';
    slot[3] = 0x00;
    EXPECT_EQ(form.WriteUser(1), 1);
    EXPECT_EQ(device->PeekRange(0x20, 32), std::vector<std::uint8_t>(slot.begin(), slot.end()));

    MemoryImage image;
    std::array<std::uint8_t, 32> page{};
    ASSERT_EQ(form.ReadPage(1, page.data()), 1);
    image.StorePage(1, page);
    EXPECT_EQ(DecodeUserPage(image, 1), "Ann" + std::string(29, ' '));
    ExpectClosed();
}

TEST_F(JobsOnEmulatedDevice, ConversionReadingArrivesWithTheNextRegisterRead) {
    EXPECT_EQ(form.ForceConversion(), 1);
    const auto page = RegisterPage();
    EXPECT_EQ(page[Reg::Temperature], device->Peek(0x211));
    EXPECT_EQ(DeviceSampleCount(page), ReadCounter24(device->PeekRange(0x21D, 3), 0));
    EXPECT_GE(DeviceSampleCount(page), 1);
    ExpectClosed();
}

TEST_F(JobsOnEmulatedDevice, RefusedCopyAndCorruptedReadBack) {
    ComposeMission();
    form.WriteStep = 0;
    device->RefuseCopies(1);
    EXPECT_EQ(form.WriteMission(), -1);
    EXPECT_EQ(form.WriteMission(), 1);

    // One bit of the read-back flips on its way: the job refuses to copy.
    form.WriteStep = 2;
    const auto before = device->Peek(0x20D);
    // Search command byte, write block (4), Match ROM (9), then 0xAA, address (2) and the ending offset.
    adapter.Bus().FlipReadBit(1 + 4 + 9 + 3, 0);
    EXPECT_EQ(form.WriteMission(), -301);
    EXPECT_EQ(device->Peek(0x20D), before);
    ExpectClosed();
}

TEST_F(JobsOnEmulatedDevice, RemovedDeviceIsMissingAndFoundAgain) {
    EXPECT_EQ(form.VerifyDevice(), 1);
    adapter.RemoveDevice(device);
    EXPECT_EQ(form.VerifyDevice(), -1);
    std::array<std::uint8_t, 32> page{};
    EXPECT_EQ(form.ReadPage(16, page.data()), -1);
    std::string text;
    EXPECT_EQ(form.FindFirstFamily(33, text), -1);
    adapter.InsertDevice(device);
    EXPECT_EQ(form.FindFirstFamily(33, text), 1);
    EXPECT_EQ(form.VerifyDevice(), 1);
    ExpectClosed();
}

// Every job, with the device pulled after each of its bus operations in turn (and
// the adapter failing likewise): -1, -301 or a driver error, never a session left
// open or the light on; and the next clean run succeeds again.
TEST_F(JobsOnEmulatedDevice, PullingTheDeviceOrTheAdapterAtEveryBusOperation) {
    clock.Advance(1500);
    ComposeMission(0);  // a zero sample rate keeps step 2 from starting a mission mid-test
    std::array<std::uint8_t, 32> page{};
    const std::vector<std::pair<std::string, std::function<std::int16_t()>>> jobs = {
        {"ReadPage", [&] { return form.ReadPage(16, page.data()); }},
        {"VerifyDevice", [&] { return form.VerifyDevice(); }},
        {"WriteMission 0", [&] { return form.WriteStep = 0, form.WriteMission(); }},
        {"WriteMission 1", [&] { return form.WriteStep = 1, form.WriteMission(); }},
        {"WriteUser", [&] { return form.WriteUser(2); }},
        {"StopMission", [&] { return form.StopMission(); }},
        {"ClearMemory", [&] { return form.ClearMemory(); }},
        {"ForceConversion", [&] { return form.ForceConversion(); }},
    };
    VirtualBus& bus = adapter.Bus();
    for (const auto& [name, job] : jobs) {
        std::uint64_t start = bus.OperationCount();
        ASSERT_EQ(job(), 1) << name;
        const std::uint64_t operations = bus.OperationCount() - start;
        for (const bool adapterFails : {false, true}) {
            for (std::uint64_t after = 0; after < operations; ++after) {
                SCOPED_TRACE(name + (adapterFails ? ": adapter fails" : ": device pulled") + " after " +
                             std::to_string(after) + " of " + std::to_string(operations) + " bus operations");
                if (adapterFails)
                    bus.FailLinkAfter(after);
                else
                    bus.VanishAfter(device, after);
                const std::int16_t result = job();
                bus.ClearFaults();
                if (adapterFails) bus.Close();  // the driver opens the link again at its next use
                if (bus.Devices().empty()) adapter.InsertDevice(device);
                ExpectClosed();
                // Once selected, a command byte echoes on an empty bus too; and a device
                // that answered the whole ROM search was present.
                const bool late = result == 1 && (name == "ForceConversion" || name == "ClearMemory" ||
                                                  (name == "VerifyDevice" && !adapterFails));
                EXPECT_TRUE(late || result == -1 || result == -301 || (result < 0 && result != -200))
                    << result;
            }
        }
        EXPECT_EQ(job(), 1) << name << " after the faults";
    }
}
