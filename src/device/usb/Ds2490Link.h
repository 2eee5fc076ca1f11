#pragma once
// The DS9490 USB adapter: a DS2490 bridge behind a USB transport. Every
// 1-Wire operation is one communication command on endpoint 0, with its data
// through the 128-byte FIFOs, and the end is awaited on the status endpoint.
// A stalled pipe or a stuck chip is reset and the operation tried once more
// where that cannot repeat anything on the bus; an unplugged adapter closes
// the link, and the next Open finds it again once it is back.
#include <memory>
#include <vector>

#include "device/onewire/Link.h"
#include "device/usb/UsbTransport.h"

class Ds2490Link : public Link {
public:
    // Port `number` (from 1) is the Nth adapter in the host's order.
    Ds2490Link(UsbHost& host, int number);
    ~Ds2490Link() override;

    bool Open(std::string& error) override;
    void Close() override;
    bool IsOpen() const override { return transport != nullptr; }
    ResetResult Reset() override;
    int TouchBit(int bit) override;
    int TouchByte(std::uint8_t byte) override;
    bool Block(std::uint8_t* data, std::size_t length) override;
    bool TouchBits(std::uint8_t* bits, std::size_t count) override;
    SearchPassResult SearchPass(const std::array<std::uint8_t, 8>& directions, bool conditional,
                                std::array<std::uint8_t, 8>& rom,
                                std::array<std::uint8_t, 8>& discrepancies) override;
    std::string Version() const override;

    // Off: the ROM search runs bit by bit instead of through the chip's search command.
    void UseSearchAccess(bool on) { searchAccess = on; }
    // What went wrong last (empty until something did).
    const std::string& LastProblem() const { return lastProblem; }

private:
    // One communication command: data out, the command, the wait, data in.
    struct Command {
        std::uint16_t value = 0;
        std::uint16_t index = 0;
        const std::uint8_t* out = nullptr;
        int outLength = 0;
        std::uint8_t* in = nullptr;
        int inLength = 0;              // exactly this many bytes come back, or
        bool inVaries = false;         // as many as the status says (up to inLength)
        int resultsWanted = 0;         // result bytes that must arrive (NTF commands)
        bool startsWithReset = false;  // safe to repeat even after it reached the bus
    };
    struct Outcome {
        bool ok = false;
        std::vector<std::uint8_t> results;  // result bytes, device-arrival marks left out
        int dataIn = 0;
        // The error bits of all the result bytes together.
        std::uint8_t ResultBits() const {
            std::uint8_t bits = 0;
            for (std::uint8_t result : results) bits |= result;
            return bits;
        }
    };

    // Runs the command; on a failure recovers the chip and repeats once when that is safe.
    Outcome Run(const Command& command);
    // failedEarly: the chip never took the command, so nothing reached the bus.
    Outcome RunOnce(const Command& command, bool& failedEarly);
    // Polls the status endpoint until the chip is idle with what the command owes.
    bool WaitIdle(const Command& command, Outcome& outcome);
    bool ControlCommand(std::uint16_t value);
    bool Recover();
    void Fail(UsbError error, const std::string& what);
    void Lost(const std::string& why);

    UsbHost& host;
    int number;
    std::unique_ptr<UsbTransport> transport;
    std::string place;
    std::string lastProblem;
    bool searchAccess = true;
};
