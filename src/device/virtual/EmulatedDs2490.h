#pragma once
// An emulated DS2490 USB bridge in front of a 1-Wire bus, seen through the USB
// transport port. It keeps the command FIFO, the two 128-byte data FIFOs and
// the status packet as the chip does, runs reset, bit, byte, block and search
// commands on the bus, answers STALL to what it does not know, and can be told
// to fail. With timing on it keeps a model clock: one USB transfer per 1 ms
// frame and the bus time of each command at regular speed, so the status
// endpoint shows the chip busy until a command has really had time to end.
// How it reads the points the documents leave open: docs/EMULATOR.md.
// EmulatedUsbHost lists such chips as adapters.
#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "device/onewire/Link.h"
#include "device/usb/UsbTransport.h"

class EmulatedDs2490 : public UsbTransport {
public:
    explicit EmulatedDs2490(Link& bus);

    enum class Pipe { Control, DataOut, DataIn, Status };

    // ---- faults -------------------------------------------------------------
    UsbError OpenError = UsbError::None;  // what Open answers (Access, Busy ...)
    bool BusShorted = false;              // resets and searches see a short
    // The transfer on the pipe after `skip` more answers STALL; a bulk or interrupt
    // endpoint stays halted until ClearHalt, endpoint 0 takes the next request again.
    void StallNext(Pipe pipe, int skip = 0);
    // Unplugged after this many more transfers (0: before the next one).
    void VanishAfter(int transfers);
    void Unplug() { plugged = false; }
    void Plug();
    bool Plugged() const { return plugged; }
    // The command after `skip` more is reported busy for this many status reads after its end.
    void DelayStatus(int polls, int skip = 0) {
        delayPolls = polls;
        delaySkip = skip;
    }
    // The chip halts as after a halt command; only a resume or a device reset helps.
    void Halt() { halted = true; }
    // Forgets the faults still due (not a halt, a halted endpoint or an unplugging that happened).
    void ClearFaults();
    // Commands take no time in the status unless this is on.
    void EnableTiming(bool on, int frameUs = 1000) {
        timing = on;
        frameLengthUs = frameUs;
    }

    // ---- what happened ------------------------------------------------------
    std::int64_t ElapsedUs() const { return nowUs; }
    int Transfers() const { return transfers; }
    int StatusReads() const { return statusReads; }
    int Commands() const { return commands; }
    int DeviceResets() const { return deviceResets; }
    int PortResets() const { return portResets; }
    int AltSetting() const { return altSetting; }
    bool KernelDriverBound() const { return kernelDriver; }
    // Commands that broke the chip's rules (a FIFO overrun): a correct host never causes one.
    int ProtocolViolations() const { return violations; }
    std::vector<std::string> Log;  // one line per command run, for failing tests

    UsbError Open(int altSetting, std::string& error) override;
    void Close() override;
    bool IsOpen() const override { return open; }
    UsbTransfer Control(std::uint8_t requestType, std::uint8_t request, std::uint16_t value,
                        std::uint16_t index, std::uint8_t* data, std::uint16_t length,
                        int timeoutMs) override;
    UsbTransfer Bulk(std::uint8_t endpoint, std::uint8_t* data, int length, int timeoutMs) override;
    UsbTransfer Interrupt(std::uint8_t endpoint, std::uint8_t* data, int length, int timeoutMs) override;
    UsbError ClearHalt(std::uint8_t endpoint) override;
    UsbError ResetDevice() override;

private:
    struct Waiting {  // a command in the command FIFO
        std::uint16_t value, index;
    };
    struct Running {  // a command on the bus, its output held until it ends
        std::int64_t startUs;
        std::int64_t endUs;
        int delayPolls;
        std::vector<std::uint8_t> data;
        std::vector<std::uint8_t> results;
        std::uint16_t value;
    };

    // Common entry of every transfer: false (with the error) when it cannot happen.
    bool Begin(Pipe pipe, UsbError& error);
    void EndTransfer();
    void DeviceReset();
    bool ControlRequest(std::uint16_t value, bool in);
    bool ModeRequest(std::uint16_t value, std::uint16_t index);
    bool CommRequest(std::uint16_t value, std::uint16_t index);
    // Starts the waiting commands whose data is in the FIFO.
    void StartWaiting();
    void Execute(const Waiting& command);
    // Runs the search passes; the result bits, and the number of passes in `passes`.
    std::uint8_t Search(const Waiting& command, Running& run, int& passes);
    ResetResult BusReset();
    std::int64_t SlotUs() const;
    std::int64_t ResetUs() const;
    // Moves the output of the commands that have ended into the data-in FIFO and results.
    void Settle(bool statusRead);
    bool Idle() const;
    std::array<std::uint8_t, 16> StateBytes() const;

    Link& bus;
    bool plugged = true, open = false, kernelDriver = true;
    int altSetting = 0;
    std::array<int, 4> stallCountdown{-1, -1, -1, -1};  // by Pipe; -1: none due
    std::array<bool, 4> halt{};                         // by Pipe
    int vanishCountdown = -1;
    int delayPolls = 0, delaySkip = 0;
    bool halted = false, ep0Full = false, lastError = false;
    bool timing = false;
    int frameLengthUs = 1000;
    std::int64_t nowUs = 0, busyUntilUs = 0;
    std::array<std::uint8_t, 8> modes{};
    std::deque<Waiting> waiting;
    std::deque<Running> running;
    std::deque<std::uint8_t> dataOut, dataIn, results;
    int transfers = 0, statusReads = 0, commands = 0, deviceResets = 0, portResets = 0, violations = 0;
};
