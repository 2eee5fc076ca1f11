#include "device/onewire/Search.h"

#include <optional>

#include "device/onewire/Crc.h"

namespace onewire {

namespace {

int RomBit(const Rom& rom, int index) { return (rom[index / 8] >> (index % 8)) & 1; }

void SetRomBit(Rom& rom, int index, int value) {
    const auto mask = static_cast<std::uint8_t>(1u << (index % 8));
    rom[index / 8] = static_cast<std::uint8_t>(value ? (rom[index / 8] | mask) : (rom[index / 8] & ~mask));
}

// The directions a pass takes where devices disagree: the last ROM's bits below the
// last discrepancy, 1 at it, 0 above.
Rom PassDirections(const SearchState& state) {
    Rom directions{};
    for (int bit = 1; bit < state.lastDiscrepancy && bit <= 64; ++bit)
        SetRomBit(directions, bit - 1, RomBit(state.rom, bit - 1));
    if (state.lastDiscrepancy >= 1 && state.lastDiscrepancy <= 64)
        SetRomBit(directions, state.lastDiscrepancy - 1, 1);
    return directions;
}

SearchOutcome FinishPass(SearchState& state, const Rom& rom, int lastZero, int familyDiscrepancy) {
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

// The pass done by the adapter's own search command; nullopt when it has none.
std::optional<SearchOutcome> AdapterPass(Link& link, SearchState& state, bool conditional) {
    Rom rom{}, discrepancies{};
    switch (link.SearchPass(PassDirections(state), conditional, rom, discrepancies)) {
        case SearchPassResult::Unsupported:
            return std::nullopt;
        case SearchPassResult::LinkError:
            return SearchOutcome::LinkError;
        case SearchPassResult::NoDevice:
            ResetSearch(state);
            return SearchOutcome::NoDevice;
        case SearchPassResult::Found:
            break;
    }
    int lastZero = 0;
    int familyDiscrepancy = state.lastFamilyDiscrepancy;
    for (int bit = 1; bit <= 64; ++bit) {
        if (RomBit(discrepancies, bit - 1) && RomBit(rom, bit - 1) == 0) {
            lastZero = bit;
            if (lastZero < 9) familyDiscrepancy = lastZero;
        }
    }
    return FinishPass(state, rom, lastZero, familyDiscrepancy);
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
    if (const auto outcome = AdapterPass(link, state, conditional)) return *outcome;
    const ResetResult reset = link.Reset();
    if (reset == ResetResult::LinkError) return SearchOutcome::LinkError;
    if (!DevicePresent(reset)) {
        ResetSearch(state);
        return SearchOutcome::NoDevice;
    }
    if (link.TouchByte(conditional ? kConditionalSearchCommand : kSearchRomCommand) < 0)
        return SearchOutcome::LinkError;

    Rom rom = state.rom;
    int lastZero = 0;
    int familyDiscrepancy = state.lastFamilyDiscrepancy;
    // Each exchange writes the previous bit's direction and reads the next bit and
    // its complement, so a serial adapter needs one round trip per ROM bit.
    std::uint8_t slots[3] = {1, 1, 1};
    if (!link.TouchBits(slots + 1, 2)) return SearchOutcome::LinkError;
    for (int bit = 1; bit <= 64; ++bit) {
        const int idBit = slots[1];
        const int complement = slots[2];
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
        slots[0] = static_cast<std::uint8_t>(direction);
        slots[1] = slots[2] = 1;
        if (!link.TouchBits(slots, bit < 64 ? 3 : 1)) return SearchOutcome::LinkError;
    }
    return FinishPass(state, rom, lastZero, familyDiscrepancy);
}

SearchOutcome VerifyRom(Link& link, const Rom& rom) {
    const ResetResult reset = link.Reset();
    if (reset == ResetResult::LinkError) return SearchOutcome::LinkError;
    if (!DevicePresent(reset)) return SearchOutcome::NoDevice;
    if (link.TouchByte(kSearchRomCommand) < 0) return SearchOutcome::LinkError;
    // The directions are known beforehand, so all 192 slots go out in one exchange;
    // writing the wanted bit after the device has dropped out does no harm.
    std::uint8_t slots[64 * 3];
    for (int bit = 0; bit < 64; ++bit) {
        slots[3 * bit] = slots[3 * bit + 1] = 1;
        slots[3 * bit + 2] = static_cast<std::uint8_t>(RomBit(rom, bit));
    }
    if (!link.TouchBits(slots, sizeof slots)) return SearchOutcome::LinkError;
    for (int bit = 0; bit < 64; ++bit) {
        const int idBit = slots[3 * bit];
        const int complement = slots[3 * bit + 1];
        // The wanted value is on the bus unless every remaining device drove the other one.
        const bool available = RomBit(rom, bit) == 1 ? complement == 0 : idBit == 0;
        if (!available) return SearchOutcome::NoDevice;
    }
    return SearchOutcome::Found;
}

}  // namespace onewire
