// The emulated DS2480B byte by byte, as a host on its serial line sees it.
#include <gtest/gtest.h>

#include <sstream>

#include "device/bus/MemorySlave.h"
#include "device/serial/Ds2480Chip.h"

using namespace ds2480;

namespace {

class Chip : public ::testing::Test {
protected:
    Chip() { slave = Add(0x123456); }
    std::shared_ptr<MemorySlave> Add(std::uint64_t serial) {
        auto added = std::make_shared<MemorySlave>(MemorySlave::MakeRom(0x21, serial));
        bus.Insert(added);
        return added;
    }
    // Sends the bytes in one stream at `rate` (default: the chip's), long after anything before.
    std::vector<std::uint8_t> Send(std::vector<std::uint8_t> bytes, int rate = 0) {
        last.clear();
        now += 1e6;
        for (std::uint8_t byte : bytes) chip.Receive(byte, rate ? rate : chip.Baud(), now, last);
        std::vector<std::uint8_t> out;
        for (const auto& reply : last) out.push_back(reply.byte);
        return out;
    }
    void Calibrate() { ASSERT_TRUE(Send({kResetCommand}).empty()); }

    VirtualBus bus;
    Ds2480Chip chip{bus};
    std::shared_ptr<MemorySlave> slave;
    std::vector<Ds2480Chip::Reply> last;
    double now = 0;
};

using Bytes = std::vector<std::uint8_t>;

}  // namespace

TEST_F(Chip, TheFirstByteAtPowerUpOnlyCalibrates) {
    EXPECT_FALSE(chip.Calibrated());
    EXPECT_TRUE(Send({0xC1}, 19200).empty()) << "too fast for 9600 bit/s: not even noticed";
    EXPECT_FALSE(chip.Calibrated());
    const auto resets = chip.MasterResets();
    EXPECT_TRUE(Send({0x00}, 4800).empty()) << "a NUL at 4800 bit/s is a framing error";
    EXPECT_EQ(chip.MasterResets(), resets + 1);
    Calibrate();
    EXPECT_TRUE(chip.Calibrated());
    EXPECT_EQ(bus.ResetCount(), 0u) << "calibration makes no bus activity";
    EXPECT_EQ(Send({0xC1}), Bytes{0xCD});
    EXPECT_EQ(bus.ResetCount(), 1u);

    Ds2480Chip answering(bus, {.answersCalibration = true});
    std::vector<Ds2480Chip::Reply> replies;
    answering.Receive(0xC1, 9600, 0, replies);
    ASSERT_EQ(replies.size(), 1u);
}

TEST_F(Chip, ResetRepliesCarryRevisionPresenceShortAndProgrammingVoltage) {
    Calibrate();
    EXPECT_EQ(Send({0xC1, 0xC5}), (Bytes{0xCD, 0xCD})) << "standard and flexible";
    EXPECT_EQ(chip.CurrentSpeed(), Speed::Flexible);
    EXPECT_EQ(Send({0xC9}), Bytes{0xCF}) << "an overdrive reset: no device is in overdrive";
    bus.ForceResetResult(ResetResult::Short);
    EXPECT_EQ(Send({0xC1}), Bytes{0xCC});
    bus.ForceResetResult(ResetResult::AlarmingPresence);
    EXPECT_EQ(Send({0xC1}), Bytes{0xCE});
    bus.ForceResetResult(std::nullopt);
    bus.RemoveAll();
    EXPECT_EQ(Send({0xC1}), Bytes{0xCF});

    Ds2480Chip with12V(bus, {.revision = 5, .programmingVoltage = true});
    std::vector<Ds2480Chip::Reply> replies;
    with12V.Receive(0xC1, 9600, 0, replies);
    with12V.Receive(0xC1, 9600, 1e5, replies);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].byte, 0xF7);
}

TEST_F(Chip, OverdriveSkipLeavesOnlyThatDeviceAnsweringOverdriveResets) {
    Calibrate();
    auto other = Add(0x42);
    other->overdrive = false;
    EXPECT_EQ(Send({0xC1, 0xE1, 0x3C, 0xE3}), (Bytes{0xCD, 0x3C}));
    EXPECT_TRUE(bus.InOverdrive(slave));
    EXPECT_FALSE(bus.InOverdrive(other));
    // At overdrive: reset, Read Memory of byte 5.
    EXPECT_EQ(Send({0xC9, 0xE1, 0xCC, 0xF0, 0x05, 0x00, 0xFF, 0xE3}),
              (Bytes{0xCD, 0xCC, 0xF0, 0x05, 0x00, slave->memory[5]}));
    EXPECT_EQ(Send({0xC1}), Bytes{0xCD});
    EXPECT_FALSE(bus.InOverdrive(slave)) << "a standard reset ends overdrive";
    bus.Remove(other);
    EXPECT_EQ(Send({0xC9}), Bytes{0xCF});
}

