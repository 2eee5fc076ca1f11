#include "device/virtual/EmulatedDs2490.h"

#include <algorithm>
#include <cstdio>

#include "device/usb/Ds2490.h"

using namespace ds2490;

namespace {
// Power-up modes: regular speed, strong pull-up 512 ms (16 ms units), programming
// pulse 512 us (8 us units), slew 0.83 V/us; the two timing codes are unconfirmed.
constexpr std::array<std::uint8_t, 8> kDefaultModes = {0x00, 0x00, kSpeedRegular, 0x20,
                                                       0x05, 0x40, 0x00,          0x00};
// Bytes one command takes in the 16-byte command FIFO (its wValue and wIndex; unconfirmed).
constexpr int kCommandBytes = 4;

int RomBit(const std::array<std::uint8_t, 8>& rom, int index) { return (rom[index / 8] >> (index % 8)) & 1; }
void SetRomBit(std::array<std::uint8_t, 8>& rom, int index, int value) {
    const auto mask = static_cast<std::uint8_t>(1u << (index % 8));
    rom[index / 8] = static_cast<std::uint8_t>(value ? (rom[index / 8] | mask) : (rom[index / 8] & ~mask));
}

int PipeIndex(EmulatedDs2490::Pipe pipe) { return static_cast<int>(pipe); }
}  // namespace

EmulatedDs2490::EmulatedDs2490(Link& oneWire) : bus(oneWire), modes(kDefaultModes) {}

void EmulatedDs2490::StallNext(Pipe pipe, int skip) { stallCountdown[PipeIndex(pipe)] = skip; }

void EmulatedDs2490::VanishAfter(int count) { vanishCountdown = count; }

void EmulatedDs2490::ClearFaults() {
    OpenError = UsbError::None;
    BusShorted = false;
    stallCountdown.fill(-1);
    vanishCountdown = -1;
    delayPolls = delaySkip = 0;
}

void EmulatedDs2490::Plug() {
    plugged = true;
    open = false;
    kernelDriver = true;
    vanishCountdown = -1;
    halt.fill(false);
    stallCountdown.fill(-1);
    DeviceReset();
}

UsbError EmulatedDs2490::Open(int setting, std::string& error) {
    if (!plugged) {
        error = "No such device (it may have been disconnected)";
        return UsbError::NoDevice;
    }
    if (OpenError != UsbError::None) {
        error = OpenError == UsbError::Access ? "Access denied (insufficient permissions)"
                                              : std::string(UsbErrorText(OpenError));
        return OpenError;
    }
    if (open) {
        error = "cannot claim interface 0: Resource busy";
        return UsbError::Busy;
    }
    if (setting < 0 || setting > 3) {
        error = "cannot choose alternate setting " + std::to_string(setting) + ": Entity not found";
        return UsbError::NotFound;
    }
    kernelDriver = false;
    open = true;
    altSetting = setting;
    halt.fill(false);
    return UsbError::None;
}

void EmulatedDs2490::Close() {
    open = false;
    if (plugged) kernelDriver = true;
}

bool EmulatedDs2490::Begin(Pipe pipe, UsbError& error) {
    if (vanishCountdown == 0) {
        plugged = false;
        open = false;
        vanishCountdown = -1;
    } else if (vanishCountdown > 0) {
        --vanishCountdown;
    }
    if (!plugged) {
        error = UsbError::NoDevice;
        return false;
    }
    if (!open) {
        error = UsbError::Io;
        return false;
    }
    ++transfers;
    if (timing) {
        // Full speed: one transfer a frame; the status endpoint is polled every
        // 1 ms in settings 2 and 3 and every 10 ms in settings 0 and 1.
        const std::int64_t period =
            pipe == Pipe::Status && altSetting < 2 ? 10 * frameLengthUs : frameLengthUs;
        nowUs = (nowUs / period + 1) * period;
    }
    Settle(false);
    int& countdown = stallCountdown[PipeIndex(pipe)];
    if (countdown == 0 && pipe != Pipe::Control) halt[PipeIndex(pipe)] = true;
    const bool stallNow = countdown == 0 || halt[PipeIndex(pipe)];
    if (countdown >= 0) --countdown;
    if (stallNow) {
        error = UsbError::Stall;
        return false;
    }
    return true;
}

