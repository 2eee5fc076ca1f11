#pragma once
// The virtual adapter: a virtual 1-Wire bus with emulated DS1921s on a
// simulated clock, kept between runs in a small state file. The first run
// (and a damaged state file) seeds one standard device whose mission started
// two days earlier, so a newcomer's first download shows real-looking results.
// A removed device is only taken off the bus, like an iButton unclipped from
// the adapter: it stays "out" on the same clock, its mission going on, is kept
// in the state file and can be put back; only DiscardDevice throws one away.
#include <memory>
#include <string>
#include <vector>

#include "device/virtual/Ds1921Device.h"
#include "device/virtual/SimClock.h"
#include "device/virtual/VirtualBus.h"
#include "files/FileSystem.h"

class VirtualAdapter {
public:
    // statePath is the file system's name of the state file (bytes, as the
    // environment gave them). An empty path keeps everything in memory: Load
    // seeds, Save does nothing.
    VirtualAdapter(std::string statePath, SimClock& clock, FileSystem& files = SystemFileSystem());

    // $KELVARA_DATA_DIR, else $XDG_DATA_HOME/kelvara, else ~/.local/share/kelvara;
    // the file virtual-adapter.txt in it.
    static std::string DefaultStatePath();

    // Restores the devices, or seeds the demo device when there is no state
    // yet. Returns "" or, for a damaged file, a message for the user; the
    // damaged file is kept beside as <path>.damaged (.damaged.2 ... when older
    // ones are there) and a fresh demo device is set up. A file that cannot be
    // read or set aside is left alone, and Save then refuses to replace it.
    std::string Load();
    // Restores the devices from the text of a state file; "" or what is wrong
    // with it (the devices are then gone and nothing else changed).
    std::string Restore(const std::string& text);
    // Whether the last Load set up the demo device (no state file, or a damaged one).
    bool Seeded() const { return seeded; }
    // Writes the state through a new file renamed over the old one; "" or the
    // reason it failed (a message with the path shown, for the user).
    std::string Save();
    // The devices' part of what Save writes (their missions caught up to now),
    // to tell whether anything changed.
    std::string DevicesText();

    VirtualBus& Bus() { return bus; }
    SimClock& Clock() { return clock; }
    const std::string& StatePath() const { return statePath; }

    // The emulated DS1921s now on the bus, in insertion order.
    std::vector<std::shared_ptr<Ds1921Device>> Devices() const;
    // The devices taken off the bus and kept, in the order they were removed.
    const std::vector<std::shared_ptr<Ds1921Device>>& DevicesOut() const { return out; }
    // A device with a new serial number, its clock set to local time, no mission.
    std::shared_ptr<Ds1921Device> InsertDevice(Ds1921Variant variant);
    // Puts a device on the bus (taking it from the devices out, if it was there).
    void InsertDevice(const std::shared_ptr<Ds1921Device>& device);
    // Takes a device off the bus and keeps it out; false when it was not on the bus.
    bool RemoveDevice(const std::shared_ptr<Ds1921Device>& device);
    // Puts a device that is out back on the bus; false when it was not out.
    bool ReinsertDevice(const std::shared_ptr<Ds1921Device>& device);
    // Forgets a device for good, on the bus or out; false when it was neither.
    bool DiscardDevice(const std::shared_ptr<Ds1921Device>& device);
    // The first-run device: standard, 10-minute mission begun two days ago,
    // thresholds chosen so that a few high and low alarms show.
    std::shared_ptr<Ds1921Device> InsertDemoDevice();

private:
    std::shared_ptr<Ds1921Device> MakeDevice(const Ds1921Device::Rom8& rom);
    struct Parsed {
        std::vector<std::shared_ptr<Ds1921Device>> onBus, out;
        std::int64_t savedAt = 0;
    };
    std::string Parse(std::istream& in, Parsed& parsed);
    // Renames the state file to the first free .damaged name; that name, or "" and why not.
    std::string SetAsideDamaged(std::string& reason);
    void Seed();

    std::string statePath;
    SimClock& clock;
    FileSystem& files;
    VirtualBus bus;
    std::vector<std::shared_ptr<Ds1921Device>> out;
    bool seeded = false;
    std::string notReplaced;  // why the file on disk must not be saved over; "" when it may
    std::uint64_t nextSerial = 1;
};
