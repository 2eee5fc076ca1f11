#include <gtest/gtest.h>

#include "device/bus/MemorySlave.h"
#include "device/virtual/VirtualBus.h"

namespace {

std::shared_ptr<MemorySlave> Slave(std::uint64_t serial, std::uint8_t family = 0x21) {
    return std::make_shared<MemorySlave>(MemorySlave::MakeRom(family, serial));
}

void SendMatch(VirtualBus& bus, const onewire::Rom& rom) {
    std::uint8_t block[9] = {0x55};
    std::copy(rom.begin(), rom.end(), block + 1);
    ASSERT_TRUE(bus.Block(block, sizeof block));
}

}  // namespace

TEST(VirtualBus, PresenceOnlyWithADevice) {
    VirtualBus bus;
    EXPECT_EQ(bus.Reset(), ResetResult::NoPresence);
    auto slave = Slave(1);
    bus.Insert(slave);
    EXPECT_EQ(bus.Reset(), ResetResult::Presence);
    EXPECT_EQ(slave->resets, 1);
    EXPECT_TRUE(bus.Remove(slave));
    EXPECT_FALSE(bus.Remove(slave));
    EXPECT_EQ(bus.Reset(), ResetResult::NoPresence);
}

TEST(VirtualBus, ReadRomAndSkipRomReachTheSingleDevice) {
    VirtualBus bus;
    auto slave = Slave(0x123456);
    bus.Insert(slave);
    ASSERT_EQ(bus.Reset(), ResetResult::Presence);
    std::uint8_t block[9] = {0x33, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    ASSERT_TRUE(bus.Block(block, sizeof block));
    EXPECT_TRUE(std::equal(block + 1, block + 9, slave->Rom().begin()));

    bus.Reset();
    EXPECT_EQ(bus.TouchByte(0xCC), 0xCC);
    std::uint8_t read[4] = {0xF0, 0x02, 0x00, 0xFF};
    ASSERT_TRUE(bus.Block(read, sizeof read));
    EXPECT_EQ(read[3], slave->memory[2]);
}

TEST(VirtualBus, MatchRomSelectsOneOfSeveralAndNothingSelectedReadsFF) {
    VirtualBus bus;
    auto first = Slave(0x10), second = Slave(0x20);
    first->memory[0] = 0x11;
    second->memory[0] = 0x22;
    bus.Insert(first);
    bus.Insert(second);
    bus.Reset();
    SendMatch(bus, second->Rom());
    std::uint8_t read[4] = {0xF0, 0x00, 0x00, 0xFF};
    ASSERT_TRUE(bus.Block(read, sizeof read));
    EXPECT_EQ(read[3], 0x22);
    EXPECT_TRUE(first->received.empty());

    bus.Reset();
    SendMatch(bus, MemorySlave::MakeRom(0x21, 0x30));
    EXPECT_EQ(bus.TouchByte(0xF0), 0xF0);
    EXPECT_EQ(bus.TouchByte(0xFF), 0xFF);

    bus.Reset();
    EXPECT_EQ(bus.TouchByte(0x99), 0x99) << "an unknown ROM command selects nobody";
    EXPECT_EQ(bus.TouchByte(0xFF), 0xFF);
}

TEST(VirtualBus, ReadRomWithTwoDevicesGivesTheWiredAnd) {
    VirtualBus bus;
    auto first = Slave(0x0F), second = Slave(0xF0);
    bus.Insert(first);
    bus.Insert(second);
    bus.Reset();
    bus.TouchByte(0x33);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(bus.TouchByte(0xFF), first->Rom()[i] & second->Rom()[i]);
}

TEST(VirtualBus, FunctionBytesAsSingleBits) {
    VirtualBus bus;
    auto slave = Slave(5);
    bus.Insert(slave);
    bus.Reset();
    bus.TouchByte(0xCC);
    // Written bytes here start with a 0 bit; a byte started with a 1 counts as a read.
    for (std::uint8_t byte : {0xF0, 0x02, 0x00})
        for (int i = 0; i < 8; ++i) bus.TouchBit((byte >> i) & 1);
    int value = 0;
    for (int i = 0; i < 8; ++i) value |= bus.TouchBit(1) << i;
    EXPECT_EQ(value, slave->memory[2]);
    EXPECT_EQ((std::vector<std::uint8_t>{0xF0, 0x02, 0x00, 0xFF}), slave->received);
}

TEST(VirtualBus, VanishAfterCountsEveryOperation) {
    VirtualBus bus;
    auto slave = Slave(7);
    bus.Insert(slave);
    bus.VanishAfter(slave, 2);
    EXPECT_EQ(bus.Reset(), ResetResult::Presence);
    EXPECT_EQ(bus.TouchByte(0xCC), 0xCC);
    EXPECT_EQ(bus.Reset(), ResetResult::NoPresence);
    EXPECT_TRUE(bus.Devices().empty());
    EXPECT_EQ(bus.OperationCount(), 3u);
    EXPECT_EQ(bus.ResetCount(), 2u);
    EXPECT_EQ(bus.ByteCount(), 1u);
}

TEST(VirtualBus, FlipsTheChosenReadBitOnce) {
    VirtualBus bus;
    auto slave = Slave(9);
    bus.Insert(slave);
    bus.Reset();
    bus.TouchByte(0xCC);
    bus.FlipReadBit(3, 6);
    std::uint8_t read[5] = {0xF0, 0x00, 0x00, 0xFF, 0xFF};
    ASSERT_TRUE(bus.Block(read, sizeof read));
    EXPECT_EQ(read[3], slave->memory[0] ^ 0x40);
    EXPECT_EQ(read[4], slave->memory[1]);
}

TEST(VirtualBus, FailedLinkReportsErrorsUntilCleared) {
    VirtualBus bus;
    bus.Insert(Slave(1));
    std::string error;
    bus.FailLinkAfter(1);
    EXPECT_EQ(bus.Reset(), ResetResult::Presence);
    EXPECT_EQ(bus.TouchByte(0xCC), -1);
    EXPECT_EQ(bus.TouchBit(1), -1);
    std::uint8_t byte = 0xFF;
    EXPECT_FALSE(bus.Block(&byte, 1));
    EXPECT_FALSE(bus.Open(error));
    EXPECT_FALSE(error.empty());
    bus.ClearFaults();
    EXPECT_TRUE(bus.Open(error));
    EXPECT_EQ(bus.Reset(), ResetResult::Presence);
}

TEST(VirtualBus, OverdriveMatchSelectsAtOverdriveUntilAStandardReset) {
    VirtualBus bus;
    auto chosen = Slave(0x10), other = Slave(0x20), old = Slave(0x30);
    old->overdrive = false;
    for (const auto& slave : {chosen, other, old}) bus.Insert(slave);
    ASSERT_EQ(bus.Reset(), ResetResult::Presence);
    EXPECT_EQ(bus.TouchByte(0x69), 0x69);
    EXPECT_TRUE(bus.InOverdrive(chosen));
    EXPECT_TRUE(bus.InOverdrive(other)) << "every device taking part switches";
    EXPECT_FALSE(bus.InOverdrive(old));
    bus.SetSpeed(BusSpeed::Overdrive);
    // The ROM at overdrive, then Read Memory of byte 2.
    std::uint8_t block[12] = {};
    const auto rom = chosen->Rom();
    std::copy(rom.begin(), rom.end(), block);
    block[8] = 0xF0;
    block[9] = 0x02;
    block[10] = 0x00;
    block[11] = 0xFF;
    ASSERT_TRUE(bus.Block(block, sizeof block));
    EXPECT_EQ(block[11], chosen->memory[2]);
    EXPECT_TRUE(other->received.empty());

    // An overdrive reset reaches only the devices in overdrive; standard slots reach none of them.
    EXPECT_EQ(bus.Reset(), ResetResult::Presence);
    bus.SetSpeed(BusSpeed::Standard);
    EXPECT_EQ(bus.TouchByte(0xCC), 0xCC);
    EXPECT_EQ(bus.TouchByte(0xF0), 0xF0);
    EXPECT_EQ(chosen->received.size(), 4u) << "F0 02 00 FF only";
    bus.Remove(old);
    bus.SetSpeed(BusSpeed::Overdrive);
    EXPECT_EQ(bus.Reset(), ResetResult::Presence);
    bus.SetSpeed(BusSpeed::Standard);
    EXPECT_EQ(bus.Reset(), ResetResult::Presence);
    EXPECT_FALSE(bus.InOverdrive(chosen));
    bus.SetSpeed(BusSpeed::Overdrive);
    EXPECT_EQ(bus.Reset(), ResetResult::NoPresence) << "nobody is in overdrive after a standard reset";
}

TEST(VirtualBus, OverdriveSkipAndForcedResetResults) {
    VirtualBus bus;
    auto slave = Slave(1);
    bus.Insert(slave);
    bus.Reset();
    bus.TouchByte(0x3C);
    bus.SetSpeed(BusSpeed::Overdrive);
    std::uint8_t read[4] = {0xF0, 0x01, 0x00, 0xFF};
    ASSERT_TRUE(bus.Block(read, sizeof read));
    EXPECT_EQ(read[3], slave->memory[1]);
    bus.ForceResetResult(ResetResult::Short);
    EXPECT_EQ(bus.Reset(), ResetResult::Short);
    bus.ClearFaults();
    EXPECT_EQ(bus.Reset(), ResetResult::Presence);
}