UsbTransfer EmulatedDs2490::Control(std::uint8_t requestType, std::uint8_t request, std::uint16_t value,
                                    std::uint16_t index, std::uint8_t*, std::uint16_t, int) {
    UsbTransfer result;
    if (!Begin(Pipe::Control, result.Error)) return result;
    bool accepted = false;
    if (requestType == kVendorIn && request == kControlCommand && value == kCtlGetCommCmds) {
        accepted = halted;  // the unexecuted commands would follow; none are kept as bytes here
    } else if (requestType == kVendorOut) {
        if (request == kControlCommand) accepted = ControlRequest(value, false);
        if (request == kCommCommand) accepted = CommRequest(value, index);
        if (request == kModeCommand) accepted = ModeRequest(value, index);
    }
    if (!accepted) result.Error = UsbError::Stall;
    return result;
}

void EmulatedDs2490::DeviceReset() {
    waiting.clear();
    running.clear();
    dataOut.clear();
    dataIn.clear();
    results.clear();
    halted = ep0Full = lastError = false;
    modes = kDefaultModes;
    busyUntilUs = nowUs;
    ++deviceResets;
}

bool EmulatedDs2490::ControlRequest(std::uint16_t value, bool) {
    switch (value) {
        case kCtlResetDevice:
            DeviceReset();
            return true;
        case kCtlStartExe:
            StartWaiting();
            return true;
        case kCtlResumeExe:
            halted = false;
            StartWaiting();
            return true;
        case kCtlHaltExeIdle:
        case kCtlHaltExeDone:
            halted = true;
            return true;
        case kCtlFlushCommCmds:
            if (halted) waiting.clear();
            return halted;
        case kCtlFlushRcvBuffer:
            if (halted) dataIn.clear();
            return halted;
        case kCtlFlushXmtBuffer:
            if (halted) dataOut.clear();
            return halted;
        default:
            return false;
    }
}

bool EmulatedDs2490::ModeRequest(std::uint16_t value, std::uint16_t index) {
    if (value > kModeDsoW0Recovery) return false;
    if (value == kModeSpeed && index > kSpeedOverdrive) return false;  // 3-F are reserved
    modes[value] = static_cast<std::uint8_t>(index);
    return true;
}

bool EmulatedDs2490::CommRequest(std::uint16_t value, std::uint16_t index) {
    const std::uint16_t code = value & kCommCodeMask;
    const bool known = code == kCommBitIo || code == kCommReset || code == kCommByteIo ||
                       code == kCommBlockIo || (code == kCommSearchAccess && (value & kFlag08));
    // Macros (IM clear, run by a start command) and the other commands are not emulated.
    if (!known || !(value & kFlagIm)) return false;
    if (ep0Full) return true;  // dropped until a device reset
    int queued = static_cast<int>(waiting.size());
    for (const Running& run : running) queued += run.startUs > nowUs;
    if ((queued + 1) * kCommandBytes > kCommandFifoSize) {
        ep0Full = true;
        return true;
    }
    waiting.push_back({value, index});
    StartWaiting();
    return true;
}

void EmulatedDs2490::StartWaiting() {
    while (!halted && !waiting.empty()) {
        const Waiting command = waiting.front();
        const std::uint16_t code = command.value & kCommCodeMask;
        const std::size_t needed = code == kCommBlockIo ? command.index : code == kCommSearchAccess ? 8 : 0;
        if (dataOut.size() < needed) return;  // the chip waits for its data
        waiting.pop_front();
        Execute(command);
    }
}

