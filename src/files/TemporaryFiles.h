#pragma once
// The names our temporary files carry for a moment during a save are
// registered here, so that a SIGTERM or SIGINT (a logout, Ctrl+C) removes
// them before the process ends instead of leaving them in the user's folder.
#include <cstddef>
#include <string>

// Holds one registered name while it lives; the name is forgotten (not removed)
// when the holder goes. Registration is best effort: with every slot taken the
// save goes on unregistered.
class TemporaryName {
public:
    explicit TemporaryName(const std::string& path);
    ~TemporaryName();
    TemporaryName(const TemporaryName&) = delete;
    TemporaryName& operator=(const TemporaryName&) = delete;

private:
    int slot;
};

// Removes every registered file. Safe inside a signal handler.
void RemoveRegisteredTemporaryFiles();

// For programs that end on these signals (kelvara-cli): SIGTERM, SIGINT and
// SIGHUP remove the registered files, then end the process as the signal would.
void RemoveTemporaryFilesOnSignals();
