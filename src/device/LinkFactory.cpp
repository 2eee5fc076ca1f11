#include "device/LinkFactory.h"

#include <iostream>

#include "device/onewire/TracingLink.h"
#include "device/serial/Ds2480Link.h"
#include "device/serial/TermiosSerialPort.h"
#include "device/tmex/PortConfig.h"
#include "device/tmex/TmexApi.h"

LinkProvider::LinkProvider(Link* virtualBus)
    : virtualLink(virtualBus),
      serialFactory([](const std::string& path) { return std::make_unique<TermiosSerialPort>(path); }),
      tracing(TracingLink::Requested()),
      traceOut(&std::cerr) {}

LinkProvider::~LinkProvider() { CloseAll(); }

void LinkProvider::SetSerialPortFactory(SerialPortFactory factory) { serialFactory = std::move(factory); }

void LinkProvider::SetTracing(bool on, std::ostream* out) {
    tracing = on;
    if (out) traceOut = out;
}

bool LinkProvider::KnownPortType(std::int16_t type) {
    return type == kPortTypeSerialDs2480 || type == kPortTypeUsbDs2490 || type == kPortTypeVirtual;
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
            auto link = std::make_unique<Ds2480Link>(serialFactory(path));
            Link* raw = link.get();
            found = serialLinks.emplace(number, Wrap(raw, std::move(link), "1W " + path)).first;
        }
        return found->second.Top();
    }
    return nullptr;
}

std::string LinkProvider::TypeVersion(std::int16_t type) const {
    if (type == kPortTypeVirtual && virtualLink) return "Virtual adapter: " + virtualLink->Version();
    if (type == kPortTypeSerialDs2480) return "DS9097U serial adapter (DS2480B) 1.0";
    return {};
}

void LinkProvider::CloseAll() {
    for (auto& [number, entry] : serialLinks)
        if (entry.owned && entry.owned->IsOpen()) entry.owned->Close();
}
