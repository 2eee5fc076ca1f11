#pragma once
// A byte pipe to a serial adapter. The termios port talks to real hardware;
// tests put an emulated adapter behind the same interface.
#include <cstddef>
#include <cstdint>
#include <string>

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // 8 data bits, 1 stop bit, no parity, 9600 bit/s. False with a reason.
    virtual bool Open(std::string& error) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    virtual bool SetBaud(int baud) = 0;
    virtual bool Write(const std::uint8_t* data, std::size_t length) = 0;
    // Reads up to `length` bytes, waiting at most `timeoutMs` for them all; returns the
    // count read (short on a timeout) or -1 on an error.
    virtual int Read(std::uint8_t* data, std::size_t length, int timeoutMs) = 0;
    // Drops everything not yet sent or read.
    virtual void Flush() = 0;
    virtual bool SendBreak() = 0;
    virtual void Sleep(int milliseconds) = 0;
    virtual std::string Name() const = 0;
};
