#include "device/onewire/Crc.h"

namespace onewire {

std::uint8_t Crc8(std::span<const std::uint8_t> data, std::uint8_t seed) {
    std::uint8_t crc = seed;
    for (std::uint8_t byte : data) {
        for (int bit = 0; bit < 8; ++bit) {
            const bool mix = ((crc ^ byte) & 0x01) != 0;
            crc >>= 1;
            if (mix) crc ^= 0x8C;
            byte >>= 1;
        }
    }
    return crc;
}

std::uint16_t Crc16(std::span<const std::uint8_t> data, std::uint16_t seed) {
    std::uint16_t crc = seed;
    for (std::uint8_t byte : data) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
    }
    return crc;
}

bool HasValidInvertedCrc16(std::span<const std::uint8_t> block) {
    return block.size() >= 2 && Crc16(block) == kCrc16Residue;
}

void StoreInvertedCrc16(std::uint16_t crc, std::uint8_t* destination) {
    const std::uint16_t inverted = static_cast<std::uint16_t>(~crc);
    destination[0] = static_cast<std::uint8_t>(inverted & 0xFF);
    destination[1] = static_cast<std::uint8_t>(inverted >> 8);
}

}  // namespace onewire
