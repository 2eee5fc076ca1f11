#pragma once
// Temperature bytes: the three device variants, the scale, and the text form.
#include <cstdint>
#include <string>
#include <vector>

enum class DeviceVariant { Standard, HumanBody, LowTemp };
enum class TempScale { Celsius, Fahrenheit };

struct TemperatureOptions {
    DeviceVariant Variant = DeviceVariant::Standard;
    TempScale Scale = TempScale::Celsius;
    bool ShowUnit = true;  // "Show F/C on Temperatures"
    char DecimalSeparator = '.';
};

double CelsiusOf(std::uint8_t byte, DeviceVariant variant);
double TemperatureOf(std::uint8_t byte, DeviceVariant variant, TempScale scale);
double ToScale(double celsius, TempScale scale);
// "%3.3f" with the given decimal separator.
std::string FormatTemperatureValue(double value, char decimalSeparator);
// "" when the unit is hidden, else "\xB0" "C" or "\xB0" "F".
std::string UnitSuffix(const TemperatureOptions& options);
// Value of the byte in the options' variant and scale, formatted, with the suffix.
std::string TemperatureText(std::uint8_t byte, const TemperatureOptions& options);

// Histogram bin k covers bytes 4k..4k+3.
double HistogramBinLower(int bin, DeviceVariant variant, TempScale scale);
double HistogramBinUpper(int bin, DeviceVariant variant, TempScale scale);

// The wizard's threshold lists: position p is temperature byte p, for bytes 0-250.
constexpr int kThresholdEntries = 251;
// "%3.3f" texts without unit suffix, one per threshold byte.
std::vector<std::string> ThresholdTexts(DeviceVariant variant, TempScale scale, char decimalSeparator);

// Characters 3-5 of a ROM ID text: "4F2" Human Body, "3B2" Low Temp, else Standard.
DeviceVariant DetectVariant(const std::string& romIdText);
