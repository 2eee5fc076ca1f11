// kelvara-portsetup: without options, the set-up window; --list prints the
// adapters found, --test tries one, and --type/--port/--device save a port
// without a window.
#include <QApplication>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "PortSetupDialog.h"
#include "device/AdapterList.h"
#include "device/LinkFactory.h"
#include "device/onewire/TracingLink.h"
#include "device/tmex/PortConfig.h"
#include "device/virtual/SimClock.h"
#include "device/virtual/VirtualAdapter.h"

namespace {
const char* const kUsage =
    "Usage: kelvara-portsetup                      the set-up window\n"
    "       kelvara-portsetup --list               the adapters found, one a line:\n"
    "                                              type, port, where, what (tab-separated)\n"
    "       kelvara-portsetup --test TYPE:NUMBER[:DEVICE]   open it, reset and search the bus\n"
    "       kelvara-portsetup --type T --port N [--device PATH]   save the default port\n"
    "  type 5: DS9097U serial adapter (port N is /dev/ttyS(N-1) unless --device names another)\n"
    "  type 6: DS9490 USB adapter (port N is the Nth one found, in the order --list shows)\n"
    "  type 15: the virtual adapter\n"
    "KELVARA_TRACE=1 writes every exchange with the adapter to standard error.\n";

int Fail(const std::string& message, int status) {
    std::fprintf(stderr, "kelvara-portsetup: %s\n", message.c_str());
    return status;
}

int Test(const PortSetting& setting, UsbHost& usb) {
    std::unique_ptr<Link> link = MakeAdapterLink(setting, usb);
    if (!link) {
        std::puts("The virtual adapter is built into Kelvara and always answers.");
        return 0;
    }
    std::unique_ptr<Link> traced;
    if (TracingLink::Requested()) traced = std::make_unique<TracingLink>(*link, std::cerr, "1W test");
    const AdapterTest test = TestAdapter(traced ? *traced : *link);
    for (const std::string& line : test.Lines) std::puts(line.c_str());
    return test.AdapterAnswers ? 0 : 1;
}
}  // namespace

int main(int argc, char** argv) {
    // The USB host of the driver (KELVARA_USB=emulated puts emulated adapters in
    // front of a demonstration device here).
    ManualClock clock(SystemNowMs(), SystemLocalOffsetMs());
    VirtualAdapter demo("", clock);
    demo.InsertDemoDevice();
    LinkProvider links(&demo.Bus());
    UsbHost& usb = links.Usb();

    if (argc > 1) {
        const std::vector<std::string> arguments(argv + 1, argv + argc);
        if (arguments[0] == "--help" || arguments[0] == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arguments[0] == "--list") {
            if (arguments.size() != 1) return Fail("--list takes nothing more.", 2);
            const AdapterListing listing = ListAdapters(usb);
            for (const AdapterEntry& entry : listing.Adapters) std::puts(AdapterLine(entry).c_str());
            for (const std::string& note : listing.Notes) Fail(note, 0);
            return 0;
        }
        PortSetting setting;
        if (arguments[0] == "--test") {
            if (arguments.size() != 2 || !ParsePortText(arguments[1], setting))
                return Fail("--test needs TYPE:NUMBER[:DEVICE], e.g. --test 6:1.", 2);
            return Test(setting, usb);
        }
        std::string error;
        if (!ParsePortSetupArguments(arguments, setting, error)) return Fail(error, 2);
        const std::string path = PortConfigPath();
        if (!SavePortConfig(path, setting, error)) return Fail(error, 1);
        std::printf("Saved adapter type %d port %d to %s\n", setting.Type, setting.Number, path.c_str());
        return 0;
    }
    QApplication app(argc, argv);
    PortSetupDialog dialog(usb);
    return dialog.exec() == QDialog::Accepted ? 0 : 1;
}
