#pragma once
// A whole window programming emulated DS1921s through the virtual adapter,
// with the computer's clock and the devices' time line moving together.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "app/TTRecForm.h"
#include "device/LinkFactory.h"
#include "device/tmex/TmexDriver.h"
#include "device/virtual/Ds1921Device.h"
#include "device/virtual/SimClock.h"
#include "device/virtual/VirtualBus.h"
#include "model/DateTime.h"
#include "support/DateAt.h"
#include "support/PerTestPath.h"
#include "support/ScriptedPlatform.h"

// Lets a test act while a box is up, as the user does when swapping devices.
class BoxHookPlatform : public ScriptedPlatform {
public:
    std::function<void(const std::string&)> OnBox;
    MsgResult MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                         MsgIcon icon, MsgDefault defaultButton = MsgDefault::First) override {
        if (OnBox) OnBox(text);
        return ScriptedPlatform::MessageBox(text, caption, buttons, icon, defaultButton);
    }
};

// Wraps a device and spoils what it answers, for the failure paths.
class FaultySlave : public VirtualSlave {
public:
    explicit FaultySlave(std::shared_ptr<Ds1921Device> inner) : device(std::move(inner)) {}
    std::array<std::uint8_t, 8> Rom() const override { return device->Rom(); }
    void OnReset() override {
        position = 0;
        command = 0;
        device->OnReset();
    }
    std::uint8_t OnFunctionByte(std::uint8_t written) override {
        const int index = position++;
        if (index == 0) command = written;
        if (command == 0x3C && index == 0 && swallowedClears > 0) {
            --swallowedClears;  // the clear command never reaches the device
            return 0xFF;
        }
        std::uint8_t answer = device->OnFunctionByte(written);
        if (command == 0xAA && index >= 4 && corruptReadBacks > 0) answer ^= 0x01;
        if (command == 0xAA && index == 4 && corruptReadBacks > 0) --corruptReadBacks;
        if (command == 0xA5 && index == 3 && corruptPageReads > 0) {
            --corruptPageReads;  // the first byte of a page read arrives spoilt, so its CRC fails
            answer ^= 0x01;
        }
        return answer;
    }
    bool ConditionalSearchFlag() override { return device->ConditionalSearchFlag(); }

    std::shared_ptr<Ds1921Device> device;
    int swallowedClears = 0;
    int corruptReadBacks = 0;
    int corruptPageReads = 0;

private:
    int position = 0;
    std::uint8_t command = 0;
};

class ProgrammingRig : public ::testing::Test {
protected:
    static TDateTime Start() { return At(2026, 12, 7, 10, 0, 0); }

    void SetUp() override {
        dir = PerTestPath("kelvara-programming");
        std::filesystem::create_directories(dir);
        std::ofstream(dir / "Titles.ini", std::ios::binary) << "[Network]\r\nSerialPort=1\r\nAdapter=15\r\n";
        platform.Dir = dir.string() + "/";
        platform.SetNow(Start());
        form = std::make_unique<TTRecForm>(platform, driver);
        form->FormCreate({});
    }
    void TearDown() override {
        form.reset();
        std::filesystem::remove_all(dir);
    }

    std::shared_ptr<Ds1921Device> NewDevice(std::uint64_t seed) {
        return std::make_shared<Ds1921Device>(Ds1921Device::MakeRom(Ds1921Variant::Standard, seed), clock,
                                              Ds1921Device::DefaultProfile(Ds1921Variant::Standard, seed));
    }
    void Advance(std::int64_t ms) {
        clock.Advance(ms);
        platform.Advance(static_cast<int>(ms));
    }
    void Tick() {
        form->TRecTimerTimer();
        Advance(platform.Interval > 0 ? platform.Interval : 50);
    }
    // Ticks until the state is reached; false after `limit` ticks.
    bool TickUntil(std::int16_t state, int limit = 400) {
        for (int i = 0; i < limit; ++i) {
            if (form->PollState == state) return true;
            Tick();
        }
        return form->PollState == state;
    }
    // From a found device on the idle wizard through every page to Finish.
    void FinishWizard() {
        while (form->Wizard.PageIndex < 8) form->NextButtonClick();
        form->FinishButtonClick();
    }
    bool ProgrammedBoxShown() const {
        for (const auto& box : platform.Boxes)
            if (box.Text.rfind("Mission programmed!", 0) == 0) return true;
        return false;
    }

    std::filesystem::path dir;
    ManualClock clock{ManualClock::MsFromDateTime(Start())};
    BoxHookPlatform platform;
    VirtualBus bus;
    LinkProvider links{&bus};
    TmexDriver driver{links};
    std::unique_ptr<TTRecForm> form;
};
