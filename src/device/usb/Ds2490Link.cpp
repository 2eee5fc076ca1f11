#include "device/usb/Ds2490Link.h"

#include <algorithm>

#include "device/usb/Ds2490.h"
#include "device/usb/UsbAdvice.h"

using namespace ds2490;

namespace {
constexpr int kTransferTimeoutMs = 1000;
// At 1 ms a status packet, the longest command we send (a 128-byte block, about
// 70 ms of bus time) ends well inside this; a chip that stays busy longer is stuck.
constexpr int kMaxStatusPolls = 500;
}  // namespace

Ds2490Link::Ds2490Link(UsbHost& usbHost, int portNumber) : host(usbHost), number(portNumber) {}

Ds2490Link::~Ds2490Link() { Close(); }

bool Ds2490Link::Open(std::string& error) {
    Close();
    std::string why;
    const std::vector<UsbAdapterInfo> adapters = host.FindAdapters(why);
    if (adapters.empty()) {
        error = "No USB adapter (DS9490, 04FA:2490) is connected" + (why.empty() ? "." : ": " + why);
        lastProblem = error;
        return false;
    }
    if (number < 1 || number > static_cast<int>(adapters.size())) {
        error = "USB adapter " + std::to_string(number) + " is not connected; " +
                std::to_string(adapters.size()) + " found.";
        lastProblem = error;
        return false;
    }
    const UsbAdapterInfo& adapter = adapters[static_cast<std::size_t>(number - 1)];
    std::unique_ptr<UsbTransport> opened = host.Connect(adapter);
    const UsbError result = opened ? opened->Open(kAltSetting, why) : UsbError::NoDevice;
    if (result != UsbError::None) {
        error = UsbOpenProblem(result, adapter, why);
        lastProblem = error;
        return false;
    }
    transport = std::move(opened);
    place = adapter.Place();
    // A device reset empties the FIFOs and loads the power-on modes (regular speed).
    if (!ControlCommand(kCtlResetDevice)) {
        error = "The USB adapter at " + place + " does not answer: " + lastProblem;
        Close();
        return false;
    }
    Outcome idle;
    if (!WaitIdle(Command{}, idle)) {
        error = "The device at " + place + " does not answer as a DS2490: " + lastProblem;
        Close();
        return false;
    }
    lastProblem.clear();
    return true;
}

void Ds2490Link::Close() {
    if (transport) transport->Close();
    transport.reset();
}

std::string Ds2490Link::Version() const {
    std::string text = "DS9490 USB adapter (DS2490)";
    if (IsOpen()) text += " at " + place;
    return text;
}

void Ds2490Link::Fail(UsbError error, const std::string& what) {
    lastProblem = what + ": " + UsbErrorText(error);
    if (error == UsbError::NoDevice) Lost("The USB adapter was unplugged (" + what + ").");
}

void Ds2490Link::Lost(const std::string& why) {
    lastProblem = why;
    Close();
}

bool Ds2490Link::ControlCommand(std::uint16_t value) {
    if (!transport) return false;
    const UsbTransfer sent =
        transport->Control(kVendorOut, kControlCommand, value, 0, nullptr, 0, kTransferTimeoutMs);
    if (!sent.Ok()) Fail(sent.Error, "control command");
    return sent.Ok();
}

bool Ds2490Link::WaitIdle(const Command& command, Outcome& outcome) {
    std::uint8_t status[kStatusSize];
    for (int poll = 0; poll < kMaxStatusPolls; ++poll) {
        const UsbTransfer read =
            transport->Interrupt(kStatusEndpoint, status, sizeof status, kTransferTimeoutMs);
        if (!read.Ok()) {
            Fail(read.Error, "status");
            return false;
        }
        if (read.Length < kStatusResults) {
            lastProblem = "short status packet (" + std::to_string(read.Length) + " bytes)";
            return false;
        }
        for (int i = kStatusResults; i < read.Length; ++i)
            if (status[i] != kResultDetect) outcome.results.push_back(status[i]);
        const std::uint8_t flags = status[kStatusFlags];
        if (flags & kStEp0f) {
            lastProblem = "the chip dropped a command (command FIFO full)";
            return false;
        }
        if (flags & kStHalt) {
            lastProblem = "the chip has halted";
            return false;
        }
        outcome.dataIn = status[kStatusDataIn];
        const bool idle = (flags & kStIdle) && status[kStatusCommandFifo] == 0;
        const bool dataDone = command.inVaries || outcome.dataIn >= command.inLength;
        if (idle && dataDone && static_cast<int>(outcome.results.size()) >= command.resultsWanted)
            return true;
    }
    lastProblem = "the chip stayed busy";
    return false;
}