TEST_F(Chip, SingleBitsEchoTheCommandWithTheBitRead) {
    Calibrate();
    Send({0xC1});
    // Read ROM (33h) as single bits, then the first ROM byte read back.
    Bytes bits;
    for (int i = 0; i < 8; ++i) bits.push_back(((0x33 >> i) & 1) ? 0x91 : 0x81);
    for (int i = 0; i < 8; ++i) bits.push_back(0x91);
    const Bytes replies = Send(bits);
    ASSERT_EQ(replies.size(), 16u);
    EXPECT_EQ(replies[0], 0x93) << "writing 1 reads 1";
    EXPECT_EQ(replies[2], 0x80) << "writing 0 reads 0";
    int family = 0;
    for (int i = 0; i < 8; ++i) family |= (replies[8 + i] & 1) << i;
    EXPECT_EQ(family, 0x21);
}

TEST_F(Chip, AnEndlessPullUpLastsUntilF1) {
    Calibrate();
    EXPECT_EQ(Send({ConfigWrite(kSpud, 7)}), Bytes{0x3E});
    EXPECT_EQ(Send({0x93}), Bytes{0x93}) << "the bit's reply comes at once";
    EXPECT_TRUE(chip.PulseActive());
    EXPECT_TRUE(Send({0xC1}).empty()) << "nothing else is taken meanwhile";
    EXPECT_EQ(Send({kStopPulse}), Bytes{0xEC});
    EXPECT_FALSE(chip.PulseActive());
    EXPECT_TRUE(Send({kStopPulse}).empty()) << "F1h with nothing to stop";
}

TEST_F(Chip, PulsesAnswerWhenDone) {
    Calibrate();
    Send({0xED});
    ASSERT_EQ(last.size(), 1u);
    EXPECT_EQ(last[0].byte, 0xEC);
    EXPECT_GT(last[0].atUs - now, 524e3) << "the default 524 ms pull-up";
    Send({0xFD});
    ASSERT_EQ(last.size(), 1u);
    EXPECT_EQ(last[0].byte, 0xFC);
    EXPECT_LT(last[0].atUs - now, 10e3) << "a 512 us programming pulse";
    EXPECT_EQ(Send({ConfigWrite(kPpd, 7), 0xFD}), Bytes{0x2E});
    EXPECT_EQ(Send({kStopPulse}), Bytes{0xFC});
}

TEST_F(Chip, ConfigurationWritesEchoAndReadsGiveTheValue) {
    Calibrate();
    const int defaults[8] = {0, 0, 4, 4, 0, 0, 4, 0};
    for (int parameter = 1; parameter <= 7; ++parameter)
        EXPECT_EQ(Send({ConfigRead(parameter)}), Bytes{static_cast<std::uint8_t>(defaults[parameter] << 1)})
            << parameter;
    for (int parameter = 1; parameter <= 6; ++parameter) {
        for (int value = 0; value < 8; ++value) {
            const std::uint8_t command = ConfigWrite(parameter, value);
            EXPECT_EQ(Send({command}), Bytes{static_cast<std::uint8_t>(command & 0xFE)});
            EXPECT_EQ(Send({ConfigRead(parameter)}), Bytes{static_cast<std::uint8_t>(value << 1)});
        }
    }
    Send({0x00}, 4800);
    EXPECT_EQ(chip.ConfigValue(kPdsrc), 0) << "a master reset restores the defaults";
}

TEST_F(Chip, TheRateChangeAnswersAtTheNewRate) {
    Calibrate();
    Send({ConfigWrite(kRbr, 3)});
    ASSERT_EQ(last.size(), 1u);
    EXPECT_EQ(last[0].byte, 0x76);
    EXPECT_EQ(last[0].baud, 115200);
    EXPECT_EQ(Send({ConfigRead(kRbr)}, 115200), Bytes{0x06});
    const auto resets = chip.MasterResets();
    EXPECT_TRUE(Send({0x0F}, 9600).empty()) << "a host left at 9600 bit/s";
    EXPECT_EQ(chip.MasterResets(), resets + 1);
    EXPECT_EQ(chip.Baud(), 9600);

    Calibrate();
    Send({ConfigWrite(kRbr, 5)});
    ASSERT_EQ(last.size(), 1u);
    EXPECT_TRUE(last[0].reversedLine) << "codes 4-7 reverse the line";
    EXPECT_EQ(last[0].baud, 19200);
    EXPECT_TRUE(Send({0x0F}, 19200).empty());
    EXPECT_FALSE(chip.Calibrated()) << "a normal character on a reversed line is a framing error";
}

