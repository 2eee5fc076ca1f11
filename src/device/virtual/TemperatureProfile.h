#pragma once
// Where a virtual device's temperatures come from. Samples fall on whole
// minutes of the device clock, so a profile is asked per device minute
// (minutes since 2000-01-01 00:00 of the device calendar).
#include <cstdint>
#include <map>
#include <vector>

class TemperatureProfile {
public:
    virtual ~TemperatureProfile() = default;
    virtual double CelsiusAt(std::int64_t deviceMinute) const = 0;
};

// A daily cycle (coolest before dawn, warmest mid-afternoon), a slow
// day-to-day drift and a per-minute jitter, all derived from the seed so that
// the same device always reads the same temperatures at the same minute.
class DailyCycleProfile : public TemperatureProfile {
public:
    struct Shape {
        double mean = 20.0;       // degrees Celsius
        double amplitude = 5.0;   // half the day's swing
        double drift = 1.5;       // largest day-to-day shift of the mean
        double jitter = 0.6;      // largest minute-to-minute noise
        int warmestMinute = 900;  // 15:00
    };
    DailyCycleProfile(std::uint64_t seed, Shape shape);
    double CelsiusAt(std::int64_t deviceMinute) const override;

    std::uint64_t Seed() const { return seed; }
    const Shape& GetShape() const { return shape; }

private:
    std::uint64_t seed;
    Shape shape;
    std::vector<double> cycle;  // one value per minute of the day
};

// Fixed readings for tests: the value of the latest entry at or before the
// minute (the first entry for minutes before it).
class TableProfile : public TemperatureProfile {
public:
    explicit TableProfile(std::map<std::int64_t, double> byMinute) : byMinute(std::move(byMinute)) {}
    double CelsiusAt(std::int64_t deviceMinute) const override;

private:
    std::map<std::int64_t, double> byMinute;
};

// A constant; handy for forced conversions in tests.
class ConstantProfile : public TemperatureProfile {
public:
    explicit ConstantProfile(double celsius) : celsius(celsius) {}
    double CelsiusAt(std::int64_t) const override { return celsius; }

private:
    double celsius;
};

// A well-mixed 64-bit hash; the jitter of the daily cycle and the serial
// numbers of new devices come from it.
std::uint64_t Mix64(std::uint64_t value);
