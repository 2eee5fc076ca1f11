#pragma once
// KELVARA_TRACE=1 for the USB adapter: a host whose transports write every
// transfer (request, value, index and the bytes both ways) to a stream, so a
// user with real hardware can send exactly what crossed the cable.
#include <ostream>

#include "device/usb/UsbTransport.h"

class TracingUsbHost : public UsbHost {
public:
    TracingUsbHost(UsbHost& inner, std::ostream& out);

    std::vector<UsbAdapterInfo> FindAdapters(std::string& error) override;
    std::unique_ptr<UsbTransport> Connect(const UsbAdapterInfo& adapter) override;
    std::string Version() const override { return inner.Version(); }

private:
    UsbHost& inner;
    std::ostream& out;
};
