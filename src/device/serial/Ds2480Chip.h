#pragma once
// The emulated DS2480B serial 1-Wire line driver (the chip in a DS9097U) in
// front of a virtual bus: byte in from the host's UART, reply bytes out, with
// the time each reply goes out. Calibration after a master reset, command and
// data modes with E3h doubling, resets, single bits, the search accelerator,
// pulses, configuration with its echoes, the baud-rate change, standard,
// flexible and overdrive speed, and the one-byte receive buffer. Where the
// documents leave the chip's behaviour open, docs/ADAPTERS.md says what it does.
// Single-threaded; the pty server and the tests drive it.
#include <cstdint>
#include <iosfwd>
#include <vector>

#include "device/serial/Ds2480Protocol.h"
#include "device/virtual/VirtualBus.h"

class Ds2480Chip {
public:
    struct Reply {
        std::uint8_t byte;
        int baud;           // the rate it is sent at
        bool reversedLine;  // sent with the line's polarity reversed (unreadable for a normal host)
        double atUs;        // when it has been sent
    };
    struct Options {
        int revision = 3;                 // reset reply bits 4-2
        bool programmingVoltage = false;  // reset reply bit 5: 12 V present
        bool answersCalibration = false;  // reply to the calibration byte (undocumented)
    };

    explicit Ds2480Chip(VirtualBus& bus);
    Ds2480Chip(VirtualBus& bus, Options options);

    // Power-up, and a master reset: 9600 bit/s, uncalibrated, command mode, default configuration.
    void PowerUp(double nowUs = 0);
    // One byte the host began to send at `sentUs` at `hostBaud` bit/s; replies are appended.
    void Receive(std::uint8_t byte, int hostBaud, double sentUs, std::vector<Reply>& replies);

    int Baud() const { return baud; }
    bool Calibrated() const { return calibrated; }
    bool InDataMode() const { return dataMode; }
    ds2480::Speed CurrentSpeed() const { return speed; }
    bool AcceleratorOn() const { return accelerator; }
    bool PulseActive() const { return pulseActive; }
    int ConfigValue(int parameter) const { return config[static_cast<std::size_t>(parameter & 7)]; }
    double BusyUntilUs() const { return timeline.Done(); }
    std::uint64_t Overruns() const { return overruns; }
    std::uint64_t MasterResets() const { return masterResets; }
    std::uint64_t BytesOnBus() const { return bytesOnBus; }
    VirtualBus& Bus() { return bus; }

    // Writes a line for every byte the chip ignores or loses (KELVARA_TRACE=1).
    void SetTrace(std::ostream* out) { trace = out; }

    // Line faults: the chip ignores every byte after the next `count` (the line goes
    // silent) until cleared; the next `count` replies are lost.
    void GoSilentAfter(std::uint64_t count) { silentAfter = received + count; }
    void DropReplies(int count) { dropReplies = count; }
    void ClearFaults();

private:
    void Note(const char* what, std::uint8_t byte);
    void Execute(std::uint8_t byte, std::vector<Reply>& replies);
    void CommandByte(std::uint8_t byte, std::vector<Reply>& replies);
    void Communication(std::uint8_t byte, std::vector<Reply>& replies);
    void Configuration(std::uint8_t byte, std::vector<Reply>& replies);
    void DataByte(std::uint8_t byte, std::vector<Reply>& replies);
    std::uint8_t AcceleratedBits(std::uint8_t directions);
    void Send(std::uint8_t byte, std::vector<Reply>& replies);
    void DriveBusAt(ds2480::Speed busSpeed);

    VirtualBus& bus;
    Options options;
    std::ostream* trace = nullptr;
    ds2480::Timeline timeline;

    int baud = 9600;
    bool reversedLine = false;
    bool calibrated = false;
    bool dataMode = false;
    bool escapePending = false;  // E3h seen in data mode
    bool accelerator = false;
    bool pulseActive = false;     // an endless pulse or pull-up runs until F1h
    std::uint8_t pulseReply = 0;  // what F1h then answers
    bool pullUpArmed = false;     // Q bit of the last pulse command
    ds2480::Speed speed = ds2480::Speed::Standard;
    ds2480::Config config = ds2480::DefaultConfig();

    std::uint64_t received = 0, overruns = 0, masterResets = 0, bytesOnBus = 0;
    static constexpr std::uint64_t kNever = ~std::uint64_t{0};
    std::uint64_t silentAfter = kNever;
    int dropReplies = 0;
};
