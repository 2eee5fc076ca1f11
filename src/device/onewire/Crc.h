#pragma once
// The two checksums of the 1-Wire world: CRC8 guards every ROM, CRC16 guards
// memory and scratchpad transfers (the device sends its complement, low byte first).
#include <cstddef>
#include <cstdint>
#include <span>

namespace onewire {

// X^8 + X^5 + X^4 + 1, LSB first. Over a whole ROM (CRC byte included) it yields 0.
std::uint8_t Crc8(std::span<const std::uint8_t> data, std::uint8_t seed = 0);

// X^16 + X^15 + X^2 + 1, LSB first (reflected 0xA001).
std::uint16_t Crc16(std::span<const std::uint8_t> data, std::uint16_t seed = 0);

// What Crc16 leaves after running over data followed by its inverted CRC16.
constexpr std::uint16_t kCrc16Residue = 0xB001;

// True when the last two bytes of `block` are the inverted CRC16 of the rest.
bool HasValidInvertedCrc16(std::span<const std::uint8_t> block);

// Appends-ready form of the inverted CRC16: low byte first.
void StoreInvertedCrc16(std::uint16_t crc, std::uint8_t* destination);

}  // namespace onewire
