#pragma once
// The main window's copy of the device pages it has read, and the register
// bytes of the next mission. Every view, report and export reads only this.
#include <array>
#include <cstdint>
#include <span>
#include <string>

struct MemoryImage {
    std::array<std::uint8_t, 32> RegisterPage{};     // page 16, 0x200-0x21F
    std::array<std::uint8_t, 21> NewRegisterPage{};  // bytes for 0x200-0x214
    std::array<std::uint8_t, 512> UserArea{};        // pages 0-15
    std::array<std::uint8_t, 96> AlarmArea{};        // pages 17-19
    std::array<std::uint8_t, 128> HistogramArea{};   // pages 64-67
    std::array<std::uint8_t, 2048> LogArea{};        // pages 128-191

    // The one page-placement rule: the 32 bytes where device page `page` lands,
    // or an empty span for a page the image does not hold.
    std::span<std::uint8_t> PageSlot(int page);
    bool StorePage(int page, std::span<const std::uint8_t, 32> data);
};

// Register page offsets (device address - 0x200).
namespace Reg {
constexpr int ClockSeconds = 0x00, ClockMinutes = 0x01, ClockHours = 0x02, ClockDayOfWeek = 0x03,
              ClockDate = 0x04, ClockMonth = 0x05, ClockYear = 0x06;
constexpr int AlarmSeconds = 0x07, AlarmMinutes = 0x08, AlarmHours = 0x09, AlarmDay = 0x0A;
constexpr int LowThreshold = 0x0B, HighThreshold = 0x0C, SampleRate = 0x0D, Control = 0x0E;
constexpr int Temperature = 0x11, StartDelayLow = 0x12, StartDelayHigh = 0x13, Status = 0x14;
constexpr int StampMinutes = 0x15, StampYear = 0x19;
constexpr int MissionSamples = 0x1A, DeviceSamples = 0x1D;

constexpr std::uint8_t ControlRollover = 0x08, ControlSearchLow = 0x04, ControlSearchHigh = 0x02,
                       ControlSearchTime = 0x01;
constexpr std::uint8_t StatusMemoryCleared = 0x40, StatusMissionInProgress = 0x20,
                       StatusSampleInProgress = 0x10, StatusLowAlarm = 0x04, StatusHighAlarm = 0x02,
                       StatusTimeAlarm = 0x01;
}  // namespace Reg

// Little-endian counters as the program reads them.
std::int32_t ReadCounter24(std::span<const std::uint8_t> bytes, int offset);
std::int32_t StartDelayMinutes(const std::array<std::uint8_t, 32>& registerPage);
std::int32_t MissionSampleCount(const std::array<std::uint8_t, 32>& registerPage);
std::int32_t DeviceSampleCount(const std::array<std::uint8_t, 32>& registerPage);

// The user-text decode: every 0x00 byte of the page becomes a space in the image
// itself, then its 32 bytes are the text (trailing spaces kept). Pages 0-15.
std::string DecodeUserPage(MemoryImage& image, int page);
// Pages 0-14 into entries 0-14; entry 15 is left as it is (page 15 is never decoded).
void DecodeUserTexts(MemoryImage& image, std::array<std::string, 16>& userTexts);
