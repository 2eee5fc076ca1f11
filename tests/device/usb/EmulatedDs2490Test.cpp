// The emulated chip on its own, spoken to in raw transfers as a host would.
#include <gtest/gtest.h>

#include "device/bus/MemorySlave.h"
#include "device/usb/Ds2490.h"
#include "device/virtual/EmulatedDs2490.h"
#include "device/virtual/VirtualBus.h"

using namespace ds2490;

namespace {
class RawChip : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_EQ(chip.Open(kAltSetting, error), UsbError::None) << error;
    }
    UsbError Comm(std::uint16_t value, std::uint16_t index = 0) {
        return chip.Control(kVendorOut, kCommCommand, value, index, nullptr, 0, 1000).Error;
    }
    UsbError Request(std::uint8_t request, std::uint16_t value, std::uint16_t index = 0) {
        return chip.Control(kVendorOut, request, value, index, nullptr, 0, 1000).Error;
    }
    // One status packet; `results` gets its result bytes.
    std::array<std::uint8_t, 16> Status(std::vector<std::uint8_t>* results = nullptr) {
        std::uint8_t packet[kStatusSize] = {};
        const UsbTransfer read = chip.Interrupt(kStatusEndpoint, packet, sizeof packet, 1000);
        EXPECT_TRUE(read.Ok());
        EXPECT_GE(read.Length, 16);
        if (results) results->assign(packet + 16, packet + read.Length);
        std::array<std::uint8_t, 16> state;
        std::copy_n(packet, 16, state.begin());
        return state;
    }
    int BulkOut(std::vector<std::uint8_t> bytes) {
        return chip.Bulk(kDataOutEndpoint, bytes.data(), static_cast<int>(bytes.size()), 1000).Length;
    }

    VirtualBus bus;
    EmulatedDs2490 chip{bus};
};
}  // namespace

TEST_F(RawChip, StatusPacketHoldsThePowerOnModesAndTheFifoCounts) {
    const auto state = Status();
    EXPECT_EQ(state[kStatusSpeed], kSpeedRegular);
    EXPECT_EQ(state[kStatusPullupDuration], 0x20) << "512 ms in 16 ms units";
    EXPECT_EQ(state[kStatusProgDuration], 0x40) << "512 us in 8 us units";
    EXPECT_EQ(state[kStatusFlags] & kStIdle, kStIdle);
    EXPECT_EQ(state[kStatusDataOut], 0);

    ASSERT_EQ(Request(kModeCommand, kModeSpeed, kSpeedFlexible), UsbError::None);
    ASSERT_EQ(Request(kModeCommand, kModeEnablePulse, 0x02), UsbError::None);
    EXPECT_EQ(BulkOut({1, 2, 3}), 3);
    const auto changed = Status();
    EXPECT_EQ(changed[kStatusSpeed], kSpeedFlexible);
    EXPECT_EQ(changed[kStatusEnableFlags] & 0x01, 0x01) << "SPUE";
    EXPECT_EQ(changed[kStatusDataOut], 3);
    ASSERT_EQ(Request(kControlCommand, kCtlResetDevice), UsbError::None);
    const auto reset = Status();
    EXPECT_EQ(reset[kStatusSpeed], kSpeedRegular) << "a device reset loads the defaults";
    EXPECT_EQ(reset[kStatusDataOut], 0) << "and empties the FIFOs";
}

TEST_F(RawChip, UnknownAndUnemulatedCommandsStall) {
    EXPECT_EQ(Comm(0x0080 | kFlagIm), UsbError::Stall) << "READ STRAIGHT";
    EXPECT_EQ(Comm(kCommByteIo), UsbError::Stall) << "macros (IM clear) are not emulated";
    EXPECT_EQ(Comm(kCommSearchAccess | kFlagIm), UsbError::Stall) << "search with access (SM clear)";
    EXPECT_EQ(Request(kControlCommand, 0x0005), UsbError::Stall);
    EXPECT_EQ(Request(kControlCommand, kCtlFlushRcvBuffer), UsbError::Stall) << "only while halted";
    EXPECT_EQ(Request(kModeCommand, kModeSpeed, 3), UsbError::Stall) << "reserved speed";
    EXPECT_EQ(Request(kModeCommand, 0x0008), UsbError::Stall);
    EXPECT_EQ(Request(0x03, 0), UsbError::Stall);
    EXPECT_EQ(Comm(kCommByteIo | kFlagIm, 0xFF), UsbError::None) << "endpoint 0 takes the next request";
}

