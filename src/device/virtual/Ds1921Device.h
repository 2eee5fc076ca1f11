#pragma once
// An emulated DS1921 Thermochron on the virtual bus: its memory map, the
// function commands byte for byte, and the mission engine running on the
// device's own clock. The engine catches up lazily whenever the device is
// touched, in one pass over the samples that fell due, so jumping a mission a
// year ahead costs a few milliseconds.
#include <array>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "device/virtual/DeviceCalendar.h"
#include "device/virtual/SimClock.h"
#include "device/virtual/TemperatureProfile.h"
#include "device/virtual/VirtualSlave.h"

enum class Ds1921Variant { Standard, HumanBody, LowTemp };

// Readings of the datasheets that differ; the defaults are the ones the
// emulator documentation gives reasons for.
struct Ds1921Options {
    // FirstSample: the time stamp is the minute of the first sample.
    // PeriodBeforeFirstSample: logging starts (stamp) and the first sample follows one period later.
    enum class StampRule { FirstSample, PeriodBeforeFirstSample };
    StampRule Stamp = StampRule::FirstSample;
    // A write to 0x200-0x213 during a mission ends it; true: the bytes are then
    // written as between missions (the sample rate stays protected); false: nothing is written.
    bool WriteEndingMissionApplies = true;
    // The time alarm sets TAF only while a mission runs.
    bool TimeAlarmOnlyInMission = true;
};

// The mission a device is given without going through the bus (the demo device).
struct Ds1921MissionSetup {
    std::uint8_t SampleRate = 10;
    std::uint16_t StartDelay = 0;
    std::uint8_t LowThreshold = 0;
    std::uint8_t HighThreshold = 0xFA;
    std::uint8_t Control = 0;  // RO, TLS, THS, TAS
    std::array<std::uint8_t, 4> TimeAlarm{0x00, 0x00, 0x00, 0x01};
};

class Ds1921Device : public VirtualSlave {
public:
    using Rom8 = std::array<std::uint8_t, 8>;

    Ds1921Device(const Rom8& rom, SimClock& clock, std::shared_ptr<const TemperatureProfile> profile,
                 Ds1921Options options = {});

    // A ROM of the variant with a serial number drawn from `serialSeed`: the top 12 bits
    // of the serial are 4F2h (H), 3B2h (Z) or 000h (standard), the other 36 come from the seed.
    static Rom8 MakeRom(Ds1921Variant variant, std::uint64_t serialSeed);
    // As the program tells them apart: characters 3-5 of the ROM text.
    static Ds1921Variant VariantOfRom(const Rom8& rom);
    // Upper-case hex, byte 7 (CRC) first, family "21" last.
    static std::string RomText(const Rom8& rom);
    static std::shared_ptr<TemperatureProfile> DefaultProfile(Ds1921Variant variant, std::uint64_t seed);
    static const char* VariantName(Ds1921Variant variant);

    Ds1921Variant Variant() const { return variant; }
    // The temperature byte for a reading, clipped to the variant's ends.
    std::uint8_t CodeFor(double celsius) const;

    Rom8 Rom() const override { return rom; }
    void OnReset() override;
    std::uint8_t OnFunctionByte(std::uint8_t written) override;
    bool ConditionalSearchFlag() override;

    // Reading without the bus, for assertions and the adapter window.
    std::uint8_t Peek(std::uint16_t address);
    std::vector<std::uint8_t> PeekRange(std::uint16_t address, std::size_t length);
    bool MissionRunning();
    std::int64_t MissionSamples();
    // The device clock in milliseconds of its calendar (see DeviceCalendar).
    std::int64_t ClockMs() const;
    DeviceClockFields ClockFields() const;

    // Set-up without the bus: the clock to a local date-time, and a cleared
    // memory with a mission that started at `startClockMs` (may be in the past).
    void SetClock(TDateTime local);
    void StartMissionAt(const Ds1921MissionSetup& setup, std::int64_t startClockMs);
    void WriteUserPage(int page, const std::string& text);

    void SetProfile(std::shared_ptr<const TemperatureProfile> replacement) {
        profile = std::move(replacement);
    }
    const TemperatureProfile& Profile() const { return *profile; }
    const Ds1921Options& Options() const { return options; }

    // Fault injection: the next `count` copies are refused as if unauthorised.
    void RefuseCopies(int count) { refusedCopies = count; }

    // The state as text lines (after catching up), and back. LoadState leaves the
    // device untouched and returns false with a reason on a malformed state.
    void SaveState(std::ostream& out);
    bool LoadState(std::istream& in, std::string& error);

private:
    enum class Command {
        None,
        WriteAddress,
        WriteData,
        WriteCrc,
        ReadScratch,
        CopyAuth,
        ReadAddress,
        ReadData,
        ReadCrcData,
        ReadCrcCheck,
        FillFF,
        FillAA,
    };

    std::int64_t SimNow() const { return clock.NowMs(); }
    std::uint8_t ByteAt(std::uint32_t address) const { return address < kMemorySize ? memory[address] : 0; }
    void StartCommand(std::uint8_t command);
    std::uint8_t Stream(std::uint8_t written);

    void CatchUp();
    void RefreshRegisters();
    void ApplySamples(std::int64_t from, std::int64_t to);
    void TrackAlarm(bool beyond, std::uint16_t area, int& open, int& used, std::int64_t sampleNumber);
    void CheckTimeAlarm(std::int64_t fromSecond, std::int64_t toSecond);
    std::uint16_t RemainingDelay() const;

    void Copy();
    void CopyToMemory();
    void WriteClock(const std::array<std::uint8_t, 7>& bytes);
    void WriteControl(std::uint8_t value);
    void WriteStatus(std::uint8_t value);
    void StartMission(std::int64_t startClockMs);
    void StopMission();
    void ClearMemory();
    void ConvertTemperature();

    static constexpr std::uint16_t kMemorySize = 0x2000;

    Rom8 rom;
    Ds1921Variant variant;
    SimClock& clock;
    std::shared_ptr<const TemperatureProfile> profile;
    Ds1921Options options;

    std::array<std::uint8_t, kMemorySize> memory{};
    std::array<std::uint8_t, 32> scratchpad{};
    std::uint16_t targetAddress = 0;
    std::uint8_t endingStatus = 0x20;  // E/S: AA, PF, E[4:0]

    DeviceCalendar calendar;
    bool oscillatorRunning = true;
    std::int64_t clockOffsetMs = 0;      // device clock minus simulated time, while running
    std::int64_t stoppedClockMs = 0;     // the clock while the oscillator is stopped
    std::int64_t oscillatorSinceMs = 0;  // simulated time the oscillator (re)started

    bool clearArmed = false;
    bool memoryCleared = false;
    bool missionInProgress = false;
    bool lowFlag = false, highFlag = false, timeFlag = false;

    std::int64_t missionStartMinute = 0;  // device-clock minute of the starting write
    std::uint16_t missionDelay = 0;
    std::int64_t stampMinute = 0;
    std::int64_t firstSampleMinute = 0;
    int sampleRate = 0;
    bool stampWritten = false;
    std::int64_t missionSamples = 0;
    std::int64_t deviceSamples = 0;
    int lowOpen = -1, lowUsed = 0, highOpen = -1, highUsed = 0;
    std::int64_t timeAlarmCheckedTo = 0;  // device-clock second

    Command command = Command::None;
    int position = 0;
    std::uint32_t streamAddress = 0;
    std::uint16_t crc = 0;
    std::array<std::uint8_t, 3> auth{};
    std::vector<std::uint8_t> reply;
    int refusedCopies = 0;
};
