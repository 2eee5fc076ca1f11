#include "cli/AdapterSession.h"

#include <cstdlib>
#include <iostream>
#include <memory>

#include "cli/CliPlatform.h"
#include "device/LinkFactory.h"
#include "device/tmex/TmexDriver.h"
#include "device/virtual/SimClock.h"
#include "device/virtual/VirtualAdapter.h"

namespace {
std::string TypeList(const LinkProvider& links) {
    std::string list;
    for (const std::int16_t type : links.TypesWithBackend())
        list += (list.empty() ? "" : ", ") + std::to_string(type) + " (" + PortTypeName(type) + ")";
    return list;
}

// False with the exit status when there is no port to use.
bool ChoosePort(const char* prefix, bool hasPort, int portType, int portNumber, PortSetting& port,
                int& status) {
    if (hasPort) {
        port.Type = static_cast<std::int16_t>(portType);
        port.Number = static_cast<std::int16_t>(portNumber);
        return true;
    }
    std::string error;
    switch (LoadDefaultPort(port, error)) {
        case PortConfigStatus::Damaged: {
            const char* environment = std::getenv("KELVARA_PORT");
            const bool fromEnvironment = environment && *environment;
            std::cerr << prefix << error << "; "
                      << (fromEnvironment ? "correct KELVARA_PORT or unset it"
                                          : "run kelvara-portsetup to save a port again")
                      << ", or give --port TYPE:NUMBER\n";
            status = fromEnvironment ? 2 : 1;
            return false;
        }
        case PortConfigStatus::Unreadable:
            std::cerr << prefix << "warning: " << error << "; using the virtual adapter, port 15:1\n";
            port = PortSetting{};
            return true;
        case PortConfigStatus::Missing:
        case PortConfigStatus::Loaded:
            return true;
    }
    return true;
}
}  // namespace

int RunOnAdapter(const char* prefix, bool hasPort, int portType, int portNumber,
                 const std::function<int(TmexDriver&, const PortSetting&, const KeepState&)>& job) {
    // The virtual adapter holds the same devices as the window's, from the shared state file.
    // KELVARA_VIRTUAL_CLOCK as in the window, so a script can freeze the devices' time.
    std::string clockProblem;
    const std::unique_ptr<SimClock> clock =
        MakeVirtualClock(std::getenv("KELVARA_VIRTUAL_CLOCK"), clockProblem);
    if (!clockProblem.empty()) std::cerr << prefix << "warning: " << clockProblem << "\n";
    VirtualAdapter adapter(VirtualAdapter::DefaultStatePath(), *clock);
    if (const std::string problem = adapter.Load(); !problem.empty())
        std::cerr << prefix << "warning: " << ForTerminal(problem) << "\n";
    LinkProvider links(&adapter.Bus());
    PortSetting port;
    int status = 0;
    if (!ChoosePort(prefix, hasPort, portType, portNumber, port, status)) return status;
    // A type this build drives no adapter of is refused at once, not searched for.
    if (!links.HasBackend(port.Type)) {
        std::cerr << prefix << "the " << PortTypeName(port.Type) << " (type " << port.Type
                  << ") cannot be used by this build; the adapter types it drives are " << TypeList(links)
                  << "\n";
        return hasPort ? 2 : 1;
    }

    std::string devicesBefore = adapter.Seeded() ? std::string() : adapter.DevicesText();
    bool seeded = adapter.Seeded();
    // A demo device set up here, or a device the job wrote to, must be the
    // one the window finds next; a failed save costs only that, not the job.
    // A job through another adapter leaves the virtual one's file alone.
    const KeepState keep = [&] {
        if (adapter.Bus().OperationCount() == 0) return;
        std::string devices = adapter.DevicesText();
        if (!seeded && devices == devicesBefore) return;
        if (const std::string problem = adapter.Save(); !problem.empty()) {
            std::cerr << prefix
                      << "warning: the virtual adapter's state was not saved: " << ForTerminal(problem)
                      << "\n";
            return;
        }
        seeded = false;
        devicesBefore = std::move(devices);
    };
    TmexDriver driver(links);
    status = job(driver, port, keep);
    keep();
    return status;
}