TEST_F(RawChip, ResultBytesFollowTheNotifyRules) {
    std::vector<std::uint8_t> results;
    ASSERT_EQ(Comm(kCommReset | kFlagIm), UsbError::None);
    Status(&results);
    EXPECT_EQ(results, std::vector<std::uint8_t>{kResultNrs}) << "an error is always reported";
    bus.Insert(std::make_shared<MemorySlave>(MemorySlave::MakeRom(0x21, 1)));
    ASSERT_EQ(Comm(kCommReset | kFlagIm), UsbError::None);
    Status(&results);
    EXPECT_TRUE(results.empty()) << "success without NTF says nothing";
    ASSERT_EQ(Comm(kCommReset | kFlagIm | kFlagNtf), UsbError::None);
    Status(&results);
    EXPECT_EQ(results, std::vector<std::uint8_t>{0x00});
    Status(&results);
    EXPECT_TRUE(results.empty()) << "each result byte is reported once";
    ASSERT_EQ(Comm(kCommByteIo | kFlagIm | kFlagIcp | kFlagNtf, 0xCC), UsbError::None);
    const auto state = Status(&results);
    EXPECT_TRUE(results.empty()) << "ICP: inside a macro, no feedback";
    EXPECT_EQ(state[kStatusDataIn], 0);
}

TEST_F(RawChip, DataInMustBeReadExactly) {
    std::uint8_t read[8];
    EXPECT_EQ(chip.Bulk(kDataInEndpoint, read, 8, 1000).Error, UsbError::Timeout) << "nothing there: NAK";
    ASSERT_EQ(BulkOut({0xFF, 0xFF, 0xFF}), 3);
    ASSERT_EQ(Comm(kCommBlockIo | kFlagIm, 3), UsbError::None);
    EXPECT_EQ(Status()[kStatusDataIn], 3);
    EXPECT_EQ(chip.Bulk(kDataInEndpoint, read, 2, 1000).Error, UsbError::Overflow);
    EXPECT_EQ(Status()[kStatusDataIn], 0) << "asking for less drops the buffer";

    ASSERT_EQ(BulkOut({0xFF, 0xFF}), 2);
    ASSERT_EQ(Comm(kCommBlockIo | kFlagIm, 2), UsbError::None);
    const UsbTransfer more = chip.Bulk(kDataInEndpoint, read, 8, 1000);
    EXPECT_TRUE(more.Ok());
    EXPECT_EQ(more.Length, 2) << "a short packet ends a longer request";

    std::vector<std::uint8_t> full(200, 0xFF);
    EXPECT_EQ(chip.Bulk(kDataOutEndpoint, full.data(), 200, 1000).Length, kFifoSize);
}

TEST_F(RawChip, ABlockWaitsForItsDataAndTheCommandFifoOverflows) {
    ASSERT_EQ(Comm(kCommBlockIo | kFlagIm, 4), UsbError::None);
    auto state = Status();
    EXPECT_EQ(state[kStatusFlags] & kStIdle, 0) << "waiting for its four bytes";
    EXPECT_EQ(state[kStatusCommandFifo], 4);
    ASSERT_EQ(BulkOut({1, 2, 3, 4}), 4);
    state = Status();
    EXPECT_EQ(state[kStatusFlags] & kStIdle, kStIdle);
    EXPECT_EQ(state[kStatusDataIn], 4);

    ASSERT_EQ(Request(kControlCommand, kCtlResetDevice), UsbError::None);
    for (int i = 0; i < 5; ++i) ASSERT_EQ(Comm(kCommBlockIo | kFlagIm, 1), UsbError::None);
    EXPECT_EQ(Status()[kStatusFlags] & kStEp0f, kStEp0f) << "a fifth command does not fit";
    ASSERT_EQ(Request(kControlCommand, kCtlResetDevice), UsbError::None);
    EXPECT_EQ(Status()[kStatusFlags], kStIdle);
}

