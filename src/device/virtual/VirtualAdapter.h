#pragma once
// The virtual adapter: a virtual 1-Wire bus with emulated DS1921s on a
// simulated clock, kept between runs in a small state file. The first run
// (and a damaged state file) seeds one standard device whose mission started
// two days earlier, so a newcomer's first download shows real-looking results.
#include <memory>
#include <string>
#include <vector>

#include "device/virtual/Ds1921Device.h"
#include "device/virtual/SimClock.h"
#include "device/virtual/VirtualBus.h"

class VirtualAdapter {
public:
    // An empty path keeps everything in memory: Load seeds, Save does nothing.
    VirtualAdapter(std::string statePath, SimClock& clock);

    // $KELVARA_DATA_DIR, else $XDG_DATA_HOME/kelvara, else ~/.local/share/kelvara;
    // the file virtual-adapter.txt in it.
    static std::string DefaultStatePath();

    // Restores the devices, or seeds the demo device when there is no state
    // yet. Returns "" or, for a damaged file, a message for the user; the
    // damaged file is kept beside as <path>.damaged and a fresh demo device is set up.
    std::string Load();
    // Writes the state atomically; "" or the reason it failed.
    std::string Save();

    VirtualBus& Bus() { return bus; }
    SimClock& Clock() { return clock; }
    const std::string& StatePath() const { return statePath; }

    // The emulated DS1921s now on the bus, in insertion order.
    std::vector<std::shared_ptr<Ds1921Device>> Devices() const;
    // A device with a new serial number, its clock set to local time, no mission.
    std::shared_ptr<Ds1921Device> InsertDevice(Ds1921Variant variant);
    void InsertDevice(const std::shared_ptr<Ds1921Device>& device);
    bool RemoveDevice(const std::shared_ptr<Ds1921Device>& device);
    // The first-run device: standard, 10-minute mission begun two days ago,
    // thresholds chosen so that a few high and low alarms show.
    std::shared_ptr<Ds1921Device> InsertDemoDevice();

    // Options given to devices created from now on.
    void SetDeviceOptions(const Ds1921Options& options) { deviceOptions = options; }

private:
    std::shared_ptr<Ds1921Device> MakeDevice(const Ds1921Device::Rom8& rom);
    std::string Parse(std::istream& in, std::vector<std::shared_ptr<Ds1921Device>>& devices,
                      std::int64_t& savedAt);

    std::string statePath;
    SimClock& clock;
    VirtualBus bus;
    Ds1921Options deviceOptions;
    std::uint64_t nextSerial = 1;
};
