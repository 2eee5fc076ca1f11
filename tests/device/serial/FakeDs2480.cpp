#include "device/serial/FakeDs2480.h"

FakeDs2480Port::FakeDs2480Port(Link& link) : bus(link) {}

bool FakeDs2480Port::Open(std::string& error) {
    if (failOpen) {
        error = "Cannot open fake-ttyS0: No such file or directory";
        return false;
    }
    open = true;
    baud = 9600;
    return true;
}

bool FakeDs2480Port::SetBaud(int rate) {
    baud = rate;
    return true;
}

bool FakeDs2480Port::SendBreak() {
    ++breaks;
    calibrated = false;
    dataMode = false;
    pendingEscape = false;
    config = {};
    return true;
}

bool FakeDs2480Port::Write(const std::uint8_t* data, std::size_t length) {
    if (!open) return false;
    for (std::size_t i = 0; i < length; ++i) Receive(data[i]);
    return true;
}

int FakeDs2480Port::Read(std::uint8_t* data, std::size_t length, int) {
    if (!open) return -1;
    std::size_t count = 0;
    while (count < length && !replies.empty()) {
        data[count++] = replies.front();
        replies.pop_front();
    }
    return static_cast<int>(count);
}

void FakeDs2480Port::Reply(int byte) {
    if (dropReplies > 0) {
        --dropReplies;
        return;
    }
    replies.push_back(static_cast<std::uint8_t>(byte));
}

void FakeDs2480Port::Receive(std::uint8_t byte) {
    hostBytes.push_back(byte);
    if (!chipPresent) return;
    if (!calibrated) {
        // Only a byte at 9600 bit/s calibrates; it never reaches the bus.
        if (baud == 9600) {
            calibrated = true;
            if (answersCalibration) Reply(0xCD);
        }
        return;
    }
    if (dataMode) {
        if (pendingEscape) {
            pendingEscape = false;
            if (byte == 0xE3) {
                busBytes.push_back(byte);
                Reply(bus.TouchByte(byte));
                return;
            }
            dataMode = false;
            Command(byte);
            return;
        }
        if (byte == 0xE3) {
            pendingEscape = true;
            return;
        }
        busBytes.push_back(byte);
        Reply(bus.TouchByte(byte));
        return;
    }
    Command(byte);
}

void FakeDs2480Port::Command(std::uint8_t byte) {
    if (byte == 0xE1) {
        dataMode = true;
        return;
    }
    if ((byte & 0xE3) == 0xC1) {
        int code = 3;
        switch (bus.Reset()) {
            case ResetResult::Short: code = 0; break;
            case ResetResult::Presence: code = 1; break;
            case ResetResult::AlarmingPresence: code = 2; break;
            case ResetResult::NoPresence: code = 3; break;
            case ResetResult::LinkError: return;
        }
        Reply(0xCC | resetCodeOverride.value_or(code));
        return;
    }
    if ((byte & 0xE1) == 0x81) {
        const int read = bus.TouchBit((byte >> 4) & 1);
        if (read >= 0) Reply((byte & 0xFC) | (read ? 0x03 : 0x00));
        return;
    }
    if ((byte & 0x81) == 0x01) {
        const int parameter = (byte >> 4) & 7;
        if (parameter == 0) {
            Reply((byte & 0xF0) | (config[(byte >> 1) & 7] << 1));
        } else {
            config[parameter] = (byte >> 1) & 7;
            Reply(byte & 0xFE);
        }
    }
}
