#pragma once
// A device on the virtual 1-Wire bus. The bus answers reset, the ROM commands
// and the search itself; once a ROM command has selected this device, every
// function-phase byte goes to OnFunctionByte.
#include <array>
#include <cstdint>

class VirtualSlave {
public:
    virtual ~VirtualSlave() = default;

    // 8 bytes, 0 = family code, 7 = CRC8 of bytes 0-6.
    virtual std::array<std::uint8_t, 8> Rom() const = 0;
    // A reset pulse ends any command in progress.
    virtual void OnReset() = 0;
    // The master writes `written` (0xFF to read); returns what the device puts
    // on the bus (the bus wired-ANDs it with what the master wrote).
    virtual std::uint8_t OnFunctionByte(std::uint8_t written) = 0;
    // Takes part in Conditional Search when true.
    virtual bool ConditionalSearchFlag() { return false; }
    // Understands Overdrive Skip ROM and Overdrive Match ROM (the bus keeps the speed).
    virtual bool SupportsOverdrive() const { return true; }
};
