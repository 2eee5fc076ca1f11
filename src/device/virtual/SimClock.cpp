#include "device/virtual/SimClock.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
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
    // A real clock set back must not take the devices back with it; and no clock runs past the end of 9999.
    const double ahead = std::min(std::max(0.0, elapsed) * speed, static_cast<double>(kLatestSimMs));
    latest =
        std::max<std::int64_t>(latest, std::min<std::int64_t>(kLatestSimMs, anchorSim + std::llround(ahead)));
    return latest;
}

std::int64_t ScaledClock::LocalOffsetMs() const { return localOffset ? localOffset() : 0; }

void ScaledClock::Advance(std::int64_t ms) {
    if (ms <= 0) return;
    const std::int64_t now = NowMs();
    anchorSim = ms > kLatestSimMs - now ? kLatestSimMs : now + ms;
    anchorReal = real();
}

void ScaledClock::SetSpeed(double factor) {
    if (!(factor > 0.0)) return;
    anchorSim = NowMs();
    anchorReal = real();
    speed = factor;
}

std::unique_ptr<SimClock> MakeVirtualClock(const char* choice, std::string& problem) {
    problem.clear();
    const std::string text = choice ? choice : "";
    if (text.empty()) return std::make_unique<ScaledClock>();
    const std::int64_t offset = SystemLocalOffsetMs();
    if (text == "manual") return std::make_unique<ManualClock>(SystemNowMs(), offset);
    int y, mo, d, h, mi, s;
    char sep, rest;
    TDateTime local = 0;
    if (text.starts_with("manual:") &&
        std::sscanf(text.c_str() + 7, "%4d-%2d-%2d%c%2d:%2d:%2d%c", &y, &mo, &d, &sep, &h, &mi, &s, &rest) ==
            7 &&
        (sep == 'T' || sep == ' ') && TryEncodeDateTime(y, mo, d, h, mi, s, 0, local))
        return std::make_unique<ManualClock>(ManualClock::MsFromDateTime(local) - offset, offset);
    problem =
        "KELVARA_VIRTUAL_CLOCK=" + text +
        " is neither \"manual\" nor \"manual:YYYY-MM-DDTHH:MM:SS\"; the virtual devices run in real time.";
    return std::make_unique<ScaledClock>();
}
