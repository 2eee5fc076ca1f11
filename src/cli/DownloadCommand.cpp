#include "cli/DownloadCommand.h"

#include <cstdlib>
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

int Fail(std::ostream& err, const std::vector<std::string>& messages, const std::string& fallback) {
    if (messages.empty()) err << "kelvara-cli: download: " << fallback << "\n";
    for (const auto& message : messages) err << "kelvara-cli: download: " << ForTerminal(message) << "\n";
    return 1;
}
}  // namespace

int DownloadThroughDriver(const CliOptions& o, TmexDriver& driver, std::ostream& err) {
    driver.SetSetupErrorsToStderr(false);
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
    if (platform.Terminated) return Fail(err, platform.Messages, "no adapter");
    const std::string failure = RunDownloadCycle(form, kSearchTimeoutMs, kDownloadTimeoutMs,
                                                 [&platform] { return platform.Terminated; });
    if (platform.Terminated && !driver.LastSetupError().empty()) {
        // The window's box speaks of its own set-up tool; say what failed and how to look.
        err << "kelvara-cli: download: no adapter answers on port " << form.PortType << ":" << form.PortNumber
            << ": " << ForTerminal(driver.LastSetupError()) << "\n"
            << "kelvara-cli: download: kelvara-portsetup --list shows the adapters found.\n";
        return 1;
    }
    if (!failure.empty()) return Fail(err, platform.Messages, failure);
    platform.Messages.clear();
    platform.SaveTarget = o.Output;
    form.menuSaveData1Click();
    if (!platform.Messages.empty()) return Fail(err, platform.Messages, "");
    err << "kelvara-cli: downloaded " << form.RomIdText << " (" << form.LogSampleCount << " samples) to "
        << o.Output << "\n";
    return 0;
}

int RunDownload(const CliOptions& o) {
    // The virtual adapter holds the same devices as the window's, from the shared state file.
    // KELVARA_VIRTUAL_CLOCK as in the window, so a script can freeze the devices' time.
    std::string clockProblem;
    const std::unique_ptr<SimClock> clock =
        MakeVirtualClock(std::getenv("KELVARA_VIRTUAL_CLOCK"), clockProblem);
    if (!clockProblem.empty()) std::cerr << "kelvara-cli: download: warning: " << clockProblem << "\n";
    VirtualAdapter adapter(VirtualAdapter::DefaultStatePath(), *clock);
    if (const std::string problem = adapter.Load(); !problem.empty())
        std::cerr << "kelvara-cli: download: warning: " << ForTerminal(problem) << "\n";
    const std::string devicesBefore = adapter.Seeded() ? std::string() : adapter.DevicesText();
    LinkProvider links(&adapter.Bus());
    TmexDriver driver(links);
    const int status = DownloadThroughDriver(o, driver, std::cerr);
    // A demo device set up here, or a device the download wrote to, must be the
    // one the window finds next; a failed save costs only that, not the download.
    // A download through another adapter leaves the virtual one's file alone.
    if (adapter.Bus().OperationCount() > 0 && (adapter.Seeded() || adapter.DevicesText() != devicesBefore)) {
        if (const std::string problem = adapter.Save(); !problem.empty())
            std::cerr << "kelvara-cli: download: warning: the virtual adapter's state was not saved: "
                      << ForTerminal(problem) << "\n";
    }
    return status;
}
