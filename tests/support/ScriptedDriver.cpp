#include "support/ScriptedDriver.h"

#include <algorithm>
#include <cstring>

std::vector<std::string> ScriptedDriver::CallNames() const {
    std::vector<std::string> names;
    for (const auto& call : Calls) names.push_back(call.Name);
    return names;
}

std::int32_t ScriptedDriver::TMExtendedStartSession(std::int16_t, std::int16_t, void*) {
    Calls.push_back({"TMExtendedStartSession", {}});
    if (SessionResult > 0) ++OpenSessions;
    return SessionResult;
}

std::int16_t ScriptedDriver::TMEndSession(std::int32_t) {
    Calls.push_back({"TMEndSession", {}});
    --OpenSessions;
    return 1;
}

std::int16_t ScriptedDriver::TMSetup(std::int32_t) {
    Calls.push_back({"TMSetup", {}});
    return SetupResult;
}

std::int16_t ScriptedDriver::TMReadDefaultPort(std::int16_t* portNumber, std::int16_t* portType) {
    Calls.push_back({"TMReadDefaultPort", {}});
    if (DefaultPortResult == 1) {
        *portNumber = DefaultPortNumber;
        *portType = DefaultPortType;
    }
    return DefaultPortResult;
}

std::int16_t ScriptedDriver::TMFamilySearchSetup(std::int32_t, void*, std::int16_t family) {
    Calls.push_back({"TMFamilySearchSetup", {static_cast<std::uint8_t>(family)}});
    return FamilySearchSetupResult;
}

std::int16_t ScriptedDriver::TMNext(std::int32_t, void*) {
    Calls.push_back({"TMNext", {}});
    return NextResult;
}

std::int16_t ScriptedDriver::TMRom(std::int32_t, void*, std::int16_t* rom) {
    Calls.push_back({"TMRom", {}});
    if (rom[0] == 0)
        for (int i = 0; i < 8; ++i) rom[i] = Rom[i];
    return RomResult;
}

std::int16_t ScriptedDriver::TMAccess(std::int32_t, void*) {
    Calls.push_back({"TMAccess", {}});
    return AccessResult;
}

std::int16_t ScriptedDriver::TMStrongAccess(std::int32_t, void*) {
    Calls.push_back({"TMStrongAccess", {}});
    return StrongAccessResult;
}

std::int16_t ScriptedDriver::TMExtendedReadPage(std::int32_t, void*, std::int16_t page, std::uint8_t* destination,
                                                std::int16_t) {
    Calls.push_back({"TMExtendedReadPage", {static_cast<std::uint8_t>(page)}});
    if (ReadPageResult > 0) std::copy(PageData.begin(), PageData.begin() + 32, destination);
    return ReadPageResult;
}

std::int16_t ScriptedDriver::TMBlockStream(std::int32_t, std::uint8_t* buffer, std::int16_t length) {
    Calls.push_back({"TMBlockStream", std::vector<std::uint8_t>(buffer, buffer + length)});
    if (BlockReplies.empty()) return length;
    const BlockReply reply = BlockReplies.front();
    BlockReplies.pop_front();
    std::copy_n(reply.Bytes.begin(), std::min<std::size_t>(reply.Bytes.size(), length), buffer);
    return static_cast<std::int16_t>(reply.Count < 0 ? length : reply.Count);
}

std::int16_t ScriptedDriver::TMTouchByte(std::int32_t, std::int16_t byte) {
    Calls.push_back({"TMTouchByte", {static_cast<std::uint8_t>(byte)}});
    if (TouchReplies.empty()) return byte;
    const std::int16_t reply = TouchReplies.front();
    TouchReplies.pop_front();
    return reply;
}

std::int16_t ScriptedDriver::TMTouchReset(std::int32_t) {
    Calls.push_back({"TMTouchReset", {}});
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
