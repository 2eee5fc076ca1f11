#include "device/virtual/SimClock.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>

TDateTime SimClock::LocalNow() const {
    return DateTimeFromUnixSeconds(static_cast<double>(NowMs() + LocalOffsetMs()) / 1000.0);
}

std::int64_t ManualClock::MsFromDateTime(TDateTime local) {
    return std::llround(UnixSecondsFromDateTime(local) * 1000.0);
}

std::int64_t SystemNowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::int64_t SystemLocalOffsetMs() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return static_cast<std::int64_t>(local.tm_gmtoff) * 1000;
}

ScaledClock::ScaledClock() : ScaledClock(SystemNowMs, SystemLocalOffsetMs) {}

ScaledClock::ScaledClock(Source realMs, std::function<std::int64_t()> localOffsetMs)
    : real(std::move(realMs)), localOffset(std::move(localOffsetMs)) {
    anchorReal = real();
    anchorSim = anchorReal;
}

std::int64_t ScaledClock::NowMs() const {
    const double elapsed = static_cast<double>(real() - anchorReal);
    // A real clock set back must not take the devices back with it.
    latest = std::max<std::int64_t>(latest, anchorSim + std::llround(std::max(0.0, elapsed) * speed));
    return latest;
}

std::int64_t ScaledClock::LocalOffsetMs() const { return localOffset ? localOffset() : 0; }

void ScaledClock::Advance(std::int64_t ms) {
    if (ms <= 0) return;
    anchorSim = NowMs() + ms;
    anchorReal = real();
}

void ScaledClock::SetSpeed(double factor) {
    if (!(factor > 0.0)) return;
    anchorSim = NowMs();
    anchorReal = real();
    speed = factor;
}