std::int64_t EmulatedDs2490::SlotUs() const { return modes[kModeSpeed] == kSpeedOverdrive ? 10 : 65; }
std::int64_t EmulatedDs2490::ResetUs() const { return modes[kModeSpeed] == kSpeedOverdrive ? 150 : 1100; }

ResetResult EmulatedDs2490::BusReset() {
    if (BusShorted) return ResetResult::Short;
    const ResetResult reset = bus.Reset();
    return reset == ResetResult::LinkError ? ResetResult::NoPresence : reset;
}

void EmulatedDs2490::Execute(const Waiting& command) {
    ++commands;
    const std::uint16_t value = command.value;
    const std::uint16_t code = value & kCommCodeMask;
    Running run{};
    run.value = value;
    run.startUs = std::max(nowUs, busyUntilUs);
    std::int64_t duration = 0;
    std::uint8_t bits = 0;
    // F: after a command that failed, what it left in the data-in FIFO is dropped.
    if ((value & kFlagF) && lastError) dataIn.clear();
    if ((value & kFlagRst) && code != kCommReset && code != kCommSearchAccess) {
        duration += ResetUs();
        const ResetResult reset = BusReset();
        if (!DevicePresent(reset)) bits |= reset == ResetResult::Short ? kResultSh : kResultNrs;
    }
    const bool feedback = !(value & kFlagIcp);
    switch (code) {
        case kCommReset: {
            if ((value & kFlag08) && modes[kModeEnableSpeedChange] && command.index <= kSpeedOverdrive)
                modes[kModeSpeed] = static_cast<std::uint8_t>(command.index);
            duration += ResetUs();
            const ResetResult reset = BusReset();
            if (reset == ResetResult::NoPresence) bits |= kResultNrs;
            if (reset == ResetResult::Short) bits |= kResultSh;
            if (reset == ResetResult::AlarmingPresence) bits |= kResultApp;
            break;
        }
        case kCommBitIo: {
            duration += SlotUs();
            const int read = BusShorted ? 0 : bus.TouchBit((value & kFlag08) ? 1 : 0);
            if (feedback) run.data.push_back(read < 0 ? 1 : static_cast<std::uint8_t>(read & 1));
            break;
        }
        case kCommByteIo: {
            duration += 8 * SlotUs();
            const int read = BusShorted ? 0 : bus.TouchByte(static_cast<std::uint8_t>(command.index & 0xFF));
            if (feedback) run.data.push_back(read < 0 ? 0xFF : static_cast<std::uint8_t>(read));
            break;
        }
        case kCommBlockIo: {
            std::vector<std::uint8_t> block(dataOut.begin(), dataOut.begin() + command.index);
            dataOut.erase(dataOut.begin(), dataOut.begin() + command.index);
            duration += 8 * SlotUs() * command.index;
            if (BusShorted)
                std::fill(block.begin(), block.end(), 0);
            else if (!bus.Block(block.data(), block.size()))
                std::fill(block.begin(), block.end(), 0xFF);
            run.data = std::move(block);
            break;
        }
        case kCommSearchAccess: {
            int passes = 0;
            bits |= Search(command, run, passes);
            // A pass: the reset, the ROM command and 64 triplets of slots.
            duration += passes * (ResetUs() + 200 * SlotUs());
            break;
        }
    }
    lastError = bits != 0;
    if (feedback && (bits != 0 || (value & kFlagNtf))) run.results.push_back(bits);
    run.endUs = run.startUs + (timing ? duration : 0);
    busyUntilUs = run.endUs;
    if (delaySkip > 0) {
        --delaySkip;
    } else {
        run.delayPolls = delayPolls;
        delayPolls = 0;
    }
    std::size_t pendingIn = dataIn.size() + run.data.size();
    for (const Running& other : running) pendingIn += other.data.size();
    if (pendingIn > static_cast<std::size_t>(kFifoSize)) ++violations;
    char line[96];
    std::snprintf(line, sizeof line, "comm %04X index %04X: %zu bytes in, result %02X", value, command.index,
                  run.data.size(), bits);
    Log.emplace_back(line);
    running.push_back(std::move(run));
    Settle(false);
}

