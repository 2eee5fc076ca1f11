#pragma once
// A serial port wired straight to the emulated DS2480B, in process: what the
// link writes reaches the chip at the rate the port is set to, and the chip's
// replies wait to be read. Unlike a pseudo-terminal it carries a break, and it
// records what crossed it, so tests can see every byte and each write.
#include <deque>
#include <vector>

#include "device/serial/Ds2480Chip.h"
#include "device/serial/SerialPort.h"

class ChipSerialPort : public SerialPort {
public:
    explicit ChipSerialPort(Ds2480Chip& chip);

    bool failOpen = false;
    bool breakCrosses = true;          // false: like a pseudo-terminal
    bool fastRatesDead = false;        // a converter that loses everything above 9600 bit/s
    std::uint8_t garbleNextReply = 0;  // XOR-ed into the next reply the host gets
    int holdReplies = 0;               // this many replies arrive only after the next flush (a slow line)
    std::vector<std::uint8_t> hostBytes;
    int breaks = 0;
    int writeCalls = 0;  // each is one round trip on a real line
    int baud = 9600;

    bool Open(std::string& error) override;
    void Close() override { open = false; }
    bool IsOpen() const override { return open; }
    bool SetBaud(int rate) override;
    bool Write(const std::uint8_t* data, std::size_t length) override;
    int Read(std::uint8_t* data, std::size_t length, int timeoutMs) override;
    void Flush() override;
    bool SendBreak() override;
    void Sleep(int) override {}
    std::string Name() const override { return "chip-ttyS0"; }

private:
    Ds2480Chip& chip;
    bool open = false;
    double nowUs = 0;
    std::deque<std::uint8_t> replies, held;
};
