#include "device/serial/Ds2480Link.h"

#include <algorithm>
#include <vector>

namespace {

// Command-mode codes at standard speed.
constexpr std::uint8_t kReset = 0xC1;        // 110x SS 01 (C1 is the documented example)
constexpr std::uint8_t kBitZero = 0x81;      // 100 V SS P 1 with V = 0 (layout unconfirmed)
constexpr std::uint8_t kBitOne = 0x91;       //                  V = 1
constexpr std::uint8_t kDataMode = 0xE1;     // no response
constexpr std::uint8_t kCommandMode = 0xE3;  // in data mode; no response
// Writing PDSRC = 1.37 V/us (only effective at flexible speed) is harmless at
// standard speed and gives a known echo (17h -> 16h) that proves a DS2480B answers.
constexpr std::uint8_t kProbeConfig = 0x17;
constexpr std::uint8_t kProbeEcho = 0x16;

constexpr int kReplyTimeoutMs = 100;
constexpr std::size_t kChunk = 64;  // bytes per write while streaming a block

}  // namespace

Ds2480Link::Ds2480Link(std::unique_ptr<SerialPort> serial) : port(std::move(serial)) {}

bool Ds2480Link::Open(std::string& error) {
    Close();
    if (!port->Open(error)) return false;
    if (!Synchronise()) {
        error = "No DS9097U adapter (DS2480B) answers on " + port->Name() + ".";
        port->Close();
        return false;
    }
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
    return text + " on " + port->Name();
}

bool Ds2480Link::Synchronise() {
    // A second attempt covers a late reply to the calibration byte that slipped past the flush.
    for (int attempt = 0; attempt < 2; ++attempt) {
        // A break is a framing error, which the chip takes as a master reset.
        if (!port->SetBaud(9600)) return false;
        port->SendBreak();
        port->Sleep(2);
        port->Flush();
        // The first byte after a master reset only calibrates the chip. Whether it is
        // answered is unconfirmed, so anything it sends back is thrown away; the wait
        // covers the latency of USB serial converters.
        const std::uint8_t calibrate = kReset;
        if (!port->Write(&calibrate, 1)) return false;
        port->Sleep(20);
        port->Flush();
        mode = Mode::Command;
        needsSync = Command(kProbeConfig) != kProbeEcho;
        if (!needsSync) return true;
    }
    return false;
}

void Ds2480Link::Lost() {
    port->Flush();
    needsSync = true;
}

bool Ds2480Link::Recover() {
    if (Synchronise()) return true;
    port->Close();
    std::string error;
    return port->Open(error) && Synchronise();
}

int Ds2480Link::Command(std::uint8_t command) {
    if (!port->Write(&command, 1)) return -1;
    std::uint8_t reply = 0;
    if (port->Read(&reply, 1, kReplyTimeoutMs) != 1) return -1;
    return reply;
}

bool Ds2480Link::EnterMode(Mode wanted) {
    if (!open) return false;
    if (needsSync && !Recover()) return false;
    if (mode == wanted) return true;
    if (!port->Write(wanted == Mode::Command ? &kCommandMode : &kDataMode, 1)) return false;
    mode = wanted;
    return true;
}

ResetResult Ds2480Link::Reset() {
    if (!EnterMode(Mode::Command)) return ResetResult::LinkError;
    const int reply = Command(kReset);
    // Reply layout 11x VVV RR (unconfirmed beyond the documented CDh/EDh for a presence).
    if (reply < 0 || (reply & 0xC0) != 0xC0) {
        Lost();
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

int Ds2480Link::TouchBit(int bit) {
    if (!EnterMode(Mode::Command)) return -1;
    const std::uint8_t command = bit ? kBitOne : kBitZero;
    const int reply = Command(command);
    // The reply echoes the command with the bit read in bits 1-0 (unconfirmed).
    if (reply < 0 || (reply & 0xE0) != 0x80) {
        Lost();
        return -1;
    }
    return reply & 0x01;
}

bool Ds2480Link::TouchBits(std::uint8_t* bits, std::size_t count) {
    if (!EnterMode(Mode::Command)) return false;
    std::vector<std::uint8_t> commands;
    std::vector<std::uint8_t> replies;
    for (std::size_t start = 0; start < count; start += kChunk) {
        const std::size_t chunk = std::min(kChunk, count - start);
        commands.clear();
        for (std::size_t i = 0; i < chunk; ++i) commands.push_back(bits[start + i] ? kBitOne : kBitZero);
        replies.assign(chunk, 0);
        if (!port->Write(commands.data(), chunk) ||
            port->Read(replies.data(), chunk, kReplyTimeoutMs + static_cast<int>(chunk) * 3) !=
                static_cast<int>(chunk)) {
            Lost();
            return false;
        }
        for (std::size_t i = 0; i < chunk; ++i) {
            if ((replies[i] & 0xE0) != 0x80) {
                Lost();
                return false;
            }
            bits[start + i] = replies[i] & 0x01;
        }
    }
    return true;
}

int Ds2480Link::TouchByte(std::uint8_t byte) {
    std::uint8_t data = byte;
    return Block(&data, 1) ? data : -1;
}

bool Ds2480Link::Block(std::uint8_t* data, std::size_t length) {
    if (!EnterMode(Mode::Data)) return false;
    std::vector<std::uint8_t> out;
    for (std::size_t start = 0; start < length; start += kChunk) {
        const std::size_t count = std::min(kChunk, length - start);
        out.clear();
        for (std::size_t i = 0; i < count; ++i) {
            out.push_back(data[start + i]);
            // E3h would switch to command mode; sent twice it goes on the bus once (unconfirmed).
            if (data[start + i] == kCommandMode) out.push_back(kCommandMode);
        }
        // At 9600 bit/s one character takes longer than a standard-speed bus byte,
        // so the chip keeps up with a stream and its one-byte buffer never overruns.
        if (!port->Write(out.data(), out.size())) {
            Lost();
            return false;
        }
        const int timeout = kReplyTimeoutMs + static_cast<int>(count) * 3;
        if (port->Read(data + start, count, timeout) != static_cast<int>(count)) {
            Lost();
            return false;
        }
    }
    return true;
}