std::uint8_t EmulatedDs2490::Search(const Waiting& command, Running& run, int& passes) {
    std::array<std::uint8_t, 8> directions{};
    for (auto& byte : directions) {
        byte = dataOut.front();
        dataOut.pop_front();
    }
    const std::uint8_t romCommand = command.index & 0xFF;
    const int maxRoms = command.index >> 8;  // 0: no limit
    std::uint8_t bits = 0;
    int found = 0;
    for (;;) {
        ++passes;
        const ResetResult reset = BusReset();
        if (!DevicePresent(reset)) {
            bits |= reset == ResetResult::Short ? (kResultSh | kResultNrs) : kResultNrs;
            break;
        }
        bus.TouchByte(romCommand);
        std::array<std::uint8_t, 8> rom{}, discrepancies{};
        bool answered = true;
        int lastZero = -1;
        for (int bit = 0; bit < 64 && answered; ++bit) {
            const int idBit = bus.TouchBit(1), complement = bus.TouchBit(1);
            if (idBit != 0 && complement != 0) {
                answered = false;  // nobody took part in this bit
                break;
            }
            int direction = idBit;
            if (idBit == complement) {
                direction = RomBit(directions, bit);
                SetRomBit(discrepancies, bit, 1);
                if (direction == 0) lastZero = bit;
            }
            bus.TouchBit(direction);
            SetRomBit(rom, bit, direction);
        }
        if (!answered) {
            bits |= kResultNrs;
            break;
        }
        run.data.insert(run.data.end(), rom.begin(), rom.end());
        ++found;
        const bool more = lastZero >= 0;
        if (!more || (maxRoms != 0 && found >= maxRoms)) {
            // RTS: the discrepancies tell the host where to go on from.
            if (more && (command.value & kFlag40))
                run.data.insert(run.data.end(), discrepancies.begin(), discrepancies.end());
            break;
        }
        // The next pass: the same path up to the last 0 taken there, then 1, then 0s.
        for (int bit = 0; bit < 64; ++bit)
            SetRomBit(directions, bit, bit < lastZero ? RomBit(rom, bit) : bit == lastZero ? 1 : 0);
    }
    if (maxRoms != 0 && found < maxRoms) bits |= kResultEos;
    return bits;
}

void EmulatedDs2490::Settle(bool statusRead) {
    while (!running.empty()) {
        Running& front = running.front();
        if (front.endUs > nowUs) return;
        if (front.delayPolls > 0) {
            if (statusRead) --front.delayPolls;
            return;
        }
        dataIn.insert(dataIn.end(), front.data.begin(), front.data.end());
        results.insert(results.end(), front.results.begin(), front.results.end());
        running.pop_front();
    }
}

bool EmulatedDs2490::Idle() const { return running.empty() && waiting.empty(); }

std::array<std::uint8_t, 16> EmulatedDs2490::StateBytes() const {
    std::array<std::uint8_t, 16> state{};
    state[kStatusEnableFlags] = static_cast<std::uint8_t>(((modes[kModeEnablePulse] & 0x02) ? 0x01 : 0) |
                                                          ((modes[kModeEnablePulse] & 0x01) ? 0x02 : 0) |
                                                          (modes[kModeEnableSpeedChange] ? 0x04 : 0));
    state[kStatusSpeed] = modes[kModeSpeed];
    state[kStatusPullupDuration] = modes[kModePullupDuration];
    state[kStatusProgDuration] = modes[kModeProgDuration];
    state[kStatusSlewRate] = modes[kModeSlewRate];
    state[kStatusWrite1LowTime] = modes[kModeWrite1LowTime];
    state[kStatusDsoW0Recovery] = modes[kModeDsoW0Recovery];
    state[kStatusFlags] =
        static_cast<std::uint8_t>((halted ? kStHalt : 0) | (Idle() ? kStIdle : 0) | (ep0Full ? kStEp0f : 0));
    int queued = static_cast<int>(waiting.size());
    for (const Running& run : running) queued += run.startUs > nowUs;
    const auto current = std::find_if(running.begin(), running.end(),
                                      [this](const Running& run) { return run.startUs <= nowUs; });
    if (current != running.end()) {
        state[kStatusCommand1] = static_cast<std::uint8_t>(current->value & 0xFF);
        state[kStatusCommand2] = static_cast<std::uint8_t>(current->value >> 8);
    }
    state[kStatusCommandFifo] = static_cast<std::uint8_t>(queued * kCommandBytes);
    state[kStatusDataOut] = static_cast<std::uint8_t>(std::min<std::size_t>(dataOut.size(), 255));
    state[kStatusDataIn] = static_cast<std::uint8_t>(std::min<std::size_t>(dataIn.size(), 255));
    return state;
}

