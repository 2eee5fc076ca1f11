#include "device/serial/Ds2480Link.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <ostream>

#include "device/onewire/TracingLink.h"

using namespace ds2480;

namespace {

// Writing PDSRC = 1.37 V/us (only effective at flexible speed) is harmless at
// standard speed and gives a known echo (17h -> 16h) that proves a DS2480B answers.
constexpr std::uint8_t kProbeConfig = ConfigWrite(kPdsrc, 3);
constexpr std::uint8_t kProbeEcho = kProbeConfig & 0xFE;
constexpr std::uint8_t kMatchRom = 0x55, kOverdriveMatchRom = 0x69, kSearchRom = 0xF0,
                       kConditionalSearchRom = 0xEC;

// What a reply may take beyond the chip's own time: the host's and a USB converter's latency.
constexpr int kLatencyMs = 50;

int Bit(const std::uint8_t bytes[8], int n) { return (bytes[n / 8] >> (n % 8)) & 1; }

}  // namespace

Ds2480Link::Ds2480Link(std::unique_ptr<SerialPort> serial) : Ds2480Link(std::move(serial), Options{}) {}

Ds2480Link::Ds2480Link(std::unique_ptr<SerialPort> serial, Options linkOptions)
    : port(std::move(serial)), options(linkOptions) {}

void Ds2480Link::SetTrace(std::ostream* out, std::string name) {
    trace = out;
    traceName = std::move(name);
}

void Ds2480Link::Note(const std::string& text) {
    if (trace) *trace << traceName << " note: " << text << '\n';
}

bool Ds2480Link::Open(std::string& error) {
    Close();
    if (!port->Open(error)) return false;
    fastRateFailed = false;
    if (!Synchronise()) {
        error = "No DS9097U adapter (DS2480B) answers on " + port->Name() + ".";
        port->Close();
        return false;
    }
    SpeedUp();
    open = true;
    return true;
}

void Ds2480Link::Close() {
    if (port->IsOpen()) port->Close();
    open = false;
}

std::string Ds2480Link::Version() const {
    std::string text = "DS9097U serial adapter (DS2480B)";
    if (chipRevision >= 0) text += ", chip revision " + std::to_string(chipRevision);
    return text + ", " + std::to_string(baud) + " bit/s on " + port->Name();
}

bool Ds2480Link::Synchronise() {
    // Later attempts cover a late reply to the calibration byte that slipped past the
    // flush, and a chip that took the first byte of an attempt for its calibration.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!port->SetBaud(9600)) return false;
        // A break is a framing error, which the chip takes as a master reset. A line that
        // carries no break (a pseudo-terminal, some USB converters) gets a NUL at 4800 bit/s,
        // which is one as well.
        port->SendBreak();
        port->Sleep(2);
        if (port->SetBaud(4800)) {
            const std::uint8_t nul = 0;
            port->Write(&nul, 1);
            port->Sleep(3);
            if (!port->SetBaud(9600)) return false;
        }
        port->Flush();
        // The first byte after a master reset only calibrates the chip. Whether it is
        // answered is unconfirmed, so anything it sends back is thrown away; the wait
        // covers the latency of USB serial converters.
        const std::uint8_t calibrate = kResetCommand;
        if (!port->Write(&calibrate, 1)) return false;
        port->Sleep(20);
        port->Flush();
        mode = Mode::Command;
        chipSpeed = Speed::Standard;
        accelerator = false;
        baud = 9600;
        needsSync = Command(kProbeConfig) != kProbeEcho;
        if (!needsSync) return true;
    }
    return false;
}

