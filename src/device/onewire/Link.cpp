#include "device/onewire/Link.h"

#include <cstring>
#include <vector>

ResetResult Link::SelectBlock(const std::uint8_t rom[8], bool, std::uint8_t* data, std::size_t length) {
    const ResetResult reset = Reset();
    if (!DevicePresent(reset)) return reset;
    std::vector<std::uint8_t> block(9 + length);
    block[0] = 0x55;  // Match ROM
    std::memcpy(block.data() + 1, rom, 8);
    if (length) std::memcpy(block.data() + 9, data, length);
    if (!Block(block.data(), block.size())) return ResetResult::LinkError;
    if (length) std::memcpy(data, block.data() + 9, length);
    return reset;
}
