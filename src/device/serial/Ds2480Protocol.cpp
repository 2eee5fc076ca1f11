#include "device/serial/Ds2480Protocol.h"

#include <algorithm>

namespace ds2480 {

Speed SpeedOfCommand(std::uint8_t command) {
    switch ((command >> 2) & 3) {
        case 1:
            return Speed::Flexible;
        case 2:
            return Speed::Overdrive;
        default:
            return Speed::Standard;
    }
}

std::uint8_t SpeedBits(Speed speed) {
    switch (speed) {
        case Speed::Flexible:
            return 0x04;
        case Speed::Overdrive:
            return 0x08;
        case Speed::Standard:
            break;
    }
    return 0x00;
}

Config DefaultConfig() {
    Config config{};
    config[kPpd] = 4;   // 512 us
    config[kSpud] = 4;  // 524 ms
    config[kLoad] = 4;  // 3.0 mA
    return config;      // slew 15 V/us, write-1 low 8 us, sample offset 3 us, 9600 bit/s
}

int BaudOfCode(int code) {
    static const int rates[4] = {9600, 19200, 57600, 115200};
    return rates[code & 3];
}

int CodeOfBaud(int baud) {
    for (int code = 0; code < 4; ++code)
        if (BaudOfCode(code) == baud) return code;
    return -1;
}

double CharUs(int baud) { return baud > 0 ? 10e6 / baud : 0.0; }

double ResetUs(Speed speed) { return speed == Speed::Overdrive ? 138.0 : 1096.0; }

double SlotUs(Speed speed, const Config& config) {
    if (speed == Speed::Overdrive) return 10.0;
    if (speed == Speed::Standard) return 60.0;
    // Flexible: the configured write-1 low time and sample offset lengthen the slot.
    const double write1Low = 8.0 + (config[kW1lt] & 7), offset = 3.0 + (config[kDso] & 7);
    return std::max(write1Low + offset + 49.0, 57.0 + offset);
}

double DataByteUs(Speed speed, bool accelerator, const Config& config) {
    return (accelerator ? 12 : 8) * SlotUs(speed, config);
}

std::optional<double> PulseUs(bool twelveVolt, const Config& config) {
    const int code = (twelveVolt ? config[kPpd] : config[kSpud]) & 7;
    if (code == 7) return std::nullopt;
    static const double programming[7] = {32, 64, 128, 256, 512, 1024, 2048};
    // Code 6 of the pull-up is not to be used; it is taken as the longest finite one.
    static const double pullUp[7] = {16.4e3, 65.5e3, 131e3, 262e3, 524e3, 1048e3, 1048e3};
    return twelveVolt ? programming[code] : pullUp[code];
}

void Timeline::Restart(double nowUs) { rxEnd = lastStart = runEnd = txEnd = nowUs; }

std::optional<double> Timeline::Take(double sentUs, double charUs) {
    const double arrived = std::max(sentUs, rxEnd) + charUs;
    rxEnd = arrived;
    if (lastStart > arrived) return std::nullopt;  // the byte before still waits in the buffer
    lastStart = std::max(arrived, runEnd);
    runEnd = lastStart;
    return lastStart;
}

void Timeline::Run(double durationUs) { runEnd = lastStart + durationUs; }

double Timeline::Reply(double charUs) {
    txEnd = std::max(runEnd, txEnd) + charUs;
    return txEnd;
}

}  // namespace ds2480
