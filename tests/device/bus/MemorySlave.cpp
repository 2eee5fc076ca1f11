#include "device/bus/MemorySlave.h"

#include "device/onewire/Crc.h"

MemorySlave::MemorySlave(onewire::Rom deviceRom) : rom(deviceRom) {
    for (std::size_t i = 0; i < memory.size(); ++i) memory[i] = static_cast<std::uint8_t>(i * 7 + 3);
}

onewire::Rom MemorySlave::MakeRom(std::uint8_t family, std::uint64_t serial) {
    onewire::Rom made{family};
    for (int i = 1; i <= 6; ++i) made[i] = static_cast<std::uint8_t>(serial >> (8 * (i - 1)));
    made[7] = onewire::Crc8(std::span<const std::uint8_t>(made.data(), 7));
    return made;
}

void MemorySlave::OnReset() {
    ++resets;
    state = State::Command;
}

std::uint8_t MemorySlave::OnFunctionByte(std::uint8_t written) {
    received.push_back(written);
    auto feed = [this](std::uint8_t byte) { crc = onewire::Crc16(std::span<const std::uint8_t>(&byte, 1), crc); };
    switch (state) {
        case State::Command:
            command = written;
            crc = 0;
            feed(written);
            state = (command == 0xA5 || command == 0xF0) ? State::AddressLow : State::Ignoring;
            return 0xFF;
        case State::AddressLow:
            address = written;
            feed(written);
            state = State::AddressHigh;
            return 0xFF;
        case State::AddressHigh:
            address |= written << 8;
            feed(written);
            state = State::Streaming;
            crcBytesDue = 0;
            return 0xFF;
        case State::Streaming: {
            if (crcBytesDue > 0) {
                std::uint8_t bytes[2];
                onewire::StoreInvertedCrc16(crc, bytes);
                const std::uint8_t out = bytes[2 - crcBytesDue];
                if (--crcBytesDue == 0) crc = 0;
                return out;
            }
            const std::uint8_t out = address < static_cast<int>(memory.size()) ? memory[address] : 0x00;
            ++address;
            if (command == 0xA5) {
                feed(out);
                if (address % 32 == 0) crcBytesDue = 2;
            }
            return out;
        }
        case State::Ignoring:
            return 0xFF;
    }
    return 0xFF;
}
