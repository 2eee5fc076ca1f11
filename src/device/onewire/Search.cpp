#include "device/onewire/Search.h"

#include "device/onewire/Crc.h"

namespace onewire {

namespace {

bool Present(ResetResult result) {
    return result == ResetResult::Presence || result == ResetResult::AlarmingPresence;
}

int RomBit(const Rom& rom, int index) { return (rom[index / 8] >> (index % 8)) & 1; }

void SetRomBit(Rom& rom, int index, int value) {
    const auto mask = static_cast<std::uint8_t>(1u << (index % 8));
    rom[index / 8] = static_cast<std::uint8_t>(value ? (rom[index / 8] | mask) : (rom[index / 8] & ~mask));
}

}  // namespace

void ResetSearch(SearchState& state) { state = SearchState{}; }

void TargetFamily(SearchState& state, std::uint8_t family) {
    state = SearchState{};
    state.rom[0] = family;
    // Following the family byte's bits first, then zeros, finds the lowest ROM of that family.
    state.lastDiscrepancy = 64;
}

bool RomCrcValid(const Rom& rom) { return Crc8(rom) == 0; }

SearchOutcome SearchNext(Link& link, SearchState& state, bool conditional) {
    if (state.lastDevice) {
        ResetSearch(state);
        return SearchOutcome::NoDevice;
    }
    const ResetResult reset = link.Reset();
    if (reset == ResetResult::LinkError) return SearchOutcome::LinkError;
    if (!Present(reset)) {
        ResetSearch(state);
        return SearchOutcome::NoDevice;
    }
    if (link.TouchByte(conditional ? kConditionalSearchCommand : kSearchRomCommand) < 0)
        return SearchOutcome::LinkError;

    Rom rom = state.rom;
    int lastZero = 0;
    int familyDiscrepancy = state.lastFamilyDiscrepancy;
    for (int bit = 1; bit <= 64; ++bit) {
        const int idBit = link.TouchBit(1);
        const int complement = link.TouchBit(1);
        if (idBit < 0 || complement < 0) return SearchOutcome::LinkError;
        if (idBit == 1 && complement == 1) {
            // Nobody answered (a device left mid-search): this pass found nothing.
            ResetSearch(state);
            return SearchOutcome::NoDevice;
        }
        int direction;
        if (idBit != complement) {
            direction = idBit;
        } else {
            if (bit < state.lastDiscrepancy)
                direction = RomBit(rom, bit - 1);
            else
                direction = bit == state.lastDiscrepancy ? 1 : 0;
            if (direction == 0) {
                lastZero = bit;
                if (lastZero < 9) familyDiscrepancy = lastZero;
            }
        }
        SetRomBit(rom, bit - 1, direction);
        if (link.TouchBit(direction) < 0) return SearchOutcome::LinkError;
    }
    if (!RomCrcValid(rom) || rom[0] == 0) {
        ResetSearch(state);
        return SearchOutcome::CrcError;
    }
    state.rom = rom;
    state.lastDiscrepancy = lastZero;
    state.lastFamilyDiscrepancy = familyDiscrepancy;
    state.lastDevice = lastZero == 0;
    return SearchOutcome::Found;
}

SearchOutcome VerifyRom(Link& link, const Rom& rom) {
    const ResetResult reset = link.Reset();
    if (reset == ResetResult::LinkError) return SearchOutcome::LinkError;
    if (!Present(reset)) return SearchOutcome::NoDevice;
    if (link.TouchByte(kSearchRomCommand) < 0) return SearchOutcome::LinkError;
    for (int bit = 0; bit < 64; ++bit) {
        const int idBit = link.TouchBit(1);
        const int complement = link.TouchBit(1);
        if (idBit < 0 || complement < 0) return SearchOutcome::LinkError;
        const int wanted = RomBit(rom, bit);
        // The wanted value is on the bus unless every remaining device drove the other one.
        const bool available = wanted == 1 ? complement == 0 : idBit == 0;
        if (!available) return SearchOutcome::NoDevice;
        if (link.TouchBit(wanted) < 0) return SearchOutcome::LinkError;
    }
    return SearchOutcome::Found;
}

}  // namespace onewire