Ds2490Link::Outcome Ds2490Link::RunOnce(const Command& command, bool& failedEarly) {
    Outcome outcome;
    failedEarly = true;
    if (!transport) return outcome;
    if (command.outLength > 0) {
        std::uint8_t out[kFifoSize];
        std::copy_n(command.out, command.outLength, out);
        const UsbTransfer sent =
            transport->Bulk(kDataOutEndpoint, out, command.outLength, kTransferTimeoutMs);
        if (!sent.Ok() || sent.Length != command.outLength) {
            Fail(sent.Ok() ? UsbError::Io : sent.Error, "data out");
            return outcome;
        }
    }
    const UsbTransfer sent = transport->Control(kVendorOut, kCommCommand, command.value, command.index,
                                                nullptr, 0, kTransferTimeoutMs);
    if (!sent.Ok()) {
        Fail(sent.Error, "command");
        return outcome;
    }
    failedEarly = false;
    if (!WaitIdle(command, outcome)) return outcome;
    const int wanted = command.inVaries ? outcome.dataIn : command.inLength;
    if (wanted > command.inLength) {
        lastProblem = "the chip returned " + std::to_string(wanted) + " bytes where at most " +
                      std::to_string(command.inLength) + " were due";
        return outcome;
    }
    if (wanted > 0) {
        // Exactly what is waiting: asking for less would make the chip drop it all.
        const UsbTransfer read = transport->Bulk(kDataInEndpoint, command.in, wanted, kTransferTimeoutMs);
        if (!read.Ok() || read.Length != wanted) {
            Fail(read.Ok() ? UsbError::Io : read.Error, "data in");
            return outcome;
        }
    }
    outcome.dataIn = wanted;
    outcome.ok = true;
    return outcome;
}

Ds2490Link::Outcome Ds2490Link::Run(const Command& command) {
    for (int attempt = 0;; ++attempt) {
        bool failedEarly = true;
        Outcome outcome = RunOnce(command, failedEarly);
        if (outcome.ok || !transport) return outcome;
        const std::string problem = lastProblem;
        const bool recovered = Recover();
        if (recovered) lastProblem = problem;
        // Once a command has run, repeating it would put its bytes on the bus twice.
        if (!recovered || attempt > 0 || !(failedEarly || command.startsWithReset)) return outcome;
    }
}

bool Ds2490Link::Recover() {
    if (!transport) return false;
    for (std::uint8_t endpoint : {kStatusEndpoint, kDataOutEndpoint, kDataInEndpoint}) {
        const UsbError cleared = transport->ClearHalt(endpoint);
        if (cleared == UsbError::NoDevice) {
            Lost("The USB adapter was unplugged.");
            return false;
        }
    }
    Outcome idle;
    if (ControlCommand(kCtlResetDevice) && WaitIdle(Command{}, idle)) return true;
    if (!transport) return false;
    // A chip that will not even take its reset command gets a USB port reset.
    if (transport->ResetDevice() == UsbError::None && ControlCommand(kCtlResetDevice) &&
        WaitIdle(Command{}, idle))
        return true;
    if (transport) Lost("The USB adapter does not answer after a reset.");
    return false;
}

ResetResult Ds2490Link::Reset() {
    Command command;
    command.value = kCommReset | kFlagIm | kFlagNtf;
    command.resultsWanted = 1;
    command.startsWithReset = true;
    const Outcome outcome = Run(command);
    if (!outcome.ok) return ResetResult::LinkError;
    const std::uint8_t bits = outcome.ResultBits();
    if (bits & kResultSh) return ResetResult::Short;
    if (bits & kResultNrs) return ResetResult::NoPresence;
    if (bits & kResultApp) return ResetResult::AlarmingPresence;
    return ResetResult::Presence;
}

