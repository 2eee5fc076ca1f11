#pragma once
// A serial port whose far end behaves like a DS2480B in front of a 1-Wire bus:
// calibration after a break, command and data modes, resets, single bits,
// configuration echoes and data bytes with E3h doubling. Replies are queued as
// the bytes arrive, so Read never waits.
#include <array>
#include <deque>
#include <optional>
#include <vector>

#include "device/onewire/Link.h"
#include "device/serial/SerialPort.h"

class FakeDs2480Port : public SerialPort {
public:
    explicit FakeDs2480Port(Link& bus);

    bool chipPresent = true;         // false: the port opens but nothing answers
    bool answersCalibration = false; // the chip's reply to the calibration byte is not documented
    bool failOpen = false;
    std::optional<int> resetCodeOverride;  // RR bits to report instead of the bus's answer
    int dropReplies = 0;             // swallow this many replies (line noise)
    std::vector<std::uint8_t> hostBytes;
    std::vector<std::uint8_t> busBytes;  // data bytes put on the 1-Wire bus
    int breaks = 0;

    bool Open(std::string& error) override;
    void Close() override { open = false; }
    bool IsOpen() const override { return open; }
    bool SetBaud(int rate) override;
    bool Write(const std::uint8_t* data, std::size_t length) override;
    int Read(std::uint8_t* data, std::size_t length, int timeoutMs) override;
    void Flush() override { replies.clear(); }
    bool SendBreak() override;
    void Sleep(int) override {}
    std::string Name() const override { return "fake-ttyS0"; }

private:
    void Receive(std::uint8_t byte);
    void Command(std::uint8_t byte);
    void Reply(int byte);

    Link& bus;
    bool open = false;
    int baud = 9600;
    bool calibrated = false;
    bool dataMode = false;
    bool pendingEscape = false;
    std::array<int, 8> config{};
    std::deque<std::uint8_t> replies;
};
