#include "device/usb/UsbTrace.h"

#include <cstdio>

#include "device/onewire/TracingLink.h"

namespace {

std::string Hex4(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value & 0xFFFF);
    return text;
}

std::string Hex2(unsigned value) { return Hex4(value).substr(2); }

class TracingUsbTransport : public UsbTransport {
public:
    TracingUsbTransport(std::unique_ptr<UsbTransport> transport, std::ostream& stream, std::string where)
        : inner(std::move(transport)), out(stream), name("USB " + std::move(where)) {}

    UsbError Open(int altSetting, std::string& error) override {
        const UsbError result = inner->Open(altSetting, error);
        out << name << " open alt " << altSetting << ": " << UsbErrorText(result)
            << (result == UsbError::None ? "" : " (" + error + ")") << '\n';
        return result;
    }
    void Close() override {
        inner->Close();
        out << name << " close\n";
    }
    bool IsOpen() const override { return inner->IsOpen(); }

    UsbTransfer Control(std::uint8_t requestType, std::uint8_t request, std::uint16_t value,
                        std::uint16_t index, std::uint8_t* data, std::uint16_t length,
                        int timeoutMs) override {
        const UsbTransfer result =
            inner->Control(requestType, request, value, index, data, length, timeoutMs);
        out << name << " control " << Hex2(requestType) << " request " << Hex2(request) << " value "
            << Hex4(value) << " index " << Hex4(index) << Outcome(result, data) << '\n';
        return result;
    }
    UsbTransfer Bulk(std::uint8_t endpoint, std::uint8_t* data, int length, int timeoutMs) override {
        return Traced("bulk", endpoint, data, length, inner->Bulk(endpoint, data, length, timeoutMs));
    }
    UsbTransfer Interrupt(std::uint8_t endpoint, std::uint8_t* data, int length, int timeoutMs) override {
        return Traced("interrupt", endpoint, data, length,
                      inner->Interrupt(endpoint, data, length, timeoutMs));
    }
    UsbError ClearHalt(std::uint8_t endpoint) override {
        const UsbError result = inner->ClearHalt(endpoint);
        out << name << " clear halt " << Hex2(endpoint) << ": " << UsbErrorText(result) << '\n';
        return result;
    }
    UsbError ResetDevice() override {
        const UsbError result = inner->ResetDevice();
        out << name << " port reset: " << UsbErrorText(result) << '\n';
        return result;
    }

private:
    static std::string Outcome(const UsbTransfer& result, const std::uint8_t* data) {
        std::string text = ": " + std::string(UsbErrorText(result.Error));
        if (result.Length > 0 && data) text += ", " + HexBytes(data, static_cast<std::size_t>(result.Length));
        return text;
    }
    UsbTransfer Traced(const char* kind, std::uint8_t endpoint, const std::uint8_t* data, int length,
                       const UsbTransfer& result) {
        out << name << ' ' << kind << ' ' << Hex2(endpoint);
        if (endpoint & 0x80) {
            out << " in " << length << ": " << UsbErrorText(result.Error);
            if (result.Length > 0)
                out << ", " << result.Length << " < "
                    << HexBytes(data, static_cast<std::size_t>(result.Length));
        } else {
            out << " out " << length << " > " << HexBytes(data, static_cast<std::size_t>(length)) << ": "
                << UsbErrorText(result.Error);
            if (!result.Ok()) out << " after " << result.Length;
        }
        out << '\n';
        return result;
    }

    std::unique_ptr<UsbTransport> inner;
    std::ostream& out;
    std::string name;
};

}  // namespace

TracingUsbHost::TracingUsbHost(UsbHost& host, std::ostream& stream) : inner(host), out(stream) {}

std::vector<UsbAdapterInfo> TracingUsbHost::FindAdapters(std::string& error) {
    std::vector<UsbAdapterInfo> adapters = inner.FindAdapters(error);
    out << "USB adapters found: " << adapters.size();
    for (const UsbAdapterInfo& adapter : adapters) out << "; " << adapter.Place();
    if (!error.empty()) out << " (" << error << ")";
    out << '\n';
    return adapters;
}

std::unique_ptr<UsbTransport> TracingUsbHost::Connect(const UsbAdapterInfo& adapter) {
    std::unique_ptr<UsbTransport> transport = inner.Connect(adapter);
    if (!transport) {
        out << "USB " << adapter.Place() << " is gone\n";
        return nullptr;
    }
    return std::make_unique<TracingUsbTransport>(std::move(transport), out, adapter.PortPath);
}