TEST_F(Chip, DataModeSendsE3hOnlyWhenDoubled) {
    Calibrate();
    EXPECT_EQ(Send({0xC1, 0xE1, 0xCC, 0xE3, 0xE3, 0x12}), (Bytes{0xCD, 0xCC, 0xE3, 0x12}));
    EXPECT_EQ(slave->received, (Bytes{0xE3, 0x12}));
    EXPECT_TRUE(chip.InDataMode());
    EXPECT_EQ(Send({0xE3, 0xC1}), Bytes{0xCD}) << "E3h and a command: back in command mode";
    EXPECT_FALSE(chip.InDataMode());
}

TEST_F(Chip, TheSearchAcceleratorAnswersSixteenInterleavedBytes) {
    auto second = Add(0x123457);  // differs from the first at serial bit 0 (ROM bit 8)
    Calibrate();
    const auto pass = [&](std::uint8_t preferredBit8) {
        Bytes request = {0xC1, 0xE1, 0xF0, 0xE3, 0xB1, 0xE1};
        for (int k = 0; k < 16; ++k)
            request.push_back(k == 2 ? static_cast<std::uint8_t>(preferredBit8 << 1) : 0x00);
        request.insert(request.end(), {0xE3, 0xA1});
        const Bytes replies = Send(request);
        EXPECT_EQ(replies.size(), 18u);
        onewire::Rom taken{}, disagreed{};
        for (int n = 0; n < 64; ++n) {
            const int pair = (replies[2 + n / 4] >> (2 * (n % 4))) & 3;
            disagreed[n / 8] = static_cast<std::uint8_t>(disagreed[n / 8] | (pair & 1) << (n % 8));
            taken[n / 8] = static_cast<std::uint8_t>(taken[n / 8] | (pair >> 1) << (n % 8));
        }
        return std::pair{taken, disagreed};
    };
    auto [first, where] = pass(0);
    EXPECT_EQ(first, slave->Rom());
    EXPECT_EQ(where[1], 0x01) << "the devices disagree at ROM bit 8 only";
    EXPECT_EQ(where[7] & 0x80, 0);
    EXPECT_EQ(pass(1).first, second->Rom());
    EXPECT_FALSE(chip.AcceleratorOn());

    bus.VanishAfter(slave, 3);
    bus.VanishAfter(second, 3);
    auto [lost, flags] = pass(0);
    EXPECT_EQ(flags[7] & 0x80, 0x80) << "a pass nobody finished ends with r'63 = d63 = 1";
    EXPECT_EQ(lost[7] & 0x80, 0x80);
}

TEST_F(Chip, AFastHostOverrunsTheOneByteBuffer) {
    Calibrate();
    Send({ConfigWrite(kRbr, 3)});
    // At 115,200 bit/s a standard-speed byte takes longer on the bus than on the line.
    const Bytes standard = Send({0xC1, 0xE1, 0xCC, 0xFF, 0xFF, 0xFF, 0xFF}, 115200);
    EXPECT_LT(standard.size(), 6u);
    EXPECT_GT(chip.Overruns(), 0u);
    const auto before = chip.Overruns();
    // At overdrive the bus is quicker than the line: nothing is lost.
    Send({0xE3, 0xC1}, 115200);
    Send({0xE1, 0x3C, 0xE3}, 115200);
    const Bytes fast = Send({0xC9, 0xE1, 0xCC, 0xFF, 0xFF, 0xFF, 0xFF}, 115200);
    EXPECT_EQ(fast, (Bytes{0xCD, 0xCC, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(chip.Overruns(), before);
}

TEST_F(Chip, UnknownBytesAreIgnoredAndTraced) {
    std::ostringstream trace;
    chip.SetTrace(&trace);
    Calibrate();
    EXPECT_TRUE(Send({0x80, 0x00, 0xE5, 0xE3}).empty());
    EXPECT_NE(trace.str().find("not a command, ignored: 80"), std::string::npos) << trace.str();
    EXPECT_NE(trace.str().find("not a command, ignored: E5"), std::string::npos) << trace.str();
    EXPECT_EQ(Send({0xC1}), Bytes{0xCD}) << "still in step";
}

TEST_F(Chip, LineFaultsSilenceTheChipOrLoseReplies) {
    Calibrate();
    chip.DropReplies(1);
    EXPECT_EQ(Send({0xC1, 0xC1}), Bytes{0xCD});
    chip.GoSilentAfter(1);
    EXPECT_EQ(Send({0xC1, 0xC1, 0xC1}), Bytes{0xCD});
    EXPECT_TRUE(Send({0xC1}).empty());
    chip.ClearFaults();
    EXPECT_EQ(Send({0xC1}), Bytes{0xCD});
}

TEST_F(Chip, RepliesComeAtTheLineAndBusTimes) {
    Calibrate();
    Send({0xC1});
    ASSERT_EQ(last.size(), 1u);
    EXPECT_NEAR(last[0].atUs - now, 2 * CharUs(9600) + ResetUs(Speed::Standard), 1.0);
}
