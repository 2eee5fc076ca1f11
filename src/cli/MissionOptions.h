#pragma once
// The options of kelvara-cli mission: the wizard's choices, each checked
// against the range the wizard's lists offer.
#include <array>
#include <optional>
#include <string>
#include <vector>

struct MissionOptions {
    int Rate = 1;                   // minutes, the SampleMinutes list: 1-255
    std::optional<int> StartDelay;  // minutes, the three delay lists: 0-64799
    struct Moment {
        int Year, Month, Day, Hour, Minute;
    };
    std::optional<Moment> StartAt;  // worked out by the start-delay calculator
    bool Rollover = false;
    bool Fahrenheit = false;
    std::optional<double> High, Low;  // in the chosen scale; checked against the device's list
    bool AlarmSearch = true;          // the three "Respond to Conditional Search" boxes
    int TimeAlarmMode = 0;            // AlarmTimeCombo position
    int AlarmDay = 0;                 // AlarmDay position, 0 = Sunday
    int AlarmHour = 0, AlarmMinute = 0, AlarmSecond = 0;
    std::array<std::string, 6> Details;  // UTF-8 as typed
    bool IgnoreDetails = false;
    bool SetClock = true;  // "Set Time from Computer Clock"
    bool Force = false;    // clear a device whose mission is running
    int Batch = 1;
    bool HasPort = false;
    int PortType = 0, PortNumber = 0;
    bool Help = false;
};

struct ParsedMissionOptions {
    MissionOptions Options;
    std::string Error;  // the rule broken, in words, when not empty
};

ParsedMissionOptions ParseMissionOptions(const std::vector<std::string>& args);
