#pragma once
// Talks to one emulated DS1921 the way a bus master does after Skip ROM:
// a reset, then bytes, each read back wired-AND with what was written.
#include <cstdint>
#include <vector>

#include "device/virtual/Ds1921Device.h"

class DeviceMaster {
public:
    explicit DeviceMaster(Ds1921Device& device) : device(device) {}

    std::vector<std::uint8_t> Exchange(const std::vector<std::uint8_t>& bytes) {
        device.OnReset();
        std::vector<std::uint8_t> back;
        for (std::uint8_t b : bytes) back.push_back(static_cast<std::uint8_t>(device.OnFunctionByte(b) & b));
        return back;
    }
    // Write Scratchpad, Read Scratchpad and Copy Scratchpad as the program sends
    // them; true when the copy answered with the AA pattern.
    bool Write(std::uint16_t address, const std::vector<std::uint8_t>& data) {
        std::vector<std::uint8_t> write{0x0F, static_cast<std::uint8_t>(address),
                                        static_cast<std::uint8_t>(address >> 8)};
        write.insert(write.end(), data.begin(), data.end());
        Exchange(write);
        const auto es = static_cast<std::uint8_t>((address + data.size() - 1) & 0x1F);
        return Copy(address, es);
    }
    bool Copy(std::uint16_t address, std::uint8_t es) {
        const auto back = Exchange({0x55, static_cast<std::uint8_t>(address),
                                    static_cast<std::uint8_t>(address >> 8), es, 0xFF, 0xFF});
        return back[5] == 0xAA;
    }
    std::vector<std::uint8_t> Read(std::uint16_t address, std::size_t length) {
        std::vector<std::uint8_t> bytes{0xF0, static_cast<std::uint8_t>(address),
                                        static_cast<std::uint8_t>(address >> 8)};
        bytes.resize(3 + length, 0xFF);
        const auto back = Exchange(bytes);
        return {back.begin() + 3, back.end()};
    }
    std::uint8_t ReadByte(std::uint16_t address) { return Read(address, 1)[0]; }
    // The clear sequence the program sends.
    bool Clear() {
        Exchange({0x0F, 0x0E, 0x02, 0x40});
        const auto copy = Exchange({0x55, 0x0E, 0x02, 0x0E, 0xFF});
        const auto clear = Exchange({0x3C});
        return ((copy[4] >> 4) == 0x5 || (copy[4] >> 4) == 0xA) && clear[0] == 0x3C;
    }

private:
    Ds1921Device& device;
};

inline std::uint16_t TestCrc16(const std::vector<std::uint8_t>& bytes) {
    std::uint16_t crc = 0;
    for (std::uint8_t b : bytes) {
        crc ^= b;
        for (int i = 0; i < 8; ++i)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
    }
    return crc;
}
