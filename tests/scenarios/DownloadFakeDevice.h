#pragma once
// A driver double that answers like one DS1921 at the level of the driver
// calls: pages to read, presence, the scratchpad and the convert command.
// Failures are chosen per page; every page read is recorded.
#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <vector>

#include "device/tmex/TmexApi.h"

class DownloadFakeDevice : public TmexApi {
public:
    std::array<std::uint8_t, 256 * 32> Memory{};
    std::array<std::int16_t, 8> Rom{0x21, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0xA7};
    bool Present = true;
    std::int32_t SessionResult = 1;
    std::map<int, std::int16_t> ReadFailures;  // page -> driver read result (<= 0)
    std::vector<int> PagesRead;
    std::function<void(int page)> AfterRead;  // runs after each good page read
    int Conversions = 0;
    int OpenSessions = 0;

    std::uint8_t* Page(int page) { return Memory.data() + page * 32; }
    std::uint8_t& Register(int offset) { return Memory[0x200 + offset]; }
    void SetMissionSamples(std::int32_t samples) {
        Register(0x1A) = samples & 0xFF;
        Register(0x1B) = samples >> 8 & 0xFF;
        Register(0x1C) = samples >> 16 & 0xFF;
    }
    int ReadsOfPage(int page) const {
        int n = 0;
        for (int p : PagesRead) n += p == page;
        return n;
    }

    std::int32_t TMExtendedStartSession(std::int16_t, std::int16_t, void*) override {
        if (SessionResult > 0) ++OpenSessions;
        return SessionResult;
    }
    std::int16_t TMEndSession(std::int32_t) override {
        --OpenSessions;
        return 1;
    }
    std::int16_t TMSetup(std::int32_t) override { return 1; }
    std::int16_t TMReadDefaultPort(std::int16_t* number, std::int16_t* type) override {
        *number = 1;
        *type = kPortTypeVirtual;
        return 1;
    }
    std::int16_t TMFamilySearchSetup(std::int32_t, void*, std::int16_t) override { return 1; }
    std::int16_t TMNext(std::int32_t, void*) override { return Present ? 1 : 0; }
    std::int16_t TMRom(std::int32_t, void*, std::int16_t* rom) override {
        if (rom[0] == 0) std::memcpy(rom, Rom.data(), sizeof(std::int16_t) * 8);
        return 1;
    }
    std::int16_t TMAccess(std::int32_t, void*) override { return Present ? 1 : 0; }
    std::int16_t TMStrongAccess(std::int32_t, void*) override { return Present ? 1 : 0; }
    std::int16_t TMExtendedReadPage(std::int32_t, void*, std::int16_t page, std::uint8_t* destination,
                                    std::int16_t) override {
        if (!Present) return -1;
        PagesRead.push_back(page);
        if (auto failure = ReadFailures.find(page); failure != ReadFailures.end()) return failure->second;
        std::memcpy(destination, Page(page), 32);
        if (AfterRead) AfterRead(page);
        return 32;
    }
    std::int16_t TMBlockStream(std::int32_t, std::uint8_t* buffer, std::int16_t length) override {
        if (!Present) return 0;
        if (buffer[0] == 0x0F && length >= 4) {  // write scratchpad
            scratchAddress_ = buffer[1] | buffer[2] << 8;
            scratch_.assign(buffer + 3, buffer + length);
        } else if (buffer[0] == 0xAA && length >= 4) {  // read scratchpad
            buffer[1] = scratchAddress_ & 0xFF;
            buffer[2] = scratchAddress_ >> 8;
            buffer[3] = (scratchAddress_ + scratch_.size() - 1) & 0x1F;
            for (std::size_t i = 0; i < scratch_.size() && 4 + i < static_cast<std::size_t>(length); ++i)
                buffer[4 + i] = scratch_[i];
        } else if (buffer[0] == 0x55) {  // copy scratchpad
            for (std::size_t i = 0; i < scratch_.size(); ++i) Memory[(scratchAddress_ + i) % Memory.size()] = scratch_[i];
            buffer[length - 1] = 0xAA;
        }
        return length;
    }
    std::int16_t TMTouchByte(std::int32_t, std::int16_t byte) override {
        if (!Present) return 0xFF;
        if (byte == 0x44) ++Conversions;
        return byte;
    }
    std::int16_t TMTouchReset(std::int32_t) override { return Present ? 1 : 0; }
    std::int16_t Get_Version(char* buffer) override {
        buffer[0] = 0;
        return 1;
    }
    std::int16_t TMGetTypeVersion(std::int16_t, char* buffer) override {
        buffer[0] = 0;
        return 1;
    }

private:
    int scratchAddress_ = 0;
    std::vector<std::uint8_t> scratch_;
};
