#pragma once
// The 1-Wire link: the bottom of the stack. Backends (virtual bus, DS2480B
// serial, DS2490 USB) implement it; the driver builds every call on it.
#include <cstddef>
#include <cstdint>
#include <string>

enum class ResetResult { NoPresence, Presence, AlarmingPresence, Short, LinkError };

// A device answered the reset (an alarming one too).
inline bool DevicePresent(ResetResult result) {
    return result == ResetResult::Presence || result == ResetResult::AlarmingPresence;
}

class Link {
public:
    virtual ~Link() = default;

    // Opens and checks the adapter; false with a reason when it does not answer.
    virtual bool Open(std::string& error) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    virtual ResetResult Reset() = 0;
    // Each returns the value read back, or -1 when the link itself failed.
    virtual int TouchBit(int bit) = 0;
    virtual int TouchByte(std::uint8_t byte) = 0;
    // Exchanges the bytes in place (0xFF sent reads the device); false on a link failure.
    virtual bool Block(std::uint8_t* data, std::size_t length) = 0;
    // Touches `count` single bits in a row (one value 0/1 per element, read back in
    // place); false on a link failure. Adapters that can queue bit commands override
    // it to save a round trip per bit, which makes a search over a serial line fast.
    virtual bool TouchBits(std::uint8_t* bits, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            const int read = TouchBit(bits[i]);
            if (read < 0) return false;
            bits[i] = static_cast<std::uint8_t>(read);
        }
        return true;
    }

    virtual std::string Version() const = 0;
};
