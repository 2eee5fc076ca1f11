#include <gtest/gtest.h>

#include "app/TTRecForm.h"
#include "model/DateTime.h"
#include "support/ScriptedDriver.h"
#include "support/ScriptedPlatform.h"

namespace {
class Composition : public ::testing::Test {
protected:
    void SetUp() override {
        // Thresholds as the wizard leaves them: 251 entries, low first, high last.
        for (ListControl* list : {&form.HighThreshold, &form.LowThreshold}) {
            list->Clear();
            for (int b = 0; b <= 250; ++b) list->Add(std::to_string(b));
        }
        form.HighThreshold.Select(250);
        form.LowThreshold.Select(0);
    }
    std::vector<std::uint8_t> Bytes(int first, int last) const {
        return {form.Image.NewRegisterPage.begin() + first, form.Image.NewRegisterPage.begin() + last + 1};
    }
    void Mode(int mode) {
        form.AlarmTimeCombo.Select(mode);
        form.AlarmTimeComboChange();
    }
    ScriptedPlatform platform;
    ScriptedDriver driver;
    TTRecForm form{platform, driver};
};
}  // namespace

TEST_F(Composition, DefaultMissionWithoutClock) {
    form.SetTimeCheck.Checked = false;
    form.CreateWriteStatus();
    EXPECT_EQ(Bytes(0x07, 0x14), (std::vector<std::uint8_t>{0x00, 0x00, 0x00, 0x01, 0x00, 0xFA, 0x01, 0x07,
                                                            0x00, 0x00, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(Bytes(0x00, 0x06), std::vector<std::uint8_t>(7, 0));
}

TEST_F(Composition, ClockIsTheComputerTimePlusOneSecond) {
    TDateTime now = 0;
    ASSERT_TRUE(
        TryEncodeDateTime(2026, 12, 7, 23, 59, 59, 0, now));  // Monday; one second later is Tuesday the 8th
    platform.SetNow(now);
    form.CreateWriteStatus();
    EXPECT_EQ(Bytes(0x00, 0x06), (std::vector<std::uint8_t>{0x00, 0x00, 0x00, 0x03, 0x08, 0x92, 0x26}));
}

TEST_F(Composition, TimeAlarmModesMaskTheirBytes) {
    Mode(AlarmMode::Daily);
    form.AlarmHour.Select(8);
    form.AlarmMinute.Select(30);
    form.AlarmSecond.Select(15);
    form.CreateWriteStatus();
    EXPECT_EQ(Bytes(0x07, 0x0A), (std::vector<std::uint8_t>{0x15, 0x30, 0x08, 0x80}));

    Mode(AlarmMode::Weekly);
    form.AlarmDay.Select(6);
    form.AlarmHour.Select(23);
    form.AlarmMinute.Select(59);
    form.AlarmSecond.Select(59);
    form.CreateWriteStatus();
    EXPECT_EQ(Bytes(0x07, 0x0A), (std::vector<std::uint8_t>{0x59, 0x59, 0x23, 0x07}));

    Mode(AlarmMode::Hourly);
    form.CreateWriteStatus();
    EXPECT_EQ(Bytes(0x07, 0x0A), (std::vector<std::uint8_t>{0x59, 0x59, 0x80, 0x80}));
    Mode(AlarmMode::Minutely);
    form.CreateWriteStatus();
    EXPECT_EQ(Bytes(0x07, 0x0A), (std::vector<std::uint8_t>{0x59, 0x80, 0x80, 0x80}));
    Mode(AlarmMode::EverySecond);
    form.CreateWriteStatus();
    EXPECT_EQ(Bytes(0x07, 0x0A), (std::vector<std::uint8_t>{0x80, 0x80, 0x80, 0x80}));
}

TEST_F(Composition, ControlRateThresholdsAndDelay) {
    form.RolloverCheck.Checked = true;
    form.ConditionalOnTimeCheck.Checked = false;
    form.ConditionalOnTempLowCheck.Checked = false;
    form.SampleMinutes.Select(254);
    form.HighThreshold.Select(130);
    form.LowThreshold.Select(200);  // no ordering check
    form.DelayDay.Select(2);
    form.DelayHour.Select(3);
    form.DelayMinute.Select(15);
    form.DelayDayChange();
    form.CreateWriteStatus();
    EXPECT_EQ(form.Image.NewRegisterPage[0x0E], 0x0A);
    EXPECT_EQ(form.Image.NewRegisterPage[0x0D], 255);
    EXPECT_EQ(Bytes(0x0B, 0x0C), (std::vector<std::uint8_t>{200, 130}));
    EXPECT_EQ(Bytes(0x12, 0x13), (std::vector<std::uint8_t>{0x03, 0x0C}));
}

TEST_F(Composition, UserPagesAreCutAndPaddedWithSpaces) {
    form.Image.UserArea.fill(0xEE);
    form.NewUserTexts[1] = std::string(40, 'A');
    form.NewUserTexts[2] = "Ann";
    form.ComposeUserPages();
    const auto page = [&](int k) {
        return std::string(form.Image.UserArea.begin() + k * 32, form.Image.UserArea.begin() + k * 32 + 32);
    };
    EXPECT_EQ(page(0), std::string(32, ' '));
    EXPECT_EQ(page(1), std::string(32, 'A'));
    EXPECT_EQ(page(2), "Ann" + std::string(29, ' '));
    EXPECT_EQ(page(14), std::string(32, ' '));
    EXPECT_EQ(page(15), std::string(32, '\xEE'));  // page 15 is left as it stands
}
