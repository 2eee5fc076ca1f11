#include "device/virtual/VirtualBus.h"

#include <algorithm>

namespace {
constexpr std::uint8_t kReadRom = 0x33, kMatchRom = 0x55, kSkipRom = 0xCC, kSearchRom = 0xF0,
                       kConditionalSearch = 0xEC, kOverdriveSkip = 0x3C, kOverdriveMatch = 0x69;
}  // namespace

void VirtualBus::Insert(Slave slave) {
    if (!slave || std::find(devices.begin(), devices.end(), slave) != devices.end()) return;
    devices.push_back(std::move(slave));
}

bool VirtualBus::Remove(const Slave& slave) {
    const bool present = std::find(devices.begin(), devices.end(), slave) != devices.end();
    Forget(slave);
    return present;
}

void VirtualBus::RemoveAll() {
    while (!devices.empty()) Forget(devices.front());
}

void VirtualBus::Forget(const Slave& slave) {
    overdrive.erase(slave.get());
    std::erase(devices, slave);
    std::erase(participants, slave);
    std::erase_if(vanishing, [&](const PendingVanish& pending) { return pending.slave == slave; });
}

void VirtualBus::VanishAfter(const Slave& slave, std::uint64_t count) {
    vanishing.push_back({slave, operations + count});
}

void VirtualBus::FlipReadBit(std::uint64_t byteIndex, int bit) {
    flips.push_back({bytes + byteIndex, static_cast<std::uint8_t>(1u << (bit & 7))});
}

void VirtualBus::FailLinkAfter(std::uint64_t count) { failAt = operations + count; }

void VirtualBus::ClearFaults() {
    linkFailed = false;
    failAt = kNever;
    vanishing.clear();
    flips.clear();
    forcedReset.reset();
}

bool VirtualBus::Open(std::string& error) {
    if (linkFailed) {
        error = "The virtual adapter does not answer.";
        return false;
    }
    open = true;
    return true;
}

std::string VirtualBus::Version() const { return "Kelvara virtual 1-Wire bus 1.0"; }

bool VirtualBus::BeginOperation() {
    if (linkFailed) return false;
    if (operations >= failAt) {
        linkFailed = true;
        return false;
    }
    std::vector<Slave> gone;
    for (const PendingVanish& pending : vanishing)
        if (pending.at <= operations) gone.push_back(pending.slave);
    for (const Slave& slave : gone) Forget(slave);
    ++operations;
    return true;
}

ResetResult VirtualBus::Reset() {
    if (!BeginOperation()) return ResetResult::LinkError;
    ++resets;
    partialBits = 0;
    bitIndex = 0;
    commandBits = 0;
    // A standard reset pulse is long enough to bring every device back to standard speed;
    // an overdrive pulse is too short for a standard device to notice.
    if (speed == BusSpeed::Standard) overdrive.clear();
    participants.clear();
    for (const Slave& slave : devices)
        if (AtBusSpeed(slave)) participants.push_back(slave);
    for (const Slave& slave : participants) slave->OnReset();
    phase = participants.empty() ? Phase::Idle : Phase::RomCommand;
    if (forcedReset) return *forcedReset;
    return participants.empty() ? ResetResult::NoPresence : ResetResult::Presence;
}

bool VirtualBus::AtBusSpeed(const Slave& slave) const {
    return overdrive.contains(slave.get()) == (speed == BusSpeed::Overdrive);
}

void VirtualBus::DropDevicesAtOtherSpeed() {
    // A device cannot follow slots of the other speed: it is out until the next reset.
    std::erase_if(participants, [this](const Slave& slave) { return !AtBusSpeed(slave); });
}

int VirtualBus::TouchBit(int bit) {
    if (!BeginOperation()) return -1;
    DropDevicesAtOtherSpeed();
    const int written = bit ? 1 : 0;
    return phase == Phase::Function ? FunctionBit(written) : RomPhaseBit(written);
}

int VirtualBus::TouchByte(std::uint8_t byte) {
    if (!BeginOperation()) return -1;
    DropDevicesAtOtherSpeed();
    const std::uint64_t number = bytes++;
    std::uint8_t result = 0;
    if (phase == Phase::Function && partialBits == 0) {
        result = FunctionByte(byte);
    } else {
        // ROM-phase bytes run through the same bit machinery as single bits.
        for (int i = 0; i < 8; ++i) {
            const int written = (byte >> i) & 1;
            const int read = phase == Phase::Function ? FunctionBit(written) : RomPhaseBit(written);
            result |= static_cast<std::uint8_t>(read << i);
        }
    }
    for (auto it = flips.begin(); it != flips.end();) {
        if (it->byteNumber == number) {
            result ^= it->mask;
            it = flips.erase(it);
        } else {
            ++it;
        }
    }
    return result;
}

