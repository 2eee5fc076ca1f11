#pragma once
// The Status tab: mission, temperature and real-time clock groups.
#include "app/Controls.h"

struct StatusControls {
    Control MissionGroup{true, false, "Mission"};
    Control MissionStatus, MissionStartLabel, MissionDelayLabel, MissionSamplesLabel, DeviceCountLabel,
        SampleRateLabel, RolloverEnableLabel, RolloverOccuredLabel;

    Control TempGroup{true, false, "Temperature"};
    Control HighThresholdLabel, LowThresholdLabel, TempAlarmLabel;
    Control ForceTempLabel{true, false, ""};
    Control ForceButton{false, true, "Read now!"};

    Control TimeGroup{true, false, "Real-Time Clock"};
    Control CurrentTimeLabel, AlarmModeLabel, TimeAlarmSettingLabel, TimeAlarmLabel;
};
