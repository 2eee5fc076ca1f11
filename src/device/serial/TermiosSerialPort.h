#pragma once
// SerialPort on a POSIX tty. The port is locked so a second program cannot
// share the adapter unnoticed.
#include "device/serial/SerialPort.h"

class TermiosSerialPort : public SerialPort {
public:
    explicit TermiosSerialPort(std::string devicePath);
    ~TermiosSerialPort() override;
    TermiosSerialPort(const TermiosSerialPort&) = delete;
    TermiosSerialPort& operator=(const TermiosSerialPort&) = delete;

    bool Open(std::string& error) override;
    void Close() override;
    bool IsOpen() const override { return fd >= 0; }
    bool SetBaud(int baud) override;
    bool Write(const std::uint8_t* data, std::size_t length) override;
    int Read(std::uint8_t* data, std::size_t length, int timeoutMs) override;
    void Flush() override;
    bool SendBreak() override;
    void Sleep(int milliseconds) override;
    std::string Name() const override { return path; }

private:
    std::string path;
    int fd = -1;
};
