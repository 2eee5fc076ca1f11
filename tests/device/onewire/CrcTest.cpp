#include "device/onewire/Crc.h"

#include <gtest/gtest.h>

#include <vector>

using namespace onewire;

TEST(Crc8, KnownRomCheckValues) {
    const std::vector<std::uint8_t> serial = {0x02, 0x1C, 0xB8, 0x01, 0x00, 0x00, 0x00};
    EXPECT_EQ(Crc8(serial), 0xA2);
    std::vector<std::uint8_t> rom = serial;
    rom.push_back(0xA2);
    EXPECT_EQ(Crc8(rom), 0) << "a whole ROM with its CRC byte leaves zero";
    rom[3] ^= 0x10;
    EXPECT_NE(Crc8(rom), 0);
    EXPECT_EQ(Crc8({}), 0);
}

TEST(Crc16, StandardCheckValueAndSeed) {
    const std::string text = "123456789";
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    EXPECT_EQ(Crc16(bytes), 0xBB3D);  // the reflected 0xA001 check value
    // Running in two parts with the first result as the seed gives the same CRC.
    EXPECT_EQ(Crc16(bytes.subspan(4), Crc16(bytes.first(4))), 0xBB3D);
}

TEST(Crc16, InvertedTransmissionLeavesTheResidue) {
    std::vector<std::uint8_t> block = {0xA5, 0x00, 0x02, 0x10, 0x20, 0x30};
    const std::uint16_t crc = Crc16(block);
    block.resize(block.size() + 2);
    StoreInvertedCrc16(crc, block.data() + block.size() - 2);
    EXPECT_EQ(block[block.size() - 2], static_cast<std::uint8_t>(~crc & 0xFF)) << "low byte first";
    EXPECT_EQ(Crc16(block), kCrc16Residue);
    EXPECT_TRUE(HasValidInvertedCrc16(block));
    for (std::size_t i = 0; i < block.size(); ++i) {
        auto damaged = block;
        damaged[i] ^= 0x01;
        EXPECT_FALSE(HasValidInvertedCrc16(damaged)) << "single bit flip at byte " << i;
    }
    EXPECT_FALSE(HasValidInvertedCrc16(std::vector<std::uint8_t>{0xB0}));
}
