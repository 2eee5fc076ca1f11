#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "device/onewire/Search.h"
#include "device/usb/Ds2490.h"
#include "device/usb/UsbRig.h"
#include "device/usb/UsbTrace.h"

namespace {
// The bus seen through a device that answers every reset with an alarming presence.
class AlarmingBus : public VirtualBus {
public:
    ResetResult Reset() override {
        const ResetResult reset = VirtualBus::Reset();
        return DevicePresent(reset) ? ResetResult::AlarmingPresence : reset;
    }
};

std::set<onewire::Rom> SearchAll(Link& link) {
    onewire::SearchState state;
    std::set<onewire::Rom> found;
    while (onewire::SearchNext(link, state) == onewire::SearchOutcome::Found)
        if (!found.insert(state.rom).second) break;  // a repeat would loop for ever
    return found;
}
}  // namespace

TEST(Ds2490Link, OpensInSettingThreeAndHandsTheDeviceBackOnClose) {
    UsbRig rig;
    EXPECT_TRUE(rig.chip.KernelDriverBound());
    rig.OpenOrFail();
    EXPECT_EQ(rig.chip.AltSetting(), 3) << "1 ms status, 64-byte packets";
    EXPECT_FALSE(rig.chip.KernelDriverBound()) << "taken from the kernel's driver while we hold it";
    EXPECT_EQ(rig.chip.DeviceResets(), 1) << "the chip starts from its power-on state";
    EXPECT_NE(rig.link.Version().find("USB bus 1 address 2 (port 1-1)"), std::string::npos)
        << rig.link.Version();
    rig.link.Close();
    EXPECT_FALSE(rig.link.IsOpen());
    EXPECT_TRUE(rig.chip.KernelDriverBound());
}

TEST(Ds2490Link, OpenFailuresSayWhatToDo) {
    EmulatedUsbHost none;
    Ds2490Link lonely(none, 1);
    std::string error;
    EXPECT_FALSE(lonely.Open(error));
    EXPECT_EQ(error, "No USB adapter (DS9490, 04FA:2490) is connected.");
    none.ListError = "USB is not available: Other error";
    EXPECT_FALSE(lonely.Open(error));
    EXPECT_NE(error.find("USB is not available"), std::string::npos) << error;

    UsbRig rig;
    Ds2490Link second(rig.host, 2);
    EXPECT_FALSE(second.Open(error));
    EXPECT_EQ(error, "USB adapter 2 is not connected; 1 found.");

    rig.chip.OpenError = UsbError::Access;
    EXPECT_FALSE(rig.link.Open(error));
    EXPECT_NE(error.find("No permission"), std::string::npos) << error;
    EXPECT_NE(error.find("/dev/bus/usb/001/002"), std::string::npos) << error;
    EXPECT_NE(error.find("/etc/udev/rules.d/69-kelvara-ds9490.rules"), std::string::npos) << error;
    EXPECT_NE(error.find("sudo udevadm control --reload-rules"), std::string::npos) << error;
    EXPECT_NE(error.find("plugdev"), std::string::npos) << error;

    rig.chip.OpenError = UsbError::None;
    rig.OpenOrFail();
    Ds2490Link rival(rig.host, 1);
    EXPECT_FALSE(rival.Open(error)) << "one program at a time";
    EXPECT_NE(error.find("in use by another program"), std::string::npos) << error;
    EXPECT_EQ(rig.link.Reset(), ResetResult::NoPresence) << "the holder is undisturbed";
}

TEST(Ds2490Link, ResetReportsPresenceShortAndAlarm) {
    UsbRig rig;
    rig.OpenOrFail();
    EXPECT_EQ(rig.link.Reset(), ResetResult::NoPresence);
    rig.Add(1);
    EXPECT_EQ(rig.link.Reset(), ResetResult::Presence);
    rig.chip.BusShorted = true;
    EXPECT_EQ(rig.link.Reset(), ResetResult::Short);

    AlarmingBus alarming;
    alarming.Insert(std::make_shared<MemorySlave>(MemorySlave::MakeRom(0x21, 2)));
    EmulatedUsbHost host;
    host.Add(alarming);
    Ds2490Link link(host, 1);
    std::string error;
    ASSERT_TRUE(link.Open(error));
    EXPECT_EQ(link.Reset(), ResetResult::AlarmingPresence);
}

