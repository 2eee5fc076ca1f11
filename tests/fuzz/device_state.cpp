// The virtual adapter's state file: any bytes as its text. What loads is then
// caught up to now, saved to text and read over the bus as a download would.
#include <cstddef>
#include <cstdint>
#include <string>

#include "device/onewire/Search.h"
#include "device/virtual/SimClock.h"
#include "device/virtual/VirtualAdapter.h"

namespace {
void ReadEveryDevice(VirtualBus& bus) {
    std::string error;
    if (!bus.Open(error)) return;
    onewire::SearchState search;
    onewire::ResetSearch(search);
    for (int found = 0; found < 8 && onewire::SearchNext(bus, search) == onewire::SearchOutcome::Found;
         ++found) {
        // Read Memory with CRC of the register page, as the status read does.
        std::uint8_t command[3 + 32 + 2] = {0xA5, 0x00, 0x02};
        for (std::size_t i = 3; i < sizeof command; ++i) command[i] = 0xFF;
        bus.Block(command, sizeof command);
        if (bus.Reset() != ResetResult::Presence) continue;
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ManualClock clock(ManualClock::MsFromDateTime(46363.5));
    VirtualAdapter adapter("", clock);
    if (!adapter.Restore(std::string(reinterpret_cast<const char*>(data), size)).empty()) return 0;
    adapter.DevicesText();
    clock.AdvanceDays(3);
    ReadEveryDevice(adapter.Bus());
    adapter.DevicesText();
    return 0;
}
