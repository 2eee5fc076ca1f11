#pragma once
// Passes every driver call to another driver, so a test double overrides only
// the calls it watches or spoils.
#include "device/tmex/TmexApi.h"

class ForwardingDriver : public TmexApi {
public:
    explicit ForwardingDriver(TmexApi& inner) : inner(inner) {}

    std::int32_t TMExtendedStartSession(std::int16_t n, std::int16_t t, void* r) override {
        return inner.TMExtendedStartSession(n, t, r);
    }
    std::int16_t TMEndSession(std::int32_t s) override { return inner.TMEndSession(s); }
    std::int16_t TMSetup(std::int32_t s) override { return inner.TMSetup(s); }
    std::int16_t TMReadDefaultPort(std::int16_t* n, std::int16_t* t) override {
        return inner.TMReadDefaultPort(n, t);
    }
    std::int16_t TMFamilySearchSetup(std::int32_t s, void* st, std::int16_t f) override {
        return inner.TMFamilySearchSetup(s, st, f);
    }
    std::int16_t TMNext(std::int32_t s, void* st) override { return inner.TMNext(s, st); }
    std::int16_t TMRom(std::int32_t s, void* st, std::int16_t* rom) override {
        return inner.TMRom(s, st, rom);
    }
    std::int16_t TMAccess(std::int32_t s, void* st) override { return inner.TMAccess(s, st); }
    std::int16_t TMStrongAccess(std::int32_t s, void* st) override { return inner.TMStrongAccess(s, st); }
    std::int16_t TMExtendedReadPage(std::int32_t s, void* st, std::int16_t p, std::uint8_t* d,
                                    std::int16_t o) override {
        return inner.TMExtendedReadPage(s, st, p, d, o);
    }
    std::int16_t TMBlockStream(std::int32_t s, std::uint8_t* b, std::int16_t n) override {
        return inner.TMBlockStream(s, b, n);
    }
    std::int16_t TMTouchByte(std::int32_t s, std::int16_t b) override { return inner.TMTouchByte(s, b); }
    std::int16_t TMTouchReset(std::int32_t s) override { return inner.TMTouchReset(s); }
    std::int16_t Get_Version(char* b) override { return inner.Get_Version(b); }
    std::int16_t TMGetTypeVersion(std::int16_t t, char* b) override { return inner.TMGetTypeVersion(t, b); }

private:
    TmexApi& inner;
};
