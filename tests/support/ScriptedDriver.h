#pragma once
// A TmexApi for byte-level tests: every call is recorded, results are chosen
// per call, and block exchanges answer from a queue of replies.
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "device/tmex/TmexApi.h"

struct DriverCall {
    std::string Name;
    std::vector<std::uint8_t> Sent;  // bytes handed to TMBlockStream / TMTouchByte
};

class ScriptedDriver : public TmexApi {
public:
    // Results of the plain calls.
    std::int32_t SessionResult = 1;
    std::int16_t SetupResult = 1;
    std::int16_t DefaultPortResult = 1;
    std::int16_t DefaultPortNumber = 1, DefaultPortType = kPortTypeVirtual;
    std::int16_t FamilySearchSetupResult = 1;
    std::int16_t NextResult = 1;
    std::int16_t RomResult = 1;
    std::int16_t AccessResult = 1;
    std::int16_t StrongAccessResult = 1;
    std::int16_t ReadPageResult = 1;
    std::vector<std::uint8_t> Rom = {0x21, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0xA7};
    std::vector<std::uint8_t> PageData = std::vector<std::uint8_t>(32, 0);

    // Replies for TMBlockStream (whole buffers) and TMTouchByte, in order. With
    // none queued a block comes back as sent and a touched byte echoes.
    struct BlockReply {
        std::vector<std::uint8_t> Bytes;
        int Count = -1;  // -1: the length asked for
    };
    std::deque<BlockReply> BlockReplies;
    std::deque<std::int16_t> TouchReplies;

    // Results for TMAccess / TMStrongAccess in order; with none queued the fixed
    // results above answer.
    std::deque<std::int16_t> AccessReplies, StrongAccessReplies;

    // Fault injection: from the call with this index into Calls on, the device is
    // gone: selections and searches fail, page reads fail, blocks read back 0xFF
    // (the idle bus) and touched bytes echo. -1: the device stays.
    int PullAtCall = -1;
    bool DeviceGone() const { return PullAtCall >= 0 && static_cast<int>(Calls.size()) > PullAtCall; }

    std::vector<DriverCall> Calls;
    int OpenSessions = 0;
    int CallsOutsideSession = 0;  // bus calls made while no session was open
    // Runs after each call is recorded (e.g. to look at the form's light).
    std::function<void(const DriverCall&)> OnCall;
    std::vector<std::string> CallNames() const;

    std::int32_t TMExtendedStartSession(std::int16_t portNumber, std::int16_t portType,
                                        void* reserved) override;
    std::int16_t TMEndSession(std::int32_t session) override;
    std::int16_t TMSetup(std::int32_t session) override;
    std::int16_t TMReadDefaultPort(std::int16_t* portNumber, std::int16_t* portType) override;
    std::int16_t TMFamilySearchSetup(std::int32_t session, void* state, std::int16_t family) override;
    std::int16_t TMNext(std::int32_t session, void* state) override;
    std::int16_t TMRom(std::int32_t session, void* state, std::int16_t* rom) override;
    std::int16_t TMAccess(std::int32_t session, void* state) override;
    std::int16_t TMStrongAccess(std::int32_t session, void* state) override;
    std::int16_t TMExtendedReadPage(std::int32_t session, void* state, std::int16_t page,
                                    std::uint8_t* destination, std::int16_t overdrive) override;
    std::int16_t TMBlockStream(std::int32_t session, std::uint8_t* buffer, std::int16_t length) override;
    std::int16_t TMTouchByte(std::int32_t session, std::int16_t byte) override;
    std::int16_t TMTouchReset(std::int32_t session) override;
    std::int16_t Get_Version(char* buffer) override;
    std::int16_t TMGetTypeVersion(std::int16_t portType, char* buffer) override;

private:
    void Record(std::string name, std::vector<std::uint8_t> sent, bool needsSession);
};