TEST(Ds2490Link, BytesBitsAndBlocksKeepToTheFifos) {
    UsbRig rig;
    auto slave = rig.Add(3);
    rig.OpenOrFail();
    ASSERT_EQ(rig.link.Reset(), ResetResult::Presence);
    EXPECT_EQ(rig.link.TouchByte(onewire::kSkipRomCommand), onewire::kSkipRomCommand);
    std::vector<std::uint8_t> block(300);
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i);
    const int before = rig.chip.Commands();
    ASSERT_TRUE(rig.link.Block(block.data(), block.size()));
    EXPECT_EQ(rig.chip.Commands() - before, 3) << "128 + 128 + 44";
    EXPECT_EQ(rig.chip.ProtocolViolations(), 0);
    EXPECT_EQ(slave->received.size(), 300u);
    EXPECT_EQ(slave->received[299], 299 & 0xFF);

    // Read Memory with CRC of page 2 through the block path.
    slave->memory[64] = 0x5A;
    ASSERT_EQ(rig.link.Reset(), ResetResult::Presence);
    std::uint8_t read[3 + 32 + 2] = {onewire::kSkipRomCommand};
    std::fill(std::begin(read), std::end(read), 0xFF);
    read[0] = 0xCC;
    ASSERT_TRUE(rig.link.Block(read, 1));
    read[0] = 0xA5;
    read[1] = 64;
    read[2] = 0;
    ASSERT_TRUE(rig.link.Block(read, sizeof read));
    EXPECT_EQ(read[3], 0x5A);

    // A bit written as 1 reads what the bus holds; no device pulls it low here.
    EXPECT_EQ(rig.link.TouchBit(1), 1);
    EXPECT_EQ(rig.link.TouchBit(0), 0);
}

TEST(Ds2490Link, SearchTakesOneCommandAPassAndAgreesWithTheBitByBitSearch) {
    UsbRig rig;
    std::set<onewire::Rom> expected;
    for (std::uint64_t serial : {0x1ull, 0x3ull, 0x800000000000ull, 0x123456ull})
        expected.insert(rig.Add(serial)->Rom());
    expected.insert(rig.Add(0x4242, 0x81)->Rom());  // the adapter's own ID chip
    rig.OpenOrFail();
    const int before = rig.chip.Commands();
    EXPECT_EQ(SearchAll(rig.link), expected);
    EXPECT_EQ(rig.chip.Commands() - before, 5);

    rig.link.UseSearchAccess(false);
    EXPECT_EQ(SearchAll(rig.link), expected);
    EXPECT_GT(rig.chip.Commands() - before, 5 + 5 * 64);
}

TEST(Ds2490Link, FamilySearchSkipsTheAdaptersIdChip) {
    UsbRig rig;
    rig.Add(0x4242, 0x81);
    auto low = rig.Add(0x20), high = rig.Add(0x30);
    rig.OpenOrFail();
    onewire::SearchState state;
    onewire::TargetFamily(state, 0x21);
    ASSERT_EQ(onewire::SearchNext(rig.link, state), onewire::SearchOutcome::Found);
    const onewire::Rom first = state.rom;
    ASSERT_EQ(onewire::SearchNext(rig.link, state), onewire::SearchOutcome::Found);
    EXPECT_EQ((std::set<onewire::Rom>{first, state.rom}), (std::set<onewire::Rom>{low->Rom(), high->Rom()}));
    EXPECT_EQ(first[0], 0x21);

    rig.bus.RemoveAll();
    onewire::TargetFamily(state, 0x21);
    EXPECT_EQ(onewire::SearchNext(rig.link, state), onewire::SearchOutcome::NoDevice);
}

TEST(Ds2490Link, PresenceCheckGoesOutAsOneBlock) {
    UsbRig rig;
    auto a = rig.Add(0x10), b = rig.Add(0x11);
    rig.OpenOrFail();
    const int before = rig.chip.Commands();
    EXPECT_EQ(onewire::VerifyRom(rig.link, b->Rom()), onewire::SearchOutcome::Found);
    EXPECT_EQ(rig.chip.Commands() - before, 3) << "reset, Search ROM byte, 24 bytes of slots";
    rig.bus.Remove(b);
    EXPECT_EQ(onewire::VerifyRom(rig.link, b->Rom()), onewire::SearchOutcome::NoDevice);
    EXPECT_EQ(onewire::VerifyRom(rig.link, a->Rom()), onewire::SearchOutcome::Found);
}

TEST(Ds2490Link, WaitsForALateStatusWithinReason) {
    UsbRig rig;
    rig.Add(4);
    rig.OpenOrFail();
    rig.chip.DelayStatus(40);
    const int before = rig.chip.StatusReads();
    EXPECT_EQ(rig.link.TouchByte(0x33), 0x33);
    EXPECT_GE(rig.chip.StatusReads() - before, 41);

    // A chip that never reports the end is reset, and the byte is not sent twice.
    const auto resets = rig.chip.DeviceResets();
    rig.chip.DelayStatus(100000);
    EXPECT_EQ(rig.link.TouchByte(0x33), -1);
    EXPECT_EQ(rig.chip.DeviceResets(), resets + 1);
    EXPECT_NE(rig.link.LastProblem().find("busy"), std::string::npos) << rig.link.LastProblem();
    EXPECT_TRUE(rig.link.IsOpen());
    EXPECT_EQ(rig.link.Reset(), ResetResult::Presence);
}

