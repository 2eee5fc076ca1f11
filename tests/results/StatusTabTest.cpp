#include <gtest/gtest.h>

#include "app/TTRecForm.h"
#include "support/ScriptedDriver.h"
#include "support/ScriptedPlatform.h"

namespace {
class StatusTab : public ::testing::Test {
protected:
    void Decode(std::initializer_list<std::pair<int, std::uint8_t>> bytes) {
        for (auto [offset, value] : bytes) form.Image.RegisterPage[offset] = value;
        form.UpdateStatus();
    }
    ScriptedPlatform platform;
    ScriptedDriver driver;
    TTRecForm form{platform, driver};
};
}  // namespace

TEST_F(StatusTab, AllZeroPage) {
    EXPECT_FALSE(form.MissionGroup.Visible);
    form.UpdateStatus();
    EXPECT_EQ(form.MissionStatus.Caption, "ended");
    EXPECT_FALSE(form.MissionRunning);
    EXPECT_EQ(form.RolloverEnableLabel.Caption, "no");
    EXPECT_EQ(form.RolloverOccuredLabel.Caption, "n/a");
    EXPECT_EQ(form.CurrentTimeLabel.Caption, "not started yet");
    EXPECT_EQ(form.MissionStartLabel.Caption, "not started yet");
    EXPECT_EQ(form.AlarmModeLabel.Caption, "Alarm weekly");
    EXPECT_EQ(form.TimeAlarmSettingLabel.Caption, " 00:00:00");
    EXPECT_EQ(form.HighThresholdLabel.Caption, "-40.000\xB0" "C");
    EXPECT_EQ(form.LowThresholdLabel.Caption, "-40.000\xB0" "C");
    EXPECT_DOUBLE_EQ(form.HighThresholdValue, -40.0);
    EXPECT_EQ(form.TempAlarmLabel.Caption, "Conditional(none)  Alarm(none)");
    EXPECT_EQ(form.TimeAlarmLabel.Caption, "Conditional(no)  Alarm(no)");
    EXPECT_TRUE(form.MissionGroup.Visible);
    EXPECT_TRUE(form.TempGroup.Visible);
    EXPECT_TRUE(form.TimeGroup.Visible);
}

TEST_F(StatusTab, MissionCountersRolloverAndDelay) {
    Decode({{Reg::Status, 0x20}, {Reg::Control, 0x08}, {0x1A, 0xB8}, {0x1B, 0x0B}, {0x1D, 0x01}, {0x1E, 0x02},
            {0x1F, 0x01}, {Reg::SampleRate, 10}, {Reg::StartDelayLow, 0xFF}});
    EXPECT_EQ(form.MissionStatus.Caption, "in progress");
    EXPECT_TRUE(form.MissionRunning);
    EXPECT_EQ(form.MissionSamples, 3000);
    EXPECT_EQ(form.MissionSamplesLabel.Caption, "3000");
    EXPECT_EQ(form.DeviceCountLabel.Caption, "66049");
    EXPECT_EQ(form.SampleRateLabel.Caption, "10");
    EXPECT_EQ(form.RolloverEnableLabel.Caption, "yes");
    EXPECT_EQ(form.RolloverOccuredLabel.Caption, "yes");
    EXPECT_EQ(form.MissionDelayLabel.Caption, "255");

    Decode({{0x1A, 0x00}, {0x1B, 0x08}});  // 2048 is not above 2048
    EXPECT_EQ(form.RolloverOccuredLabel.Caption, "no");
}

