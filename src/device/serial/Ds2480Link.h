#pragma once
// The DS9097U adapter: a DS2480B line driver behind a serial port. After the
// master reset and calibration at 9600 bit/s it moves the line to 115,200 bit/s
// when the chip answers there; a page read goes out as one stream (reset,
// Match or Overdrive Match ROM, the read), and a device left in overdrive by
// the last read is selected again at overdrive; the ROM search runs on the
// chip's search accelerator. Writes are cut only where a real chip's one-byte
// receive buffer would overrun. Anything off (no answer at the fast
// rate, a lost reply) falls back to 9600 bit/s, and the bit layouts the
// documents do not confirm are marked where they are relied on.
#include <array>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/onewire/Link.h"
#include "device/serial/Ds2480Protocol.h"
#include "device/serial/SerialPort.h"

class Ds2480Link : public Link {
public:
    struct Options {
        int fastestBaud = 115200;  // 9600 keeps the power-up rate
        bool overdrive = true;     // honour SelectBlock's overdrive wish
    };

    explicit Ds2480Link(std::unique_ptr<SerialPort> port);
    Ds2480Link(std::unique_ptr<SerialPort> port, Options options);

    // Fallbacks and resynchronisations are written here (KELVARA_TRACE=1).
    void SetTrace(std::ostream* out, std::string name);
    // The rate the line runs at now.
    int Baud() const { return baud; }

    bool Open(std::string& error) override;
    void Close() override;
    bool IsOpen() const override { return open; }
    ResetResult Reset() override;
    int TouchBit(int bit) override;
    int TouchByte(std::uint8_t byte) override;
    bool Block(std::uint8_t* data, std::size_t length) override;
    bool TouchBits(std::uint8_t* bits, std::size_t count) override;
    SearchPassResult SearchPass(const std::array<std::uint8_t, 8>& directions, bool conditional,
                                std::array<std::uint8_t, 8>& rom,
                                std::array<std::uint8_t, 8>& discrepancies) override;
    ResetResult SelectBlock(const std::uint8_t rom[8], bool overdrive, std::uint8_t* data,
                            std::size_t length) override;
    bool SupportsOverdrive() const override { return options.overdrive; }
    std::string Version() const override;

private:
    enum class Mode { Command, Data };
    // One byte to send, whether the chip answers it, and how long it keeps the bus.
    struct Out {
        std::uint8_t byte;
        bool replies;
        double busUs;
    };
    using Plan = std::vector<Out>;

    void Note(const std::string& text) override;
    // Master reset, then the calibration byte at 9600 bit/s and a configuration probe.
    bool Synchronise();
    // Moves the line to the fastest rate the chip answers at.
    void SpeedUp();
    int Command(std::uint8_t command);
    // Called after any broken exchange: the chip's state is unknown, start over.
    void Lost(const std::string& why);
    // Resynchronises after a loss, reopening the port if the adapter was unplugged.
    bool Recover();
    bool Ready();

    // Plan builders; they follow the chip's mode and speed as the bytes would leave it.
    void ToCommand(Plan& plan);
    void ToData(Plan& plan);
    void AddReset(Plan& plan);
    void AddData(Plan& plan, std::uint8_t byte);
    // Sends the plan in as few writes as the chip's receive buffer allows; `replies` gets
    // one byte per answered entry. False (the link lost) when they do not all come.
    bool Exchange(const Plan& plan, std::vector<std::uint8_t>& replies);
    ResetResult DecodeReset(std::uint8_t reply);

    std::unique_ptr<SerialPort> port;
    Options options;
    std::ostream* trace = nullptr;
    std::string traceName;
    Mode mode = Mode::Command;
    ds2480::Speed chipSpeed = ds2480::Speed::Standard;  // the speed of data mode
    bool accelerator = false;
    int baud = 9600;
    bool fastRateFailed = false;
    bool open = false;
    bool needsSync = false;
    int chipRevision = -1;
    // The device the last overdrive select left in overdrive, until a standard reset.
    std::optional<std::array<std::uint8_t, 8>> deviceInOverdrive;
};