int Ds2490Link::TouchBit(int bit) {
    std::uint8_t read = 0;
    Command command;
    command.value = static_cast<std::uint16_t>(kCommBitIo | kFlagIm | (bit ? kFlag08 : 0));
    command.in = &read;
    command.inLength = 1;
    return Run(command).ok ? (read & 1) : -1;
}

int Ds2490Link::TouchByte(std::uint8_t byte) {
    std::uint8_t read = 0;
    Command command;
    command.value = kCommByteIo | kFlagIm;
    command.index = byte;
    command.in = &read;
    command.inLength = 1;
    return Run(command).ok ? read : -1;
}

bool Ds2490Link::Block(std::uint8_t* data, std::size_t length) {
    for (std::size_t start = 0; start < length; start += kFifoSize) {
        const int count = static_cast<int>(std::min<std::size_t>(kFifoSize, length - start));
        Command command;
        command.value = kCommBlockIo | kFlagIm;
        command.index = static_cast<std::uint16_t>(count);
        command.out = data + start;
        command.outLength = count;
        command.in = data + start;
        command.inLength = count;
        if (!Run(command).ok) return false;
    }
    return true;
}

bool Ds2490Link::TouchBits(std::uint8_t* bits, std::size_t count) {
    // A byte on the bus is eight time slots, least significant bit first, so whole
    // bytes' worth of slots go out as one block.
    const std::size_t whole = count / 8;
    if (whole > 0) {
        std::vector<std::uint8_t> bytes(whole, 0);
        for (std::size_t i = 0; i < whole * 8; ++i)
            if (bits[i]) bytes[i / 8] |= static_cast<std::uint8_t>(1u << (i % 8));
        if (!Block(bytes.data(), whole)) return false;
        for (std::size_t i = 0; i < whole * 8; ++i) bits[i] = (bytes[i / 8] >> (i % 8)) & 1;
    }
    for (std::size_t i = whole * 8; i < count; ++i) {
        const int read = TouchBit(bits[i]);
        if (read < 0) return false;
        bits[i] = static_cast<std::uint8_t>(read);
    }
    return true;
}

SearchPassResult Ds2490Link::SearchPass(const std::array<std::uint8_t, 8>& directions, bool conditional,
                                        std::array<std::uint8_t, 8>& rom,
                                        std::array<std::uint8_t, 8>& discrepancies) {
    if (!searchAccess) return SearchPassResult::Unsupported;
    // One ROM at most (wIndex high byte); SM: search only; RTS: the discrepancy bytes
    // follow the ROM when more devices remain; NTF: a result byte ends every pass.
    // No F: after a reset without presence it would flush the start ROM just sent.
    std::uint8_t in[16];
    Command command;
    command.value = kCommSearchAccess | kFlagIm | kFlag08 | kFlagRst | kFlagNtf | kFlag40;
    command.index = static_cast<std::uint16_t>(0x0100 | (conditional ? 0xEC : 0xF0));
    command.out = directions.data();
    command.outLength = 8;
    command.in = in;
    command.inLength = sizeof in;
    command.inVaries = true;
    command.resultsWanted = 1;
    command.startsWithReset = true;
    const Outcome outcome = Run(command);
    if (!outcome.ok) return SearchPassResult::LinkError;
    if (outcome.ResultBits() & (kResultNrs | kResultSh)) return SearchPassResult::NoDevice;
    if (outcome.dataIn != 8 && outcome.dataIn != 16) {
        lastProblem = "the search returned " + std::to_string(outcome.dataIn) + " bytes";
        return SearchPassResult::LinkError;
    }
    std::copy_n(in, 8, rom.begin());
    discrepancies.fill(0);
    if (outcome.dataIn == 16) std::copy_n(in + 8, 8, discrepancies.begin());
    return SearchPassResult::Found;
}