TEST_F(StatusTab, ClockStartAndWizardLabels) {
    TDateTime now = 0;
    ASSERT_TRUE(TryEncodeDateTime(2004, 3, 5, 14, 0, 0, 0, now));
    platform.SetNow(now);
    form.DelayMinutes = 90;
    Decode({{0, 0x09}, {1, 0x07}, {2, 0x14}, {3, 0x03}, {4, 0x05}, {5, 0x83}, {6, 0x02}, {0x15, 0x30},
            {0x16, 0x12}, {0x17, 0x04}, {0x18, 0x83}, {0x19, 0x02}});
    EXPECT_EQ(form.CurrentTimeLabel.Caption, "Tuesday  05/03/2002  14:07:09 ");
    EXPECT_EQ(form.TRecTimeLabel.Caption, form.CurrentTimeLabel.Caption);
    EXPECT_EQ(form.MissionStartLabel.Caption, " 04/03/2002  12:30 ");
    EXPECT_EQ(form.PCTimeLabel.Caption, "Friday  05/03/2004  14:00:00 ");
    EXPECT_EQ(form.StartDateLabel.Caption, "Friday  05/03/2004  15:30:00 ");
    form.SetTimeCheck.Checked = false;
    form.UpdateStatus();
    EXPECT_EQ(form.StartDateLabel.Caption, "Tuesday  05/03/2002  15:37:09 ");
    TDateTime start = 0;
    ASSERT_TRUE(TryEncodeDateTime(2002, 3, 4, 12, 30, 0, 0, start));
    EXPECT_DOUBLE_EQ(form.MissionStart, start);
}

TEST_F(StatusTab, TimeAlarmModes) {
    Decode({{7, 0x80}, {8, 0x80}, {9, 0x80}, {10, 0x80}});
    EXPECT_EQ(form.AlarmModeLabel.Caption, "Alarm every second");
    EXPECT_EQ(form.TimeAlarmSettingLabel.Caption, "");
    Decode({{7, 0x15}, {8, 0x30}, {9, 0x08}, {10, 0x82}});
    EXPECT_EQ(form.AlarmModeLabel.Caption, "Alarm daily");
    EXPECT_EQ(form.TimeAlarmSettingLabel.Caption, "08:30:15");
    Decode({{7, 0x00}, {8, 0x30}, {9, 0x08}, {10, 0x02}});
    EXPECT_EQ(form.AlarmModeLabel.Caption, "Alarm weekly");
    EXPECT_EQ(form.TimeAlarmSettingLabel.Caption, "Monday 08:30:00");
    Decode({{7, 0x15}, {8, 0x30}, {9, 0x48}, {10, 0x82}});
    EXPECT_EQ(form.TimeAlarmSettingLabel.Caption, "08:30:15AM");
    Decode({{7, 0x00}, {8, 0x30}, {9, 0xF2}, {10, 0x82}});
    EXPECT_EQ(form.AlarmModeLabel.Caption, "Alarm hourly");
    EXPECT_EQ(form.TimeAlarmSettingLabel.Caption, "30:00PM");
    Decode({{7, 0x45}, {8, 0x80}});
    EXPECT_EQ(form.AlarmModeLabel.Caption, "Alarm minutely");
    EXPECT_EQ(form.TimeAlarmSettingLabel.Caption, "45PM");
}

TEST_F(StatusTab, AlarmFlags) {
    Decode({{Reg::Control, 0x06}, {Reg::Status, 0x02}});
    EXPECT_EQ(form.TempAlarmLabel.Caption, "Conditional(H,L)  Alarm(H)");
    Decode({{Reg::Control, 0x04}, {Reg::Status, 0x00}});
    EXPECT_EQ(form.TempAlarmLabel.Caption, "Conditional(L)  Alarm(none)");
    Decode({{Reg::Control, 0x01}, {Reg::Status, 0x05}});
    EXPECT_EQ(form.TempAlarmLabel.Caption, "Conditional(none)  Alarm(L)");
    EXPECT_EQ(form.TimeAlarmLabel.Caption, "Conditional(yes)  Alarm(yes)");
}

TEST_F(StatusTab, ForcedReadingOnlyWhenRequestedIdleAndSettled) {
    form.ForceTempLabel.Caption = "old";
    Decode({{Reg::Temperature, 127}});
    EXPECT_EQ(form.ForceTempLabel.Caption, "old");
    form.ForceReadRequested = true;
    Decode({{Reg::Status, 0x10}});
    EXPECT_EQ(form.ForceTempLabel.Caption, "old");
    Decode({{Reg::Status, 0x20}});
    EXPECT_EQ(form.ForceTempLabel.Caption, "old");
    Decode({{Reg::Status, 0x00}});
    EXPECT_EQ(form.ForceTempLabel.Caption, "23.500\xB0" "C");
}
