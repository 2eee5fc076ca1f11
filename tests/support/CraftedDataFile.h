#pragma once
// Data files made to order for the survey and the class table: a mission
// with the given start, download time, samples and user details, written as
// "Save data file..." writes it.
#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "model/Bcd.h"
#include "model/MemoryImage.h"
#include "reports/DumpFormat.h"
#include "reports/ReportLines.h"

struct CraftedMission {
    std::string Rom = "6774F5A09E15EA21";
    TDateTime Start = 0;     // 0: no mission start time on the device
    TDateTime Download = 0;  // the device clock at the download
    int Rate = 10;
    int Samples = 0;
    bool Running = false;
    bool Rollover = false;
    int Delay = 0;
    std::array<std::string, 6> Details;
    // Temperature byte of the sample at each log position (default: 100 + position % 50).
    std::function<std::uint8_t(int position)> LogByte = [](int p) {
        return static_cast<std::uint8_t>(100 + p % 50);
    };
    // Alarm records: {high, first sample number (0-based), samples}.
    std::vector<std::array<int, 3>> Alarms;
};

inline MemoryImage CraftedImage(const CraftedMission& m) {
    MemoryImage image;
    auto& reg = image.RegisterPage;
    const auto clock = EncodeClockBlock(m.Download - kSecond);
    std::copy(clock.begin(), clock.end(), reg.begin());
    if (m.Start != 0) {
        const auto stamp = EncodeClockBlock(m.Start - kSecond);  // minutes, hours, (day), date, month, year
        reg[0x15] = stamp[1];
        reg[0x16] = stamp[2];
        reg[0x17] = stamp[4];
        reg[0x18] = stamp[5];
        reg[0x19] = stamp[6];
    }
    reg[Reg::SampleRate] = static_cast<std::uint8_t>(m.Rate);
    reg[Reg::Control] = m.Rollover ? Reg::ControlRollover : 0;
    reg[Reg::StartDelayLow] = static_cast<std::uint8_t>(m.Delay & 0xFF);
    reg[Reg::StartDelayHigh] = static_cast<std::uint8_t>(m.Delay >> 8);
    reg[Reg::Status] = m.Running ? Reg::StatusMissionInProgress : 0;
    for (int b = 0; b < 3; ++b) {
        reg[Reg::MissionSamples + b] = static_cast<std::uint8_t>(m.Samples >> (8 * b));
        reg[Reg::DeviceSamples + b] = static_cast<std::uint8_t>(m.Samples >> (8 * b));
    }
    image.UserArea.fill(' ');
    for (int k = 0; k < 6; ++k)
        std::copy_n(m.Details[k].begin(), std::min<std::size_t>(m.Details[k].size(), 32),
                    image.UserArea.begin() + (k + 1) * 32);
    for (int p = 0; p < 2048; ++p) image.LogArea[p] = m.LogByte(p);
    int low = 0, high = 12;
    for (const auto& [isHigh, first, samples] : m.Alarms) {
        const int record = isHigh ? high++ : low++;
        const int counter = first + 1;
        for (int b = 0; b < 3; ++b)
            image.AlarmArea[record * 4 + b] = static_cast<std::uint8_t>(counter >> (8 * b));
        image.AlarmArea[record * 4 + 3] = static_cast<std::uint8_t>(samples);
    }
    return image;
}

inline void WriteDataFile(const std::filesystem::path& path, const CraftedMission& m) {
    std::ofstream(path, std::ios::binary) << JoinCrLf(
        DumpLines(std::string(kDeviceCaptionPrefix) + m.Rom, "07/12/2026 10:00:00", CraftedImage(m)));
}
