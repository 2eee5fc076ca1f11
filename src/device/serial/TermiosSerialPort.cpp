#include "device/serial/TermiosSerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace {
speed_t SpeedFor(int baud) {
    switch (baud) {
        case 4800:  // only for the NUL that resets a DS2480B on a line without a break
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        default:
            return 0;
    }
}
}  // namespace

TermiosSerialPort::TermiosSerialPort(std::string devicePath) : path(std::move(devicePath)) {}

TermiosSerialPort::~TermiosSerialPort() { Close(); }

bool TermiosSerialPort::Open(std::string& error) {
    Close();
    fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = "Cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = path + " is already in use by another program.";
        Close();
        return false;
    }
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        error = path + " is not a serial port: " + std::strerror(errno);
        Close();
        return false;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(CSTOPB | PARENB | CRTSCTS);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::tcsetattr(fd, TCSANOW, &tio) != 0 || !SetBaud(9600)) {
        error = "Cannot configure " + path + ": " + std::strerror(errno);
        Close();
        return false;
    }
    Flush();
    return true;
}

void TermiosSerialPort::Close() {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

bool TermiosSerialPort::SetBaud(int baud) {
    const speed_t speed = SpeedFor(baud);
    termios tio{};
    if (fd < 0 || speed == 0 || ::tcgetattr(fd, &tio) != 0) return false;
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    return ::tcsetattr(fd, TCSADRAIN, &tio) == 0;
}

bool TermiosSerialPort::Write(const std::uint8_t* data, std::size_t length) {
    std::size_t done = 0;
    while (fd >= 0 && done < length) {
        const ssize_t written = ::write(fd, data + done, length - done);
        if (written > 0) {
            done += static_cast<std::size_t>(written);
        } else if (written < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        } else {
            pollfd waiting{fd, POLLOUT, 0};
            if (::poll(&waiting, 1, 1000) <= 0) return false;
        }
    }
    return fd >= 0 && ::tcdrain(fd) == 0;
}

int TermiosSerialPort::Read(std::uint8_t* data, std::size_t length, int timeoutMs) {
    if (fd < 0) return -1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::size_t done = 0;
    while (done < length) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd waiting{fd, POLLIN, 0};
        const int ready = ::poll(&waiting, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno != EINTR) return -1;
        if (ready <= 0) continue;
        const ssize_t got = ::read(fd, data + done, length - done);
        if (got < 0 && errno != EAGAIN && errno != EINTR) return -1;
        if (got > 0) done += static_cast<std::size_t>(got);
    }
    return static_cast<int>(done);
}

void TermiosSerialPort::Flush() {
    if (fd >= 0) ::tcflush(fd, TCIOFLUSH);
}

bool TermiosSerialPort::SendBreak() { return fd >= 0 && ::tcsendbreak(fd, 0) == 0; }

void TermiosSerialPort::Sleep(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
