// kelvara-vadapter: the virtual adapter's DS1921s behind an emulated DS9097U
// (DS2480B) on a pseudo-terminal, for Kelvara's serial adapter and any other
// serial 1-Wire program. Prints the path to open and serves until stopped.
#include <signal.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "device/onewire/TracingLink.h"
#include "device/serial/Ds2480Chip.h"
#include "device/serial/PtyAdapter.h"
#include "device/virtual/SimClock.h"
#include "device/virtual/VirtualAdapter.h"

namespace {

const char* kUsage =
    "Usage: kelvara-vadapter [--link PATH] [--state FILE] [--unpaced]\n"
    "\n"
    "Puts an emulated DS9097U serial 1-Wire adapter (DS2480B) with the virtual adapter's\n"
    "DS1921s on a pseudo-terminal, prints its path and serves one program after another\n"
    "until stopped (Ctrl+C or SIGTERM). Opening the port is the adapter's power-up.\n"
    "\n"
    "  --link PATH    also make PATH a symbolic link to the pseudo-terminal\n"
    "  --state FILE   the devices' state file (default: the virtual adapter's,\n"
    "                 $KELVARA_DATA_DIR/virtual-adapter.txt or ~/.local/share/kelvara/...)\n"
    "  --unpaced      answer at once instead of at the real chip's serial and bus speed\n"
    "  --help         this text\n"
    "\n"
    "KELVARA_VIRTUAL_CLOCK=manual[:YYYY-MM-DDTHH:MM:SS] freezes the devices' time;\n"
    "KELVARA_TRACE=1 reports every byte the chip ignores or loses.\n";

PtyAdapter* serving = nullptr;

extern "C" void OnStopSignal(int) {
    if (serving) serving->Stop();
}

struct Arguments {
    std::string link, state;
    bool unpaced = false;
};

bool Parse(const std::vector<std::string>& args, Arguments& out, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--unpaced") {
            out.unpaced = true;
        } else if (arg == "--link" || arg == "--state") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                error = arg + " needs a path";
                return false;
            }
            (arg == "--link" ? out.link : out.state) = args[++i];
        } else {
            error = "unknown argument " + arg;
            return false;
        }
    }
    return true;
}

void SaveState(VirtualAdapter& adapter) {
    if (const std::string problem = adapter.Save(); !problem.empty())
        std::cerr << "kelvara-vadapter: the devices' state was not saved: " << problem << "\n";
}

// Replaces only a symbolic link (a stale one from an earlier run), never a real file.
bool MakeLink(const std::string& link, const std::string& target, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(link, ec))) fs::remove(link, ec);
    fs::create_symlink(target, link, ec);
    if (ec) error = "cannot make the link " + link + ": " + ec.message();
    return !ec;
}

void RemoveLink(const std::string& link, const std::string& target) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(link, ec)) && fs::read_symlink(link, ec) == target)
        fs::remove(link, ec);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (const auto& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        }
    }
    Arguments options;
    std::string error;
    if (!Parse(args, options, error)) {
        std::cerr << "kelvara-vadapter: " << error << "\n\n" << kUsage;
        return 2;
    }

    std::string clockProblem;
    const auto clock = MakeVirtualClock(std::getenv("KELVARA_VIRTUAL_CLOCK"), clockProblem);
    if (!clockProblem.empty()) std::cerr << "kelvara-vadapter: warning: " << clockProblem << "\n";
    VirtualAdapter adapter(options.state.empty() ? VirtualAdapter::DefaultStatePath() : options.state,
                           *clock);
    if (const std::string problem = adapter.Load(); !problem.empty()) {
        std::string text = problem;
        for (char& c : text)
            if (c == '\r') c = ' ';
        std::cerr << "kelvara-vadapter: warning: " << text << "\n";
    }
    // A first run's demo device is saved at once, so the window finds the same device.
    if (adapter.Seeded()) SaveState(adapter);

    const bool tracing = TracingLink::Requested();
    Ds2480Chip chip(adapter.Bus());
    if (tracing) chip.SetTrace(&std::cerr);
    PtyAdapter pty(chip, {.paced = !options.unpaced, .trace = tracing ? &std::cerr : nullptr});
    if (!pty.Open(error)) {
        std::cerr << "kelvara-vadapter: " << error << "\n";
        return 1;
    }
    if (!options.link.empty() && !MakeLink(options.link, pty.SlavePath(), error)) {
        std::cerr << "kelvara-vadapter: " << error << "\n";
        return 1;
    }
    std::cout << pty.SlavePath() << std::endl;

    std::string roms;
    for (const auto& device : adapter.Devices()) roms += " " + Ds1921Device::RomText(device->Rom());
    std::cerr << "kelvara-vadapter: DS9097U on " << pty.SlavePath() << " with " << adapter.Devices().size()
              << " device(s):" << roms << " (state: " << adapter.StatePath() << ")\n";

    serving = &pty;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    pty.OnHostLeft = [&adapter] { SaveState(adapter); };
    pty.OnPeriod = [&adapter] { SaveState(adapter); };
    pty.Serve();
    serving = nullptr;

    SaveState(adapter);
    if (!options.link.empty()) RemoveLink(options.link, pty.SlavePath());
    std::cerr << "kelvara-vadapter: stopped after " << pty.HostsServed() << " host(s)\n";
    return 0;
}