void Ds2480Link::SpeedUp() {
    const int code = CodeOfBaud(options.fastestBaud);
    if (fastRateFailed || code <= 0 || baud != 9600) return;
    const std::uint8_t change = ConfigWrite(kRbr, code);
    // The echo comes back at the new rate; let the command leave at the old one first.
    bool answered = port->Write(&change, 1);
    port->Sleep(2);
    answered = answered && port->SetBaud(options.fastestBaud);
    port->Sleep(2);
    port->Flush();
    if (answered) {
        const std::uint8_t read = ConfigRead(kRbr);
        std::uint8_t reply = 0;
        answered = port->Write(&read, 1) && port->Read(&reply, 1, kLatencyMs) == 1;
        // The echo of the change may still come in first.
        if (answered && reply == (change & 0xFE)) answered = port->Read(&reply, 1, kLatencyMs) == 1;
        answered = answered && reply == static_cast<std::uint8_t>(code << 1);
    }
    if (answered) {
        baud = options.fastestBaud;
        Note("running at " + std::to_string(baud) + " bit/s");
        return;
    }
    Note("no answer at " + std::to_string(options.fastestBaud) + " bit/s: back to 9600 bit/s");
    fastRateFailed = true;
    needsSync = !Synchronise();
}

int Ds2480Link::Command(std::uint8_t command) {
    if (!port->Write(&command, 1)) return -1;
    std::uint8_t reply = 0;
    if (port->Read(&reply, 1, kLatencyMs) != 1) return -1;
    return reply;
}

void Ds2480Link::Lost(const std::string& why) {
    port->Flush();
    deviceInOverdrive.reset();
    needsSync = true;
    if (baud != 9600) {
        fastRateFailed = true;
        Note(why + ": resynchronising at 9600 bit/s from now on");
    } else {
        Note(why + ": resynchronising");
    }
}

bool Ds2480Link::Recover() {
    if (!Synchronise()) {
        port->Close();
        std::string error;
        if (!port->Open(error) || !Synchronise()) {
            Note("the adapter does not answer");
            return false;
        }
    }
    SpeedUp();
    return !needsSync;
}

bool Ds2480Link::Ready() { return open && (!needsSync || Recover()); }

void Ds2480Link::ToCommand(Plan& plan) {
    if (mode == Mode::Command) return;
    plan.push_back({kCommandMode, false, 0});
    mode = Mode::Command;
}

void Ds2480Link::ToData(Plan& plan) {
    if (mode == Mode::Data) return;
    plan.push_back({kDataMode, false, 0});
    mode = Mode::Data;
}

void Ds2480Link::AddReset(Plan& plan) {
    ToCommand(plan);
    deviceInOverdrive.reset();
    // 110x SS 01 (C1h is the documented example): a standard reset takes every device out of overdrive.
    plan.push_back({kResetCommand, true, ResetUs(Speed::Standard)});
    chipSpeed = Speed::Standard;
}

void Ds2480Link::AddData(Plan& plan, std::uint8_t byte) {
    ToData(plan);
    // E3h would switch to command mode; sent twice it goes on the bus once (unconfirmed).
    if (byte == kCommandMode) plan.push_back({kCommandMode, false, 0});
    plan.push_back({byte, true, DataByteUs(chipSpeed, accelerator, DefaultConfig())});
}

bool Ds2480Link::Exchange(const Plan& plan, std::vector<std::uint8_t>& replies) {
    replies.clear();
    const double charUs = CharUs(baud);
    std::vector<std::uint8_t> bytes;
    for (std::size_t start = 0; start < plan.size();) {
        // The chip is idle once every reply of the last write is in: add bytes while it
        // could take each one without its receive buffer overrunning.
        Timeline chip;
        std::size_t end = start, answers = 0;
        for (; end < plan.size(); ++end) {
            if (!chip.Take(0, charUs) && end > start) break;
            chip.Run(plan[end].busUs);
            if (plan[end].replies) {
                chip.Reply(charUs);
                ++answers;
            }
        }
        bytes.clear();
        for (std::size_t i = start; i < end; ++i) bytes.push_back(plan[i].byte);
        if (!port->Write(bytes.data(), bytes.size())) {
            Lost("write failed");
            return false;
        }
        const std::size_t before = replies.size();
        replies.resize(before + answers);
        const int timeout = static_cast<int>(2 * chip.Done() / 1000) + kLatencyMs;
        const int got = answers ? port->Read(replies.data() + before, answers, timeout) : 0;
        if (got != static_cast<int>(answers)) {
            Lost(got < 0 ? "read failed"
                         : std::to_string(got) + " of " + std::to_string(answers) + " replies");
            return false;
        }
        start = end;
    }
    return true;
}

