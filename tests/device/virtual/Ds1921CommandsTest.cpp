#include <gtest/gtest.h>

#include "DeviceMaster.h"
#include "support/DateAt.h"

namespace {

class Ds1921Commands : public ::testing::Test {
protected:
    ManualClock clock{ManualClock::MsFromDateTime(At(2026, 12, 7, 12, 0, 30))};
    Ds1921Device device{Ds1921Device::MakeRom(Ds1921Variant::Standard, 7), clock,
                        std::make_shared<ConstantProfile>(21.5)};
    DeviceMaster master{device};
};

TEST_F(Ds1921Commands, ScratchpadReadBackCarriesAddressEndingOffsetAndData) {
    const std::vector<std::uint8_t> data{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    std::vector<std::uint8_t> write{0x0F, 0x00, 0x02};
    write.insert(write.end(), data.begin(), data.end());
    master.Exchange(write);

    std::vector<std::uint8_t> read(4 + 32 + 2 + 2, 0xFF);
    read[0] = 0xAA;
    const auto back = master.Exchange(read);
    EXPECT_EQ(back[1], 0x00);
    EXPECT_EQ(back[2], 0x02);
    EXPECT_EQ(back[3], 0x0C);
    EXPECT_EQ(std::vector<std::uint8_t>(back.begin() + 4, back.begin() + 17), data);
    // Inverted CRC16 over AA TA1 TA2 E/S and the data to 1Fh, then FF bytes.
    std::vector<std::uint8_t> covered(back.begin() + 1, back.begin() + 36);
    covered.insert(covered.begin(), 0xAA);
    const std::uint16_t crc = static_cast<std::uint16_t>(~TestCrc16(covered));
    EXPECT_EQ(back[36], crc & 0xFF);
    EXPECT_EQ(back[37], crc >> 8);
    EXPECT_EQ(back[38], 0xFF);
}

TEST_F(Ds1921Commands, WriteToEndOfScratchpadAnswersInvertedCrc) {
    std::vector<std::uint8_t> write{0x0F, 0x18, 0x00, 'a', 'b',  'c',  'd',
                                    'e',  'f',  'g',  'h', 0xFF, 0xFF, 0xFF};
    const auto back = master.Exchange(write);
    const std::uint16_t crc =
        static_cast<std::uint16_t>(~TestCrc16(std::vector<std::uint8_t>(write.begin(), write.begin() + 11)));
    EXPECT_EQ(back[11], crc & 0xFF);
    EXPECT_EQ(back[12], crc >> 8);
    EXPECT_EQ(back[13], 0xFF);
}

TEST_F(Ds1921Commands, CopyNeedsTheExactAuthorisation) {
    master.Exchange({0x0F, 0x40, 0x00, 'K', 'e', 'l'});
    // Wrong ending offset: FF bytes, nothing copied.
    auto back = master.Exchange({0x55, 0x40, 0x00, 0x01, 0xFF, 0xFF});
    EXPECT_EQ(back[4], 0xFF);
    EXPECT_EQ(master.ReadByte(0x40), 0x00);
    // Right one: AA pattern and the bytes in memory; E/S now shows AA.
    master.Exchange({0x0F, 0x40, 0x00, 'K', 'e', 'l'});
    EXPECT_TRUE(master.Copy(0x40, 0x02));
    EXPECT_EQ(master.Read(0x40, 4), (std::vector<std::uint8_t>{'K', 'e', 'l', 0}));
    back = master.Exchange({0xAA, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(back[3], 0x82);
}

TEST_F(Ds1921Commands, RefusedCopyFaultLooksLikeABadAuthorisation) {
    device.RefuseCopies(1);
    EXPECT_FALSE(master.Write(0x20, {0x11}));
    EXPECT_EQ(master.ReadByte(0x20), 0x00);
    EXPECT_TRUE(master.Write(0x20, {0x11}));
    EXPECT_EQ(master.ReadByte(0x20), 0x11);
}

TEST_F(Ds1921Commands, ReadMemoryStreamsToEndOfLogThenZeros) {
    ASSERT_TRUE(master.Write(0x1E0, std::vector<std::uint8_t>(32, 0x5A)));
    const auto back = master.Read(0x1F0, 0x20);
    EXPECT_EQ(back[0x0F], 0x5A);
    EXPECT_EQ(back[0x10], 0x30);  // on into the register page: clock seconds
    const auto tail = master.Read(0x17FE, 4);
    EXPECT_EQ(tail[2], 0x00);
    EXPECT_EQ(tail[3], 0x00);
}

TEST_F(Ds1921Commands, ReadMemoryWithCrcEndsEveryPageWithItsInvertedCrc) {
    ASSERT_TRUE(master.Write(0x10, {9, 8, 7}));
    std::vector<std::uint8_t> bytes{0xA5, 0x10, 0x00};
    bytes.resize(3 + 16 + 2 + 32 + 2, 0xFF);
    const auto back = master.Exchange(bytes);
    std::vector<std::uint8_t> first{0xA5, 0x10, 0x00};
    first.insert(first.end(), back.begin() + 3, back.begin() + 19);
    EXPECT_EQ(back[3], 9);
    const std::uint16_t crc1 = static_cast<std::uint16_t>(~TestCrc16(first));
    EXPECT_EQ(back[19] | (back[20] << 8), crc1);
    const std::uint16_t crc2 = static_cast<std::uint16_t>(
        ~TestCrc16(std::vector<std::uint8_t>(back.begin() + 21, back.begin() + 53)));
    EXPECT_EQ(back[53] | (back[54] << 8), crc2);
}

TEST_F(Ds1921Commands, ClockReadsBackAsWrittenAndRuns) {
    // Tuesday 05/03/2002 14:07:09, century bit set.
    ASSERT_TRUE(master.Write(0x200, {0x09, 0x07, 0x14, 0x03, 0x05, 0x83, 0x02}));
    clock.Advance(61000);
    EXPECT_EQ(master.Read(0x200, 7), (std::vector<std::uint8_t>{0x10, 0x08, 0x14, 0x03, 0x05, 0x83, 0x02}));
    // 12-hour form: 11:59:59 PM on 31/12/99 rolls to 12:00:00 AM, 01/01/00, century toggled.
    ASSERT_TRUE(master.Write(0x200, {0x59, 0x59, 0x71, 0x06, 0x31, 0x12, 0x99}));
    clock.Advance(1000);
    EXPECT_EQ(master.Read(0x200, 7), (std::vector<std::uint8_t>{0x00, 0x00, 0x52, 0x07, 0x01, 0x81, 0x00}));
}

TEST_F(Ds1921Commands, BitsWithoutAFunctionReadZero) {
    // Day alarm: mask bit and day only; control: bit 5 cannot be set.
    ASSERT_TRUE(master.Write(0x20A, {0xFD}));
    EXPECT_EQ(master.ReadByte(0x20A), 0x85);
    ASSERT_TRUE(master.Write(0x20E, {0x2F}));
    EXPECT_EQ(master.ReadByte(0x20E), 0x0F);
}

TEST_F(Ds1921Commands, StoppedOscillatorHoldsTheClock) {
    ASSERT_TRUE(master.Write(0x20E, {0x80}));
    const auto before = master.Read(0x200, 7);
    clock.AdvanceMinutes(5);
    EXPECT_EQ(master.Read(0x200, 7), before);
    ASSERT_TRUE(master.Write(0x20E, {0x00}));
    clock.Advance(2000);
    EXPECT_NE(master.Read(0x200, 1), std::vector<std::uint8_t>{before[0]});
}

TEST_F(Ds1921Commands, ProgramClearSequenceClearsAndIsAccepted) {
    ASSERT_TRUE(master.Write(0x800, {1}));  // read-only: ignored
    EXPECT_EQ(master.ReadByte(0x800), 0x00);
    EXPECT_TRUE(master.Clear());
    EXPECT_EQ(master.ReadByte(0x214) & 0x40, 0x40);
    EXPECT_EQ(master.ReadByte(0x20E) & 0x40, 0x00);  // EMCLR dropped with the clear
}

TEST_F(Ds1921Commands, ClearMemoryOnlyRightAfterArming) {
    master.Exchange({0x3C});
    EXPECT_EQ(master.ReadByte(0x214) & 0x40, 0x00);
    ASSERT_TRUE(master.Write(0x20E, {0x40}));
    master.Read(0x000, 1);  // any other command disarms
    master.Exchange({0x3C});
    EXPECT_EQ(master.ReadByte(0x214) & 0x40, 0x00);
    ASSERT_TRUE(master.Write(0x20E, {0x40}));
    master.Exchange({0x3C});
    EXPECT_EQ(master.ReadByte(0x214) & 0x40, 0x40);
}

TEST_F(Ds1921Commands, ConvertTemperatureOnlyBetweenMissions) {
    master.Exchange({0x44});
    EXPECT_EQ(master.ReadByte(0x211), 2 * 21.5 + 80);
    EXPECT_EQ(master.ReadByte(0x21D), 1);
    ASSERT_TRUE(master.Clear());
    ASSERT_TRUE(master.Write(0x20D, {1}));
    device.SetProfile(std::make_shared<ConstantProfile>(0.0));
    master.Exchange({0x44});
    EXPECT_EQ(master.ReadByte(0x211), 2 * 21.5 + 80);
    EXPECT_EQ(master.ReadByte(0x21D), 1);
}

TEST_F(Ds1921Commands, VariantsClipReadingsToTheirEnds) {
    EXPECT_EQ(device.CodeFor(-5.0), 0x46);
    EXPECT_EQ(device.CodeFor(23.0), 0x7E);
    EXPECT_EQ(device.CodeFor(120.0), 0xFA);
    EXPECT_EQ(device.CodeFor(-60.0), 0x00);
    Ds1921Device ice{Ds1921Device::MakeRom(Ds1921Variant::LowTemp, 1), clock,
                     std::make_shared<ConstantProfile>(0)};
    EXPECT_EQ(ice.CodeFor(10.0), 0x7C);
    EXPECT_EQ(ice.CodeFor(40.0), 0xFF);
    Ds1921Device body{Ds1921Device::MakeRom(Ds1921Variant::HumanBody, 1), clock,
                      std::make_shared<ConstantProfile>(0)};
    EXPECT_EQ(body.CodeFor(27.0), 100);
    EXPECT_EQ(body.CodeFor(0.0), 0x00);
}

TEST(Ds1921Rom, VariantIsReadFromTheSerialDigitsTheProgramLooksAt) {
    for (auto variant : {Ds1921Variant::Standard, Ds1921Variant::HumanBody, Ds1921Variant::LowTemp}) {
        for (std::uint64_t seed = 0; seed < 50; ++seed) {
            const auto rom = Ds1921Device::MakeRom(variant, seed);
            EXPECT_EQ(Ds1921Device::VariantOfRom(rom), variant);
            const std::string text = Ds1921Device::RomText(rom);
            EXPECT_EQ(text.substr(14), "21");
            const std::string digits = text.substr(2, 3);
            EXPECT_EQ(digits == "4F2", variant == Ds1921Variant::HumanBody) << text;
            EXPECT_EQ(digits == "3B2", variant == Ds1921Variant::LowTemp) << text;
            EXPECT_EQ(digits == "000", variant == Ds1921Variant::Standard)
                << "as real standard parts: " << text;
        }
    }
    // CRC8 over all eight bytes is zero.
    const auto rom = Ds1921Device::MakeRom(Ds1921Variant::Standard, 3);
    std::uint8_t crc = 0;
    for (std::uint8_t byte : rom) {
        crc ^= byte;
        for (int i = 0; i < 8; ++i) crc = (crc & 1) ? static_cast<std::uint8_t>((crc >> 1) ^ 0x8C) : crc >> 1;
    }
    EXPECT_EQ(crc, 0);
}

}  // namespace
