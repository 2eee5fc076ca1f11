#include "device/virtual/Ds1921Device.h"

#include <algorithm>
#include <cstdio>

#include "device/onewire/Crc.h"

namespace {
constexpr std::uint8_t kWriteScratchpad = 0x0F;
constexpr std::uint8_t kReadScratchpad = 0xAA;
constexpr std::uint8_t kCopyScratchpad = 0x55;
constexpr std::uint8_t kReadMemory = 0xF0;
constexpr std::uint8_t kReadMemoryCrc = 0xA5;
constexpr std::uint8_t kClearMemory = 0x3C;
constexpr std::uint8_t kConvertTemperature = 0x44;

std::uint16_t Crc16(std::uint16_t crc, std::uint8_t byte) { return onewire::Crc16({&byte, 1}, crc); }
}  // namespace

Ds1921Device::Ds1921Device(const Rom8& rom, SimClock& clock,
                           std::shared_ptr<const TemperatureProfile> profile, Ds1921Options options)
    : rom(rom), variant(VariantOfRom(rom)), clock(clock), profile(std::move(profile)), options(options) {
    // A device out of the drawer: clock running for a long while, set to local time.
    oscillatorSinceMs = SimNow() - 86400000;
    SetClock(clock.LocalNow());
}

Ds1921Device::Rom8 Ds1921Device::MakeRom(Ds1921Variant variant, std::uint64_t serialSeed) {
    Rom8 rom{};
    rom[0] = 0x21;
    std::uint64_t serial = Mix64(serialSeed);
    for (int i = 1; i <= 6; ++i, serial >>= 8)
        rom[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(serial);
    switch (variant) {
        case Ds1921Variant::HumanBody:
            rom[6] = 0x4F;
            rom[5] = static_cast<std::uint8_t>(0x20 | (rom[5] & 0x0F));
            break;
        case Ds1921Variant::LowTemp:
            rom[6] = 0x3B;
            rom[5] = static_cast<std::uint8_t>(0x20 | (rom[5] & 0x0F));
            break;
        case Ds1921Variant::Standard:
            // Serial numbers are issued counting up, so a real standard part has 000 where
            // the H and Z parts carry their 4F2 and 3B2.
            rom[6] = 0x00;
            rom[5] = static_cast<std::uint8_t>(rom[5] & 0x0F);
            break;
    }
    rom[7] = onewire::Crc8({rom.data(), 7});
    return rom;
}

Ds1921Variant Ds1921Device::VariantOfRom(const Rom8& rom) {
    if ((rom[5] >> 4) != 2) return Ds1921Variant::Standard;
    if (rom[6] == 0x4F) return Ds1921Variant::HumanBody;
    if (rom[6] == 0x3B) return Ds1921Variant::LowTemp;
    return Ds1921Variant::Standard;
}

std::string Ds1921Device::RomText(const Rom8& rom) {
    std::string text;
    char digits[3];
    for (int i = 7; i >= 0; --i) {
        std::snprintf(digits, sizeof digits, "%.2X", rom[static_cast<std::size_t>(i)]);
        text += digits;
    }
    return text;
}

const char* Ds1921Device::VariantName(Ds1921Variant variant) {
    switch (variant) {
        case Ds1921Variant::HumanBody:
            return "Human Body DS1921H";
        case Ds1921Variant::LowTemp:
            return "Low Temp DS1921Z";
        case Ds1921Variant::Standard:
            break;
    }
    return "Standard DS1921L";
}

std::shared_ptr<TemperatureProfile> Ds1921Device::DefaultProfile(Ds1921Variant variant, std::uint64_t seed) {
    DailyCycleProfile::Shape shape;
    if (variant == Ds1921Variant::HumanBody) shape = {36.6, 0.6, 0.3, 0.15, 1020};
    if (variant == Ds1921Variant::LowTemp) shape = {4.0, 1.5, 1.0, 0.3, 840};
    return std::make_shared<DailyCycleProfile>(seed, shape);
}

std::uint8_t Ds1921Device::CodeFor(double celsius) const {
    double code = 0;
    double top = 255;
    switch (variant) {
        case Ds1921Variant::Standard:
            code = 2.0 * celsius + 80.0;
            top = 0xFA;
            break;
        case Ds1921Variant::HumanBody:
            code = 8.0 * celsius - 116.0;
            break;
        case Ds1921Variant::LowTemp:
            code = 8.0 * celsius + 44.0;
            break;
    }
    if (!(code >= 0.0)) return 0;  // also NaN
    return static_cast<std::uint8_t>(std::min(top, code + 0.5));
}

void Ds1921Device::OnReset() {
    command = Command::None;
    reply.clear();
}

std::uint8_t Ds1921Device::OnFunctionByte(std::uint8_t written) {
    if (command == Command::None) {
        StartCommand(written);
        return 0xFF;
    }
    return Stream(written);
}

void Ds1921Device::StartCommand(std::uint8_t code) {
    CatchUp();
    // Clear Memory is honoured only as the very next command after arming.
    const bool armed = clearArmed;
    clearArmed = false;
    position = 0;
    crc = Crc16(0, code);
    switch (code) {
        case kWriteScratchpad:
            command = Command::WriteAddress;
            break;
        case kReadScratchpad: {
            command = Command::ReadScratch;
            reply = {static_cast<std::uint8_t>(targetAddress), static_cast<std::uint8_t>(targetAddress >> 8),
                     endingStatus};
            reply.insert(reply.end(), scratchpad.begin() + (targetAddress & 0x1F), scratchpad.end());
            std::uint16_t sum = crc;
            for (std::uint8_t b : reply) sum = Crc16(sum, b);
            sum = static_cast<std::uint16_t>(~sum);
            reply.push_back(static_cast<std::uint8_t>(sum));
            reply.push_back(static_cast<std::uint8_t>(sum >> 8));
            break;
        }
        case kCopyScratchpad:
            command = Command::CopyAuth;
            break;
        case kReadMemory:
        case kReadMemoryCrc:
            command = Command::ReadAddress;
            streamAddress = code;  // remembers which read until the address is in
            break;
        case kClearMemory:
            if (armed) ClearMemory();
            command = Command::FillFF;
            break;
        case kConvertTemperature:
            ConvertTemperature();
            command = Command::FillFF;
            break;
        default:
            command = Command::FillFF;
            break;
    }
    RefreshRegisters();
}

std::uint8_t Ds1921Device::Stream(std::uint8_t written) {
    switch (command) {
        case Command::WriteAddress:
            crc = Crc16(crc, written);
            if (position++ == 0) {
                targetAddress = written;
                return 0xFF;
            }
            targetAddress = static_cast<std::uint16_t>(targetAddress | (written << 8));
            // No full data byte yet: partial flag until one arrives; AA cleared.
            endingStatus = static_cast<std::uint8_t>(0x20 | (targetAddress & 0x1F));
            position = targetAddress & 0x1F;
            command = Command::WriteData;
            return 0xFF;
        case Command::WriteData:
            scratchpad[static_cast<std::size_t>(position)] = written;
            crc = Crc16(crc, written);
            endingStatus = static_cast<std::uint8_t>(position);
            if (++position == 32) {
                command = Command::WriteCrc;
                position = 0;
                crc = static_cast<std::uint16_t>(~crc);
            }
            return 0xFF;
        case Command::WriteCrc:
            if (position >= 2) return 0xFF;
            return static_cast<std::uint8_t>(crc >> (8 * position++));
        case Command::ReadScratch:
            if (static_cast<std::size_t>(position) >= reply.size()) return 0xFF;
            return reply[static_cast<std::size_t>(position++)];
        case Command::CopyAuth:
            auth[static_cast<std::size_t>(position++)] = written;
            if (position == 3) Copy();
            return 0xFF;
        case Command::ReadAddress:
            crc = Crc16(crc, written);
            if (position++ == 0) {
                auth[0] = written;
                return 0xFF;
            }
            command = streamAddress == kReadMemory ? Command::ReadData : Command::ReadCrcData;
            streamAddress = static_cast<std::uint32_t>(auth[0] | (written << 8));
            return 0xFF;
        case Command::ReadData:
            // Past the data log the device sends zeros.
            return ByteAt(streamAddress++);
        case Command::ReadCrcData: {
            const std::uint8_t value = ByteAt(streamAddress);
            crc = Crc16(crc, value);
            if ((streamAddress & 0x1F) == 0x1F) {
                command = Command::ReadCrcCheck;
                position = 0;
                crc = static_cast<std::uint16_t>(~crc);
            }
            ++streamAddress;
            return value;
        }
        case Command::ReadCrcCheck: {
            const auto value = static_cast<std::uint8_t>(crc >> (8 * position));
            if (++position == 2) {
                command = Command::ReadCrcData;
                crc = 0;
            }
            return value;
        }
        case Command::FillAA:
            return 0xAA;
        case Command::FillFF:
        case Command::None:
            break;
    }
    return 0xFF;
}

void Ds1921Device::Copy() {
    const bool authorised = auth[0] == static_cast<std::uint8_t>(targetAddress) &&
                            auth[1] == static_cast<std::uint8_t>(targetAddress >> 8) &&
                            auth[2] == endingStatus && !(endingStatus & 0x20);
    if (!authorised || refusedCopies > 0) {
        if (authorised) --refusedCopies;
        command = Command::FillFF;
        return;
    }
    CopyToMemory();
    endingStatus |= 0x80;
    command = Command::FillAA;
}

bool Ds1921Device::ConditionalSearchFlag() {
    CatchUp();
    const std::uint8_t control = memory[0x20E];
    return ((control & 0x04) && lowFlag) || ((control & 0x02) && highFlag) || ((control & 0x01) && timeFlag);
}

std::uint8_t Ds1921Device::Peek(std::uint16_t address) {
    CatchUp();
    RefreshRegisters();
    return ByteAt(address);
}

std::vector<std::uint8_t> Ds1921Device::PeekRange(std::uint16_t address, std::size_t length) {
    CatchUp();
    RefreshRegisters();
    std::vector<std::uint8_t> bytes(length);
    for (std::size_t i = 0; i < length; ++i) bytes[i] = ByteAt(static_cast<std::uint16_t>(address + i));
    return bytes;
}

bool Ds1921Device::MissionRunning() {
    CatchUp();
    return missionInProgress;
}

std::int64_t Ds1921Device::MissionSamples() {
    CatchUp();
    return missionSamples;
}

void Ds1921Device::WriteUserPage(int page, const std::string& text) {
    if (page < 0 || page > 15) return;
    for (std::size_t i = 0; i < 32; ++i)
        memory[static_cast<std::size_t>(page) * 32 + i] =
            i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0x20;
}
