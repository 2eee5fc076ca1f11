#pragma once
#include <memory>
#include <string>
#include <vector>

#include "device/virtual/EmulatedDs2490.h"

// A USB host with emulated adapters, for the tests, the benchmark and a demo
// (KELVARA_USB=emulated). The host keeps the chips, so faults set on one last
// across its connections and a chip unplugged drops out of the list.
class EmulatedUsbHost : public UsbHost {
public:
    // An adapter on `bus`, at USB bus 1 and the next free port.
    EmulatedDs2490& Add(Link& bus);
    EmulatedDs2490& Chip(std::size_t i) { return *chips[i].chip; }
    UsbAdapterInfo& Info(std::size_t i) { return chips[i].info; }
    std::string ListError;  // reported by FindAdapters, with no adapters

    std::vector<UsbAdapterInfo> FindAdapters(std::string& error) override;
    std::unique_ptr<UsbTransport> Connect(const UsbAdapterInfo& adapter) override;
    std::string Version() const override { return "emulated USB host"; }

private:
    struct Entry {
        UsbAdapterInfo info;
        std::unique_ptr<EmulatedDs2490> chip;
    };
    std::vector<Entry> chips;
};
