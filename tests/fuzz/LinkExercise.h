#pragma once
// What the driver asks of a link in a download, in little: open, reset, a
// search of a few passes, Match ROM and Read Memory with CRC of the register
// page, a few single bits, close. The link targets run it on replayed replies.
#include <algorithm>
#include <cstdint>
#include <string>

#include "device/onewire/Link.h"
#include "device/onewire/Search.h"

inline void ExerciseLink(Link& link) {
    std::string error;
    if (!link.Open(error)) return;
    link.Reset();
    onewire::SearchState search;
    onewire::ResetSearch(search);
    onewire::SearchOutcome outcome = onewire::SearchOutcome::Found;
    for (int pass = 0; pass < 4 && outcome == onewire::SearchOutcome::Found; ++pass)
        outcome = onewire::SearchNext(link, search);
    if (DevicePresent(link.Reset())) {
        link.TouchByte(onewire::kMatchRomCommand);
        for (const std::uint8_t byte : search.rom) link.TouchByte(byte);
        std::uint8_t page[3 + 32 + 2] = {0xA5, 0x00, 0x02};
        std::fill(page + 3, page + sizeof page, 0xFF);
        link.Block(page, sizeof page);
    }
    std::uint8_t bits[8] = {1, 0, 1, 1, 0, 0, 1, 0};
    link.TouchBits(bits, sizeof bits);
    link.TouchBit(1);
    link.Close();
}
