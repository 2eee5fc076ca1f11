#include "device/usb/UsbAdvice.h"

const char* const kDs2490UdevRule =
    "SUBSYSTEM==\"usb\", ATTRS{idVendor}==\"04fa\", ATTRS{idProduct}==\"2490\", TAG+=\"uaccess\", "
    "GROUP=\"plugdev\", MODE=\"0660\"";

std::string UdevFixCommands() {
    return std::string("  echo '") + kDs2490UdevRule +
           "' | sudo tee /etc/udev/rules.d/69-kelvara-ds9490.rules\n"
           "  sudo udevadm control --reload-rules && sudo udevadm trigger\n"
           "then unplug the adapter and plug it in again. Over a remote login, also join the group:\n"
           "  sudo usermod -aG plugdev $USER   (and log in again)";
}

std::string UsbOpenProblem(UsbError error, const UsbAdapterInfo& adapter, const std::string& detail) {
    const std::string where = adapter.Place();
    switch (error) {
        case UsbError::Access:
            return "No permission to open the USB adapter at " + where + " (" + adapter.Node() +
                   "). Give the logged-in user access with the udev rule Kelvara installs:\n" +
                   UdevFixCommands();
        case UsbError::Busy:
            return "The USB adapter at " + where +
                   " is in use by another program (owserver, a second Kelvara, or a driver that will not "
                   "let go). Close that program and try again." +
                   (detail.empty() ? "" : " (" + detail + ")");
        case UsbError::NoDevice:
        case UsbError::NotFound:
            return "The USB adapter at " + where + " was unplugged.";
        default:
            return "Cannot open the USB adapter at " + where + ": " +
                   (detail.empty() ? UsbErrorText(error) : detail);
    }
}
