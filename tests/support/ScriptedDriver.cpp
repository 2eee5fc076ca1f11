#include "support/ScriptedDriver.h"

#include <algorithm>
#include <cstring>

namespace {
std::int16_t NextOr(std::deque<std::int16_t>& queue, std::int16_t fallback) {
    if (queue.empty()) return fallback;
    const std::int16_t value = queue.front();
    queue.pop_front();
    return value;
}
}  // namespace

void ScriptedDriver::Record(std::string name, std::vector<std::uint8_t> sent, bool needsSession) {
    Calls.push_back({std::move(name), std::move(sent)});
    if (needsSession && OpenSessions <= 0) ++CallsOutsideSession;
    if (OnCall) OnCall(Calls.back());
}

std::vector<std::string> ScriptedDriver::CallNames() const {
    std::vector<std::string> names;
    for (const auto& call : Calls) names.push_back(call.Name);
    return names;
}

std::int32_t ScriptedDriver::TMExtendedStartSession(std::int16_t, std::int16_t, void*) {
    if (SessionResult > 0) ++OpenSessions;
    Record("TMExtendedStartSession", {}, false);
    return SessionResult;
}

std::int16_t ScriptedDriver::TMEndSession(std::int32_t) {
    --OpenSessions;
    Record("TMEndSession", {}, false);
    return 1;
}

std::int16_t ScriptedDriver::TMSetup(std::int32_t) {
    Record("TMSetup", {}, true);
    return SetupResult;
}

std::int16_t ScriptedDriver::TMReadDefaultPort(std::int16_t* portNumber, std::int16_t* portType) {
    Record("TMReadDefaultPort", {}, false);
    if (DefaultPortResult == 1) {
        *portNumber = DefaultPortNumber;
        *portType = DefaultPortType;
    }
    return DefaultPortResult;
}

std::int16_t ScriptedDriver::TMFamilySearchSetup(std::int32_t, void*, std::int16_t family) {
    Record("TMFamilySearchSetup", {static_cast<std::uint8_t>(family)}, true);
    return FamilySearchSetupResult;
}

std::int16_t ScriptedDriver::TMNext(std::int32_t, void*) {
    Record("TMNext", {}, true);
    return DeviceGone() ? 0 : NextResult;
}

std::int16_t ScriptedDriver::TMRom(std::int32_t, void*, std::int16_t* rom) {
    Record("TMRom", {}, true);
    if (rom[0] == 0)
        for (int i = 0; i < 8; ++i) rom[i] = Rom[i];
    return RomResult;
}

std::int16_t ScriptedDriver::TMAccess(std::int32_t, void*) {
    Record("TMAccess", {}, true);
    return DeviceGone() ? 0 : NextOr(AccessReplies, AccessResult);
}

std::int16_t ScriptedDriver::TMStrongAccess(std::int32_t, void*) {
    Record("TMStrongAccess", {}, true);
    return DeviceGone() ? 0 : NextOr(StrongAccessReplies, StrongAccessResult);
}

std::int16_t ScriptedDriver::TMExtendedReadPage(std::int32_t, void*, std::int16_t page,
                                                std::uint8_t* destination, std::int16_t) {
    Record("TMExtendedReadPage", {static_cast<std::uint8_t>(page)}, true);
    if (DeviceGone()) return -1;
    if (ReadPageResult > 0) std::copy(PageData.begin(), PageData.begin() + 32, destination);
    return ReadPageResult;
}

std::int16_t ScriptedDriver::TMBlockStream(std::int32_t, std::uint8_t* buffer, std::int16_t length) {
    Record("TMBlockStream", std::vector<std::uint8_t>(buffer, buffer + length), true);
    if (DeviceGone()) {
        std::fill_n(buffer, length, std::uint8_t{0xFF});
        return length;
    }
    if (BlockReplies.empty()) return length;
    const BlockReply reply = BlockReplies.front();
    BlockReplies.pop_front();
    std::copy_n(reply.Bytes.begin(), std::min<std::size_t>(reply.Bytes.size(), length), buffer);
    return static_cast<std::int16_t>(reply.Count < 0 ? length : reply.Count);
}

std::int16_t ScriptedDriver::TMTouchByte(std::int32_t, std::int16_t byte) {
    Record("TMTouchByte", {static_cast<std::uint8_t>(byte)}, true);
    if (DeviceGone() || TouchReplies.empty()) return byte;
    const std::int16_t reply = TouchReplies.front();
    TouchReplies.pop_front();
    return reply;
}

std::int16_t ScriptedDriver::TMTouchReset(std::int32_t) {
    Record("TMTouchReset", {}, true);
    return 1;
}

std::int16_t ScriptedDriver::Get_Version(char* buffer) {
    std::strcpy(buffer, "Scripted driver");
    return 1;
}

std::int16_t ScriptedDriver::TMGetTypeVersion(std::int16_t portType, char* buffer) {
    if (portType != kPortTypeVirtual) return -1;
    std::strcpy(buffer, "Scripted port");
    return 1;
}
