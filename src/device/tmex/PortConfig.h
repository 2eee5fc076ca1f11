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

enum class PortConfigStatus { Missing, Loaded, Damaged };

// $KELVARA_CONFIG_DIR/port.ini, else $XDG_CONFIG_HOME/kelvara/port.ini, else ~/.config/kelvara/port.ini.
std::string PortConfigPath();

// Damaged (with a reason in `error`) for unreadable text, missing or invalid keys.
PortConfigStatus LoadPortConfig(const std::string& path, PortSetting& setting, std::string& error);
// Writes through a temporary file renamed over the target; creates the folder.
bool SavePortConfig(const std::string& path, const PortSetting& setting, std::string& error);

// "TYPE:NUMBER" or "TYPE:NUMBER:DEVICE" (the KELVARA_PORT override). False when malformed.
bool ParsePortText(const std::string& text, PortSetting& setting);

// The default port in force: the KELVARA_PORT override when set, else the saved file.
// Damaged (with a reason in `error`) for a malformed override or a damaged file.
PortConfigStatus LoadDefaultPort(PortSetting& setting, std::string& error);

bool ValidPortSetting(const PortSetting& setting, std::string& error);

// The port set-up tool's command line: --type T --port N [--device PATH].
// False with a message for anything else (an empty list is an error too).
bool ParsePortSetupArguments(const std::vector<std::string>& arguments, PortSetting& setting,
                             std::string& error);

// The serial device for port `number`: the saved Device when the saved port is
// that serial port, else /dev/ttyS(number - 1).
std::string SerialDevicePath(std::int16_t number, const PortSetting* saved);
