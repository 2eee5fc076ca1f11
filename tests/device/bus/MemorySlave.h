#pragma once
// A small 1-Wire memory device for tests of the bus and the driver: 512 bytes
// answering Read Memory (F0h) and Read Memory with CRC (A5h, inverted CRC16
// after every 32-byte page). Every other command reads back FFh.
#include <array>
#include <cstdint>
#include <vector>

#include "device/onewire/Search.h"
#include "device/virtual/VirtualSlave.h"

class MemorySlave : public VirtualSlave {
public:
    explicit MemorySlave(onewire::Rom rom);
    // A ROM with a valid CRC8: family, 48-bit serial.
    static onewire::Rom MakeRom(std::uint8_t family, std::uint64_t serial);

    std::array<std::uint8_t, 8> Rom() const override { return rom; }
    void OnReset() override;
    std::uint8_t OnFunctionByte(std::uint8_t written) override;
    bool ConditionalSearchFlag() override { return alarming; }
    bool SupportsOverdrive() const override { return overdrive; }

    std::array<std::uint8_t, 512> memory{};
    bool alarming = false;
    bool overdrive = true;
    int resets = 0;
    std::vector<std::uint8_t> received;  // every function byte the master wrote

private:
    enum class State { Command, AddressLow, AddressHigh, Streaming, Ignoring };
    onewire::Rom rom;
    State state = State::Command;
    std::uint8_t command = 0;
    int address = 0;
    std::uint16_t crc = 0;
    int crcBytesDue = 0;
};
