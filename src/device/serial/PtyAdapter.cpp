#include "device/serial/PtyAdapter.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <future>
#include <ostream>

namespace {

int RateOf(speed_t speed) {
    switch (speed) {
        case B1200:
            return 1200;
        case B2400:
            return 2400;
        case B4800:
            return 4800;
        case B9600:
            return 9600;
        case B19200:
            return 19200;
        case B38400:
            return 38400;
        case B57600:
            return 57600;
        case B115200:
            return 115200;
        case B230400:
            return 230400;
        default:
            return 0;
    }
}

constexpr char kStopByte = 'S', kTaskByte = 'T';

}  // namespace

PtyAdapter::PtyAdapter(Ds2480Chip& emulated, Options adapterOptions)
    : chip(emulated), options(adapterOptions) {}

PtyAdapter::~PtyAdapter() {
    for (int fd : {master, watch, wake[0], wake[1]})
        if (fd >= 0) ::close(fd);
}

bool PtyAdapter::Open(std::string& error) {
    master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    char name[128] = {};
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
        ::ptsname_r(master, name, sizeof name) != 0) {
        error = std::string("Cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    slavePath = name;
    // A new slave starts in cooked mode; a host sets its own modes, but the rate starts at 9600.
    if (termios tio{}; ::tcgetattr(master, &tio) == 0) {
        ::cfsetispeed(&tio, B9600);
        ::cfsetospeed(&tio, B9600);
        ::tcsetattr(master, TCSANOW, &tio);
    }
    watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch < 0 || ::inotify_add_watch(watch, name, IN_OPEN | IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0) {
        error = std::string("Cannot watch ") + name + ": " + std::strerror(errno);
        return false;
    }
    if (::pipe2(wake, O_NONBLOCK | O_CLOEXEC) != 0) {
        error = std::string("Cannot create a pipe: ") + std::strerror(errno);
        return false;
    }
    return true;
}

void PtyAdapter::Stop() {
    if (wake[1] < 0) return;
    [[maybe_unused]] const auto written = ::write(wake[1], &kStopByte, 1);
}

void PtyAdapter::Run(const std::function<void()>& task) {
    std::promise<void> done;
    auto finished = done.get_future();
    {
        std::lock_guard lock(taskLock);
        tasks.push_back([&] {
            task();
            done.set_value();
        });
    }
    [[maybe_unused]] const auto written = ::write(wake[1], &kTaskByte, 1);
    finished.wait();
}

void PtyAdapter::RunTasks() {
    std::vector<std::function<void()>> due;
    {
        std::lock_guard lock(taskLock);
        due.swap(tasks);
    }
    for (auto& task : due) task();
}

double PtyAdapter::NowUs() const {
    if (!options.paced) return lastDeliveredUs;
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - origin).count();
}

int PtyAdapter::HostBaud() const {
    termios tio{};
    if (::tcgetattr(master, &tio) != 0) return 0;
    return RateOf(::cfgetospeed(&tio));
}

void PtyAdapter::HostArrived() {
    ++hostsServed;
    pending.clear();
    lastBaud = HostBaud();
    chip.PowerUp(NowUs());
    if (options.trace) *options.trace << "vadapter: host opened " << slavePath << ": power-up\n";
}

void PtyAdapter::HostLeft() {
    pending.clear();
    chip.PowerUp(NowUs());
    if (options.trace) *options.trace << "vadapter: host closed " << slavePath << '\n';
    if (OnHostLeft) OnHostLeft();
}

