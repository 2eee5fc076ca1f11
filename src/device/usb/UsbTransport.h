#pragma once
// The USB side of an adapter, as thin as the serial port is for the serial
// adapter: a host that finds the adapters and opens one, and a transport that
// moves control, bulk and interrupt transfers with timeouts. libusb lives only
// behind LibusbHost; the tests and the benchmark put an emulated DS2490 here.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum class UsbError {
    None,
    Timeout,   // nothing came within the time given
    Stall,     // the endpoint answered STALL (halted until cleared)
    NoDevice,  // the device has been unplugged
    Access,    // no permission to open it
    Busy,      // another program (or a kernel driver that would not let go) holds it
    NotFound,  // no such device or endpoint
    Overflow,  // the device sent more than was asked for
    Io,        // any other failure
};

const char* UsbErrorText(UsbError error);

struct UsbTransfer {
    UsbError Error = UsbError::None;
    int Length = 0;  // bytes moved, also when the transfer ended early
    bool Ok() const { return Error == UsbError::None; }
};

class UsbTransport {
public:
    virtual ~UsbTransport() = default;

    // Opens the device, takes interface 0 from a kernel driver for as long as we
    // hold it, sets configuration 1, claims interface 0 in `altSetting` and clears
    // the halts of its endpoints. On failure the reason is in `error`.
    virtual UsbError Open(int altSetting, std::string& error) = 0;
    // Releases the interface and hands it back to the kernel's driver.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    // A control transfer on endpoint 0; bit 7 of requestType gives the direction.
    virtual UsbTransfer Control(std::uint8_t requestType, std::uint8_t request, std::uint16_t value,
                                std::uint16_t index, std::uint8_t* data, std::uint16_t length,
                                int timeoutMs) = 0;
    // Bit 7 of the endpoint address gives the direction (80h: in).
    virtual UsbTransfer Bulk(std::uint8_t endpoint, std::uint8_t* data, int length, int timeoutMs) = 0;
    virtual UsbTransfer Interrupt(std::uint8_t endpoint, std::uint8_t* data, int length, int timeoutMs) = 0;
    virtual UsbError ClearHalt(std::uint8_t endpoint) = 0;
    // A USB port reset; the interface comes back claimed in the same setting.
    virtual UsbError ResetDevice() = 0;
};

// One adapter on the USB: where it sits and whether we may open it.
struct UsbAdapterInfo {
    int Bus = 0;
    int Address = 0;
    std::string PortPath;    // "1-1.4": bus, then the hub ports; stable across replugs
    bool Accessible = true;  // the device node may be opened for writing
    bool Emulated = false;
    std::string Node() const;   // /dev/bus/usb/001/005
    std::string Place() const;  // "USB bus 1 address 5 (port 1-1.4)"
};

class UsbHost {
public:
    virtual ~UsbHost() = default;

    // The DS2490 adapters (04FA:2490) now connected, in a stable order (bus, then
    // port path), so port number N is the Nth. On a host without USB access the
    // list is empty and `error` says why.
    virtual std::vector<UsbAdapterInfo> FindAdapters(std::string& error) = 0;
    // A transport to the adapter, not opened yet; nullptr when it has gone.
    virtual std::unique_ptr<UsbTransport> Connect(const UsbAdapterInfo& adapter) = 0;
    // "libusb 1.0.26" and the like, for the about box.
    virtual std::string Version() const = 0;
};

constexpr std::uint16_t kDs2490Vendor = 0x04FA;
constexpr std::uint16_t kDs2490Product = 0x2490;

// Sorts adapters by bus and then by the numbers of the port path.
void SortAdapters(std::vector<UsbAdapterInfo>& adapters);
