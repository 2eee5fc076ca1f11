#include "device/usb/LibusbHost.h"

#include <libusb.h>
#include <unistd.h>

#include <cerrno>

namespace {

UsbError FromLibusb(int code) {
    switch (code) {
        case LIBUSB_SUCCESS:
            return UsbError::None;
        case LIBUSB_ERROR_TIMEOUT:
            return UsbError::Timeout;
        case LIBUSB_ERROR_PIPE:
            return UsbError::Stall;
        case LIBUSB_ERROR_NO_DEVICE:
            return UsbError::NoDevice;
        case LIBUSB_ERROR_ACCESS:
            return UsbError::Access;
        case LIBUSB_ERROR_BUSY:
            return UsbError::Busy;
        case LIBUSB_ERROR_NOT_FOUND:
            return UsbError::NotFound;
        case LIBUSB_ERROR_OVERFLOW:
            return UsbError::Overflow;
        default:
            return UsbError::Io;
    }
}

UsbTransfer Transferred(int code, int length) {
    UsbTransfer transfer;
    transfer.Error = FromLibusb(code);
    transfer.Length = length;
    return transfer;
}

class LibusbTransport : public UsbTransport {
public:
    // Takes a reference of `usbDevice` for as long as the transport lives.
    explicit LibusbTransport(libusb_device* usbDevice) : device(libusb_ref_device(usbDevice)) {}
    ~LibusbTransport() override {
        Close();
        libusb_unref_device(device);
    }

    UsbError Open(int altSetting, std::string& error) override {
        Close();
        int r = libusb_open(device, &handle);
        if (r != 0) {
            handle = nullptr;
            error = libusb_strerror(r);
            return FromLibusb(r);
        }
        // The kernel's own 1-Wire driver binds the adapter; it gets it back in Close.
        if (libusb_kernel_driver_active(handle, 0) == 1) {
            r = libusb_detach_kernel_driver(handle, 0);
            if (r != 0 && r != LIBUSB_ERROR_NOT_FOUND)
                return Failed(r, "cannot take it from the kernel's driver", error);
            detached = r == 0;
        }
        int configuration = 0;
        r = libusb_get_configuration(handle, &configuration);
        // Setting the configuration in force again would reset the device for nothing.
        if (r == 0 && configuration != 1) r = libusb_set_configuration(handle, 1);
        if (r != 0) return Failed(r, "cannot set configuration 1", error);
        r = libusb_claim_interface(handle, 0);
        if (r != 0) return Failed(r, "cannot claim interface 0", error);
        claimed = true;
        r = libusb_set_interface_alt_setting(handle, 0, altSetting);
        if (r != 0) return Failed(r, "cannot choose alternate setting " + std::to_string(altSetting), error);
        libusb_config_descriptor* config = nullptr;
        if (libusb_get_active_config_descriptor(device, &config) == 0) {
            const libusb_interface& interface = config->interface[0];
            if (altSetting < interface.num_altsetting) {
                const libusb_interface_descriptor& setting = interface.altsetting[altSetting];
                for (int i = 0; i < setting.bNumEndpoints; ++i)
                    libusb_clear_halt(handle, setting.endpoint[i].bEndpointAddress);
            }
            libusb_free_config_descriptor(config);
        }
        return UsbError::None;
    }

    void Close() override {
        if (!handle) return;
        if (claimed) libusb_release_interface(handle, 0);
        if (detached) libusb_attach_kernel_driver(handle, 0);
        libusb_close(handle);
        handle = nullptr;
        claimed = detached = false;
    }

    bool IsOpen() const override { return handle != nullptr; }

    UsbTransfer Control(std::uint8_t requestType, std::uint8_t request, std::uint16_t value,
                        std::uint16_t index, std::uint8_t* data, std::uint16_t length,
                        int timeoutMs) override {
        if (!handle) return Transferred(LIBUSB_ERROR_NO_DEVICE, 0);
        const int r = libusb_control_transfer(handle, requestType, request, value, index, data, length,
                                              static_cast<unsigned>(timeoutMs));
        return r < 0 ? Transferred(r, 0) : Transferred(0, r);
    }

    UsbTransfer Bulk(std::uint8_t endpoint, std::uint8_t* data, int length, int timeoutMs) override {
        if (!handle) return Transferred(LIBUSB_ERROR_NO_DEVICE, 0);
        int moved = 0;
        const int r =
            libusb_bulk_transfer(handle, endpoint, data, length, &moved, static_cast<unsigned>(timeoutMs));
        return Transferred(r, moved);
    }