TEST_F(RawChip, SearchReturnsTheRomAndWhereToGoOn) {
    const auto a = MemorySlave::MakeRom(0x21, 0x01), b = MemorySlave::MakeRom(0x21, 0x02);
    bus.Insert(std::make_shared<MemorySlave>(a));
    bus.Insert(std::make_shared<MemorySlave>(b));
    const std::uint16_t search = kCommSearchAccess | kFlagIm | kFlag08 | kFlagRst | kFlag40;
    std::uint8_t read[32];
    // No limit: both ROMs in one command, no discrepancy bytes since none remain.
    ASSERT_EQ(BulkOut(std::vector<std::uint8_t>(8, 0)), 8);
    ASSERT_EQ(Comm(search, 0x00F0), UsbError::None);
    ASSERT_EQ(Status()[kStatusDataIn], 16);
    ASSERT_EQ(chip.Bulk(kDataInEndpoint, read, 32, 1000).Length, 16);
    EXPECT_TRUE(std::equal(b.begin(), b.end(), read)) << "serial 2 has a 0 where they first differ";
    EXPECT_TRUE(std::equal(a.begin(), a.end(), read + 8));

    // One ROM: the one the zeros lead to, then the discrepancies: serial bit 0 only,
    // since the other device has dropped out after it.
    ASSERT_EQ(BulkOut(std::vector<std::uint8_t>(8, 0)), 8);
    ASSERT_EQ(Comm(search, 0x01F0), UsbError::None);
    ASSERT_EQ(chip.Bulk(kDataInEndpoint, read, 32, 1000).Length, 16);
    EXPECT_TRUE(std::equal(b.begin(), b.end(), read));
    EXPECT_EQ(read[8], 0x00);
    EXPECT_EQ(read[9], 0x01);

    // Directions with 1 there lead to the other device.
    std::vector<std::uint8_t> directions(8, 0);
    directions[1] = 0x01;
    ASSERT_EQ(BulkOut(directions), 8);
    ASSERT_EQ(Comm(search, 0x01F0), UsbError::None);
    ASSERT_EQ(chip.Bulk(kDataInEndpoint, read, 32, 1000).Length, 8) << "the last one: nothing remains";
    EXPECT_TRUE(std::equal(a.begin(), a.end(), read));

    std::vector<std::uint8_t> results;
    bus.RemoveAll();
    ASSERT_EQ(BulkOut(directions), 8);
    ASSERT_EQ(Comm(search, 0x01F0), UsbError::None);
    Status(&results);
    EXPECT_EQ(results, std::vector<std::uint8_t>{kResultNrs | kResultEos});
}

TEST_F(RawChip, TimingKeepsTheChipBusyForTheBusTimeOfACommand) {
    chip.EnableTiming(true);
    bus.Insert(std::make_shared<MemorySlave>(MemorySlave::MakeRom(0x21, 9)));
    std::vector<std::uint8_t> block(128, 0xFF);
    ASSERT_EQ(BulkOut(block), 128);
    ASSERT_EQ(Comm(kCommBlockIo | kFlagIm, 128), UsbError::None);
    const std::int64_t sent = chip.ElapsedUs();
    int polls = 0;
    while ((Status()[kStatusFlags] & kStIdle) == 0) ++polls;
    // 1024 slots of 65 us: about 67 ms, one status packet a millisecond.
    EXPECT_GE(polls, 60);
    EXPECT_LE(polls, 70);
    EXPECT_GE(chip.ElapsedUs() - sent, 128 * 8 * 65);

    std::string error;
    chip.Close();
    ASSERT_EQ(chip.Open(0, error), UsbError::None);
    Status();
    const std::int64_t before = chip.ElapsedUs();
    Status();
    Status();
    EXPECT_EQ(chip.ElapsedUs() - before, 20000) << "setting 0 polls the status every 10 ms";
}
