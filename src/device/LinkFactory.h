#pragma once
// Maps a driver port (type, number) to the link behind it: type 15 is the
// in-process virtual bus handed in by main, type 5 a DS9097U (DS2480B) on a
// serial port, opened on demand and kept. The USB adapter (type 6) is a known
// type without a backend yet: its link refuses to open, so the program offers
// the port set-up tool. With KELVARA_TRACE=1 every link is wrapped in a
// TracingLink writing to stderr.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "device/onewire/Link.h"
#include "device/serial/SerialPort.h"

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
    // Forces tracing on (or off) regardless of the environment.
    void SetTracing(bool on, std::ostream* out = nullptr);

    // The types the driver hands out sessions for (5, 6 and 15).
    static bool KnownPortType(std::int16_t type);
    // nullptr for a type with no backend here.
    Link* LinkFor(std::int16_t type, std::int16_t number);
    // Version text of a supported type; empty when unsupported.
    std::string TypeVersion(std::int16_t type) const;
    void CloseAll();

private:
    struct Entry {
        std::unique_ptr<Link> owned;       // the serial link, when this provider built it
        std::unique_ptr<Link> tracing;     // the tracing wrapper, when tracing
        Link* Top() const;
    };
    Entry Wrap(Link* link, std::unique_ptr<Link> owned, const std::string& name);

    Link* virtualLink;
    std::unique_ptr<Entry> virtualEntry;
    std::map<int, Entry> serialLinks;
    SerialPortFactory serialFactory;
    bool tracing;
    std::ostream* traceOut;
};