ResetResult Ds2480Link::DecodeReset(std::uint8_t reply) {
    // Reply layout 11x VVV RR (unconfirmed beyond the documented CDh/EDh for a presence).
    if ((reply & 0xC0) != 0xC0) {
        Lost("reset reply " + HexBytes(&reply, 1));
        return ResetResult::LinkError;
    }
    chipRevision = (reply >> 2) & 0x07;
    switch (reply & 0x03) {
        case 0:
            return ResetResult::Short;
        case 1:
            return ResetResult::Presence;
        case 2:
            return ResetResult::AlarmingPresence;
        default:
            return ResetResult::NoPresence;
    }
}

ResetResult Ds2480Link::Reset() {
    if (!Ready()) return ResetResult::LinkError;
    Plan plan;
    AddReset(plan);
    std::vector<std::uint8_t> replies;
    if (!Exchange(plan, replies)) return ResetResult::LinkError;
    return DecodeReset(replies[0]);
}

int Ds2480Link::TouchBit(int bit) {
    std::uint8_t value = bit ? 1 : 0;
    return TouchBits(&value, 1) ? value : -1;
}

bool Ds2480Link::TouchBits(std::uint8_t* bits, std::size_t count) {
    if (!Ready()) return false;
    Plan plan;
    ToCommand(plan);
    for (std::size_t i = 0; i < count; ++i) {
        // 100 V SS P 1 (layout unconfirmed), at the speed the bus is at.
        const auto command =
            static_cast<std::uint8_t>(kSingleBit | (bits[i] ? kBitValue : 0) | SpeedBits(chipSpeed));
        plan.push_back({command, true, SlotUs(chipSpeed, DefaultConfig())});
    }
    std::vector<std::uint8_t> replies;
    if (!Exchange(plan, replies)) return false;
    for (std::size_t i = 0; i < count; ++i) {
        // The reply echoes the command with the bit read in bits 1-0 (unconfirmed).
        if ((replies[i] & 0xE0) != 0x80) {
            Lost("bit reply " + HexBytes(&replies[i], 1));
            return false;
        }
        bits[i] = replies[i] & 0x01;
    }
    return true;
}

int Ds2480Link::TouchByte(std::uint8_t byte) {
    std::uint8_t data = byte;
    return Block(&data, 1) ? data : -1;
}

bool Ds2480Link::Block(std::uint8_t* data, std::size_t length) {
    if (!Ready()) return false;
    Plan plan;
    for (std::size_t i = 0; i < length; ++i) AddData(plan, data[i]);
    std::vector<std::uint8_t> replies;
    if (!Exchange(plan, replies)) return false;
    if (length) std::memcpy(data, replies.data(), length);
    return true;
}

