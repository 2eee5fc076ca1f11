#pragma once
// Maps a driver port (type, number) to the link behind it: type 15 is the
// in-process virtual bus handed in by main, type 5 a DS9097U (DS2480B) on a
// serial port, type 6 the Nth DS9490 (DS2490) on the USB; the adapters are
// opened on demand and kept. With KELVARA_TRACE=1 every link is wrapped in a
// TracingLink writing to stderr, and every USB transfer is written there too.
// KELVARA_USB=emulated (or emulated:N) puts N emulated DS2490s in front of the
// virtual bus in place of the real USB, to try the USB path without hardware.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "device/onewire/Link.h"
#include "device/serial/Ds2480Link.h"
#include "device/serial/SerialPort.h"
#include "device/usb/UsbTransport.h"

class LinkProvider {
public:
    using SerialPortFactory = std::function<std::unique_ptr<SerialPort>(const std::string& devicePath)>;

    // virtualLink may be null: then type 15 has no adapter behind it.
    explicit LinkProvider(Link* virtualLink = nullptr);
    ~LinkProvider();
    LinkProvider(const LinkProvider&) = delete;
    LinkProvider& operator=(const LinkProvider&) = delete;

    // Tests put an emulated adapter here; by default a termios port is opened.
    void SetSerialPortFactory(SerialPortFactory factory);
    // Tests put an emulated USB host here (not owned), before the first USB link;
    // by default libusb is used.
    void SetUsbHost(UsbHost* host);
    // The USB host in use (created on first use), tracing included.
    UsbHost& Usb();
    // For serial links made from now on (the benchmarks hold one at 9600 bit/s, standard speed).
    void SetSerialLinkOptions(Ds2480Link::Options options) { serialOptions = options; }
    // Forces tracing on (or off) regardless of the environment.
    void SetTracing(bool on, std::ostream* out = nullptr);

    // The types the driver hands out sessions for (5, 6 and 15).
    static bool KnownPortType(std::int16_t type);
    // Whether LinkFor has a backend for the type in this build, so a front end
    // can refuse a type at once instead of searching an adapter that cannot be.
    bool HasBackend(std::int16_t type) const;
    // The known types that have one, in increasing order.
    std::vector<std::int16_t> TypesWithBackend() const;
    // nullptr for a type with no backend here.
    Link* LinkFor(std::int16_t type, std::int16_t number);
    // Version text of a supported type; empty when unsupported.
    std::string TypeVersion(std::int16_t type) const;
    void CloseAll();

private:
    struct Entry {
        std::unique_ptr<Link> owned;    // the serial link, when this provider built it
        std::unique_ptr<Link> tracing;  // the tracing wrapper, when tracing
        Link* Top() const;
    };
    Entry Wrap(Link* link, std::unique_ptr<Link> owned, const std::string& name);

    Link* virtualLink;
    // Before the links, which use them until they are destroyed.
    UsbHost* usbHost = nullptr;
    std::unique_ptr<UsbHost> ownedUsbHost;
    std::unique_ptr<UsbHost> tracingUsbHost;
    std::unique_ptr<Entry> virtualEntry;
    std::map<int, Entry> serialLinks;
    std::map<int, Entry> usbLinks;
    SerialPortFactory serialFactory;
    Ds2480Link::Options serialOptions;
    bool tracing;
    std::ostream* traceOut;
};
