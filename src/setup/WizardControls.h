#pragma once
// The Wizard tab: nine pages of mission options.
#include <array>
#include <cstdint>
#include <string>

#include "app/Controls.h"
#include "model/DateTime.h"

struct WizardControls {
    PageControl Wizard;  // page 0 "Introduction" ... 8 "Finish"
    Control NextButton{true, true, "Next  >"};
    Control BackButton{false, true, "<  Back"};
    Control FinishButton{false, true, "Finish"};

    // 1 "Mission Details"
    std::array<Control, 6> lbluser;  // lbluser0..lbluser5
    std::array<EditControl, 6> edituser{{{{}, "", 32}, {{}, "", 32}, {{}, "", 32}, {{}, "", 32}, {{}, "", 32}, {{}, "", 64}}};
    CheckControl chkIgnore{{true, true, "Ignore information (do not store on device)"}};
    // 2 "Time Set"
    Control TRecTimeLabel;
    Control PCTimeLabel;
    CheckControl SetTimeCheck{{true, true, "Set Time from Computer Clock"}, true};
    // 3 "Time Alarm"
    ListControl AlarmTimeCombo;
    Control HidePanel{true, false, ""};
    Control AlarmSelectLabel{true, true, "Select when the alarm time will occur."};
    ListControl AlarmDay, AlarmHour, AlarmMinute, AlarmSecond;
    Control AlarmDayLabel{true, true, "Day"}, AlarmHourLabel{true, true, "Hour"},
        AlarmMinuteLabel{true, true, "Minute"}, AlarmSecondLabel{true, true, "Second"};
    CheckControl ConditionalOnTimeCheck{{true, true, "Respond to Conditional Search on Alarm"}, true};
    // 4 "Mission Start Delay"
    ListControl DelayDay, DelayHour, DelayMinute;
    Control TotalMinutesLabel{true, true, "0"};
    Control StartDateLabel;
    Control cmdCalculate{true, true, "Calculate..."};
    // 5 "Sample Rate"
    ListControl SampleMinutes;
    // 6 "Temperature Alarms"
    ListControl HighThreshold, LowThreshold;
    Control DegreeLabel{true, true, "(Celsius)"};
    CheckControl ConditionalOnTempHighCheck{{true, true, "High "}, true};
    CheckControl ConditionalOnTempLowCheck{{true, true, "Low"}, true};
    // 7 "Roll-Over"
    Control RolloverDays{true, true, "1.4 Days"};
    CheckControl RolloverCheck{{true, true, "Enable Roll-Over"}};
    // 8 "Finish"
    ListControl FinishMemo;

    std::int32_t DelayMinutes = 0;
    TDateTime FinishTime = 0;
    std::int32_t DelayAtFinish = 0;
};