SearchPassResult Ds2480Link::SearchPass(const std::array<std::uint8_t, 8>& directions, bool conditional,
                                        std::array<std::uint8_t, 8>& rom,
                                        std::array<std::uint8_t, 8>& discrepancies) {
    if (!Ready()) return SearchPassResult::LinkError;
    Plan plan;
    AddReset(plan);
    AddData(plan, conditional ? kConditionalSearchRom : kSearchRom);
    ToCommand(plan);
    // 101 H SS 01: accelerator on, no reply (as independent hosts use it).
    plan.push_back(
        {static_cast<std::uint8_t>(kAccelerator | kAcceleratorOn | SpeedBits(chipSpeed)), false, 0});
    accelerator = true;
    for (int k = 0; k < 16; ++k) {
        // The direction for ROM bit 4k + i goes in bit 2i + 1.
        std::uint8_t preferred = 0;
        for (int i = 0; i < 4; ++i)
            preferred =
                static_cast<std::uint8_t>(preferred | Bit(directions.data(), 4 * k + i) << (2 * i + 1));
        AddData(plan, preferred);
    }
    ToCommand(plan);
    plan.push_back({static_cast<std::uint8_t>(kAccelerator | SpeedBits(chipSpeed)), false, 0});
    accelerator = false;
    std::vector<std::uint8_t> replies;
    if (!Exchange(plan, replies)) return SearchPassResult::LinkError;
    const ResetResult reset = DecodeReset(replies[0]);
    if (reset == ResetResult::LinkError) return SearchPassResult::LinkError;
    if (!DevicePresent(reset)) return SearchPassResult::NoDevice;
    // Each reply byte holds four ROM bits as pairs: the discrepancy flag, then the path taken.
    rom.fill(0);
    discrepancies.fill(0);
    for (int n = 0; n < 64; ++n) {
        const int pair = replies[static_cast<std::size_t>(2 + n / 4)] >> (2 * (n % 4));
        discrepancies[n / 8] = static_cast<std::uint8_t>(discrepancies[n / 8] | (pair & 1) << (n % 8));
        rom[n / 8] = static_cast<std::uint8_t>(rom[n / 8] | ((pair >> 1) & 1) << (n % 8));
    }
    // Devices still in the race at the last bit share bytes 0-6, hence the CRC: a flag
    // there means nobody answered (the pass lost its device and wrote ones from there on).
    if (discrepancies[7] & 0x80) return SearchPassResult::NoDevice;
    return SearchPassResult::Found;
}

ResetResult Ds2480Link::SelectBlock(const std::uint8_t rom[8], bool overdrive, std::uint8_t* data,
                                    std::size_t length) {
    if (!Ready()) return ResetResult::LinkError;
    const bool fast = overdrive && options.overdrive;
    std::array<std::uint8_t, 8> device;
    std::copy(rom, rom + 8, device.begin());
    std::vector<std::uint8_t> replies;
    if (fast && deviceInOverdrive == device) {
        // Still in overdrive from the last select (no standard reset since): an overdrive
        // reset and Match ROM at overdrive, all in one stream.
        Plan plan;
        ToCommand(plan);
        plan.push_back({static_cast<std::uint8_t>(kResetCommand | SpeedBits(Speed::Overdrive)), true,
                        ResetUs(Speed::Overdrive)});
        chipSpeed = Speed::Overdrive;
        AddData(plan, kMatchRom);
        for (int i = 0; i < 8; ++i) AddData(plan, rom[i]);
        for (std::size_t i = 0; i < length; ++i) AddData(plan, data[i]);
        deviceInOverdrive.reset();
        if (!Exchange(plan, replies)) return ResetResult::LinkError;
        const ResetResult reset = DecodeReset(replies[0]);
        if (reset == ResetResult::LinkError) return reset;
        if (DevicePresent(reset)) {
            deviceInOverdrive = device;
            if (length) std::memcpy(data, replies.data() + 10, length);
            return reset;
        }
        // Nobody in overdrive (the device was taken out and back): the standard way.
    }
    Plan plan;
    AddReset(plan);
    AddData(plan, fast ? kOverdriveMatchRom : kMatchRom);
    if (fast) {
        // The accelerator-off command carries no bus activity but sets the speed of data
        // mode: the ROM and the rest go at overdrive (taken on trust, see docs/ADAPTERS.md).
        ToCommand(plan);
        plan.push_back({static_cast<std::uint8_t>(kAccelerator | SpeedBits(Speed::Overdrive)), false, 0});
        chipSpeed = Speed::Overdrive;
    }
    for (int i = 0; i < 8; ++i) AddData(plan, rom[i]);
    for (std::size_t i = 0; i < length; ++i) AddData(plan, data[i]);
    if (!Exchange(plan, replies)) return ResetResult::LinkError;
    const ResetResult reset = DecodeReset(replies[0]);
    if (DevicePresent(reset) && length) std::memcpy(data, replies.data() + 10, length);
    if (fast && DevicePresent(reset)) deviceInOverdrive = device;
    return reset;
}