UsbTransfer EmulatedDs2490::Interrupt(std::uint8_t endpoint, std::uint8_t* data, int length, int) {
    UsbTransfer result;
    if (endpoint != kStatusEndpoint) {
        result.Error = UsbError::NotFound;
        return result;
    }
    if (!Begin(Pipe::Status, result.Error)) return result;
    ++statusReads;
    Settle(true);
    if (length < kStatusResults) {
        result.Error = UsbError::Overflow;
        return result;
    }
    const auto state = StateBytes();
    std::copy(state.begin(), state.end(), data);
    int count = kStatusResults;
    while (!results.empty() && count < std::min(length, kStatusSize)) {
        data[count++] = results.front();
        results.pop_front();
    }
    result.Length = count;
    return result;
}

UsbTransfer EmulatedDs2490::Bulk(std::uint8_t endpoint, std::uint8_t* data, int length, int timeoutMs) {
    UsbTransfer result;
    if (endpoint == kDataOutEndpoint) {
        if (!Begin(Pipe::DataOut, result.Error)) return result;
        const int room = kFifoSize - static_cast<int>(dataOut.size());
        const int taken = std::min(length, room);
        dataOut.insert(dataOut.end(), data, data + taken);
        result.Length = taken;
        // A full FIFO answers NAK until the host gives up.
        if (taken < length) result.Error = UsbError::Timeout;
        StartWaiting();
        return result;
    }
    if (endpoint != kDataInEndpoint) {
        result.Error = UsbError::NotFound;
        return result;
    }
    if (!Begin(Pipe::DataIn, result.Error)) return result;
    const int waitingBytes = static_cast<int>(dataIn.size());
    if (waitingBytes == 0) {
        if (timing) nowUs += static_cast<std::int64_t>(timeoutMs) * 1000;
        result.Error = UsbError::Timeout;
        return result;
    }
    if (length < waitingBytes) {
        // Asked for less than is there: the chip fails the transfer and drops its buffer.
        dataIn.clear();
        result.Error = UsbError::Overflow;
        return result;
    }
    std::copy(dataIn.begin(), dataIn.end(), data);
    dataIn.clear();
    result.Length = waitingBytes;
    return result;
}

UsbError EmulatedDs2490::ClearHalt(std::uint8_t endpoint) {
    UsbError error = UsbError::None;
    if (!Begin(Pipe::Control, error)) return error;
    switch (endpoint) {
        case kStatusEndpoint:
            halt[PipeIndex(Pipe::Status)] = false;
            return UsbError::None;
        case kDataOutEndpoint:
            halt[PipeIndex(Pipe::DataOut)] = false;
            return UsbError::None;
        case kDataInEndpoint:
            halt[PipeIndex(Pipe::DataIn)] = false;
            return UsbError::None;
        default:
            return UsbError::NotFound;
    }
}

UsbError EmulatedDs2490::ResetDevice() {
    if (!plugged) return UsbError::NoDevice;
    ++portResets;
    halt.fill(false);
    DeviceReset();
    return UsbError::None;
}
