#pragma once
// What the port set-up tool offers: the adapters it can find (USB adapters by
// enumeration, the serial ports that exist, the virtual adapter), and a test
// of one (open, reset, search) that says in words what answers.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "device/onewire/Link.h"
#include "device/tmex/PortConfig.h"
#include "device/usb/UsbTransport.h"

struct AdapterEntry {
    std::int16_t Type = 0;
    std::int16_t Number = 0;
    std::string Where;    // device path, USB bus and address, or "built in"
    std::string What;     // what it is
    std::string Device;   // the serial device path saved with it; empty for the others
    std::string Problem;  // why it may not open, when that is known beforehand
    PortSetting Setting() const { return PortSetting{Type, Number, Device}; }
};

struct AdapterListing {
    std::vector<AdapterEntry> Adapters;
    std::vector<std::string> Notes;  // what could not be looked at, and why
};

// devRoot and sysRoot are /dev and /sys; tests hand in folders of their own.
// Serial ports: the stable names in serial/by-id, the ttyUSB and ttyACM ports
// they do not cover, and the ttyS ports that have a UART behind them.
AdapterListing ListAdapters(UsbHost& usb, const std::string& devRoot = "/dev",
                            const std::string& sysRoot = "/sys");

// One line of `kelvara-portsetup --list`: type, port, where and what, tab-separated.
std::string AdapterLine(const AdapterEntry& entry);

// The link a test of `setting` opens (not the virtual adapter: nullptr).
std::unique_ptr<Link> MakeAdapterLink(const PortSetting& setting, UsbHost& usb);

struct AdapterTest {
    bool AdapterAnswers = false;
    std::vector<std::string> Lines;  // for the window or the terminal
};
// Opens the link, resets the bus, searches it and closes it again.
AdapterTest TestAdapter(Link& link);

// What family `family` is, as far as Kelvara cares.
std::string FamilyName(std::uint8_t family);