    UsbTransfer Interrupt(std::uint8_t endpoint, std::uint8_t* data, int length, int timeoutMs) override {
        if (!handle) return Transferred(LIBUSB_ERROR_NO_DEVICE, 0);
        int moved = 0;
        const int r = libusb_interrupt_transfer(handle, endpoint, data, length, &moved,
                                                static_cast<unsigned>(timeoutMs));
        return Transferred(r, moved);
    }

    UsbError ClearHalt(std::uint8_t endpoint) override {
        if (!handle) return UsbError::NoDevice;
        return FromLibusb(libusb_clear_halt(handle, endpoint));
    }

    UsbError ResetDevice() override {
        if (!handle) return UsbError::NoDevice;
        // libusb claims the interface again in its setting; NOT_FOUND means the
        // device came back as another one and this handle is dead.
        const int r = libusb_reset_device(handle);
        return r == LIBUSB_ERROR_NOT_FOUND ? UsbError::NoDevice : FromLibusb(r);
    }

private:
    UsbError Failed(int code, const std::string& what, std::string& error) {
        error = what + ": " + libusb_strerror(code);
        Close();
        return FromLibusb(code);
    }

    libusb_device* device;
    libusb_device_handle* handle = nullptr;
    bool claimed = false;
    bool detached = false;
};

class LibusbHost : public UsbHost {
public:
    LibusbHost() {
        const int r = libusb_init(&context);
        if (r != 0) {
            context = nullptr;
            initError = std::string("USB is not available: ") + libusb_strerror(r);
        }
    }
    ~LibusbHost() override {
        if (context) libusb_exit(context);
    }

    std::vector<UsbAdapterInfo> FindAdapters(std::string& error) override {
        std::vector<UsbAdapterInfo> adapters;
        ForEachAdapter(error, [&](libusb_device*, const UsbAdapterInfo& info) {
            adapters.push_back(info);
            return false;
        });
        SortAdapters(adapters);
        return adapters;
    }

    std::unique_ptr<UsbTransport> Connect(const UsbAdapterInfo& adapter) override {
        std::unique_ptr<UsbTransport> transport;
        std::string error;
        ForEachAdapter(error, [&](libusb_device* device, const UsbAdapterInfo& info) {
            if (info.Bus != adapter.Bus || info.Address != adapter.Address) return false;
            transport = std::make_unique<LibusbTransport>(device);
            return true;
        });
        return transport;
    }

    std::string Version() const override {
        const libusb_version* version = libusb_get_version();
        return "libusb " + std::to_string(version->major) + "." + std::to_string(version->minor) + "." +
               std::to_string(version->micro);
    }

private:
    // Calls `visit` for each DS2490 until it returns true.
    template <typename Visit>
    void ForEachAdapter(std::string& error, Visit visit) {
        if (!context) {
            error = initError;
            return;
        }
        libusb_device** list = nullptr;
        const ssize_t count = libusb_get_device_list(context, &list);
        if (count < 0) {
            error = std::string("Cannot list the USB devices: ") + libusb_strerror(static_cast<int>(count));
            return;
        }
        for (ssize_t i = 0; i < count; ++i) {
            libusb_device_descriptor descriptor{};
            if (libusb_get_device_descriptor(list[i], &descriptor) != 0) continue;
            if (descriptor.idVendor != kDs2490Vendor || descriptor.idProduct != kDs2490Product) continue;
            if (visit(list[i], Describe(list[i]))) break;
        }
        libusb_free_device_list(list, 1);
    }

    static UsbAdapterInfo Describe(libusb_device* device) {
        UsbAdapterInfo info;
        info.Bus = libusb_get_bus_number(device);
        info.Address = libusb_get_device_address(device);
        std::uint8_t ports[8];
        const int depth = libusb_get_port_numbers(device, ports, sizeof ports);
        info.PortPath = std::to_string(info.Bus);
        for (int i = 0; i < depth; ++i) info.PortPath += (i == 0 ? "-" : ".") + std::to_string(ports[i]);
        // Without a device node (no udev in a container) the open itself will tell.
        info.Accessible = ::access(info.Node().c_str(), R_OK | W_OK) == 0 || errno == ENOENT;
        return info;
    }

    libusb_context* context = nullptr;
    std::string initError;
};

}  // namespace

std::unique_ptr<UsbHost> MakeLibusbHost() { return std::make_unique<LibusbHost>(); }
