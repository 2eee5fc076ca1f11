#include "cli/DownloadCommand.h"

#include <cstdlib>
#include <iostream>

#include "app/TTRecForm.h"
#include "cli/CliPlatform.h"
#include "device/LinkFactory.h"
#include "device/tmex/PortConfig.h"
#include "device/tmex/TmexDriver.h"
#include "device/virtual/SimClock.h"
#include "device/virtual/VirtualAdapter.h"
#include "reports/DownloadRun.h"

namespace {
constexpr int kSearchTimeoutMs = 5000;
constexpr int kDownloadTimeoutMs = 120000;
const char* const kPrefix = "kelvara-cli: download: ";

int Fail(std::ostream& err, const std::vector<std::string>& messages, const std::string& failure) {
    if (!failure.empty()) err << kPrefix << failure << "\n";
    for (const auto& message : messages) err << kPrefix << ForTerminal(message) << "\n";
    return 1;
}

std::string TypeList(const LinkProvider& links) {
    std::string list;
    for (const std::int16_t type : links.TypesWithBackend())
        list += (list.empty() ? "" : ", ") + std::to_string(type) + " (" + PortTypeName(type) + ")";
    return list;
}

// The port to download from: --port, else KELVARA_PORT or the saved default.
// False with the exit status when there is none to use.
bool ChoosePort(const CliOptions& o, PortSetting& port, int& status) {
    if (o.HasPort) {
        port.Type = static_cast<std::int16_t>(o.PortType);
        port.Number = static_cast<std::int16_t>(o.PortNumber);
        return true;
    }
    std::string error;
    switch (LoadDefaultPort(port, error)) {
        case PortConfigStatus::Damaged: {
            const char* environment = std::getenv("KELVARA_PORT");
            const bool fromEnvironment = environment && *environment;
            std::cerr << kPrefix << error << "; "
                      << (fromEnvironment ? "correct KELVARA_PORT or unset it"
                                          : "run kelvara-portsetup to save a port again")
                      << ", or give --port TYPE:NUMBER\n";
            status = fromEnvironment ? 2 : 1;
            return false;
        }
        case PortConfigStatus::Unreadable:
            std::cerr << kPrefix << "warning: " << error << "; using the virtual adapter, port 15:1\n";
            port = PortSetting{};
            return true;
        case PortConfigStatus::Missing:
        case PortConfigStatus::Loaded:
            return true;
    }
    return true;
}
}  // namespace

int DownloadThroughDriver(const CliOptions& o, TmexDriver& driver, std::ostream& err) {
    // What the driver would tell standard error is said here in the command's words.
    std::vector<std::string> driverNotes;
    driver.SetDiagnostics([&driverNotes](const std::string& text) { driverNotes.push_back(text); });
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
    if (platform.Terminated)
        return Fail(err, {}, driverNotes.empty() ? "no adapter port is set" : driverNotes.back());
    const std::string failure = RunDownloadCycle(form, kSearchTimeoutMs, kDownloadTimeoutMs,
                                                 [&platform] { return platform.Terminated; });
    if (platform.Terminated) {
        // The window's box speaks of its own set-up tool and asks a question; say what failed and how to
        // look.
        const std::string reason = !driver.LastSetupError().empty() ? driver.LastSetupError()
                                   : driverNotes.empty()            ? std::string("it does not answer")
                                                                    : driverNotes.back();
        err << kPrefix << "no adapter answers on port " << form.PortType << ":" << form.PortNumber << ": "
            << ForTerminal(reason) << "\n"
            << kPrefix << "kelvara-portsetup --list shows the adapters found.\n";
        return 1;
    }
    if (!failure.empty()) {
        if (form.AwaitingDevice) {
            const bool virtualAdapter = form.PortType == kPortTypeVirtual;
            err << kPrefix << "no DS1921 was found on the " << PortTypeName(form.PortType) << " (port "
                << form.PortType << ":" << form.PortNumber << ") within " << kSearchTimeoutMs / 1000
                << " s; clip one into the adapter "
                << (virtualAdapter ? "(or insert one in the window's Options > Virtual adapter...) " : "")
                << "and try again\n";
            return 1;
        }
        return Fail(err, platform.Messages, failure);
    }
    platform.Messages.clear();
    platform.SaveTarget = FilePath(o.Output);
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
    if (!clockProblem.empty()) std::cerr << kPrefix << "warning: " << clockProblem << "\n";
    VirtualAdapter adapter(VirtualAdapter::DefaultStatePath(), *clock);
    if (const std::string problem = adapter.Load(); !problem.empty())
        std::cerr << kPrefix << "warning: " << ForTerminal(problem) << "\n";
    LinkProvider links(&adapter.Bus());
    PortSetting port;
    int status = 0;
    if (!ChoosePort(o, port, status)) return status;
    // A type this build drives no adapter of is refused at once, not searched for.
    if (!links.HasBackend(port.Type)) {
        std::cerr << kPrefix << "the " << PortTypeName(port.Type) << " (type " << port.Type
                  << ") cannot be used by this build; the adapter types it drives are " << TypeList(links)
                  << "\n";
        return o.HasPort ? 2 : 1;
    }
    CliOptions chosen = o;
    chosen.HasPort = true;
    chosen.PortType = port.Type;
    chosen.PortNumber = port.Number;

    const std::string devicesBefore = adapter.Seeded() ? std::string() : adapter.DevicesText();
    TmexDriver driver(links);
    status = DownloadThroughDriver(chosen, driver, std::cerr);
    // A demo device set up here, or a device the download wrote to, must be the
    // one the window finds next; a failed save costs only that, not the download.
    // A download through another adapter leaves the virtual one's file alone.
    if (adapter.Bus().OperationCount() > 0 && (adapter.Seeded() || adapter.DevicesText() != devicesBefore)) {
        if (const std::string problem = adapter.Save(); !problem.empty())
            std::cerr << kPrefix
                      << "warning: the virtual adapter's state was not saved: " << ForTerminal(problem)
                      << "\n";
    }
    return status;
}
