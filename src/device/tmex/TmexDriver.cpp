#include "device/tmex/TmexDriver.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <type_traits>
#include <vector>

#include "device/onewire/Crc.h"
#include "device/tmex/PortConfig.h"

namespace {

constexpr std::uint32_t kStateMagic = 0x4B564453;  // marks a buffer this driver has written
constexpr std::size_t kMaxSessions = 4096;         // only a caller that never ends its sessions meets it
constexpr int kPageSize = 32;
constexpr int kPageCount = 2048;  // every page whose address fits the 16-bit target address
constexpr std::uint8_t kReadMemoryWithCrc = 0xA5;
constexpr std::uint8_t kDs1921Family = 0x21;
// A page whose CRC fails is read again this often in all before the job hears of it.
constexpr int kPageAttempts = 3;
// The about box hands a 201-byte buffer; never write more than that.
constexpr std::size_t kMaxText = 200;

std::int16_t CopyText(char* buffer, const std::string& text) {
    const std::size_t length = std::min(text.size(), kMaxText);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return 1;
}

}  // namespace

TmexDriver::TmexDriver(LinkProvider& provider)
    : links(provider),
      diagnostics([](const std::string& text) { std::fprintf(stderr, "kelvara: %s\n", text.c_str()); }) {
    static_assert(std::is_trivially_copyable_v<DeviceState>);
    static_assert(sizeof(DeviceState) <= kDriverStateSize);
}

std::int32_t TmexDriver::TMExtendedStartSession(std::int16_t portNumber, std::int16_t portType, void*) {
    if (!LinkProvider::KnownPortType(portType) || sessions.size() >= kMaxSessions) return 0;
    const std::int32_t handle = nextSession;
    nextSession = nextSession == INT32_MAX ? 1 : nextSession + 1;
    sessions[handle] = Port{portType, portNumber};
    return handle;
}

std::int16_t TmexDriver::TMEndSession(std::int32_t session) { return sessions.erase(session) ? 1 : 0; }

std::int16_t TmexDriver::TMSetup(std::int32_t session) {
    const auto found = sessions.find(session);
    if (found == sessions.end()) return kDriverBadArgument;
    Link* link = links.LinkFor(found->second.type, found->second.number);
    if (!link) {
        const Port& port = found->second;
        lastSetupError = port.type == kPortTypeSerialDs2480
                             ? "Serial port " + std::to_string(port.number) + " is outside 1-255."
                             : "Adapter type " + std::to_string(port.type) + " is not available.";
        return 0;
    }
    if (link->IsOpen()) {
        lastSetupError.clear();
        return 1;
    }
    std::string error;
    if (!link->Open(error)) {
        // The program's box names no reason; a terminal or a log keeps it.
        diagnostics("adapter not ready: " + error);
        lastSetupError = error;
        return 0;
    }
    lastSetupError.clear();
    return 1;
}

std::int16_t TmexDriver::TMReadDefaultPort(std::int16_t* portNumber, std::int16_t* portType) {
    if (!portNumber || !portType) return kDriverBadArgument;
    PortSetting setting;
    std::string error;
    switch (LoadDefaultPort(setting, error)) {
        case PortConfigStatus::Damaged:
            diagnostics(error);
            return 0;
        case PortConfigStatus::Unreadable:
            setting = PortSetting{};
            diagnostics(error + "; using the virtual adapter, port 1.");
            break;
        case PortConfigStatus::Missing:
        case PortConfigStatus::Loaded:
            break;
    }
    *portNumber = setting.Number;
    *portType = setting.Type;
    return 1;
}

Link* TmexDriver::SessionLink(std::int32_t session) {
    const auto found = sessions.find(session);
    if (found == sessions.end()) return nullptr;
    Link* link = links.LinkFor(found->second.type, found->second.number);
    if (!link) return nullptr;
    if (!link->IsOpen()) {
        std::string error;
        if (!link->Open(error)) return nullptr;
    }
    return link;
}

