#pragma once
// The ROM search over any Link: one device per pass, branching at the bits
// where devices disagree, resuming from the last discrepancy. Works at bit
// level (bit, complement, direction) so every backend supports it.
#include <array>
#include <cstdint>

#include "device/onewire/Link.h"

namespace onewire {

using Rom = std::array<std::uint8_t, 8>;

constexpr std::uint8_t kReadRomCommand = 0x33, kMatchRomCommand = 0x55, kSkipRomCommand = 0xCC,
                       kSearchRomCommand = 0xF0, kConditionalSearchCommand = 0xEC;

// Plain data: the driver keeps it in the caller's state buffer between calls.
struct SearchState {
    Rom rom{};                   // the device found last
    int lastDiscrepancy = 0;     // 1-64; 0: start from scratch
    int lastFamilyDiscrepancy = 0;
    bool lastDevice = false;     // the previous pass found the last device
};

enum class SearchOutcome { Found, NoDevice, CrcError, LinkError };

void ResetSearch(SearchState& state);
// The next pass finds the first device of `family`, if there is one (else the next family up).
void TargetFamily(SearchState& state, std::uint8_t family);

// One pass of Search ROM (or Conditional Search). On Found, state.rom holds the
// device, whose CRC8 was checked, and that device is selected.
SearchOutcome SearchNext(Link& link, SearchState& state, bool conditional = false);

// Runs a search that follows exactly `rom`: Found when that device took part
// in every bit, which leaves it selected.
SearchOutcome VerifyRom(Link& link, const Rom& rom);

bool RomCrcValid(const Rom& rom);

}  // namespace onewire
