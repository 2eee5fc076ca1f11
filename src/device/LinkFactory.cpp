#include "device/LinkFactory.h"

#include <cstdlib>
#include <cstring>
#include <iostream>

#include "device/onewire/TracingLink.h"
#include "device/serial/TermiosSerialPort.h"
#include "device/tmex/PortConfig.h"
#include "device/tmex/TmexApi.h"
#include "device/usb/Ds2490Link.h"
#include "device/usb/LibusbHost.h"
#include "device/usb/UsbTrace.h"
#include "device/virtual/EmulatedUsbHost.h"

LinkProvider::LinkProvider(Link* virtualBus)
    : virtualLink(virtualBus),
      serialFactory([](const std::string& path) { return std::make_unique<TermiosSerialPort>(path); }),
      tracing(TracingLink::Requested()),
      traceOut(&std::cerr) {}

LinkProvider::~LinkProvider() { CloseAll(); }

void LinkProvider::SetSerialPortFactory(SerialPortFactory factory) { serialFactory = std::move(factory); }

void LinkProvider::SetUsbHost(UsbHost* host) {
    usbHost = host;
    tracingUsbHost.reset();
}

namespace {
// KELVARA_USB=emulated or emulated:N (1-8): how many emulated adapters; 0 for the real USB.
int EmulatedAdapterCount() {
    const char* value = std::getenv("KELVARA_USB");
    if (!value || std::strncmp(value, "emulated", 8) != 0) return 0;
    if (value[8] == ':' && value[9] >= '1' && value[9] <= '8' && value[10] == '\0') return value[9] - '0';
    return 1;
}
}  // namespace

UsbHost& LinkProvider::Usb() {
    if (!usbHost) {
        const int emulated = virtualLink ? EmulatedAdapterCount() : 0;
        if (emulated > 0) {
            auto host = std::make_unique<EmulatedUsbHost>();
            for (int i = 0; i < emulated; ++i) host->Add(*virtualLink);
            ownedUsbHost = std::move(host);
        } else {
            ownedUsbHost = MakeLibusbHost();
        }
        usbHost = ownedUsbHost.get();
    }
    if (!tracing) return *usbHost;
    if (!tracingUsbHost) tracingUsbHost = std::make_unique<TracingUsbHost>(*usbHost, *traceOut);
    return *tracingUsbHost;
}

void LinkProvider::SetTracing(bool on, std::ostream* out) {
    tracing = on;
    if (out) traceOut = out;
}

bool LinkProvider::KnownPortType(std::int16_t type) {
    return type == kPortTypeSerialDs2480 || type == kPortTypeUsbDs2490 || type == kPortTypeVirtual;
}

bool LinkProvider::HasBackend(std::int16_t type) const {
    // The types LinkFor below builds a link for; keep the two in step.
    return (type == kPortTypeVirtual && virtualLink) || type == kPortTypeSerialDs2480 ||
           type == kPortTypeUsbDs2490;
}

std::vector<std::int16_t> LinkProvider::TypesWithBackend() const {
    std::vector<std::int16_t> types;
    for (const std::int16_t type : {kPortTypeSerialDs2480, kPortTypeUsbDs2490, kPortTypeVirtual})
        if (HasBackend(type)) types.push_back(type);
    return types;
}

Link* LinkProvider::Entry::Top() const { return tracing ? tracing.get() : owned.get(); }

LinkProvider::Entry LinkProvider::Wrap(Link* link, std::unique_ptr<Link> owned, const std::string& name) {
    Entry entry;
    entry.owned = std::move(owned);
    if (tracing) entry.tracing = std::make_unique<TracingLink>(*link, *traceOut, name);
    return entry;
}

Link* LinkProvider::LinkFor(std::int16_t type, std::int16_t number) {
    if (type == kPortTypeVirtual) {
        if (!virtualLink) return nullptr;
        if (!tracing) return virtualLink;
        if (!virtualEntry) virtualEntry = std::make_unique<Entry>(Wrap(virtualLink, nullptr, "1W virtual"));
        return virtualEntry->Top();
    }
    if (type == kPortTypeSerialDs2480 && number >= 1 && number <= 255) {
        auto found = serialLinks.find(number);
        if (found == serialLinks.end()) {
            PortSetting saved;
            std::string error;
            const bool haveSaved = LoadDefaultPort(saved, error) == PortConfigStatus::Loaded;
            const std::string path = SerialDevicePath(number, haveSaved ? &saved : nullptr);
            auto link = std::make_unique<Ds2480Link>(serialFactory(path), serialOptions);
            if (tracing) link->SetTrace(traceOut, "1W " + path);
            Link* raw = link.get();
            found = serialLinks.emplace(number, Wrap(raw, std::move(link), "1W " + path)).first;
        }
        return found->second.Top();
    }
    if (type == kPortTypeUsbDs2490 && number >= 1 && number <= 255) {
        auto found = usbLinks.find(number);
        if (found == usbLinks.end()) {
            auto link = std::make_unique<Ds2490Link>(Usb(), number);
            // Should the chip's search command misbehave on some adapter, the search can run bit by bit.
            if (const char* search = std::getenv("KELVARA_USB_SEARCH");
                search && std::strcmp(search, "bits") == 0)
                link->UseSearchAccess(false);
            Link* raw = link.get();
            found = usbLinks.emplace(number, Wrap(raw, std::move(link), "1W USB " + std::to_string(number)))
                        .first;
        }
        return found->second.Top();
    }
    return nullptr;
}

std::string LinkProvider::TypeVersion(std::int16_t type) const {
    if (type == kPortTypeVirtual && virtualLink) return "Virtual adapter: " + virtualLink->Version();
    if (type == kPortTypeSerialDs2480) return "DS9097U serial adapter (DS2480B) 1.0";
    if (type == kPortTypeUsbDs2490) {
        const std::string host = usbHost ? usbHost->Version() : "libusb-1.0";
        return "DS9490 USB adapter (DS2490) 1.0, " + host;
    }
    return {};
}

void LinkProvider::CloseAll() {
    for (auto& [number, entry] : serialLinks)
        if (entry.owned && entry.owned->IsOpen()) entry.owned->Close();
    for (auto& [number, entry] : usbLinks)
        if (entry.owned && entry.owned->IsOpen()) entry.owned->Close();
}