TmexDriver::DeviceState TmexDriver::LoadState(const void* state) {
    DeviceState device;
    std::memcpy(&device, state, sizeof device);
    if (device.magic != kStateMagic) {
        // A zero-filled (or foreign) buffer: nothing searched, no current device.
        device = DeviceState{};
        device.magic = kStateMagic;
        device.search = onewire::SearchState{};
    }
    return device;
}

void TmexDriver::StoreState(void* state, const DeviceState& device) {
    std::memcpy(state, &device, sizeof device);
}

std::int16_t TmexDriver::TMFamilySearchSetup(std::int32_t session, void* state, std::int16_t family) {
    if (!sessions.contains(session) || !state) return kDriverBadArgument;
    DeviceState device = LoadState(state);
    device.family = static_cast<std::uint8_t>(family & 0xFF);
    device.familyArmed = true;
    onewire::TargetFamily(device.search, device.family);
    StoreState(state, device);
    return 1;
}

std::int16_t TmexDriver::TMNext(std::int32_t session, void* state) {
    if (!state) return kDriverBadArgument;
    Link* link = SessionLink(session);
    if (!link) return kDriverLinkError;
    DeviceState device = LoadState(state);
    std::int16_t result = 0;
    switch (onewire::SearchNext(*link, device.search)) {
        case onewire::SearchOutcome::Found:
            // Bit 7 of a family code is not part of the family (the callers compare the low 7 bits too).
            if (device.familyArmed && ((device.search.rom[0] ^ device.family) & 0x7F) != 0) {
                // The search has run past the family asked for.
                onewire::ResetSearch(device.search);
                break;
            }
            device.current = device.search.rom;
            device.haveCurrent = true;
            result = 1;
            break;
        case onewire::SearchOutcome::NoDevice:
            break;
        case onewire::SearchOutcome::CrcError:
            result = kDriverCrcError;
            break;
        case onewire::SearchOutcome::LinkError:
            result = kDriverLinkError;
            break;
    }
    StoreState(state, device);
    return result;
}

std::int16_t TmexDriver::TMRom(std::int32_t session, void* state, std::int16_t* rom) {
    if (!sessions.contains(session) || !state || !rom) return kDriverBadArgument;
    DeviceState device = LoadState(state);
    if (rom[0] == 0) {
        if (!device.haveCurrent) return 0;
        for (int i = 0; i < 8; ++i) rom[i] = device.current[i];
        return 1;
    }
    onewire::Rom chosen{};
    for (int i = 0; i < 8; ++i) {
        if (rom[i] < 0 || rom[i] > 0xFF) return kDriverBadArgument;
        chosen[i] = static_cast<std::uint8_t>(rom[i]);
    }
    device.current = chosen;
    device.haveCurrent = true;
    StoreState(state, device);
    return 1;
}

std::int16_t TmexDriver::Select(Link& link, const onewire::Rom& rom) {
    return SelectResult(link.SelectBlock(rom.data(), false, nullptr, 0));
}

std::int16_t TmexDriver::SelectResult(ResetResult reset) {
    if (reset == ResetResult::LinkError) return kDriverLinkError;
    return DevicePresent(reset) ? 1 : kDriverNoDevice;
}

std::int16_t TmexDriver::TMAccess(std::int32_t session, void* state) {
    if (!state) return kDriverBadArgument;
    Link* link = SessionLink(session);
    if (!link) return kDriverLinkError;
    const DeviceState device = LoadState(state);
    if (!device.haveCurrent) return kDriverNoDevice;
    return Select(*link, device.current);
}

std::int16_t TmexDriver::TMStrongAccess(std::int32_t session, void* state) {
    if (!state) return kDriverBadArgument;
    Link* link = SessionLink(session);
    if (!link) return kDriverLinkError;
    const DeviceState device = LoadState(state);
    if (!device.haveCurrent) return kDriverNoDevice;
    // A search that follows exactly this ROM proves the device is there and leaves it selected.
    switch (onewire::VerifyRom(*link, device.current)) {
        case onewire::SearchOutcome::Found:
            return 1;
        case onewire::SearchOutcome::LinkError:
            return kDriverLinkError;
        default:
            return kDriverNoDevice;
    }
}

