#include "support/ChipSerialPort.h"

#include <algorithm>

ChipSerialPort::ChipSerialPort(Ds2480Chip& emulated) : chip(emulated) {}

bool ChipSerialPort::Open(std::string& error) {
    if (failOpen) {
        error = "Cannot open chip-ttyS0: No such file or directory";
        return false;
    }
    // Opening the port powers the adapter from its lines.
    open = true;
    baud = 9600;
    chip.PowerUp(nowUs);
    return true;
}

bool ChipSerialPort::SetBaud(int rate) {
    if (rate != 4800 && rate != 9600 && rate != 19200 && rate != 57600 && rate != 115200) return false;
    baud = rate;
    return true;
}

bool ChipSerialPort::Write(const std::uint8_t* data, std::size_t length) {
    if (!open) return false;
    ++writeCalls;
    std::vector<Ds2480Chip::Reply> answers;
    for (std::size_t i = 0; i < length; ++i) {
        hostBytes.push_back(data[i]);
        if (fastRatesDead && baud > 9600) continue;
        chip.Receive(data[i], baud, nowUs, answers);
    }
    for (const auto& answer : answers) {
        // The host reads only what comes at its own rate and polarity.
        if (answer.baud != baud || answer.reversedLine || (fastRatesDead && baud > 9600)) continue;
        nowUs = std::max(nowUs, answer.atUs);
        const auto byte = static_cast<std::uint8_t>(answer.byte ^ garbleNextReply);
        garbleNextReply = 0;
        if (holdReplies > 0) {
            --holdReplies;
            held.push_back(byte);
        } else {
            replies.push_back(byte);
        }
    }
    return true;
}

int ChipSerialPort::Read(std::uint8_t* data, std::size_t length, int) {
    if (!open) return -1;
    std::size_t count = 0;
    while (count < length && !replies.empty()) {
        data[count++] = replies.front();
        replies.pop_front();
    }
    return static_cast<int>(count);
}

void ChipSerialPort::Flush() {
    replies.assign(held.begin(), held.end());
    held.clear();
}

bool ChipSerialPort::SendBreak() {
    ++breaks;
    if (breakCrosses) chip.PowerUp(nowUs);
    return true;
}
