#include "files/TemporaryFiles.h"

#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace {
constexpr int kSlots = 256;  // a batch commits at most this many names at once

struct Slot {
    std::atomic<bool> claimed{false};
    std::atomic<bool> ready{false};  // the path is complete: a handler may remove it
    char path[PATH_MAX];
};
Slot slots[kSlots];

extern "C" void RemoveAndEnd(int signal) {
    RemoveRegisteredTemporaryFiles();
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}
}  // namespace

TemporaryName::TemporaryName(const std::string& path) : slot(-1) {
    if (path.size() >= PATH_MAX) return;
    for (int i = 0; i < kSlots; ++i) {
        bool expected = false;
        if (!slots[i].claimed.compare_exchange_strong(expected, true)) continue;
        std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
        // Marked after the path is written, so a handler never sees half a name.
        slots[i].ready.store(true, std::memory_order_release);
        slot = i;
        return;
    }
}

TemporaryName::~TemporaryName() {
    if (slot < 0) return;
    slots[slot].ready.store(false, std::memory_order_release);
    slots[slot].claimed.store(false);
}

void RemoveRegisteredTemporaryFiles() {
    for (auto& s : slots)
        if (s.ready.load(std::memory_order_acquire)) ::unlink(s.path);
}

void RemoveTemporaryFilesOnSignals() {
    struct sigaction action {};
    action.sa_handler = RemoveAndEnd;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&action.sa_mask, signal);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
}