std::int16_t TmexDriver::TMExtendedReadPage(std::int32_t session, void* state, std::int16_t page,
                                            std::uint8_t* destination, std::int16_t) {
    if (!state || !destination || page < 0 || page >= kPageCount) return kDriverBadArgument;
    Link* link = SessionLink(session);
    if (!link) return kDriverLinkError;
    const DeviceState device = LoadState(state);
    if (!device.haveCurrent) return kDriverNoDevice;

    const int address = page * kPageSize;
    const std::string where = "page " + std::to_string(page) + ": ";
    std::int16_t result = kDriverCrcError;
    int linkErrors = 0;
    for (int attempt = 1; attempt <= kPageAttempts;) {
        // Every DS1921 does overdrive; a device that fails at it is read at standard speed from then on.
        const bool overdrive = link->SupportsOverdrive() && device.current[0] == kDs1921Family &&
                               !standardSpeedOnly.contains(device.current);
        std::uint8_t block[3 + kPageSize + 2];
        std::memset(block, 0xFF, sizeof block);
        block[0] = kReadMemoryWithCrc;
        block[1] = static_cast<std::uint8_t>(address & 0xFF);
        block[2] = static_cast<std::uint8_t>(address >> 8);
        result = SelectResult(link->SelectBlock(device.current.data(), overdrive, block, sizeof block));
        // The CRC covers the command, the address and the page; a silent bus fails it too.
        if (result == 1 && onewire::HasValidInvertedCrc16(block)) {
            std::memcpy(destination, block + 3, kPageSize);
            return 1;
        }
        if (result == kDriverNoDevice) return result;
        if (result == 1) result = kDriverCrcError;
        if (overdrive && result == kDriverCrcError) {
            standardSpeedOnly.insert(device.current);
            link->Note(where + "CRC error at overdrive: this device is read at standard speed from now on");
            continue;  // the retry at standard speed does not count
        }
        // A lost byte costs one more try; a line that stays broken ends the job.
        if (result == kDriverLinkError && ++linkErrors > 1) break;
        if (attempt < kPageAttempts)
            link->Note(where + (result == kDriverCrcError ? "CRC error" : "link error") + ", read again (" +
                       std::to_string(attempt + 1) + " of " + std::to_string(kPageAttempts) + ")");
        ++attempt;
    }
    link->Note(where + "read failed");
    return result;
}

std::int16_t TmexDriver::TMBlockStream(std::int32_t session, std::uint8_t* buffer, std::int16_t length) {
    if (!buffer || length < 0) return kDriverBadArgument;
    Link* link = SessionLink(session);
    if (!link) return 0;
    if (length == 0) return 0;
    return link->Block(buffer, static_cast<std::size_t>(length)) ? length : 0;
}

std::int16_t TmexDriver::TMTouchByte(std::int32_t session, std::int16_t byte) {
    Link* link = SessionLink(session);
    if (!link) return kDriverLinkError;
    const int read = link->TouchByte(static_cast<std::uint8_t>(byte & 0xFF));
    return read < 0 ? kDriverLinkError : static_cast<std::int16_t>(read);
}

std::int16_t TmexDriver::TMTouchReset(std::int32_t session) {
    Link* link = SessionLink(session);
    if (!link) return kDriverLinkError;
    switch (link->Reset()) {
        case ResetResult::Presence:
        case ResetResult::AlarmingPresence:
            return 1;
        case ResetResult::NoPresence:
        case ResetResult::Short:
            return 0;
        case ResetResult::LinkError:
            break;
    }
    return kDriverLinkError;
}

std::int16_t TmexDriver::Get_Version(char* buffer) {
    if (!buffer) return 0;
    return CopyText(buffer, "Kelvara 1-Wire driver 1.0");
}

std::int16_t TmexDriver::TMGetTypeVersion(std::int16_t portType, char* buffer) {
    if (!buffer) return 0;
    const std::string text = links.TypeVersion(portType);
    if (text.empty()) return 0;
    return CopyText(buffer, text);
}
