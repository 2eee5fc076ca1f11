#include "device/AdapterList.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include "device/onewire/Search.h"
#include "device/serial/Ds2480Link.h"
#include "device/serial/TermiosSerialPort.h"
#include "device/tmex/TmexApi.h"
#include "device/usb/Ds2490Link.h"

namespace fs = std::filesystem;

namespace {
constexpr int kMaxDevicesListed = 32;

std::vector<fs::path> Entries(const fs::path& folder) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        found.push_back(it->path());
    std::sort(found.begin(), found.end());
    return found;
}

// "ttyS12" -> 12 for the prefix "ttyS"; -1 when the name is not prefix + digits.
int PortIndex(const std::string& name, const std::string& prefix) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return -1;
    int value = 0;
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9' || value > 9999) return -1;
        value = value * 10 + (name[i] - '0');
    }
    return value;
}

// A ttyS port has a UART behind it unless the kernel reports its type as 0 (unknown).
bool UartPresent(const fs::path& sysRoot, const std::string& name) {
    std::ifstream type(sysRoot / "class" / "tty" / name / "type");
    if (!type) return true;  // no sysfs to ask: the device node is all we know
    int value = 0;
    return (type >> value) && value != 0;
}

void AddSerialPorts(AdapterListing& listing, const fs::path& dev, const fs::path& sys) {
    const std::string serialWhat = "serial port, for a DS9097U adapter (DS2480B)";
    std::set<fs::path> covered;
    for (const fs::path& link : Entries(dev / "serial" / "by-id")) {
        std::error_code ec;
        const fs::path target = fs::canonical(link, ec);
        if (!ec) covered.insert(target);
        AdapterEntry entry{
            kPortTypeSerialDs2480, 1,
            link.string(),         serialWhat + (ec ? "" : " (" + target.filename().string() + ")"),
            link.string(),         {}};
        listing.Adapters.push_back(entry);
    }
    std::vector<std::pair<int, fs::path>> uarts;
    for (const fs::path& node : Entries(dev)) {
        const std::string name = node.filename().string();
        std::error_code ec;
        const fs::path real = fs::weakly_canonical(node, ec);
        if (PortIndex(name, "ttyUSB") >= 0 || PortIndex(name, "ttyACM") >= 0) {
            if (!covered.contains(node) && !covered.contains(real))
                listing.Adapters.push_back(
                    {kPortTypeSerialDs2480, 1, node.string(), serialWhat, node.string(), {}});
        } else if (const int index = PortIndex(name, "ttyS");
                   index >= 0 && index < 255 && UartPresent(sys, name)) {
            uarts.emplace_back(index, node);
        }
    }
    std::sort(uarts.begin(), uarts.end());
    for (const auto& [index, node] : uarts)
        listing.Adapters.push_back(
            {kPortTypeSerialDs2480, static_cast<std::int16_t>(index + 1), node.string(), serialWhat, {}, {}});
}

std::string RomText(const onewire::Rom& rom) {
    std::string text;
    char digits[3];
    for (int i = 7; i >= 0; --i) {
        std::snprintf(digits, sizeof digits, "%.2X", static_cast<unsigned>(rom[i]));
        text += digits;
    }
    return text;
}
}  // namespace

AdapterListing ListAdapters(UsbHost& usb, const std::string& devRoot, const std::string& sysRoot) {
    AdapterListing listing;
    std::string error;
    const std::vector<UsbAdapterInfo> found = usb.FindAdapters(error);
    if (!error.empty()) listing.Notes.push_back(error);
    for (std::size_t i = 0; i < found.size() && i < 255; ++i) {
        AdapterEntry entry{
            kPortTypeUsbDs2490,
            static_cast<std::int16_t>(i + 1),
            found[i].Place(),
            found[i].Emulated ? "DS9490 USB adapter (DS2490), emulated" : "DS9490 USB adapter (DS2490)",
            {},
            {}};
        if (!found[i].Accessible)
            entry.Problem = "no permission to open " + found[i].Node() + ": test it to see the fix";
        listing.Adapters.push_back(entry);
    }
    AddSerialPorts(listing, devRoot, sysRoot);
    listing.Adapters.push_back(
        {kPortTypeVirtual, 1, "built in", "virtual adapter with emulated DS1921s", {}, {}});
    return listing;
}

std::string AdapterLine(const AdapterEntry& entry) {
    std::string line = std::to_string(entry.Type) + "\t" + std::to_string(entry.Number) + "\t" + entry.Where +
                       "\t" + entry.What;
    if (!entry.Problem.empty()) line += " [" + entry.Problem + "]";
    return line;
}

std::unique_ptr<Link> MakeAdapterLink(const PortSetting& setting, UsbHost& usb) {
    if (setting.Type == kPortTypeUsbDs2490) return std::make_unique<Ds2490Link>(usb, setting.Number);
    if (setting.Type == kPortTypeSerialDs2480)
        return std::make_unique<Ds2480Link>(
            std::make_unique<TermiosSerialPort>(SerialDevicePath(setting.Number, &setting)));
    return nullptr;
}

std::string FamilyName(std::uint8_t family) {
    if (family == 0x81) return "the USB adapter's own ID chip";
    if ((family & 0x7F) == 0x21) return "DS1921 Thermochron logger";
    if (family == 0x01) return "serial-number iButton (DS1990A)";
    char text[32];
    std::snprintf(text, sizeof text, "a device of family %.2X", static_cast<unsigned>(family));
    return text;
}

AdapterTest TestAdapter(Link& link) {
    AdapterTest test;
    std::string error;
    if (!link.Open(error)) {
        test.Lines.push_back("No adapter: " + error);
        return test;
    }
    test.AdapterAnswers = true;
    test.Lines.push_back("Adapter found: " + link.Version() + ".");
    const ResetResult reset = link.Reset();
    if (reset == ResetResult::Short) {
        test.Lines.push_back("The 1-Wire bus is shorted: check the cable and the iButton holder.");
    } else if (reset == ResetResult::LinkError) {
        test.Lines.push_back("The adapter stopped answering during the test.");
        test.AdapterAnswers = false;
    } else if (!DevicePresent(reset)) {
        test.Lines.push_back("No device answers on the 1-Wire bus: clip an iButton in.");
    } else {
        onewire::SearchState state;
        int count = 0;
        bool logger = false;
        while (count < kMaxDevicesListed &&
               onewire::SearchNext(link, state) == onewire::SearchOutcome::Found) {
            ++count;
            logger = logger || (state.rom[0] & 0x7F) == 0x21;
            test.Lines.push_back("  " + RomText(state.rom) + "  " + FamilyName(state.rom[0]));
        }
        if (count == 0)
            test.Lines.push_back("A device answers the reset but not the search: check the contact.");
        else if (!logger)
            test.Lines.push_back("No DS1921 among them: clip the logger in.");
    }
    link.Close();
    return test;
}
