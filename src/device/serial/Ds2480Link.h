#pragma once
// The DS9097U adapter: a DS2480B line driver behind a serial port. Resets and
// single bits go in command mode, bytes and blocks in data mode. Several of
// the chip's bit layouts are not confirmed by the documents at hand; each one
// relied on is marked where it is used.
#include <memory>

#include "device/onewire/Link.h"
#include "device/serial/SerialPort.h"

class Ds2480Link : public Link {
public:
    explicit Ds2480Link(std::unique_ptr<SerialPort> port);

    bool Open(std::string& error) override;
    void Close() override;
    bool IsOpen() const override { return open; }
    ResetResult Reset() override;
    int TouchBit(int bit) override;
    int TouchByte(std::uint8_t byte) override;
    bool Block(std::uint8_t* data, std::size_t length) override;
    bool TouchBits(std::uint8_t* bits, std::size_t count) override;
    std::string Version() const override;

private:
    enum class Mode { Command, Data };

    // Master reset by a break, then the calibration byte at 9600 bit/s.
    bool Synchronise();
    bool EnterMode(Mode wanted);
    // Sends one command-mode byte and reads its one response.
    int Command(std::uint8_t command);
    // Called after any broken exchange: the chip's state is unknown, start over.
    void Lost();
    // Resynchronises after a loss, reopening the port if the adapter was unplugged.
    bool Recover();

    std::unique_ptr<SerialPort> port;
    Mode mode = Mode::Command;
    bool open = false;
    bool needsSync = false;
    int chipRevision = -1;
};
