#pragma once
// The saved default adapter port: what the port set-up tool writes and the
// driver's TMReadDefaultPort reads. A small INI file:
//   [Port]
//   Type=5
//   Number=1
//   Device=/dev/ttyUSB0   (optional, serial adapters only)
#include <cstdint>
#include <string>
#include <vector>

struct PortSetting {
    std::int16_t Type = 15;  // the virtual adapter until the user chooses another
    std::int16_t Number = 1;
    std::string Device;  // serial device path; empty: derived from Number
};

// Unreadable: the file or its folder cannot be checked (a link loop, no
// permission, a name too long); the caller reports it and uses the default.
enum class PortConfigStatus { Missing, Loaded, Damaged, Unreadable };

// $KELVARA_CONFIG_DIR/port.ini, else $XDG_CONFIG_HOME/kelvara/port.ini, else ~/.config/kelvara/port.ini.
std::string PortConfigPath();

// Damaged (with a reason in `error`) for text that is no port file, missing or
// invalid keys; Unreadable (with the folder and the reason) when it cannot be read.
PortConfigStatus LoadPortConfig(const std::string& path, PortSetting& setting, std::string& error);
// Writes through a new file renamed over the target; creates the folder.
bool SavePortConfig(const std::string& path, const PortSetting& setting, std::string& error);

// "TYPE:NUMBER" or "TYPE:NUMBER:DEVICE" (the KELVARA_PORT override). False when
// malformed, with the part that is wrong and what it may be in error.
bool ParsePortText(const std::string& text, PortSetting& setting, std::string* error = nullptr);

// The default port in force: the KELVARA_PORT override when set, else the saved file.
// Damaged (with a reason in `error`) for a malformed override or a damaged file;
// Unreadable as LoadPortConfig says, `setting` then keeps the default.
PortConfigStatus LoadDefaultPort(PortSetting& setting, std::string& error);

bool ValidPortSetting(const PortSetting& setting, std::string& error);

// What the user calls an adapter of the type: "DS9097U serial adapter", "USB
// adapter (DS2490)", "virtual adapter", or "adapter type N".
std::string PortTypeName(std::int16_t type);

// The port set-up tool's command line: --type T --port N [--device PATH].
// False with a message for anything else (an empty list is an error too).
bool ParsePortSetupArguments(const std::vector<std::string>& arguments, PortSetting& setting,
                             std::string& error);

// The serial device for port `number`: the saved Device when the saved port is
// that serial port, else /dev/ttyS(number - 1).
std::string SerialDevicePath(std::int16_t number, const PortSetting* saved);
