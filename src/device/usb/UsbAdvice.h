#pragma once
// What to tell a user whose USB adapter will not open: the udev rule that
// gives the logged-in user access, how to install it, and what "busy" means.
#include <string>

#include "device/usb/UsbTransport.h"

// The rule line of data/udev/69-kelvara-ds9490.rules.
extern const char* const kDs2490UdevRule;

// The message for an adapter that failed to open with `error`; `detail` is the
// transport's own text.
std::string UsbOpenProblem(UsbError error, const UsbAdapterInfo& adapter, const std::string& detail);

// The commands that install the rule and reload udev, one a line.
std::string UdevFixCommands();