bool VirtualBus::Block(std::uint8_t* data, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        const int read = TouchByte(data[i]);
        if (read < 0) return false;
        data[i] = static_cast<std::uint8_t>(read);
    }
    return true;
}

int VirtualBus::RomBit(const Slave& slave, int index) { return (slave->Rom()[index / 8] >> (index % 8)) & 1; }

int VirtualBus::RomPhaseBit(int written) {
    switch (phase) {
        case Phase::Idle:
        case Phase::Function:
            return written;
        case Phase::RomCommand:
            commandBits |= static_cast<std::uint8_t>(written << bitIndex);
            if (++bitIndex == 8) FinishRomCommand(commandBits);
            return written;
        case Phase::ReadRom: {
            int result = written;
            for (const Slave& slave : participants) result &= RomBit(slave, bitIndex);
            if (++bitIndex == 64) phase = Phase::Function;
            return result;
        }
        case Phase::MatchRom:
            std::erase_if(participants,
                          [&](const Slave& slave) { return RomBit(slave, bitIndex) != written; });
            if (++bitIndex == 64) phase = Phase::Function;
            return written;
        case Phase::Search: {
            if (searchStep < 2) {
                // Each remaining device drives its bit, then the complement; the bus wired-ANDs them.
                int value = 1;
                for (const Slave& slave : participants)
                    value &= searchStep == 0 ? RomBit(slave, bitIndex) : 1 - RomBit(slave, bitIndex);
                ++searchStep;
                return value & written;
            }
            std::erase_if(participants,
                          [&](const Slave& slave) { return RomBit(slave, bitIndex) != written; });
            searchStep = 0;
            if (++bitIndex == 64) phase = Phase::Function;
            return written;
        }
    }
    return written;
}

void VirtualBus::FinishRomCommand(std::uint8_t command) {
    bitIndex = 0;
    searchStep = 0;
    switch (command) {
        case kReadRom:
            phase = Phase::ReadRom;
            break;
        case kMatchRom:
            phase = Phase::MatchRom;
            break;
        case kSkipRom:
            phase = Phase::Function;
            break;
        case kOverdriveMatch:
        case kOverdriveSkip:
            // Every device that takes part switches after the command byte; the ROM (for
            // Match) and everything up to the next standard reset then go at overdrive.
            // Devices without overdrive take it for an unknown command.
            std::erase_if(participants, [](const Slave& slave) { return !slave->SupportsOverdrive(); });
            for (const Slave& slave : participants) overdrive.insert(slave.get());
            phase = command == kOverdriveMatch ? Phase::MatchRom : Phase::Function;
            break;
        case kConditionalSearch:
            std::erase_if(participants, [](const Slave& slave) { return !slave->ConditionalSearchFlag(); });
            phase = Phase::Search;
            break;
        case kSearchRom:
            phase = Phase::Search;
            break;
        default:
            // An unknown ROM command leaves every device waiting for the next reset.
            participants.clear();
            phase = Phase::Function;
            break;
    }
}

std::uint8_t VirtualBus::FunctionByte(std::uint8_t written) {
    std::uint8_t answer = 0xFF;
    const std::vector<Slave> selected = participants;
    for (const Slave& slave : selected) answer &= slave->OnFunctionByte(written);
    return answer & written;
}

int VirtualBus::FunctionBit(int written) {
    // Devices work in bytes. A byte begun with a 1 is taken as a read and fetched
    // at once; a byte begun with a 0 is a write delivered when complete.
    if (partialBits == 0) {
        partialIsRead = written == 1;
        partialWritten = 0;
        partialAnswer = partialIsRead ? FunctionByte(0xFF) : 0xFF;
    }
    partialWritten |= static_cast<std::uint8_t>(written << partialBits);
    const int result = written & ((partialAnswer >> partialBits) & 1);
    if (++partialBits == 8) {
        if (!partialIsRead) FunctionByte(partialWritten);
        partialBits = 0;
    }
    return result;
}
