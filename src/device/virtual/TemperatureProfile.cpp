#include "device/virtual/TemperatureProfile.h"

#include <cmath>
#include <numbers>

std::uint64_t Mix64(std::uint64_t value) {
    value += 0x9E3779B97F4A7C15ULL;
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ULL;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBULL;
    return value ^ (value >> 31);
}

namespace {
// -1 .. 1 from a hash.
double Unit(std::uint64_t hash) { return static_cast<double>(hash >> 11) * (2.0 / 9007199254740992.0) - 1.0; }

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}
}  // namespace

DailyCycleProfile::DailyCycleProfile(std::uint64_t seed, Shape shape)
    : seed(seed), shape(shape), cycle(1440) {
    // Precomputed so a year of one-minute samples needs no trigonometry.
    for (int minute = 0; minute < 1440; ++minute) {
        const double phase = 2.0 * std::numbers::pi * (minute - shape.warmestMinute) / 1440.0;
        cycle[static_cast<std::size_t>(minute)] = shape.amplitude * std::cos(phase);
    }
}

double DailyCycleProfile::CelsiusAt(std::int64_t deviceMinute) const {
    const std::int64_t day = FloorDiv(deviceMinute, 1440);
    const auto minuteOfDay = static_cast<std::size_t>(deviceMinute - day * 1440);
    // The drift moves linearly from one day's offset to the next, so no step at midnight.
    const double today = Unit(Mix64(seed ^ static_cast<std::uint64_t>(day) * 0xD1B54A32D192ED03ULL));
    const double tomorrow = Unit(Mix64(seed ^ static_cast<std::uint64_t>(day + 1) * 0xD1B54A32D192ED03ULL));
    const double drift =
        shape.drift * (today + (tomorrow - today) * static_cast<double>(minuteOfDay) / 1440.0);
    const double noise = shape.jitter * Unit(Mix64(seed + static_cast<std::uint64_t>(deviceMinute)));
    return shape.mean + cycle[minuteOfDay] + drift + noise;
}

double TableProfile::CelsiusAt(std::int64_t deviceMinute) const {
    if (byMinute.empty()) return 0.0;
    auto it = byMinute.upper_bound(deviceMinute);
    if (it == byMinute.begin()) return it->second;
    return std::prev(it)->second;
}
