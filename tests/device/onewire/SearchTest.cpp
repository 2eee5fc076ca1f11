#include "device/onewire/Search.h"

#include <gtest/gtest.h>

#include <set>

#include "device/bus/MemorySlave.h"
#include "device/virtual/VirtualBus.h"

using namespace onewire;

namespace {

std::vector<Rom> SearchAll(Link& link, SearchState& state, bool conditional = false) {
    std::vector<Rom> found;
    for (int guard = 0; guard < 100; ++guard) {
        if (SearchNext(link, state, conditional) != SearchOutcome::Found) break;
        found.push_back(state.rom);
    }
    return found;
}

}  // namespace

TEST(Search, FindsEveryDeviceOnABranchingBus) {
    VirtualBus bus;
    // Serials that share long prefixes and part at low, middle and top bits.
    const std::vector<std::uint64_t> serials = {0x000000000001, 0x000000000003, 0x800000000001,
                                                0x000100000000, 0x7FFFFFFFFFFF, 0x000000000002};
    std::set<Rom> expected;
    for (auto serial : serials) {
        for (std::uint8_t family : {0x21, 0x10}) {
            auto slave = std::make_shared<MemorySlave>(MemorySlave::MakeRom(family, serial));
            expected.insert(slave->Rom());
            bus.Insert(slave);
        }
    }
    SearchState state;
    const auto found = SearchAll(bus, state);
    EXPECT_EQ(found.size(), expected.size());
    EXPECT_EQ(std::set<Rom>(found.begin(), found.end()), expected);
    EXPECT_EQ(SearchNext(bus, state), SearchOutcome::Found) << "after the last device a new search starts over";
}

TEST(Search, EmptyBusFindsNothing) {
    VirtualBus bus;
    SearchState state;
    EXPECT_EQ(SearchNext(bus, state), SearchOutcome::NoDevice);
    EXPECT_EQ(VerifyRom(bus, MemorySlave::MakeRom(0x21, 1)), SearchOutcome::NoDevice);
}

TEST(Search, FamilyTargetStartsAtThatFamily) {
    VirtualBus bus;
    for (std::uint8_t family : {0x10, 0x21, 0x28, 0x21})
        bus.Insert(std::make_shared<MemorySlave>(MemorySlave::MakeRom(family, 0x4000 + family + bus.Devices().size())));
    SearchState state;
    TargetFamily(state, 0x21);
    ASSERT_EQ(SearchNext(bus, state), SearchOutcome::Found);
    EXPECT_EQ(state.rom[0], 0x21);
    ASSERT_EQ(SearchNext(bus, state), SearchOutcome::Found);
    EXPECT_EQ(state.rom[0], 0x21);
    // Past the family the search only goes on along higher bit paths.
    const auto third = SearchNext(bus, state);
    EXPECT_TRUE(third != SearchOutcome::Found || state.rom[0] != 0x21);

    TargetFamily(state, 0x05);
    ASSERT_EQ(SearchNext(bus, state), SearchOutcome::Found);
    EXPECT_NE(state.rom[0], 0x05);
}

TEST(Search, ConditionalSearchFindsOnlyAlarmingDevices) {
    VirtualBus bus;
    auto quiet = std::make_shared<MemorySlave>(MemorySlave::MakeRom(0x21, 1));
    auto alarming = std::make_shared<MemorySlave>(MemorySlave::MakeRom(0x21, 2));
    alarming->alarming = true;
    bus.Insert(quiet);
    bus.Insert(alarming);
    SearchState state;
    const auto found = SearchAll(bus, state, true);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0], alarming->Rom());
}

TEST(Search, DeviceLeavingMidSearchEndsThePassEmpty) {
    VirtualBus bus;
    auto slave = std::make_shared<MemorySlave>(MemorySlave::MakeRom(0x21, 0x55));
    bus.Insert(slave);
    bus.VanishAfter(slave, 40);
    SearchState state;
    EXPECT_EQ(SearchNext(bus, state), SearchOutcome::NoDevice);
    EXPECT_EQ(state.lastDiscrepancy, 0);
}

TEST(Search, RomWithABadCrcIsRejected) {
    VirtualBus bus;
    bus.Insert(std::make_shared<MemorySlave>(MemorySlave::MakeRom(0x21, 0x55)));
    SearchState state;
    // A ROM whose CRC byte is wrong is followed bit for bit, then rejected.
    auto bad = MemorySlave::MakeRom(0x21, 0x66);
    bad[7] ^= 0x01;
    VirtualBus other;
    other.Insert(std::make_shared<MemorySlave>(bad));
    EXPECT_EQ(SearchNext(other, state), SearchOutcome::CrcError);
    EXPECT_EQ(SearchNext(bus, state), SearchOutcome::Found);
}

TEST(Search, VerifyRomTellsPresentFromAbsent) {
    VirtualBus bus;
    auto a = std::make_shared<MemorySlave>(MemorySlave::MakeRom(0x21, 0x100));
    auto b = std::make_shared<MemorySlave>(MemorySlave::MakeRom(0x21, 0x101));
    bus.Insert(a);
    bus.Insert(b);
    EXPECT_EQ(VerifyRom(bus, a->Rom()), SearchOutcome::Found);
    EXPECT_EQ(bus.TouchByte(0xF0), 0xF0);
    bus.TouchByte(0x00);
    bus.TouchByte(0x00);
    EXPECT_EQ(bus.TouchByte(0xFF), a->memory[0]) << "the verified device is left selected";
    EXPECT_TRUE(b->received.empty());
    EXPECT_EQ(VerifyRom(bus, MemorySlave::MakeRom(0x21, 0x102)), SearchOutcome::NoDevice);
    bus.Remove(a);
    EXPECT_EQ(VerifyRom(bus, a->Rom()), SearchOutcome::NoDevice);
    bus.FailLink(true);
    EXPECT_EQ(VerifyRom(bus, b->Rom()), SearchOutcome::LinkError);
}
