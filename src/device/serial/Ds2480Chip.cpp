#include "device/serial/Ds2480Chip.h"

#include <ostream>

#include "device/onewire/TracingLink.h"

using namespace ds2480;

Ds2480Chip::Ds2480Chip(VirtualBus& virtualBus) : Ds2480Chip(virtualBus, Options{}) {}

Ds2480Chip::Ds2480Chip(VirtualBus& virtualBus, Options chipOptions) : bus(virtualBus), options(chipOptions) {
    PowerUp();
}

void Ds2480Chip::PowerUp(double nowUs) {
    ++masterResets;
    baud = 9600;
    reversedLine = false;
    calibrated = false;
    dataMode = escapePending = accelerator = pulseActive = pullUpArmed = false;
    speed = Speed::Standard;
    config = DefaultConfig();
    timeline.Restart(nowUs);
}

void Ds2480Chip::ClearFaults() {
    silentAfter = kNever;
    dropReplies = 0;
}

void Ds2480Chip::Note(const char* what, std::uint8_t byte) {
    if (trace) *trace << "DS2480B: " << what << ": " << HexBytes(&byte, 1) << '\n';
}

void Ds2480Chip::Send(std::uint8_t byte, std::vector<Reply>& replies) {
    const double at = timeline.Reply(CharUs(baud));
    if (dropReplies > 0) {
        --dropReplies;
        return;
    }
    replies.push_back({byte, baud, reversedLine, at});
}

void Ds2480Chip::DriveBusAt(Speed busSpeed) {
    speed = busSpeed;
    bus.SetSpeed(busSpeed == Speed::Overdrive ? BusSpeed::Overdrive : BusSpeed::Standard);
}

void Ds2480Chip::Receive(std::uint8_t byte, int hostBaud, double sentUs, std::vector<Reply>& replies) {
    if (received++ >= silentAfter) return;
    // A slower (or inverted) character ends with a low where the stop bit belongs: a framing
    // error, which the chip takes for a master reset. A faster one is too short to notice.
    if (reversedLine || hostBaud < baud) {
        Note("framing error, master reset", byte);
        PowerUp(sentUs + CharUs(hostBaud));
        return;
    }
    if (hostBaud > baud) {
        Note("too fast for the chip's rate, lost", byte);
        return;
    }
    if (!timeline.Take(sentUs, CharUs(baud))) {
        ++overruns;
        Note("receive buffer overrun, lost", byte);
        return;
    }
    Execute(byte, replies);
}

void Ds2480Chip::Execute(std::uint8_t byte, std::vector<Reply>& replies) {
    if (!calibrated) {
        // The first byte after a master reset only times the chip's baud-rate generator.
        calibrated = true;
        if ((byte & 0xE3) != kResetCommand) Note("calibration byte is not a reset command", byte);
        if (options.answersCalibration) Send(0xCD, replies);
        return;
    }
    if (pulseActive) {
        if (byte == kStopPulse) {
            pulseActive = false;
            Send(pulseReply, replies);
        } else {
            Note("ignored during an endless pulse", byte);
        }
        return;
    }
    if (!dataMode) {
        CommandByte(byte, replies);
        return;
    }
    if (escapePending) {
        escapePending = false;
        if (byte == kCommandMode) {
            DataByte(byte, replies);
        } else {
            dataMode = false;
            CommandByte(byte, replies);
        }
        return;
    }
    if (byte == kCommandMode) {
        escapePending = true;
        return;
    }
    DataByte(byte, replies);
}

void Ds2480Chip::CommandByte(std::uint8_t byte, std::vector<Reply>& replies) {
    if (byte == kDataMode) {
        dataMode = true;
    } else if (byte == kCommandMode || byte == kStopPulse) {
        // Already in command mode; nothing to stop.
    } else if ((byte & 0x81) == 0x81) {
        Communication(byte, replies);
    } else if ((byte & 0x81) == 0x01) {
        Configuration(byte, replies);
    } else {
        Note("not a command, ignored", byte);
    }
}

