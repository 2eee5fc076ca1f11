#pragma once
// The 1-Wire link: the bottom of the stack. Backends (virtual bus, DS2480B
// serial, DS2490 USB) implement it; the driver builds every call on it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

enum class ResetResult { NoPresence, Presence, AlarmingPresence, Short, LinkError };

// What an adapter's own search command did in one pass (Link::SearchPass).
enum class SearchPassResult { Unsupported, Found, NoDevice, LinkError };

// Overdrive: about eight times the standard bit rate, for devices that were switched to it.
enum class BusSpeed { Standard, Overdrive };

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

    // One Search ROM pass run by the adapter in a single command (the DS2480B's search
    // accelerator: one stream of bytes): reset, the ROM
    // command (F0h, or ECh when conditional) and the 64 bit triplets, taking the bit
    // of `directions` wherever the devices disagree. On Found, `rom` is the ROM
    // followed and bit n of `discrepancies` (LSB of byte 0 first) is set where the
    // devices disagreed at ROM bit n. Adapters without such a command keep this
    // default and the search runs bit by bit.
    virtual SearchPassResult SearchPass(const std::array<std::uint8_t, 8>& /*directions*/,
                                        bool /*conditional*/, std::array<std::uint8_t, 8>& /*rom*/,
                                        std::array<std::uint8_t, 8>& /*discrepancies*/) {
        return SearchPassResult::Unsupported;
    }

    // A reset, Match ROM of `rom` (Overdrive Match ROM when `overdrive` and the adapter can
    // drive overdrive: the bytes after it then go at overdrive speed), then `data` exchanged in
    // place. Returns the reset's result; `data` holds what the bus read only after a presence.
    // Adapters that queue commands do it in one exchange. The next Reset is at standard speed,
    // which takes every device back out of overdrive.
    virtual ResetResult SelectBlock(const std::uint8_t rom[8], bool overdrive, std::uint8_t* data,
                                    std::size_t length);

    // Whether SelectBlock can switch a device to overdrive.
    virtual bool SupportsOverdrive() const { return false; }

    // A remark for the trace (a retry, a fallback); only a tracing link shows it.
    virtual void Note(const std::string& /*text*/) {}

    virtual std::string Version() const = 0;
};
