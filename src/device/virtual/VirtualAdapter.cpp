#include "device/virtual/VirtualAdapter.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "device/onewire/Crc.h"

namespace {
constexpr const char* kHeader = "kelvara-virtual-adapter";
// Version 2 added the "out" mark on devices kept off the bus; version 1 files still load.
constexpr int kVersion = 2;
constexpr const char* kOutMark = "out";

std::uint64_t ProfileSeed(const Ds1921Device::Rom8& rom) {
    std::uint64_t seed = 0;
    for (std::uint8_t b : rom) seed = seed << 8 | b;
    return seed;
}

bool ParseRom(const std::string& text, Ds1921Device::Rom8& rom) {
    if (text.size() != 16) return false;
    for (std::size_t i = 0; i < 8; ++i) {
        const std::string digits = text.substr(2 * (7 - i), 2);
        if (!std::isxdigit(static_cast<unsigned char>(digits[0])) ||
            !std::isxdigit(static_cast<unsigned char>(digits[1])))
            return false;
        rom[i] = static_cast<std::uint8_t>(std::stoi(digits, nullptr, 16));
    }
    // A ROM with a wrong CRC would be on the bus but never found by a search.
    return rom[0] == 0x21 && onewire::Crc8({rom.data(), 7}) == rom[7];
}
}  // namespace

VirtualAdapter::VirtualAdapter(std::string statePath, SimClock& clock)
    : statePath(std::move(statePath)), clock(clock) {}

std::string VirtualAdapter::DefaultStatePath() {
    namespace fs = std::filesystem;
    fs::path folder;
    if (const char* dir = std::getenv("KELVARA_DATA_DIR"); dir && *dir) {
        folder = dir;
    } else if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
        folder = fs::path(xdg) / "kelvara";
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        folder = fs::path(home) / ".local" / "share" / "kelvara";
    } else {
        folder = fs::temp_directory_path() / "kelvara";
    }
    return (folder / "virtual-adapter.txt").string();
}

std::vector<std::shared_ptr<Ds1921Device>> VirtualAdapter::Devices() const {
    std::vector<std::shared_ptr<Ds1921Device>> devices;
    for (const auto& slave : bus.Devices())
        if (auto device = std::dynamic_pointer_cast<Ds1921Device>(slave)) devices.push_back(device);
    return devices;
}

std::shared_ptr<Ds1921Device> VirtualAdapter::MakeDevice(const Ds1921Device::Rom8& rom) {
    return std::make_shared<Ds1921Device>(
        rom, clock, Ds1921Device::DefaultProfile(Ds1921Device::VariantOfRom(rom), ProfileSeed(rom)));
}

std::shared_ptr<Ds1921Device> VirtualAdapter::InsertDevice(Ds1921Variant variant) {
    auto device = MakeDevice(Ds1921Device::MakeRom(variant, nextSerial++));
    bus.Insert(device);
    return device;
}

void VirtualAdapter::InsertDevice(const std::shared_ptr<Ds1921Device>& device) {
    std::erase(out, device);
    if (std::find(bus.Devices().begin(), bus.Devices().end(), device) == bus.Devices().end())
        bus.Insert(device);
}

bool VirtualAdapter::RemoveDevice(const std::shared_ptr<Ds1921Device>& device) {
    if (!bus.Remove(device)) return false;
    out.push_back(device);
    return true;
}

bool VirtualAdapter::ReinsertDevice(const std::shared_ptr<Ds1921Device>& device) {
    if (std::find(out.begin(), out.end(), device) == out.end()) return false;
    InsertDevice(device);
    return true;
}

bool VirtualAdapter::DiscardDevice(const std::shared_ptr<Ds1921Device>& device) {
    const bool wasOut = std::erase(out, device) > 0;
    return bus.Remove(device) || wasOut;
}

std::shared_ptr<Ds1921Device> VirtualAdapter::InsertDemoDevice() {
    auto device = InsertDevice(Ds1921Variant::Standard);
    Ds1921MissionSetup setup;
    setup.SampleRate = 10;
    setup.Control = 0x06;  // conditional search on both temperature alarms
    const std::int64_t start = device->ClockMs() - 2 * 86400000LL;
    // Thresholds just inside the third-lowest and third-highest readings of the
    // two days, so the download shows a few alarms of each kind.
    const std::int64_t firstMinute = start / 60000 + 1;
    std::vector<std::uint8_t> codes;
    for (int k = 0; k < 2 * 144; ++k)
        codes.push_back(device->CodeFor(device->Profile().CelsiusAt(firstMinute + 10LL * k)));
    std::sort(codes.begin(), codes.end());
    setup.LowThreshold = codes[2];
    setup.HighThreshold = codes[codes.size() - 3];
    device->StartMissionAt(setup, start);
    const char* texts[] = {"",
                           "Alex",
                           "Newton",
                           "7B",
                           "Kelvara Demo School",
                           "Classroom demo",
                           "Two days on the window sill, every 10 minutes"};
    for (int page = 0; page < 15; ++page) device->WriteUserPage(page, page < 7 ? texts[page] : "");
    return device;
}

