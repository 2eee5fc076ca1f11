#pragma once
// The adapter a device command of kelvara-cli works on: --port, else
// KELVARA_PORT or the port saved by kelvara-portsetup; the virtual adapter
// holds the window's devices from the shared state file and keeps what the
// command changed on them.
#include <functional>

#include "device/tmex/PortConfig.h"

class TmexDriver;

// Saves the virtual adapter's state now if a device changed, so that what a
// long job did so far survives a Ctrl+C.
using KeepState = std::function<void()>;

// Runs job on a driver for the chosen port and returns its exit status, or
// the status of the failure to find a usable port (2 for a bad one given by
// the user, 1 otherwise). The state is kept at the end too. Messages start with prefix.
int RunOnAdapter(const char* prefix, bool hasPort, int portType, int portNumber,
                 const std::function<int(TmexDriver&, const PortSetting&, const KeepState&)>& job);
