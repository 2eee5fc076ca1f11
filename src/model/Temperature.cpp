#include "model/Temperature.h"

#include <charconv>

namespace {
constexpr char kDegreeSign = '\xB0';  // Windows-1252

// Histogram limits reach byte 4k + 3 for any bin asked, so the rule works on ints.
double CelsiusOfCode(int code, DeviceVariant variant) {
    switch (variant) {
        case DeviceVariant::HumanBody:
            return code / 8.0 + 14.5;
        case DeviceVariant::LowTemp:
            return code / 8.0 - 5.5;
        case DeviceVariant::Standard:
            break;
    }
    return code / 2.0 - 40.0;
}
}  // namespace

double CelsiusOf(std::uint8_t byte, DeviceVariant variant) { return CelsiusOfCode(byte, variant); }

double ToScale(double celsius, TempScale scale) {
    return scale == TempScale::Fahrenheit ? celsius * 9.0 / 5.0 + 32.0 : celsius;
}

double TemperatureOf(std::uint8_t byte, DeviceVariant variant, TempScale scale) {
    return ToScale(CelsiusOf(byte, variant), scale);
}

// to_chars, unlike printf, does not follow a process locale a GUI toolkit may have set.
std::string FormatTemperatureValue(double value, char decimalSeparator) {
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 3);
    std::string text = error == std::errc() ? std::string(buffer, end) : std::string("0.000");
    for (char& c : text)
        if (c == '.') c = decimalSeparator;
    if (text.size() < 3) text.insert(0, 3 - text.size(), ' ');
    return text;
}

std::string UnitSuffix(const TemperatureOptions& options) {
    if (!options.ShowUnit) return "";
    return std::string(1, kDegreeSign) + (options.Scale == TempScale::Fahrenheit ? 'F' : 'C');
}

std::string TemperatureText(std::uint8_t byte, const TemperatureOptions& options) {
    return FormatTemperatureValue(TemperatureOf(byte, options.Variant, options.Scale),
                                  options.DecimalSeparator) +
           UnitSuffix(options);
}

double HistogramBinLower(int bin, DeviceVariant variant, TempScale scale) {
    return ToScale(CelsiusOfCode(4 * bin, variant), scale);
}

double HistogramBinUpper(int bin, DeviceVariant variant, TempScale scale) {
    return ToScale(CelsiusOfCode(4 * bin + 3, variant), scale);
}

std::vector<std::string> ThresholdTexts(DeviceVariant variant, TempScale scale, char decimalSeparator) {
    std::vector<std::string> texts;
    texts.reserve(kThresholdEntries);
    for (int b = 0; b < kThresholdEntries; ++b)
        texts.push_back(FormatTemperatureValue(TemperatureOf(static_cast<std::uint8_t>(b), variant, scale),
                                               decimalSeparator));
    return texts;
}

DeviceVariant DetectVariant(const std::string& romIdText) {
    if (romIdText.size() < 5) return DeviceVariant::Standard;
    const std::string digits = romIdText.substr(2, 3);
    if (digits == "4F2") return DeviceVariant::HumanBody;
    if (digits == "3B2") return DeviceVariant::LowTemp;
    return DeviceVariant::Standard;
}
