#pragma once
// What one data file tells about a class's logger: who carried it, which
// device, the mission and its listed samples, decoded by the same rules as the
// Status tab and the result lists, without a window. The survey and the class
// table are built from these.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "files/FilePath.h"
#include "model/DateTime.h"
#include "model/MemoryImage.h"
#include "model/Temperature.h"

struct LoggedSample {
    std::int64_t Minute = 0;  // whole minutes since 1899-12-30 00:00, as the log list shows it
    double Temperature = 0;   // degrees Celsius
};

struct LoggedMission {
    std::string Rom;  // the 16 ROM digits of the file's caption
    DeviceVariant Variant = DeviceVariant::Standard;
    // First name, surname, class, school, mission title, description (Windows-1252, trailing blanks dropped).
    std::array<std::string, 6> Details;
    bool Running = false;
    bool Started = false;     // the device holds a mission start time
    bool ValidStart = false;  // ... and it is a real date
    TDateTime MissionStart = 0;
    TDateTime DownloadTime = 0;   // the device clock when the register page was read
    int SampleRate = 0;           // minutes
    std::int32_t Samples = 0;     // the mission's sample counter
    std::int32_t StartDelay = 0;  // minutes
    bool RolloverEnabled = false;
    bool RolledOver = false;
    std::vector<LoggedSample> Log;  // the listed samples, oldest first
    int HighAlarms = 0, LowAlarms = 0;
    std::int64_t HighAlarmMinutes = 0, LowAlarmMinutes = 0;  // samples in alarm x the sample rate
    int LinesRead = 0;  // data file lines read before an empty one ended the reading
};

// Decodes a loaded image (the caption is line 1 of its file).
LoggedMission DigestMission(MemoryImage image, const std::string& caption);

// Reads a data file as "Load old data file..." reads it, into a fresh image.
// False with the reason (Windows-1252 program text, the path shown) when it is
// no data file or cannot be read.
bool ReadLoggedMission(const FilePath& path, LoggedMission& mission, std::string& error);
