#pragma once
// State of the driver session and of the timer-driven polling cycle.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/DateTime.h"

namespace Poll {
enum : std::int16_t {
    Reset = 0,
    Search = 1,
    StatusRead = 2,
    AlarmPages = 3,
    HistogramPages = 4,
    LogPages = 5,
    Idle = 6,
    ClockRefresh = 7,
    Clear = 8,
    VerifyClear = 9,
    Write = 10,
    StopMission = 11,
    ForcedReading = 12,
    UserPages = 13,
    Offline = 14,
};
}

struct DeviceSessionState {
    std::int16_t PortType = 0;
    std::int16_t PortNumber = 0;
    std::int32_t SessionHandle = 0;
    std::vector<std::uint8_t> DriverState;  // the driver's work buffer
    bool StateBufferAllocated = false;
    std::array<std::int16_t, 8> RomBuffer{};  // element 0 = family code, 7 = CRC
    bool DriverSetupDone = false;
    std::string RomIdText;
};

struct PollingCycleState {
    std::int16_t PollState = Poll::Reset;
    std::int16_t PageCounter = 0;
    std::int16_t LastError = 0;
    std::int16_t ErrorRepeatCount = 0;
    std::uint32_t LastRegisterReadTick = 0;
    bool AwaitingDevice = false;
    bool NoDeviceShown = false;
    std::uint32_t FlashDeadline = 0;
    TDateTime DownloadTime = 0;
    std::int32_t LogSampleCount = 0;
    // The register page the shown results were built with. The clock refresh
    // replaces RegisterPage after a download; a data file saves this one, so it
    // reloads with the sample count, start and download time of the lists shown.
    std::array<std::uint8_t, 32> DownloadRegisterPage{};
    // Results downloaded in this run that are not saved as a data file yet.
    bool DownloadUnsaved = false;
    bool TabChangeByProgram = false;
    bool ForceReadRequested = false;
    std::int16_t WriteStep = 0;
};
