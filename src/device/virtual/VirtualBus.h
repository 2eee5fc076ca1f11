#pragma once
// An in-process 1-Wire bus. It answers reset/presence and the ROM commands
// itself, bit by bit with wired-AND among the devices, and hands every
// function-phase byte to the selected devices. It keeps each device's speed:
// Overdrive Skip or Match ROM switches the devices that take part to overdrive,
// a standard-speed reset brings every device back, and a device only takes
// part in slots of its own speed. Faults can be injected so tests can pull a
// device at any step, corrupt a read bit or break the link.
// Single-threaded like the rest of the program.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "device/onewire/Link.h"
#include "device/virtual/VirtualSlave.h"

class VirtualBus : public Link {
public:
    using Slave = std::shared_ptr<VirtualSlave>;

    void Insert(Slave slave);
    // False when the device was not on the bus.
    bool Remove(const Slave& slave);
    void RemoveAll();
    const std::vector<Slave>& Devices() const { return devices; }

    // Fault injection. Counts are of further bus operations (reset, bit, byte;
    // each byte of a block counts once), 0 meaning before the next one.
    void VanishAfter(const Slave& slave, std::uint64_t operations);
    // Flips `bit` (0-7) of what the byte exchange number `byteIndex` (0 = the
    // next byte, counted over function- and ROM-phase bytes alike) reads back.
    void FlipReadBit(std::uint64_t byteIndex, int bit);
    // The adapter itself stops answering (Open fails, every call reports a link error).
    void FailLink(bool failed) { linkFailed = failed; }
    void FailLinkAfter(std::uint64_t operations);
    void ClearFaults();
    // Every reset answers this (a short, an alarming presence) instead of the devices' answer.
    void ForceResetResult(std::optional<ResetResult> result) { forcedReset = result; }

    // The speed of the following resets and slots, as the adapter drives them (the
    // virtual adapter's own link stays at standard speed; the emulated DS2480B sets it).
    void SetSpeed(BusSpeed newSpeed) { speed = newSpeed; }
    BusSpeed Speed() const { return speed; }
    bool InOverdrive(const Slave& slave) const { return overdrive.contains(slave.get()); }

    std::uint64_t OperationCount() const { return operations; }
    std::uint64_t ResetCount() const { return resets; }
    std::uint64_t ByteCount() const { return bytes; }

    bool Open(std::string& error) override;
    void Close() override { open = false; }
    bool IsOpen() const override { return open; }
    ResetResult Reset() override;
    int TouchBit(int bit) override;
    int TouchByte(std::uint8_t byte) override;
    bool Block(std::uint8_t* data, std::size_t length) override;
    std::string Version() const override;

private:
    enum class Phase { Idle, RomCommand, ReadRom, MatchRom, Search, Function };

    bool BeginOperation();  // applies pending faults; false when the link has failed
    int RomPhaseBit(int written);
    void FinishRomCommand(std::uint8_t command);
    std::uint8_t FunctionByte(std::uint8_t written);
    int FunctionBit(int written);
    static int RomBit(const Slave& slave, int index);
    void Forget(const Slave& slave);
    bool AtBusSpeed(const Slave& slave) const;
    void DropDevicesAtOtherSpeed();

    std::vector<Slave> devices;
    std::vector<Slave> participants;  // still taking part in the ROM phase, then selected
    Phase phase = Phase::Idle;
    int bitIndex = 0;    // ROM bit (or command bit) being exchanged
    int searchStep = 0;  // 0 bit, 1 complement, 2 direction
    std::uint8_t commandBits = 0;
    // A function-phase byte exchanged as single bits.
    int partialBits = 0;
    std::uint8_t partialWritten = 0;
    std::uint8_t partialAnswer = 0xFF;
    bool partialIsRead = false;

    BusSpeed speed = BusSpeed::Standard;
    std::set<const VirtualSlave*> overdrive;  // devices switched to overdrive
    std::optional<ResetResult> forcedReset;

    bool open = false;
    bool linkFailed = false;
    std::uint64_t operations = 0, resets = 0, bytes = 0;
    static constexpr std::uint64_t kNever = ~std::uint64_t{0};
    std::uint64_t failAt = kNever;
    struct PendingVanish {
        Slave slave;
        std::uint64_t at;
    };
    std::vector<PendingVanish> vanishing;
    struct PendingFlip {
        std::uint64_t byteNumber;
        std::uint8_t mask;
    };
    std::vector<PendingFlip> flips;
};
