// kelvara-portsetup: with options, saves the port without a window
// (--type T --port N [--device PATH]); without, opens the set-up window.
#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "PortSetupDialog.h"
#include "device/tmex/PortConfig.h"

int main(int argc, char** argv) {
    if (argc > 1) {
        const std::vector<std::string> arguments(argv + 1, argv + argc);
        if (arguments[0] == "--help" || arguments[0] == "-h") {
            std::puts("Usage: kelvara-portsetup [--type 5|15 --port N [--device PATH]]\n"
                      "  type 5: DS9097U serial adapter (port N is /dev/ttyS(N-1) unless --device names another)\n"
                      "  type 15: the virtual adapter");
            return 0;
        }
        PortSetting setting;
        std::string error;
        if (!ParsePortSetupArguments(arguments, setting, error)) {
            std::fprintf(stderr, "kelvara-portsetup: %s\n", error.c_str());
            return 2;
        }
        const std::string path = PortConfigPath();
        if (!SavePortConfig(path, setting, error)) {
            std::fprintf(stderr, "kelvara-portsetup: %s\n", error.c_str());
            return 1;
        }
        std::printf("Saved adapter type %d port %d to %s\n", setting.Type, setting.Number, path.c_str());
        return 0;
    }
    QApplication app(argc, argv);
    PortSetupDialog dialog;
    return dialog.exec() == QDialog::Accepted ? 0 : 1;
}
