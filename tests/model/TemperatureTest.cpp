#include <gtest/gtest.h>

#include "model/Temperature.h"

namespace {
// The degree sign is the single Windows-1252 byte 0xB0.
const std::string kC = std::string(1, '\xB0') + 'C';
const std::string kF = std::string(1, '\xB0') + 'F';

TemperatureOptions Options(DeviceVariant variant, TempScale scale, bool showUnit = true,
                           char separator = '.') {
    TemperatureOptions options;
    options.Variant = variant;
    options.Scale = scale;
    options.ShowUnit = showUnit;
    options.DecimalSeparator = separator;
    return options;
}
}  // namespace

TEST(TemperatureBytes, EachVariantHasItsOwnScale) {
    EXPECT_DOUBLE_EQ(CelsiusOf(0, DeviceVariant::Standard), -40.0);
    EXPECT_DOUBLE_EQ(CelsiusOf(250, DeviceVariant::Standard), 85.0);
    EXPECT_DOUBLE_EQ(CelsiusOf(255, DeviceVariant::Standard), 87.5);
    EXPECT_DOUBLE_EQ(CelsiusOf(0, DeviceVariant::HumanBody), 14.5);
    EXPECT_DOUBLE_EQ(CelsiusOf(250, DeviceVariant::HumanBody), 45.75);
    EXPECT_DOUBLE_EQ(CelsiusOf(255, DeviceVariant::HumanBody), 46.375);
    EXPECT_DOUBLE_EQ(CelsiusOf(0, DeviceVariant::LowTemp), -5.5);
    EXPECT_DOUBLE_EQ(CelsiusOf(250, DeviceVariant::LowTemp), 25.75);
    EXPECT_DOUBLE_EQ(CelsiusOf(255, DeviceVariant::LowTemp), 26.375);
    EXPECT_DOUBLE_EQ(TemperatureOf(250, DeviceVariant::Standard, TempScale::Fahrenheit), 185.0);
    EXPECT_DOUBLE_EQ(TemperatureOf(0, DeviceVariant::HumanBody, TempScale::Fahrenheit), 58.1);
}

TEST(TemperatureText, FormatWithSuffixAndSeparator) {
    using enum DeviceVariant;
    EXPECT_EQ(TemperatureText(0, Options(Standard, TempScale::Celsius)), "-40.000" + kC);
    EXPECT_EQ(TemperatureText(250, Options(Standard, TempScale::Celsius)), "85.000" + kC);
    EXPECT_EQ(TemperatureText(0, Options(Standard, TempScale::Fahrenheit)), "-40.000" + kF);
    EXPECT_EQ(TemperatureText(250, Options(Standard, TempScale::Fahrenheit)), "185.000" + kF);
    EXPECT_EQ(TemperatureText(100, Options(HumanBody, TempScale::Celsius)), "27.000" + kC);
    EXPECT_EQ(TemperatureText(100, Options(LowTemp, TempScale::Celsius)), "7.000" + kC);
    EXPECT_EQ(TemperatureText(130, Options(Standard, TempScale::Celsius, false)), "25.000");
    EXPECT_EQ(TemperatureText(141, Options(HumanBody, TempScale::Celsius, false, ',')), "32,125");
    EXPECT_EQ(TemperatureText(80, Options(Standard, TempScale::Celsius, false)), "0.000");
    EXPECT_EQ(FormatTemperatureValue(31.625, '.'), "31.625");
    EXPECT_EQ(FormatTemperatureValue(-0.5, ','), "-0,500");
}

TEST(TemperatureText, SuffixFollowsScaleAndSetting) {
    EXPECT_EQ(UnitSuffix(Options(DeviceVariant::Standard, TempScale::Celsius)), kC);
    EXPECT_EQ(UnitSuffix(Options(DeviceVariant::Standard, TempScale::Fahrenheit)), kF);
    EXPECT_EQ(UnitSuffix(Options(DeviceVariant::Standard, TempScale::Fahrenheit, false)), "");
}

TEST(HistogramBins, SpanFourSteps) {
    EXPECT_DOUBLE_EQ(HistogramBinLower(0, DeviceVariant::Standard, TempScale::Celsius), -40.0);
    EXPECT_DOUBLE_EQ(HistogramBinUpper(0, DeviceVariant::Standard, TempScale::Celsius), -38.5);
    EXPECT_DOUBLE_EQ(HistogramBinLower(63, DeviceVariant::Standard, TempScale::Celsius), 86.0);
    EXPECT_DOUBLE_EQ(HistogramBinUpper(63, DeviceVariant::Standard, TempScale::Celsius), 87.5);
    EXPECT_DOUBLE_EQ(HistogramBinUpper(1, DeviceVariant::HumanBody, TempScale::Celsius) -
                         HistogramBinLower(1, DeviceVariant::HumanBody, TempScale::Celsius),
                     0.375);
    EXPECT_DOUBLE_EQ(HistogramBinLower(10, DeviceVariant::LowTemp, TempScale::Fahrenheit), 31.1);
}

TEST(ThresholdLists, HoldBytesZeroTo250) {
    const auto texts = ThresholdTexts(DeviceVariant::Standard, TempScale::Celsius, '.');
    ASSERT_EQ(texts.size(), 251u);
    EXPECT_EQ(texts.front(), "-40.000");
    EXPECT_EQ(texts.back(), "85.000");
    EXPECT_EQ(ThresholdTexts(DeviceVariant::Standard, TempScale::Fahrenheit, ',').back(), "185,000");
    EXPECT_EQ(ThresholdTexts(DeviceVariant::LowTemp, TempScale::Celsius, '.')[100], "7.000");
}

TEST(VariantDetection, OnlyCharactersThreeToFiveCount) {
    EXPECT_EQ(DetectVariant("A14F200000000021"), DeviceVariant::HumanBody);
    EXPECT_EQ(DetectVariant("A13B200000000021"), DeviceVariant::LowTemp);
    EXPECT_EQ(DetectVariant("A766554433221121"), DeviceVariant::Standard);
    EXPECT_EQ(DetectVariant("4F2000000000021"), DeviceVariant::Standard);
    EXPECT_EQ(DetectVariant("A1004F2003B20021"), DeviceVariant::Standard);
    EXPECT_EQ(DetectVariant("A14F"), DeviceVariant::Standard);
    EXPECT_EQ(DetectVariant(""), DeviceVariant::Standard);
}
