#include <cstdio>

#include "app/TTRecForm.h"
#include "device/JobSession.h"

namespace {
constexpr int kFlashMilliseconds = 400;
const char* const kNoDeviceText = "No iButton found!  ";
const char* const kNoDeviceFlashText = "No iButton Found!  ";

// Tick counts wrap; the signed difference orders them across the wrap.
bool TickPassed(std::uint32_t now, std::uint32_t deadline) {
    return static_cast<std::int32_t>(now - deadline) > 0;
}
}  // namespace

std::int16_t TTRecForm::FindFirstFamily(std::int16_t family, std::string& romIdText) {
    JobSession session(*this);
    if (!session.Open()) return JobSession::kNoSession;
    if (!DriverSetupDone) {
        if (driver.TMSetup(session.Handle()) != 1) ShowAdapterMissingBox(false);
        DriverSetupDone = true;
    }
    std::int16_t result = -1;
    if (driver.TMFamilySearchSetup(session.Handle(), session.State(), family) == 1 &&
        driver.TMNext(session.Handle(), session.State()) == 1) {
        RomBuffer[0] = 0;
        driver.TMRom(session.Handle(), session.State(), RomBuffer.data());
        // Bit 7 of the family code is not part of the identity.
        if ((RomBuffer[0] & 0x7F) == (family & 0x7F)) {
            romIdText.clear();
            for (int i = 7; i >= 0; --i) {
                char digits[3];
                std::snprintf(digits, sizeof digits, "%.2X", static_cast<unsigned>(RomBuffer[i] & 0xFF));
                romIdText += digits;
            }
            result = 1;
        }
    }
    return result;
}

std::int16_t TTRecForm::VerifyDevice() {
    JobSession session(*this);
    if (!session.Open()) return JobSession::kNoSession;
    driver.TMRom(session.Handle(), session.State(), RomBuffer.data());
    return driver.TMStrongAccess(session.Handle(), session.State()) == 1 ? 1 : -1;
}

void TTRecForm::NoDevice(bool absent) {
    const std::uint32_t now = platform.TickCount();
    if (absent != NoDeviceShown) {
        TopPanel.Caption = absent ? kNoDeviceText : "";
        FlashDeadline = now + kFlashMilliseconds;
        NoDeviceShown = absent;
    }
    if (!NoDeviceShown) return;
    if (!AwaitingDevice) ResetToWelcome();
    // The clock refresh read failing means the device went while the window still shows it.
    if (Status.Caption == " Read time") ResetToWelcome();
    if (TickPassed(now, FlashDeadline)) {
        FlashDeadline = now + kFlashMilliseconds;
        TopPanel.Caption = TopPanel.Caption.empty() ? kNoDeviceFlashText : "";
    }
}

// On: shown at once, since the job that follows blocks the window.
void TTRecForm::Light(bool on) {
    GreenLight.On = on;
    if (on) platform.RefreshNow();
}

void TTRecForm::DetectVariantFromRom(const std::string& romIdText) {
    const DeviceVariant variant = DetectVariant(romIdText);
    menuStandard.Checked = variant == DeviceVariant::Standard;
    menuHuman.Checked = variant == DeviceVariant::HumanBody;
    menuIce.Checked = variant == DeviceVariant::LowTemp;
}

void TTRecForm::ResetToWelcome() {
    PollState = Poll::Reset;
    AwaitingDevice = true;
    RecTab.Visible = false;
    PanelWelcome.Visible = true;
    Caption = kNoDeviceText;
}
