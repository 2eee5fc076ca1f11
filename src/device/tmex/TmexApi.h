#pragma once
// The 15 calls of the TMEX-style driver API the program relies on. Tests
// script return codes through this interface; TmexDriver implements it.
#include <cstdint>

// Port types the driver knows.
constexpr std::int16_t kPortTypeSerialDs2480 = 5;  // DS9097U serial adapter
constexpr std::int16_t kPortTypeUsbDs2490 = 6;     // USB adapter
constexpr std::int16_t kPortTypeVirtual = 15;      // in-process virtual adapter
constexpr int kDriverStateSize = 5120;

class TmexApi {
public:
    virtual ~TmexApi() = default;

    // > 0: session handle; <= 0: no session.
    virtual std::int32_t TMExtendedStartSession(std::int16_t portNumber, std::int16_t portType,
                                                void* reserved) = 0;
    virtual std::int16_t TMEndSession(std::int32_t session) = 0;
    // 1: adapter ready.
    virtual std::int16_t TMSetup(std::int32_t session) = 0;
    // 1: both filled with the saved default port.
    virtual std::int16_t TMReadDefaultPort(std::int16_t* portNumber, std::int16_t* portType) = 0;
    virtual std::int16_t TMFamilySearchSetup(std::int32_t session, void* state, std::int16_t family) = 0;
    // 1: a device was found and is current.
    virtual std::int16_t TMNext(std::int32_t session, void* state) = 0;
    // rom[0] == 0 on entry: fill rom (8 elements, 0 = family, 7 = CRC) with the current
    // device's ROM; otherwise make the ROM in rom the current device.
    virtual std::int16_t TMRom(std::int32_t session, void* state, std::int16_t* rom) = 0;
    // Reset + Match ROM of the current device. 1: selected.
    virtual std::int16_t TMAccess(std::int32_t session, void* state) = 0;
    // As TMAccess, but 1 only when the current device answered a search for its ROM.
    virtual std::int16_t TMStrongAccess(std::int32_t session, void* state) = 0;
    // Read Memory with CRC of one 32-byte page. > 0: copied; <= 0 failed (also on a bad CRC).
    virtual std::int16_t TMExtendedReadPage(std::int32_t session, void* state, std::int16_t page,
                                            std::uint8_t* destination, std::int16_t overdrive) = 0;
    // Count of bytes exchanged in place.
    virtual std::int16_t TMBlockStream(std::int32_t session, std::uint8_t* buffer, std::int16_t length) = 0;
    virtual std::int16_t TMTouchByte(std::int32_t session, std::int16_t byte) = 0;
    virtual std::int16_t TMTouchReset(std::int32_t session) = 0;
    // Zero-terminated version text; buffer holds at least 256 characters.
    virtual std::int16_t Get_Version(char* buffer) = 0;
    // > 0: the port type exists and buffer (256 characters) holds its version text.
    virtual std::int16_t TMGetTypeVersion(std::int16_t portType, char* buffer) = 0;
};
