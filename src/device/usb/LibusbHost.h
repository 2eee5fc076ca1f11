#pragma once
// The USB host on real hardware, through libusb-1.0. Nothing else in the
// program sees libusb: everything above works on UsbHost and UsbTransport.
#include <memory>

#include "device/usb/UsbTransport.h"

std::unique_ptr<UsbHost> MakeLibusbHost();
