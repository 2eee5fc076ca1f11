#include "device/virtual/EmulatedUsbHost.h"

namespace {
// A connection to a chip the host keeps; closing it (or dropping it) lets go.
class ChipConnection : public UsbTransport {
public:
    explicit ChipConnection(EmulatedDs2490& emulated) : chip(emulated) {}
    ~ChipConnection() override { Close(); }
    UsbError Open(int altSetting, std::string& error) override {
        const UsbError result = chip.Open(altSetting, error);
        holding = result == UsbError::None;
        return result;
    }
    void Close() override {
        if (holding) chip.Close();
        holding = false;
    }
    bool IsOpen() const override { return holding && chip.IsOpen(); }
    UsbTransfer Control(std::uint8_t requestType, std::uint8_t request, std::uint16_t value,
                        std::uint16_t index, std::uint8_t* data, std::uint16_t length,
                        int timeoutMs) override {
        if (!holding) return {UsbError::Io, 0};
        return chip.Control(requestType, request, value, index, data, length, timeoutMs);
    }
    UsbTransfer Bulk(std::uint8_t endpoint, std::uint8_t* data, int length, int timeoutMs) override {
        if (!holding) return {UsbError::Io, 0};
        return chip.Bulk(endpoint, data, length, timeoutMs);
    }
    UsbTransfer Interrupt(std::uint8_t endpoint, std::uint8_t* data, int length, int timeoutMs) override {
        if (!holding) return {UsbError::Io, 0};
        return chip.Interrupt(endpoint, data, length, timeoutMs);
    }
    UsbError ClearHalt(std::uint8_t endpoint) override {
        return holding ? chip.ClearHalt(endpoint) : UsbError::Io;
    }
    UsbError ResetDevice() override { return holding ? chip.ResetDevice() : UsbError::Io; }

private:
    EmulatedDs2490& chip;
    bool holding = false;
};
}  // namespace

EmulatedDs2490& EmulatedUsbHost::Add(Link& bus) {
    Entry entry;
    entry.info.Bus = 1;
    entry.info.Address = static_cast<int>(chips.size()) + 2;
    entry.info.PortPath = "1-" + std::to_string(chips.size() + 1);
    entry.info.Emulated = true;
    entry.chip = std::make_unique<EmulatedDs2490>(bus);
    chips.push_back(std::move(entry));
    return *chips.back().chip;
}

std::vector<UsbAdapterInfo> EmulatedUsbHost::FindAdapters(std::string& error) {
    std::vector<UsbAdapterInfo> found;
    if (!ListError.empty()) {
        error = ListError;
        return found;
    }
    for (const Entry& entry : chips)
        if (entry.chip->Plugged()) found.push_back(entry.info);
    SortAdapters(found);
    return found;
}

std::unique_ptr<UsbTransport> EmulatedUsbHost::Connect(const UsbAdapterInfo& adapter) {
    for (Entry& entry : chips)
        if (entry.info.Bus == adapter.Bus && entry.info.Address == adapter.Address && entry.chip->Plugged())
            return std::make_unique<ChipConnection>(*entry.chip);
    return nullptr;
}
