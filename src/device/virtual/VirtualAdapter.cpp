#include "device/virtual/VirtualAdapter.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <system_error>

#include "device/onewire/Crc.h"
#include "files/FilePath.h"
#include "files/ReadFile.h"
#include "files/SaveBatch.h"

namespace {
constexpr const char* kHeader = "kelvara-virtual-adapter";
// Version 2 added the "out" mark on devices kept off the bus; version 1 files still load.
constexpr int kVersion = 2;
constexpr const char* kOutMark = "out";
// Far more than any number of devices needs; a larger file is none of ours.
constexpr std::size_t kMaxStateBytes = 64 << 20;
constexpr int kMaxDamagedFiles = 99;
constexpr std::int64_t kMaxSerial = std::int64_t{1} << 48;  // the ROM's serial number field

// A whole decimal number within [low, high], nothing else on the word.
bool ParseWhole(const std::string& text, std::int64_t low, std::int64_t high, std::int64_t& value) {
    std::int64_t parsed = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (ec != std::errc() || end != text.data() + text.size() || parsed < low || parsed > high) return false;
    value = parsed;
    return true;
}

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

VirtualAdapter::VirtualAdapter(std::string statePath, SimClock& clock, FileSystem& files)
    : statePath(std::move(statePath)), clock(clock), files(files) {}

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
        // A TMPDIR that names no folder must not end the program.
        std::error_code error;
        const fs::path temporary = fs::temp_directory_path(error);
        folder = (error ? fs::path("/tmp") : temporary) / "kelvara";
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
    bus.RemoveAll();
    out.clear();
    seeded = false;
    notReplaced.clear();
    if (statePath.empty()) {
        Seed();
        return {};
    }
    const FilePath path(statePath);
    std::string text;
    const FileRead read = ReadRegularFile(path, kMaxStateBytes, text, files);
    if (read.Missing) {
        Seed();
        return {};
    }
    const std::string intro =
        "The virtual adapter's saved devices could not be restored from\r" + ShownPath(path);
    if (!read.Ok) {
        // Not ours to move or replace: a folder or a device in its place, or a file we may not read.
        Seed();
        notReplaced = ShownPath(path) + " could not be read (" + read.Reason + ")";
        return intro + "\r(" + read.Reason + ").\rA fresh demo device has been set up for this run; " +
               "the devices are not saved over what is there.";
    }
    const std::string problem = Restore(text);
    if (problem.empty()) return {};
    Seed();
    std::string reason;
    const std::string kept = SetAsideDamaged(reason);
    if (kept.empty()) {
        notReplaced = ShownPath(path) + " is damaged and could not be set aside (" + reason + ")";
        return intro + "\r(" + problem +
               ").\rA fresh demo device has been set up; the damaged file could not " + "be set aside (" +
               reason + "), so it is left as it is and the devices are not saved over it.";
    }
    return intro + "\r(" + problem + ").\rA fresh demo device has been set up; the damaged file is kept as " +
           ShownPath(FilePath(FilePath(kept).Name())) + ".";
}

std::string VirtualAdapter::SetAsideDamaged(std::string& reason) {
    // Earlier damaged files are kept too: the first is .damaged, then .damaged.2, .damaged.3 ...
    for (int n = 1; n <= kMaxDamagedFiles; ++n) {
        const std::string name = statePath + ".damaged" + (n == 1 ? std::string() : "." + std::to_string(n));
        const int r = files.Rename(statePath, name, false);
        if (r == 0) return name;
        if (r != -EEXIST) {
            reason = std::strerror(-r);
            return {};
        }
    }
    reason = "there are " + std::to_string(kMaxDamagedFiles) + " damaged files already";
    return {};
}

std::string VirtualAdapter::Restore(const std::string& text) {
    bus.RemoveAll();
    out.clear();
    std::istringstream in(text);
    Parsed parsed;
    const std::uint64_t serialBefore = nextSerial;
    if (std::string problem = Parse(in, parsed); !problem.empty()) {
        nextSerial = serialBefore;
        return problem;
    }
    // Time never runs back for the devices, even when the computer's clock did
    // or the last run had been fast-forwarded.
    if (clock.NowMs() < parsed.savedAt) clock.Advance(parsed.savedAt - clock.NowMs());
    for (const auto& device : parsed.onBus) bus.Insert(device);
    out = std::move(parsed.out);
    return {};
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
        std::string key, value, extra;
        if (!(words >> key)) continue;
        if (key == "saved-at") {
            // A moment no clock reaches would overflow the clock arithmetic.
            if (!(words >> value) || words >> extra || !ParseWhole(value, 0, kLatestSimMs, parsed.savedAt))
                return "bad saved-at line";
        } else if (key == "next-serial") {
            std::int64_t serial = 0;
            if (!(words >> value) || words >> extra || !ParseWhole(value, 0, kMaxSerial, serial))
                return "bad next-serial line";
            nextSerial = static_cast<std::uint64_t>(serial);
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
    if (statePath.empty()) return {};
    const FilePath path(statePath);
    // Saving would replace a file this run could not read or set aside.
    if (!notReplaced.empty()) return "Not saved, since " + notReplaced + ".";
    std::error_code error;
    const FilePath folder = path.Folder();
    std::filesystem::create_directories(folder.Fs(), error);
    if (error) return "Cannot create the folder \"" + ShownPath(folder) + "\": " + error.message();
    std::ostringstream text;
    text << kHeader << ' ' << kVersion << '\n';
    text << "saved-at " << clock.NowMs() << '\n';
    text << "next-serial " << nextSerial << '\n';
    text << DevicesText();
    text << "end-of-file\n";
    // A new file beside the old one, renamed over it: two programs saving at
    // once never mix their files, and the last one to finish wins.
    std::string problem;
    if (!SaveFile(path, text.str(), problem, files)) return problem;
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