void Ds2480Chip::Communication(std::uint8_t byte, std::vector<Reply>& replies) {
    const Speed commanded = SpeedOfCommand(byte);
    switch ((byte >> 5) & 3) {
        case 0: {  // single bit
            DriveBusAt(commanded);
            const int read = bus.TouchBit((byte & kBitValue) ? 1 : 0);
            ++bytesOnBus;
            timeline.Run(SlotUs(speed, config));
            Send(static_cast<std::uint8_t>((byte & 0xFC) | (read == 1 ? 0x03 : 0x00)), replies);
            if (byte & kBitPullUp) {
                const auto pullUp = PulseUs(false, config);
                if (pullUp) {
                    timeline.Extend(*pullUp);
                } else {
                    pulseActive = true;
                    pulseReply = static_cast<std::uint8_t>(kPulse & 0xFC);
                }
            }
            return;
        }
        case 1:  // search accelerator on or off; sets the speed of data mode
            speed = commanded;
            accelerator = (byte & kAcceleratorOn) != 0;
            return;
        case 2: {  // reset
            DriveBusAt(commanded);
            int code = 3;
            switch (bus.Reset()) {
                case ResetResult::Short:
                    code = 0;
                    break;
                case ResetResult::Presence:
                    code = 1;
                    break;
                case ResetResult::AlarmingPresence:
                    code = 2;
                    break;
                default:
                    break;
            }
            timeline.Run(ResetUs(speed));
            Send(static_cast<std::uint8_t>(0xC0 | (options.programmingVoltage ? 0x20 : 0) |
                                           (options.revision & 7) << 2 | code),
                 replies);
            return;
        }
        default:
            break;
    }
    // Pulse: speed bits 11. The other codes of this group are the mode switches.
    if ((byte & 0x0C) != 0x0C) {
        Note("not a command, ignored", byte);
        return;
    }
    const bool twelveVolt = (byte & kPulse12V) != 0;
    pullUpArmed = (byte & kPulseArm) != 0;
    const auto duration = PulseUs(twelveVolt, config);
    const auto reply = static_cast<std::uint8_t>(byte & 0xFC);
    if (!duration) {
        pulseActive = true;
        pulseReply = reply;
        return;
    }
    timeline.Run(*duration);
    Send(reply, replies);
}

void Ds2480Chip::Configuration(std::uint8_t byte, std::vector<Reply>& replies) {
    const int parameter = (byte >> 4) & 7;
    if (parameter == 0) {
        const int read = (byte >> 1) & 7;
        Send(static_cast<std::uint8_t>((byte & 0xF0) | (read ? config[static_cast<std::size_t>(read)] : 0)
                                                           << 1),
             replies);
        return;
    }
    const int value = (byte >> 1) & 7;
    config[static_cast<std::size_t>(parameter)] = static_cast<std::uint8_t>(value);
    if (parameter == kSpud && value == 6) Note("pull-up duration code 6 is not to be used", byte);
    if (parameter == kRbr) {
        // The echo already goes out at the new rate.
        baud = BaudOfCode(value);
        reversedLine = value >= 4;
    }
    Send(static_cast<std::uint8_t>(byte & 0xFE), replies);
}

void Ds2480Chip::DataByte(std::uint8_t byte, std::vector<Reply>& replies) {
    bus.SetSpeed(speed == Speed::Overdrive ? BusSpeed::Overdrive : BusSpeed::Standard);
    ++bytesOnBus;
    std::uint8_t read = 0xFF;
    if (accelerator) {
        read = AcceleratedBits(byte);
    } else {
        const int touched = bus.TouchByte(byte);
        read = touched < 0 ? 0xFF : static_cast<std::uint8_t>(touched);
    }
    timeline.Run(DataByteUs(speed, accelerator, config));
    if (pullUpArmed) {
        if (const auto pullUp = PulseUs(false, config)) timeline.Extend(*pullUp);
    }
    Send(read, replies);
}

std::uint8_t Ds2480Chip::AcceleratedBits(std::uint8_t directions) {
    // Four ROM bits: read the bit and its complement, write the direction. Where the
    // devices disagree the host's preferred direction (odd bits of its byte) is taken;
    // where nobody answers the chip writes 1, so every later bit is lost as well.
    std::uint8_t reply = 0;
    for (int i = 0; i < 4; ++i) {
        const int preferred = (directions >> (2 * i + 1)) & 1;
        const int bit = bus.TouchBit(1) == 1, complement = bus.TouchBit(1) == 1;
        int direction = bit, disagreed = 0;
        if (bit == complement) {
            disagreed = 1;
            direction = bit ? 1 : preferred;
        }
        bus.TouchBit(direction);
        reply = static_cast<std::uint8_t>(reply | disagreed << (2 * i) | direction << (2 * i + 1));
    }
    return reply;
}
