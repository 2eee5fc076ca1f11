#pragma once
// The DS2480B's rules that both ends of the serial line need: the command
// codes, how long each thing takes on the UART and on the 1-Wire bus, and the
// chip's one-byte receive buffer. The emulated chip runs on them, and the
// host link plans its writes with them so it never overruns a real chip.
#include <array>
#include <cstdint>
#include <optional>

namespace ds2480 {

// Bits 3-2 of a communication command: 00 standard, 01 flexible, 10 overdrive, 11 standard.
enum class Speed { Standard, Flexible, Overdrive };
Speed SpeedOfCommand(std::uint8_t command);
std::uint8_t SpeedBits(Speed speed);

// Command mode.
constexpr std::uint8_t kDataMode = 0xE1;     // to data mode; no reply
constexpr std::uint8_t kCommandMode = 0xE3;  // in data mode: to command mode (twice: E3h on the bus)
constexpr std::uint8_t kStopPulse = 0xF1;    // ends an endless pulse or pull-up; the pulse's reply follows
constexpr std::uint8_t kCommunication = 0x81;
constexpr std::uint8_t kSingleBit = 0x81;     // 100 V SS P 1
constexpr std::uint8_t kAccelerator = 0xA1;   // 101 H SS 0 1: search accelerator off (H = 0) or on
constexpr std::uint8_t kResetCommand = 0xC1;  // 110 0 SS 0 1
constexpr std::uint8_t kPulse = 0xED;         // 111 T 11 Q 1: 5 V pull-up (T = 0) or 12 V pulse

constexpr std::uint8_t kBitValue = 0x10, kBitPullUp = 0x02, kAcceleratorOn = 0x10, kPulse12V = 0x10,
                       kPulseArm = 0x02;

// Configuration parameters (bits 6-4 of a configuration command `0 ppp vvv 1`).
enum Parameter : int { kPdsrc = 1, kPpd = 2, kSpud = 3, kW1lt = 4, kDso = 5, kLoad = 6, kRbr = 7 };
constexpr std::uint8_t ConfigWrite(int parameter, int value) {
    return static_cast<std::uint8_t>(parameter << 4 | (value & 7) << 1 | 1);
}
constexpr std::uint8_t ConfigRead(int parameter) {
    return static_cast<std::uint8_t>((parameter & 7) << 1 | 1);
}
using Config = std::array<std::uint8_t, 8>;  // value codes by parameter; [0] unused
// Value codes after a master reset (the documents at hand give none; see docs/ADAPTERS.md).
Config DefaultConfig();

// RBR value codes 0-3 (4-7: the same rates with the line's polarity reversed).
int BaudOfCode(int code);
int CodeOfBaud(int baud);  // -1 for a rate the chip cannot run at

// One UART character: start bit, 8 data bits, stop bit.
double CharUs(int baud);
double ResetUs(Speed speed);
double SlotUs(Speed speed, const Config& config);
// A data-mode byte: 8 slots, or 12 with the search accelerator on.
double DataByteUs(Speed speed, bool accelerator, const Config& config);
// Pulse and pull-up durations; nullopt for the endless setting (code 7).
std::optional<double> PulseUs(bool twelveVolt, const Config& config);

// The chip's receiving side: a byte waits in the one-byte buffer while the one before
// it runs on the bus; a byte that finishes arriving while the buffer is still taken
// is lost. Times in microseconds on one time line.
class Timeline {
public:
    void Restart(double nowUs);
    // A byte whose sending began at `sentUs` (or right after the one before): the time
    // the chip starts on it, or nullopt when it was lost to an overrun.
    std::optional<double> Take(double sentUs, double charUs);
    // The byte taken last runs for this long.
    void Run(double durationUs);
    // Its reply goes out when the run is done and the transmitter is free; returns the
    // time the reply has arrived.
    double Reply(double charUs);
    // The chip stays busy this much longer after the reply (a pull-up).
    void Extend(double durationUs) { runEnd += durationUs; }
    double Done() const { return runEnd > txEnd ? runEnd : txEnd; }

private:
    double rxEnd = 0, lastStart = 0, runEnd = 0, txEnd = 0;
};

}  // namespace ds2480