void VirtualAdapter::Seed() {
    InsertDemoDevice();
    seeded = true;
}

std::string VirtualAdapter::Load() {
    namespace fs = std::filesystem;
    bus.RemoveAll();
    out.clear();
    seeded = false;
    if (statePath.empty() || !fs::exists(statePath)) {
        Seed();
        return {};
    }
    std::ifstream in(statePath, std::ios::binary);
    Parsed parsed;
    std::string problem = in ? Parse(in, parsed) : "it cannot be opened";
    if (problem.empty()) {
        // Time never runs back for the devices, even when the computer's clock did
        // or the last run had been fast-forwarded.
        if (clock.NowMs() < parsed.savedAt) clock.Advance(parsed.savedAt - clock.NowMs());
        for (const auto& device : parsed.onBus) bus.Insert(device);
        out = std::move(parsed.out);
        return {};
    }
    in.close();
    std::error_code ignored;
    fs::rename(statePath, statePath + ".damaged", ignored);
    Seed();
    return "The virtual adapter's saved devices could not be restored from\r" + statePath + "\r(" + problem +
           ").\rA fresh demo device has been set up; the old file is kept as " +
           fs::path(statePath + ".damaged").filename().string() + ".";
}

std::string VirtualAdapter::Parse(std::istream& in, Parsed& parsed) {
    std::string line;
    if (!std::getline(in, line)) return "the file is empty";
    std::istringstream header(line);
    std::string word;
    int version = 0;
    if (!(header >> word >> version) || word != kHeader) return "it is not a virtual adapter state file";
    if (version < 1 || version > kVersion)
        return "it was written in an unknown format version " + std::to_string(version);
    bool sawEnd = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string key;
        if (!(words >> key)) continue;
        if (key == "saved-at") {
            if (!(words >> parsed.savedAt)) return "bad saved-at line";
        } else if (key == "next-serial") {
            if (!(words >> nextSerial)) return "bad next-serial line";
        } else if (key == "device") {
            std::string romText;
            Ds1921Device::Rom8 rom{};
            if (!(words >> romText) || !ParseRom(romText, rom)) return "bad device line";
            std::string mark, extra;
            words >> mark;
            if ((!mark.empty() && (version < 2 || mark != kOutMark)) || words >> extra)
                return "bad device line";
            // Two devices answering to one ROM would garble every transfer, even
            // when one of them is out for now.
            const auto sameRom = [&](const auto& d) { return d->Rom() == rom; };
            if (std::any_of(parsed.onBus.begin(), parsed.onBus.end(), sameRom) ||
                std::any_of(parsed.out.begin(), parsed.out.end(), sameRom))
                return "device " + romText + " appears twice";
            auto device = MakeDevice(rom);
            std::string error;
            if (!device->LoadState(in, error)) return "device " + romText + ": " + error;
            (mark.empty() ? parsed.onBus : parsed.out).push_back(device);
        } else if (key == "end-of-file") {
            sawEnd = true;
            break;
        } else {
            return "unknown line \"" + line.substr(0, 40) + "\"";
        }
    }
    if (!sawEnd) return "the file is cut short";
    return {};
}

std::string VirtualAdapter::Save() {
    namespace fs = std::filesystem;
    if (statePath.empty()) return {};
    std::error_code error;
    const fs::path target(statePath);
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), error);
    if (error) return "Cannot create the folder " + target.parent_path().string() + ": " + error.message();
    std::ostringstream text;
    text << kHeader << ' ' << kVersion << '\n';
    text << "saved-at " << clock.NowMs() << '\n';
    text << "next-serial " << nextSerial << '\n';
    text << DevicesText();
    text << "end-of-file\n";
    const std::string temporary = statePath + ".tmp";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file << text.str();
        file.flush();
        if (!file) {
            fs::remove(temporary, error);
            return "Cannot write " + temporary;
        }
    }
    fs::rename(temporary, target, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return "Cannot replace " + statePath + ": " + error.message();
    }
    return {};
}

std::string VirtualAdapter::DevicesText() {
    std::ostringstream text;
    for (const auto& device : Devices()) {
        text << "device " << Ds1921Device::RomText(device->Rom()) << '\n';
        device->SaveState(text);
    }
    for (const auto& device : out) {
        text << "device " << Ds1921Device::RomText(device->Rom()) << ' ' << kOutMark << '\n';
        device->SaveState(text);
    }
    return text.str();
}
