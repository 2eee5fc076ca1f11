#pragma once
// A driver with no adapter behind it, for commands that only read data files:
// every call fails, so nothing can reach a device by accident.
#include "device/tmex/TmexApi.h"

class OfflineDriver : public TmexApi {
public:
    std::int32_t TMExtendedStartSession(std::int16_t, std::int16_t, void*) override { return 0; }
    std::int16_t TMEndSession(std::int32_t) override { return 0; }
    std::int16_t TMSetup(std::int32_t) override { return 0; }
    // A default port that leads nowhere: a file that fails to load asks no adapter question.
    std::int16_t TMReadDefaultPort(std::int16_t* number, std::int16_t* type) override {
        *number = 0;
        *type = 0;
        return 1;
    }
    std::int16_t TMFamilySearchSetup(std::int32_t, void*, std::int16_t) override { return 0; }
    std::int16_t TMNext(std::int32_t, void*) override { return 0; }
    std::int16_t TMRom(std::int32_t, void*, std::int16_t*) override { return 0; }
    std::int16_t TMAccess(std::int32_t, void*) override { return 0; }
    std::int16_t TMStrongAccess(std::int32_t, void*) override { return 0; }
    std::int16_t TMExtendedReadPage(std::int32_t, void*, std::int16_t, std::uint8_t*, std::int16_t) override {
        return 0;
    }
    std::int16_t TMBlockStream(std::int32_t, std::uint8_t*, std::int16_t) override { return 0; }
    std::int16_t TMTouchByte(std::int32_t, std::int16_t) override { return 0; }
    std::int16_t TMTouchReset(std::int32_t) override { return 0; }
    std::int16_t Get_Version(char* buffer) override {
        buffer[0] = '\0';
        return 0;
    }
    std::int16_t TMGetTypeVersion(std::int16_t, char* buffer) override {
        buffer[0] = '\0';
        return 0;
    }
};
