#include "cli/DownloadCommand.h"

#include <iostream>

#include "app/TTRecForm.h"
#include "cli/CliPlatform.h"
#include "device/LinkFactory.h"
#include "device/tmex/TmexDriver.h"
#include "device/virtual/SimClock.h"
#include "device/virtual/VirtualAdapter.h"
#include "reports/DownloadRun.h"

namespace {
constexpr int kSearchTimeoutMs = 5000;
constexpr int kDownloadTimeoutMs = 120000;

int Fail(const std::vector<std::string>& messages, const std::string& fallback) {
    if (messages.empty()) std::cerr << "kelvara-cli: download: " << fallback << "\n";
    for (const auto& message : messages)
        std::cerr << "kelvara-cli: download: " << ForTerminal(message) << "\n";
    return 1;
}
}  // namespace

int RunDownload(const CliOptions& o) {
    // The virtual adapter holds the same devices as the window's, from the shared state file.
    ScaledClock clock;
    VirtualAdapter adapter(VirtualAdapter::DefaultStatePath(), clock);
    if (const std::string problem = adapter.Load(); !problem.empty())
        std::cerr << "kelvara-cli: download: warning: " << ForTerminal(problem) << "\n";
    const std::string devicesBefore = adapter.Seeded() ? std::string() : adapter.DevicesText();
    // A demo device set up here, or a device the download wrote to, must be the
    // one the window finds next; a failed save costs only that, not the download.
    // A download through another adapter leaves the virtual one's file alone.
    const auto saveIfChanged = [&] {
        if (adapter.Bus().OperationCount() == 0) return;
        if (!adapter.Seeded() && adapter.DevicesText() == devicesBefore) return;
        if (const std::string problem = adapter.Save(); !problem.empty())
            std::cerr << "kelvara-cli: download: warning: the virtual adapter's state was not saved: "
                      << ForTerminal(problem) << "\n";
    };
    LinkProvider links(&adapter.Bus());
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
    saveIfChanged();
    if (!failure.empty()) return Fail(platform.Messages, failure);
    platform.Messages.clear();
    platform.SaveTarget = o.Output;
    form.menuSaveData1Click();
    if (!platform.Messages.empty()) return Fail(platform.Messages, "");
    std::cerr << "kelvara-cli: downloaded " << form.RomIdText << " (" << form.LogSampleCount
              << " samples) to " << o.Output << "\n";
    return 0;
}
