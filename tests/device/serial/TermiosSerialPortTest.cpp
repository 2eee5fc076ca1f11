#include "device/serial/TermiosSerialPort.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>

namespace {

// A pseudo-terminal stands in for the serial line: the test holds the far end.
struct PseudoTerminal {
    PseudoTerminal() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0) path = ::ptsname(master);
    }
    ~PseudoTerminal() {
        if (master >= 0) ::close(master);
    }
    int master = -1;
    std::string path;
};

}  // namespace

TEST(TermiosSerialPort, ExchangesBytesWithTheFarEnd) {
    PseudoTerminal pty;
    if (pty.path.empty()) GTEST_SKIP() << "no pseudo-terminals here";
    TermiosSerialPort port(pty.path);
    std::string error;
    ASSERT_TRUE(port.Open(error)) << error;
    EXPECT_EQ(port.Name(), pty.path);

    const std::uint8_t sent[3] = {0xC1, 0x00, 0xE3};
    ASSERT_TRUE(port.Write(sent, 3));
    std::uint8_t far[3] = {};
    ASSERT_EQ(::read(pty.master, far, 3), 3);
    EXPECT_EQ(0, std::memcmp(far, sent, 3)) << "raw mode: bytes pass unchanged";

    const std::uint8_t reply[2] = {0xCD, 0x11};
    ASSERT_EQ(::write(pty.master, reply, 2), 2);
    std::uint8_t got[4] = {};
    EXPECT_EQ(port.Read(got, 2, 1000), 2);
    EXPECT_EQ(got[0], 0xCD);
    EXPECT_EQ(port.Read(got, 1, 20), 0) << "a timeout gives a short count";
    EXPECT_TRUE(port.SetBaud(115200));
    EXPECT_FALSE(port.SetBaud(12345));
}

TEST(TermiosSerialPort, RefusesAPortInUseOrMissing) {
    PseudoTerminal pty;
    if (pty.path.empty()) GTEST_SKIP() << "no pseudo-terminals here";
    TermiosSerialPort first(pty.path), second(pty.path);
    std::string error;
    ASSERT_TRUE(first.Open(error)) << error;
    EXPECT_FALSE(second.Open(error));
    EXPECT_NE(error.find("in use"), std::string::npos) << error;
    first.Close();
    EXPECT_TRUE(second.Open(error)) << error;

    TermiosSerialPort missing("/dev/kelvara-no-such-port");
    EXPECT_FALSE(missing.Open(error));
    EXPECT_NE(error.find("/dev/kelvara-no-such-port"), std::string::npos);
    EXPECT_EQ(missing.Read(nullptr, 0, 0), -1);
}
