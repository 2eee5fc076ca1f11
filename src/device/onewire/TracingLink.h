#pragma once
// A Link decorator that hex-dumps every exchange, so that a user's run with
// KELVARA_TRACE=1 on real hardware shows exactly what crossed the bus.
#include <ostream>

#include "device/onewire/Link.h"

class TracingLink : public Link {
public:
    TracingLink(Link& inner, std::ostream& out, std::string name);

    // True when the environment asks for tracing (KELVARA_TRACE=1).
    static bool Requested();

    bool Open(std::string& error) override;
    void Close() override;
    bool IsOpen() const override { return inner.IsOpen(); }
    ResetResult Reset() override;
    int TouchBit(int bit) override;
    int TouchByte(std::uint8_t byte) override;
    bool Block(std::uint8_t* data, std::size_t length) override;
    bool TouchBits(std::uint8_t* bits, std::size_t count) override;
    SearchPassResult SearchPass(const std::array<std::uint8_t, 8>& directions, bool conditional,
                                std::array<std::uint8_t, 8>& rom,
                                std::array<std::uint8_t, 8>& discrepancies) override;
    ResetResult SelectBlock(const std::uint8_t rom[8], bool overdrive, std::uint8_t* data,
                            std::size_t length) override;
    bool SupportsOverdrive() const override { return inner.SupportsOverdrive(); }
    void Note(const std::string& text) override;
    std::string Version() const override { return inner.Version(); }

private:
    Link& inner;
    std::ostream& out;
    std::string name;
};

// "55 0A FF" style text of a byte run.
std::string HexBytes(const std::uint8_t* data, std::size_t length);
