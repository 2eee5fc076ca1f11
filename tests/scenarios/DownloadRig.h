#pragma once
// The whole chain a download runs through: the form, the real driver, the
// virtual bus and an emulated DS1921, on one manual clock shared with the
// scripted platform. A recording layer over the driver notes every page read
// and can make chosen pages fail with chosen driver results.
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "device/LinkFactory.h"
#include "device/tmex/TmexDriver.h"
#include "device/virtual/Ds1921Device.h"
#include "device/virtual/VirtualAdapter.h"
// Relative: the download benchmark builds this rig without the tests' include path.
#include "../support/ForwardingDriver.h"

class RecordingDriver : public ForwardingDriver {
public:
    using ForwardingDriver::ForwardingDriver;

    std::vector<int> PagesRead;
    std::map<int, std::int16_t> ReadFailures;   // page -> driver read result (<= 0)
    std::optional<std::int32_t> SessionResult;  // set: no session is opened
    int TouchedConversions = 0;

    int ReadsOfPage(int page) const {
        int n = 0;
        for (int p : PagesRead) n += p == page;
        return n;
    }

    std::int32_t TMExtendedStartSession(std::int16_t number, std::int16_t type, void* reserved) override {
        if (SessionResult) return *SessionResult;
        ++openSessions;
        return ForwardingDriver::TMExtendedStartSession(number, type, reserved);
    }
    std::int16_t TMEndSession(std::int32_t session) override {
        --openSessions;
        return ForwardingDriver::TMEndSession(session);
    }
    int OpenSessions() const { return openSessions; }
    std::int16_t TMExtendedReadPage(std::int32_t s, void* st, std::int16_t page, std::uint8_t* destination,
                                    std::int16_t overdrive) override {
        PagesRead.push_back(page);
        if (auto failure = ReadFailures.find(page); failure != ReadFailures.end()) return failure->second;
        return ForwardingDriver::TMExtendedReadPage(s, st, page, destination, overdrive);
    }
    std::int16_t TMTouchByte(std::int32_t s, std::int16_t byte) override {
        if (byte == 0x44) ++TouchedConversions;
        return ForwardingDriver::TMTouchByte(s, byte);
    }

private:
    int openSessions = 0;
};

// The driver's default port comes from the environment, so no settings file is read.
class VirtualPortEnvironment {
public:
    VirtualPortEnvironment() { ::setenv("KELVARA_PORT", "15:1", 1); }
    ~VirtualPortEnvironment() { ::unsetenv("KELVARA_PORT"); }
};

struct EmulatedDevice {
    explicit EmulatedDevice(TDateTime localStart)
        : clock(ManualClock::MsFromDateTime(localStart)),
          device(std::make_shared<Ds1921Device>(Ds1921Device::MakeRom(Ds1921Variant::Standard, 7), clock,
                                                std::make_shared<ConstantProfile>(23.5))) {
        device->SetClock(localStart);
        adapter.InsertDevice(device);
    }

    void Remove() { adapter.RemoveDevice(device); }
    void Insert() { adapter.InsertDevice(device); }

    // A running mission that has taken exactly `samples` samples by now.
    void StartMission(int samples, int rate = 10, std::uint8_t control = 0, std::uint8_t high = 0xFA) {
        Ds1921MissionSetup setup;
        setup.SampleRate = static_cast<std::uint8_t>(rate);
        setup.Control = control;
        setup.HighThreshold = high;
        const std::int64_t minute = device->ClockMs() / 60000;
        // Samples fall at start + 1, + 1 + rate ...
        const std::int64_t start =
            samples == 0 ? minute : minute - 1 - static_cast<std::int64_t>(samples - 1) * rate;
        device->StartMissionAt(setup, start * 60000);
    }

    VirtualPortEnvironment environment;
    ManualClock clock;
    VirtualAdapter adapter{"", clock};  // in memory only
    std::shared_ptr<Ds1921Device> device;
    LinkProvider links{&adapter.Bus()};
    TmexDriver driver{links};
    RecordingDriver recorder{driver};
};
