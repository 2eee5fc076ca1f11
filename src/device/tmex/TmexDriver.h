#pragma once
// The real driver behind TmexApi. Sessions are cheap tokens naming a port; the
// link behind the port is opened and checked by TMSetup (or by the first call
// that needs it) and stays open. Search state and the current device live in
// the caller's state buffer, so the driver itself keeps no device between jobs.
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>

#include "device/LinkFactory.h"
#include "device/onewire/Search.h"
#include "device/tmex/TmexApi.h"

// Result codes of this driver beyond 1 = success.
constexpr std::int16_t kDriverNoDevice = 0;      // no presence, or the device did not answer
constexpr std::int16_t kDriverLinkError = -2;    // the adapter failed mid-call
constexpr std::int16_t kDriverCrcError = -3;     // a transfer came back with a bad CRC
constexpr std::int16_t kDriverBadArgument = -4;  // session, buffer or page out of range

class TmexDriver : public TmexApi {
public:
    explicit TmexDriver(LinkProvider& links);

    // Why the last TMSetup failed (empty after a success); for logs and the about box.
    const std::string& LastSetupError() const { return lastSetupError; }
    // Where the driver tells what the program's boxes do not say (an adapter
    // that failed to open, port settings that could not be read). By default a
    // line "kelvara: ..." on standard error.
    void SetDiagnostics(std::function<void(const std::string&)> sink) { diagnostics = std::move(sink); }

    std::int32_t TMExtendedStartSession(std::int16_t portNumber, std::int16_t portType,
                                        void* reserved) override;
    std::int16_t TMEndSession(std::int32_t session) override;
    std::int16_t TMSetup(std::int32_t session) override;
    std::int16_t TMReadDefaultPort(std::int16_t* portNumber, std::int16_t* portType) override;
    std::int16_t TMFamilySearchSetup(std::int32_t session, void* state, std::int16_t family) override;
    std::int16_t TMNext(std::int32_t session, void* state) override;
    std::int16_t TMRom(std::int32_t session, void* state, std::int16_t* rom) override;
    std::int16_t TMAccess(std::int32_t session, void* state) override;
    std::int16_t TMStrongAccess(std::int32_t session, void* state) override;
    std::int16_t TMExtendedReadPage(std::int32_t session, void* state, std::int16_t page,
                                    std::uint8_t* destination, std::int16_t overdrive) override;
    std::int16_t TMBlockStream(std::int32_t session, std::uint8_t* buffer, std::int16_t length) override;
    std::int16_t TMTouchByte(std::int32_t session, std::int16_t byte) override;
    std::int16_t TMTouchReset(std::int32_t session) override;
    std::int16_t Get_Version(char* buffer) override;
    std::int16_t TMGetTypeVersion(std::int16_t portType, char* buffer) override;

private:
    struct Port {
        std::int16_t type;
        std::int16_t number;
    };
    // What the driver keeps in the caller's state buffer (copied in and out).
    struct DeviceState {
        std::uint32_t magic;
        onewire::SearchState search;
        onewire::Rom current;
        std::uint8_t family;
        bool familyArmed;
        bool haveCurrent;
    };

    // The session's link, opened if need be; nullptr for an unknown session or an adapter that fails.
    Link* SessionLink(std::int32_t session);
    static DeviceState LoadState(const void* state);
    static void StoreState(void* state, const DeviceState& device);
    std::int16_t Select(Link& link, const onewire::Rom& rom);
    static std::int16_t SelectResult(ResetResult reset);

    LinkProvider& links;
    std::map<std::int32_t, Port> sessions;
    std::int32_t nextSession = 1;
    std::string lastSetupError;
    // Devices that failed a read at overdrive.
    std::set<onewire::Rom> standardSpeedOnly;
    std::function<void(const std::string&)> diagnostics;
};