void PtyAdapter::HandleOpenEvents() {
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(watch, buffer, sizeof buffer);
        if (got <= 0) return;
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->mask & IN_OPEN) {
                if (openers++ == 0) HostArrived();
            } else if (event->mask & (IN_CLOSE_WRITE | IN_CLOSE_NOWRITE)) {
                if (openers > 0 && --openers == 0) {
                    ReadHostBytes();  // what the host sent before it closed
                    HostLeft();
                }
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

void PtyAdapter::ReadHostBytes() {
    std::uint8_t buffer[512];
    std::vector<Ds2480Chip::Reply> replies;
    for (;;) {
        const ssize_t got = ::read(master, buffer, sizeof buffer);
        if (got <= 0) return;
        // A pty carries no time line: bytes waiting when a change of the host's rate is
        // first seen may have been sent before it, so they count at the old rate if the
        // chip listens there (a host changes its rate right after a rate command).
        const int now = HostBaud();
        for (ssize_t i = 0; i < got; ++i) {
            const int rate = now != lastBaud && chip.Baud() == lastBaud ? lastBaud : now;
            chip.Receive(buffer[i], rate, NowUs(), replies);
        }
        lastBaud = now;
        for (const auto& reply : replies)
            pending.push_back({reply.byte, reply.baud, reply.reversedLine, reply.atUs});
        replies.clear();
    }
}

void PtyAdapter::SendDueReplies() {
    if (pending.empty()) return;
    const double now = options.paced ? NowUs() : pending.back().atUs;
    const int host = HostBaud();
    std::vector<std::uint8_t> out;
    std::size_t sent = 0;
    for (; sent < pending.size() && pending[sent].atUs <= now; ++sent) {
        const Pending& reply = pending[sent];
        lastDeliveredUs = std::max(lastDeliveredUs, reply.atUs);
        // Sent at a rate (or polarity) the host is not listening at: garbage it cannot read.
        if (reply.baud != host || reply.reversedLine) {
            if (options.trace)
                *options.trace << "vadapter: reply at " << reply.baud << " bit/s lost, the host listens at "
                               << host << '\n';
            continue;
        }
        out.push_back(reply.byte);
    }
    pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(sent));
    for (std::size_t done = 0; done < out.size();) {
        const ssize_t written = ::write(master, out.data() + done, out.size() - done);
        if (written <= 0) break;  // the host has gone or does not read: what it misses is lost
        done += static_cast<std::size_t>(written);
    }
}

int PtyAdapter::PollTimeoutMs() const {
    using namespace std::chrono;
    const auto untilPeriod = duration_cast<milliseconds>(nextPeriod - steady_clock::now()).count();
    double waitMs = static_cast<double>(std::max<long long>(0, untilPeriod));
    if (!pending.empty())
        waitMs = options.paced ? std::min(waitMs, (pending.front().atUs - NowUs()) / 1000) : 0;
    return static_cast<int>(std::ceil(std::max(0.0, waitMs)));
}

void PtyAdapter::Serve() {
    origin = std::chrono::steady_clock::now();
    nextPeriod = origin + Period;
    chip.PowerUp(NowUs());
    while (!stopping) {
        pollfd fds[3] = {{wake[0], POLLIN, 0}, {watch, POLLIN, 0}, {master, POLLIN, 0}};
        // Once a host has come and gone the master reports a hang-up until the next one opens.
        const nfds_t count = openers > 0 || hostsServed == 0 ? 3 : 2;
        const int timeout = PollTimeoutMs();
        timespec wait{timeout / 1000, (timeout % 1000) * 1000000L};
        if (options.paced && !pending.empty()) {
            const double us = std::max(0.0, pending.front().atUs - NowUs());
            wait = {static_cast<time_t>(us / 1e6), static_cast<long>(std::fmod(us, 1e6) * 1000)};
        }
        if (::ppoll(fds, count, &wait, nullptr) < 0 && errno != EINTR) break;
        if (fds[0].revents & POLLIN) {
            char signal[64];
            for (ssize_t got; (got = ::read(wake[0], signal, sizeof signal)) > 0;)
                if (std::find(signal, signal + got, kStopByte) != signal + got) stopping = true;
        }
        RunTasks();
        HandleOpenEvents();
        if (openers > 0 || hostsServed == 0) ReadHostBytes();
        SendDueReplies();
        if (std::chrono::steady_clock::now() >= nextPeriod) {
            nextPeriod += Period;
            if (OnPeriod) OnPeriod();
        }
    }
    RunTasks();
}