TEST(Ds2490Link, AStallBeforeTheBusIsRetriedOnceAndAfterItIsNot) {
    UsbRig rig;
    auto slave = rig.Add(5);
    rig.OpenOrFail();
    std::uint8_t block[4] = {1, 2, 3, 4};
    rig.chip.StallNext(EmulatedDs2490::Pipe::Control);
    ASSERT_TRUE(rig.link.Block(block, 4)) << rig.link.LastProblem();
    EXPECT_EQ(slave->received.size(), 0u) << "no device selected, but the bytes went out once";
    EXPECT_EQ(rig.chip.DeviceResets(), 2);

    rig.chip.StallNext(EmulatedDs2490::Pipe::DataOut);
    EXPECT_TRUE(rig.link.Block(block, 4));

    // Stalled on the way back: the block reached the bus, so it is not sent again.
    ASSERT_EQ(rig.link.Reset(), ResetResult::Presence);
    ASSERT_EQ(rig.link.TouchByte(onewire::kSkipRomCommand), onewire::kSkipRomCommand);
    rig.chip.StallNext(EmulatedDs2490::Pipe::DataIn);
    EXPECT_FALSE(rig.link.Block(block, 4));
    EXPECT_EQ(slave->received.size(), 4u);
    EXPECT_EQ(rig.link.TouchByte(0x99), 0x99) << "the halt was cleared";

    // A reset may always be repeated: a stalled status read costs nothing visible.
    rig.chip.StallNext(EmulatedDs2490::Pipe::Status);
    EXPECT_EQ(rig.link.Reset(), ResetResult::Presence);
    rig.chip.Halt();
    EXPECT_EQ(rig.link.Reset(), ResetResult::Presence) << "a halted chip is reset";
    // The chip stalls again while it is being reset: a USB port reset follows.
    rig.chip.StallNext(EmulatedDs2490::Pipe::Control);
    rig.chip.StallNext(EmulatedDs2490::Pipe::Status);
    EXPECT_EQ(rig.link.TouchByte(0x11), 0x11);
    EXPECT_EQ(rig.chip.PortResets(), 1);
    EXPECT_EQ(rig.chip.ProtocolViolations(), 0);
}

TEST(Ds2490Link, AnUnpluggedAdapterClosesTheLinkAndIsFoundAgain) {
    UsbRig rig;
    rig.Add(6);
    rig.OpenOrFail();
    rig.chip.VanishAfter(1);  // after the data goes out, before the command
    std::uint8_t block[2] = {0xCC, 0x44};
    EXPECT_FALSE(rig.link.Block(block, 2));
    EXPECT_FALSE(rig.link.IsOpen());
    EXPECT_NE(rig.link.LastProblem().find("unplugged"), std::string::npos) << rig.link.LastProblem();
    EXPECT_EQ(rig.link.Reset(), ResetResult::LinkError);
    std::string error;
    EXPECT_FALSE(rig.link.Open(error));
    rig.chip.Plug();
    ASSERT_TRUE(rig.link.Open(error)) << error;
    EXPECT_EQ(rig.link.Reset(), ResetResult::Presence);
}

TEST(Ds2490Link, TraceShowsEveryTransfer) {
    VirtualBus bus;
    bus.Insert(std::make_shared<MemorySlave>(MemorySlave::MakeRom(0x21, 7)));
    EmulatedUsbHost emulated;
    emulated.Add(bus);
    std::ostringstream trace;
    TracingUsbHost host(emulated, trace);
    Ds2490Link link(host, 1);
    std::string error;
    ASSERT_TRUE(link.Open(error));
    ASSERT_EQ(link.Reset(), ResetResult::Presence);
    std::uint8_t block[2] = {0xCC, 0xFF};
    ASSERT_TRUE(link.Block(block, 2));
    link.Close();
    const std::string text = trace.str();
    EXPECT_NE(text.find("USB adapters found: 1; USB bus 1 address 2 (port 1-1)"), std::string::npos) << text;
    EXPECT_NE(text.find("USB 1-1 open alt 3: ok"), std::string::npos) << text;
    EXPECT_NE(text.find("control 40 request 01 value 0443 index 0000: ok"), std::string::npos) << text;
    EXPECT_NE(text.find("interrupt 81 in 32: ok, 17 < "), std::string::npos) << text;
    EXPECT_NE(text.find("bulk 02 out 2 > CC FF: ok"), std::string::npos) << text;
    EXPECT_NE(text.find("control 40 request 01 value 0075 index 0002: ok"), std::string::npos) << text;
    EXPECT_NE(text.find("bulk 83 in 2: ok, 2 < CC FF"), std::string::npos) << text;
    EXPECT_NE(text.find("USB 1-1 close"), std::string::npos) << text;
}
