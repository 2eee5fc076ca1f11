#pragma once
// An emulated DS9097U on a pseudo-terminal: serial 1-Wire programs open the
// slave side as they would /dev/ttyS0 and find the emulated DS2480B there.
// A break cannot cross a pty, so the first open of the slave (no host had it
// open) is the adapter's power-up, as a real one is powered from the port's
// lines; the last close powers it down. The host's line settings cross (the
// master sees the slave's termios), so the chip hears each byte at the rate
// the host sends it. Replies can be paced to the UART's and the bus's real
// times, or sent as soon as they are known (tests).
#include <chrono>
#include <functional>
#include <iosfwd>
#include <mutex>
#include <string>
#include <vector>

#include "device/serial/Ds2480Chip.h"

class PtyAdapter {
public:
    struct Options {
        bool paced = false;             // replies wait for the time a real chip would take
        std::ostream* trace = nullptr;  // hosts coming and going, replies the host cannot read
    };

    PtyAdapter(Ds2480Chip& chip, Options options);
    ~PtyAdapter();
    PtyAdapter(const PtyAdapter&) = delete;
    PtyAdapter& operator=(const PtyAdapter&) = delete;

    // Creates the pseudo-terminal; false with a reason.
    bool Open(std::string& error);
    // The path a host opens, e.g. /dev/pts/3.
    const std::string& SlavePath() const { return slavePath; }

    // Serves hosts one after another until Stop().
    void Serve();
    // From any thread, or a signal handler.
    void Stop();
    // Runs `task` on the serving thread between bytes and waits for it (Serve must be running).
    void Run(const std::function<void()>& task);

    // Called on the serving thread: after a host closed the port, and every `period` while serving.
    std::function<void()> OnHostLeft;
    std::function<void()> OnPeriod;
    std::chrono::milliseconds Period{60000};

    int HostsServed() const { return hostsServed; }

private:
    struct Pending {
        std::uint8_t byte;
        int baud;
        bool reversedLine;
        double atUs;
    };

    double NowUs() const;
    int HostBaud() const;
    void HostArrived();
    void HostLeft();
    void HandleOpenEvents();
    void ReadHostBytes();
    void SendDueReplies();
    void RunTasks();
    int PollTimeoutMs() const;

    Ds2480Chip& chip;
    Options options;
    int master = -1;
    int watch = -1;  // inotify on the slave: opens and closes
    int wake[2] = {-1, -1};
    std::string slavePath;
    int openers = 0;  // opens minus closes of the slave by others
    int hostsServed = 0;
    int lastBaud = 9600;
    double lastDeliveredUs = 0;
    std::vector<Pending> pending;
    std::chrono::steady_clock::time_point origin;
    std::chrono::steady_clock::time_point nextPeriod;

    std::mutex taskLock;
    std::vector<std::function<void()>> tasks;
    bool stopping = false;
};
