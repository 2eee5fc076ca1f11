#include "cli/DownloadCommand.h"

#include <iostream>
#include <memory>

#include "app/TTRecForm.h"
#include "cli/CliPlatform.h"
#include "device/LinkFactory.h"
#include "device/tmex/TmexDriver.h"
#include "device/virtual/Ds1921Device.h"
#include "device/virtual/VirtualBus.h"
#include "reports/DownloadRun.h"

namespace {
constexpr int kSearchTimeoutMs = 5000;
constexpr int kDownloadTimeoutMs = 120000;

// The virtual adapter of this process holds one demo device with a mission
// that started two days ago, as a new installation shows.
class VirtualAdapter {
public:
    VirtualAdapter() {
        const auto rom = Ds1921Device::MakeRom(Ds1921Variant::Standard, 1921);
        device = std::make_shared<Ds1921Device>(rom, clock,
                                                Ds1921Device::DefaultProfile(Ds1921Variant::Standard, 1921));
        device->SetClock(clock.LocalNow());
        Ds1921MissionSetup setup;
        setup.SampleRate = 10;
        setup.LowThreshold = 70;
        setup.HighThreshold = 130;
        setup.Control = 0x06;
        device->StartMissionAt(setup, device->ClockMs() - 2LL * 86400000);
        device->WriteUserPage(5, "Demo mission");
        bus.Insert(device);
    }
    VirtualBus bus;

private:
    ScaledClock clock;
    std::shared_ptr<Ds1921Device> device;
};

std::string ForTerminal(std::string text) {
    for (char& c : text)
        if (c == '\r') c = '\n';
    return text;
}

int Fail(const std::vector<std::string>& messages, const std::string& fallback) {
    if (messages.empty()) std::cerr << "kelvara-cli: download: " << fallback << "\n";
    for (const auto& message : messages)
        std::cerr << "kelvara-cli: download: " << ForTerminal(message) << "\n";
    return 1;
}
}  // namespace

int RunDownload(const CliOptions& o) {
    VirtualAdapter adapter;
    LinkProvider links(&adapter.bus);
    TmexDriver driver(links);
    CliPlatform platform(o.Now);
    TTRecForm form(platform, driver);
    form.FormCreate({});
    if (o.HasPort) {
        // A port given here replaces the driver's default, found or not.
        platform.Terminated = false;
        platform.Messages.clear();
        form.PortType = static_cast<std::int16_t>(o.PortType);
        form.PortNumber = static_cast<std::int16_t>(o.PortNumber);
    }
    if (platform.Terminated) return Fail(platform.Messages, "no adapter");
    const std::string failure = RunDownloadCycle(form, kSearchTimeoutMs, kDownloadTimeoutMs,
                                                 [&platform] { return platform.Terminated; });
    if (!failure.empty()) return Fail(platform.Messages, failure);
    platform.Messages.clear();
    platform.SaveTarget = o.Output;
    form.menuSaveData1Click();
    if (!platform.Messages.empty()) return Fail(platform.Messages, "");
    std::cerr << "kelvara-cli: downloaded " << form.RomIdText << " (" << form.LogSampleCount
              << " samples) to " << o.Output << "\n";
    return 0;
}
