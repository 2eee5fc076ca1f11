#include <gtest/gtest.h>

#include "app/TTRecForm.h"
#include "support/ScriptedDriver.h"
#include "support/ScriptedPlatform.h"

namespace {
class TemperatureOptionsForm : public ::testing::Test {
protected:
    ScriptedPlatform platform;
    ScriptedDriver driver;
    TTRecForm form{platform, driver};
};
}  // namespace

TEST_F(TemperatureOptionsForm, EveryScaleClickSwitchesTheScale) {
    ASSERT_TRUE(form.MenuCelsius.Checked);
    form.MenuCelsiusClick();  // already checked: still a switch
    EXPECT_TRUE(form.MenuFahrenheit.Checked);
    EXPECT_FALSE(form.MenuCelsius.Checked);
    EXPECT_EQ(form.DegreeLabel.Caption, "(Fahrenheit)");
    EXPECT_EQ(form.CurrentTemperatureOptions().Scale, TempScale::Fahrenheit);

    form.MenuFahrenheitClick();
    EXPECT_TRUE(form.MenuCelsius.Checked);
    EXPECT_FALSE(form.MenuFahrenheit.Checked);
    EXPECT_EQ(form.DegreeLabel.Caption, "(Celsius)");

    form.MenuFahrenheitClick();
    form.MenuFahrenheitClick();
    EXPECT_TRUE(form.MenuCelsius.Checked);
    EXPECT_FALSE(form.MenuFahrenheit.Checked);
}

TEST_F(TemperatureOptionsForm, ThresholdListsKeepTheirBytesAcrossAScaleChange) {
    form.CreateThresholds();
    ASSERT_EQ(form.HighThreshold.Items.size(), 251u);
    ASSERT_EQ(form.LowThreshold.Items.size(), 251u);
    EXPECT_EQ(form.HighThreshold.Items.back(), "85.000");
    form.HighThreshold.Select(250);
    form.LowThreshold.Select(-1);

    form.MenuFahrenheitClick();
    EXPECT_EQ(form.HighThreshold.Items.size(), 251u);
    EXPECT_EQ(form.HighThreshold.ItemIndex, 250);
    EXPECT_EQ(form.HighThreshold.SelectedText(), "185.000");
    EXPECT_EQ(form.LowThreshold.ItemIndex, 0);  // no selection is kept as the first entry
    EXPECT_EQ(form.LowThreshold.SelectedText(), "-40.000");
}

TEST_F(TemperatureOptionsForm, ListsFollowVariantAndSeparatorWithoutSuffix) {
    platform.Separator = ',';
    form.menuStandard.Checked = false;
    form.menuIce.Checked = true;
    form.CreateThresholds();
    EXPECT_EQ(form.LowThreshold.Items[100], "7,000");
    EXPECT_EQ(form.LowThreshold.Items.back(), "25,750");
}

TEST_F(TemperatureOptionsForm, OptionsComeFromTheMenus) {
    platform.Separator = ',';
    TemperatureOptions options = form.CurrentTemperatureOptions();
    EXPECT_EQ(options.Variant, DeviceVariant::Standard);
    EXPECT_EQ(options.Scale, TempScale::Celsius);
    EXPECT_TRUE(options.ShowUnit);
    EXPECT_EQ(options.DecimalSeparator, ',');
    EXPECT_EQ(form.UnitSuffix(), std::string(1, '\xB0') + 'C');

    form.menuStandard.Checked = false;
    form.menuHuman.Checked = true;
    form.MenuShowFC.Checked = false;
    options = form.CurrentTemperatureOptions();
    EXPECT_EQ(options.Variant, DeviceVariant::HumanBody);
    EXPECT_FALSE(options.ShowUnit);
    EXPECT_EQ(form.UnitSuffix(), "");
}
