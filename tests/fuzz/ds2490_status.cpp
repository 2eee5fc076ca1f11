// The DS2490 host: any bytes as what the USB adapter sends back (status
// packets, bulk data, failed transfers), through the USB transport interface,
// while the link opens, resets, searches and reads a page.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "LinkExercise.h"
#include "device/usb/Ds2490Link.h"
#include "device/usb/UsbTransport.h"

namespace {
// Hands out the fuzz input in order. Each transfer towards the host takes a
// control byte first: F0h and above is a failed transfer (the low bits pick
// which), anything else how many bytes come back at most; transfers to the
// device always succeed.
class Replies {
public:
    Replies(const std::uint8_t* data, std::size_t size) : data(data), size(size) {}
    UsbTransfer In(std::uint8_t* out, int length) {
        if (next >= size) return {UsbError::Timeout, 0};
        const std::uint8_t control = data[next++];
        static constexpr UsbError kFailures[] = {UsbError::Timeout, UsbError::Stall, UsbError::NoDevice,
                                                 UsbError::Overflow, UsbError::Io};
        if (control >= 0xF0) return {kFailures[(control & 0x0F) % 5], 0};
        const int wanted = std::min(length, static_cast<int>(control));
        const int count = std::min(wanted, static_cast<int>(size - next));
        std::copy(data + next, data + next + count, out);
        next += static_cast<std::size_t>(count);
        return {UsbError::None, count};
    }

private:
    const std::uint8_t* data;
    std::size_t size;
    std::size_t next = 0;
};

class ReplayTransport : public UsbTransport {
public:
    explicit ReplayTransport(Replies& replies) : replies(replies) {}
    UsbError Open(int, std::string&) override {
        open = true;
        return UsbError::None;
    }
    void Close() override { open = false; }
    bool IsOpen() const override { return open; }
    UsbTransfer Control(std::uint8_t requestType, std::uint8_t, std::uint16_t, std::uint16_t,
                        std::uint8_t* data, std::uint16_t length, int) override {
        if (requestType & 0x80) return replies.In(data, length);
        return {UsbError::None, length};
    }
    UsbTransfer Bulk(std::uint8_t endpoint, std::uint8_t* data, int length, int) override {
        if (endpoint & 0x80) return replies.In(data, length);
        return {UsbError::None, length};
    }
    UsbTransfer Interrupt(std::uint8_t, std::uint8_t* data, int length, int) override {
        return replies.In(data, length);
    }
    UsbError ClearHalt(std::uint8_t) override { return UsbError::None; }
    UsbError ResetDevice() override { return UsbError::None; }

private:
    Replies& replies;
    bool open = false;
};

class ReplayHost : public UsbHost {
public:
    explicit ReplayHost(Replies& replies) : replies(replies) {}
    std::vector<UsbAdapterInfo> FindAdapters(std::string&) override {
        UsbAdapterInfo adapter;
        adapter.Bus = 1;
        adapter.Address = 2;
        adapter.PortPath = "1-1";
        adapter.Emulated = true;
        return {adapter};
    }
    std::unique_ptr<UsbTransport> Connect(const UsbAdapterInfo&) override {
        return std::make_unique<ReplayTransport>(replies);
    }
    std::string Version() const override { return "replay"; }

private:
    Replies& replies;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Replies replies(data, size);
    ReplayHost host(replies);
    Ds2490Link link(host, 1);
    ExerciseLink(link);
    return 0;
}
