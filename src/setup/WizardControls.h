#pragma once
// The Wizard tab: nine pages of mission options.
#include <array>
#include <cstdint>
#include <string>

#include "app/Controls.h"
#include "model/DateTime.h"

// Heading and explanatory paragraphs of each wizard page, for the view.
struct WizardPageText {
    const char* Heading;
    std::array<const char*, 3> Paragraphs;  // unused ones are nullptr
};
extern const std::array<WizardPageText, 9> kWizardPages;

// The time alarm modes, as listed in AlarmTimeCombo.
namespace AlarmMode {
enum : int { None = 0, Weekly = 1, Daily = 2, Hourly = 3, Minutely = 4, EverySecond = 5 };
}

struct WizardControls {
    static constexpr int kPageCount = 9;

    PageControl Wizard;  // page 0 "Introduction" ... 8 "Finish"
    Control NextButton{true, true, "Next  >"};
    Control BackButton{false, true, "<  Back"};
    Control FinishButton{false, true, "Finish"};

    // 0 "Introduction"
    Control IntroLabel{true, true, "Welcome to the DS1921 Kelvara Mission Wizard!"};
    // 1 "Mission Details"
    std::array<Control, 6> lbluser;  // lbluser0..lbluser5
    std::array<EditControl, 6> edituser{
        {{{}, "", 32}, {{}, "", 32}, {{}, "", 32}, {{}, "", 32}, {{}, "", 32}, {{}, "", 64}}};
    CheckControl chkIgnore{{true, true, "Ignore information (do not store on device)"}};
    // 2 "Time Set"
    Control TRecTimeCaption{true, true, "Current DS1921 Time: "};
    Control TRecTimeLabel;
    Control PCTimeCaption{true, true, "Current Computer Time: "};
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
    Control DelayDayLabel{true, true, "Days"}, DelayHourLabel{true, true, "Hours"},
        DelayMinuteLabel{true, true, "Minutes"};
    Control TotalMinutesCaption{true, true, "Total Minutes"};
    Control TotalMinutesLabel{true, true, "0"};
    Control StartDateCaption{true, true, "Approx. start Date/Time:"};
    Control StartDateLabel;
    Control cmdCalculate{true, true, "Calculate..."};
    // 5 "Sample Rate"
    ListControl SampleMinutes;
    Control SampleMinutesLabel{true, true, "Minutes"};
    // 6 "Temperature Alarms"
    ListControl HighThreshold, LowThreshold;
    Control HighThresholdCaption{true, true, "High Threshold"},
        LowThresholdCaption{true, true, "Low Threshold"};
    Control DegreeLabel{true, true, "(Celsius)"};
    Control TempSearchCaption{true, true, "Respond to Conditional Search on Alarm (advanced feature)"};
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

// Replaces the list's items with the numbers first..last, two digits at least when twoDigits.
void FillNumbers(ListControl& list, int first, int last, bool twoDigits);
// "%3.1f Days" for 2048 samples at the given rate in minutes.
std::string RolloverDaysText(int sampleMinutes, char decimalSeparator);
// A user entry as typed (UTF-8) made Windows-1252: characters the code page
// cannot hold become '?' so the loss shows, then cut to maxLength (0: no limit).
std::string UserEntryText(const std::string& utf8, int maxLength);
