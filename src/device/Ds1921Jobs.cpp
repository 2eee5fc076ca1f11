#include <algorithm>
#include <array>

#include "app/TTRecForm.h"
#include "device/JobSession.h"

namespace {
constexpr std::uint8_t kWriteScratchpad = 0x0F, kReadScratchpad = 0xAA, kCopyScratchpad = 0x55,
                       kClearMemory = 0x3C, kConvertTemperature = 0x44;
constexpr int kScratchpadSize = 32;
constexpr std::int16_t kMismatch = -301;

std::uint8_t Low(std::uint16_t address) { return static_cast<std::uint8_t>(address & 0xFF); }
std::uint8_t High(std::uint16_t address) { return static_cast<std::uint8_t>(address >> 8); }
std::uint8_t EndingOffset(int length, std::uint16_t address) {
    return static_cast<std::uint8_t>((address + length - 1) & 0x1F);
}
}  // namespace

std::int16_t TTRecForm::ReadPage(std::int16_t page, std::uint8_t* destination) {
    JobSession session(*this);
    if (!session.Open()) return JobSession::kNoSession;
    if (!DriverSetupDone) {
        driver.TMSetup(session.Handle());
        DriverSetupDone = true;
    }
    driver.TMRom(session.Handle(), session.State(), RomBuffer.data());
    const std::int16_t read =
        driver.TMExtendedReadPage(session.Handle(), session.State(), page, destination, 0);
    if (read > 0) return 1;
    // A failed read of a device that still answers keeps the driver's code.
    return driver.TMStrongAccess(session.Handle(), session.State()) == 1 ? read : -1;
}

std::int16_t TTRecForm::WriteScratch(const std::uint8_t* data, int length, std::uint16_t address) {
    if (length < 1 || length > kScratchpadSize) return -1;
    void* state = DriverStateOf(*this);
    if (driver.TMStrongAccess(SessionHandle, state) != 1) return -1;

    std::int16_t result = 1;
    std::array<std::uint8_t, kScratchpadSize + 4> block{};
    block[0] = kWriteScratchpad;
    block[1] = Low(address);
    block[2] = High(address);
    std::copy_n(data, length, block.begin() + 3);
    // A short write still goes on to the read-back, whose comparison tells the most.
    if (driver.TMBlockStream(SessionHandle, block.data(), static_cast<std::int16_t>(length + 3)) !=
        length + 3)
        result = -1;

    // Without a read-back nothing confirms the write.
    if (driver.TMAccess(SessionHandle, state) != 1) return -1;
    block.fill(0xFF);
    block[0] = kReadScratchpad;
    if (driver.TMBlockStream(SessionHandle, block.data(), static_cast<std::int16_t>(length + 4)) !=
        length + 4)
        result = -1;
    if (block[1] != Low(address)) result = kMismatch;
    if (block[2] != High(address)) result = kMismatch;
    if (block[3] != EndingOffset(length, address)) result = kMismatch;
    if (!std::equal(data, data + length, block.begin() + 4)) result = kMismatch;
    return result;
}

std::int16_t TTRecForm::CopyScratch(int length, std::uint16_t address) {
    if (driver.TMAccess(SessionHandle, DriverStateOf(*this)) != 1) return -1;
    std::array<std::uint8_t, 14> block;
    block.fill(0xFF);
    block[0] = kCopyScratchpad;
    block[1] = Low(address);
    block[2] = High(address);
    block[3] = EndingOffset(length, address);
    const std::int16_t count = driver.TMBlockStream(SessionHandle, block.data(), block.size());
    // The device answers a completed copy with alternating bits.
    return count == 14 && (block[13] == 0x55 || block[13] == 0xAA) ? 1 : -1;
}

namespace {
// Write through the scratchpad and copy it into memory, in the caller's session.
std::int16_t WriteAndCopy(TTRecForm& form, const std::uint8_t* data, int length, std::uint16_t address) {
    const std::int16_t written = form.WriteScratch(data, length, address);
    if (written != 1) return written;
    return form.CopyScratch(length, address);
}
}  // namespace

std::int16_t TTRecForm::WriteMission() {
    int first = 0, length = 0;
    switch (WriteStep) {
        case 0:
            first = SetTimeCheck.Checked ? Reg::ClockSeconds : Reg::AlarmSeconds;
            length = Reg::HighThreshold + 1 - first;
            break;
        case 1:
            first = Reg::Control;
            length = Reg::Status + 1 - first;
            break;
        case 2:
            first = Reg::SampleRate;
            length = 1;
            break;
        case 3:
            return 1;  // all three ranges are written; nothing is left for the device
        default:
            return -1;
    }
    JobSession session(*this);
    if (!session.Open()) return JobSession::kNoSession;
    return WriteAndCopy(*this, Image.NewRegisterPage.data() + first, length,
                        static_cast<std::uint16_t>(0x200 + first));
}

std::int16_t TTRecForm::WriteUser(int page) {
    if (page < 0 || page > 15) return -1;
    JobSession session(*this);
    if (!session.Open()) return JobSession::kNoSession;
    return WriteAndCopy(*this, Image.PageSlot(page).data(), kScratchpadSize,
                        static_cast<std::uint16_t>(page * 32));
}

std::int16_t TTRecForm::StopMission() {
    JobSession session(*this);
    if (!session.Open()) return JobSession::kNoSession;
    const std::uint8_t cleared = 0x00;
    return WriteAndCopy(*this, &cleared, 1, static_cast<std::uint16_t>(0x200 + Reg::Status));
}

std::int16_t TTRecForm::ClearMemory() {
    JobSession session(*this);
    if (!session.Open()) return JobSession::kNoSession;
    const auto h = session.Handle();
    void* state = session.State();

    // Arm the clear: bit 6 of the control register, written and copied.
    if (driver.TMAccess(h, state) != 1) return -1;
    std::array<std::uint8_t, 4> arm = {kWriteScratchpad, 0x0E, 0x02, 0x40};
    if (driver.TMBlockStream(h, arm.data(), arm.size()) != 4) return -1;
    if (driver.TMAccess(h, state) != 1) return -1;
    std::array<std::uint8_t, 5> copy = {kCopyScratchpad, 0x0E, 0x02, 0x0E, 0xFF};
    if (driver.TMBlockStream(h, copy.data(), copy.size()) != 5) return -1;
    const std::uint8_t pattern = copy[4] >> 4;
    if (pattern != 0x5 && pattern != 0xA) return -1;

    // The clear must be the very next command after the copy.
    if (driver.TMAccess(h, state) != 1) return -1;
    const std::int16_t echo = driver.TMTouchByte(h, kClearMemory);
    platform.Sleep(3);
    driver.TMTouchReset(h);
    return echo == kClearMemory ? 1 : -1;
}

std::int16_t TTRecForm::ForceConversion() {
    JobSession session(*this);
    if (!session.Open()) return JobSession::kNoSession;
    const std::int16_t access = driver.TMAccess(session.Handle(), session.State());
    // A driver error keeps its code; a device that simply did not answer is missing
    // (a 0 would be retried silently for as long as the device stays away).
    if (access != 1) return access < 0 ? access : -1;
    const std::int16_t echo = driver.TMTouchByte(session.Handle(), kConvertTemperature);
    return echo == kConvertTemperature ? 1 : echo;
}
