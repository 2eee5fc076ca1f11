// The DS2480B host: any bytes as the adapter's replies, through the serial
// port interface, while the link opens, resets, searches and reads a page.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "LinkExercise.h"
#include "device/serial/Ds2480Link.h"
#include "device/serial/SerialPort.h"

namespace {
// A serial port whose far end answers with the fuzz input, byte after byte,
// and then with silence; whatever the host sends is accepted.
class ReplayPort : public SerialPort {
public:
    ReplayPort(const std::uint8_t* data, std::size_t size) : data(data), size(size) {}
    bool Open(std::string&) override {
        open = true;
        return true;
    }
    void Close() override { open = false; }
    bool IsOpen() const override { return open; }
    bool SetBaud(int) override { return true; }
    bool Write(const std::uint8_t*, std::size_t) override { return open; }
    int Read(std::uint8_t* out, std::size_t length, int) override {
        if (!open) return -1;
        const std::size_t count = std::min(length, size - next);
        std::copy(data + next, data + next + count, out);
        next += count;
        return static_cast<int>(count);
    }
    void Flush() override {}
    bool SendBreak() override { return true; }
    void Sleep(int) override {}
    std::string Name() const override { return "replay"; }

private:
    const std::uint8_t* data;
    std::size_t size;
    std::size_t next = 0;
    bool open = false;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Ds2480Link link(std::make_unique<ReplayPort>(data, size));
    ExerciseLink(link);
    return 0;
}
