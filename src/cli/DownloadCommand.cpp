#include "cli/DownloadCommand.h"

#include <iostream>

#include "app/TTRecForm.h"
#include "cli/AdapterSession.h"
#include "cli/CliPlatform.h"
#include "device/tmex/PortConfig.h"
#include "device/tmex/TmexDriver.h"
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
    return RunOnAdapter(kPrefix, o.HasPort, o.PortType, o.PortNumber,
                        [&o](TmexDriver& driver, const PortSetting& port, const KeepState&) {
                            CliOptions chosen = o;
                            chosen.HasPort = true;
                            chosen.PortType = port.Type;
                            chosen.PortNumber = port.Number;
                            return DownloadThroughDriver(chosen, driver, std::cerr);
                        });
}
