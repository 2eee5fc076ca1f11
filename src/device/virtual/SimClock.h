#pragma once
// The time the virtual devices live in. Simulated milliseconds on a UTC-like
// time line; the devices keep their own clocks as offsets from it, so reading
// them costs nothing and a jump ahead is one addition.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "model/DateTime.h"

// The latest moment any clock here reaches (the end of 9999): far beyond any
// mission, and far enough from the 64-bit limit that no sum overflows.
constexpr std::int64_t kLatestSimMs = 253402300799999;

class SimClock {
public:
    virtual ~SimClock() = default;

    virtual std::int64_t NowMs() const = 0;
    // Local time minus the time line, for setting a device clock to "now" as a
    // computer would.
    virtual std::int64_t LocalOffsetMs() const { return 0; }
    // Fast-forward; negative values are ignored, time never runs back, and
    // never past kLatestSimMs.
    virtual void Advance(std::int64_t ms) = 0;
    // Simulated seconds per real second; 0 for a clock that only moves when told.
    virtual double Speed() const { return 0.0; }
    virtual void SetSpeed(double /*factor*/) {}

    // The local time now as a day count.
    TDateTime LocalNow() const;
};

// Moves only when a test tells it to.
class ManualClock : public SimClock {
public:
    explicit ManualClock(std::int64_t startMs = 0, std::int64_t localOffsetMs = 0)
        : now(startMs), localOffset(localOffsetMs) {}
    // A clock whose local time is `local`.
    static std::int64_t MsFromDateTime(TDateTime local);

    std::int64_t NowMs() const override { return now; }
    std::int64_t LocalOffsetMs() const override { return localOffset; }
    void Advance(std::int64_t ms) override {
        if (ms > 0) now = ms > kLatestSimMs - now ? kLatestSimMs : now + ms;
    }
    void AdvanceMinutes(std::int64_t minutes) { Advance(minutes * 60000); }
    void AdvanceDays(std::int64_t days) { Advance(days * 86400000); }
    void SetLocalDateTime(TDateTime local) { now = MsFromDateTime(local) - localOffset; }

private:
    std::int64_t now;
    std::int64_t localOffset;
};

// Real time, optionally sped up, plus whatever was fast-forwarded. The real
// source is injectable so the speed arithmetic can be tested.
class ScaledClock : public SimClock {
public:
    using Source = std::function<std::int64_t()>;
    ScaledClock();
    explicit ScaledClock(Source realMs, std::function<std::int64_t()> localOffsetMs = {});

    std::int64_t NowMs() const override;
    std::int64_t LocalOffsetMs() const override;
    void Advance(std::int64_t ms) override;
    double Speed() const override { return speed; }
    // Re-anchors so the simulated time is continuous across the change.
    void SetSpeed(double factor) override;

private:
    Source real;
    std::function<std::int64_t()> localOffset;
    double speed = 1.0;
    std::int64_t anchorReal = 0;
    std::int64_t anchorSim = 0;
    mutable std::int64_t latest = 0;  // what NowMs last said: never go below it
};

// Milliseconds since 1970 UTC from the system clock, and the zone offset now.
std::int64_t SystemNowMs();
std::int64_t SystemLocalOffsetMs();

// The virtual devices' time as KELVARA_VIRTUAL_CLOCK chooses it, for the window, kelvara-cli
// and kelvara-vadapter alike: unset or empty, real time; "manual", frozen at the start;
// "manual:YYYY-MM-DDTHH:MM:SS", frozen at that local time (two programs then agree to the
// millisecond). Any other value gives real time and a message in `problem`.
std::unique_ptr<SimClock> MakeVirtualClock(const char* choice, std::string& problem);
