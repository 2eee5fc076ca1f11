#include "device/usb/UsbTransport.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

const char* UsbErrorText(UsbError error) {
    switch (error) {
        case UsbError::None:
            return "ok";
        case UsbError::Timeout:
            return "timeout";
        case UsbError::Stall:
            return "stall";
        case UsbError::NoDevice:
            return "device gone";
        case UsbError::Access:
            return "no permission";
        case UsbError::Busy:
            return "busy";
        case UsbError::NotFound:
            return "not found";
        case UsbError::Overflow:
            return "overflow";
        case UsbError::Io:
            return "i/o error";
    }
    return "?";
}

std::string UsbAdapterInfo::Node() const {
    char text[32];
    std::snprintf(text, sizeof text, "/dev/bus/usb/%03d/%03d", Bus, Address);
    return text;
}

std::string UsbAdapterInfo::Place() const {
    std::string text = "USB bus " + std::to_string(Bus) + " address " + std::to_string(Address);
    if (!PortPath.empty()) text += " (port " + PortPath + ")";
    return text;
}

namespace {
// "1-1.4" -> {1, 4}: the hub ports after the bus number.
std::vector<int> PortNumbers(const std::string& path) {
    std::vector<int> numbers;
    const auto dash = path.find('-');
    if (dash == std::string::npos) return numbers;
    int value = -1;
    for (std::size_t i = dash + 1; i <= path.size(); ++i) {
        if (i < path.size() && path[i] >= '0' && path[i] <= '9') {
            value = (value < 0 ? 0 : value * 10) + (path[i] - '0');
        } else {
            if (value >= 0) numbers.push_back(value);
            value = -1;
        }
    }
    return numbers;
}
}  // namespace

void SortAdapters(std::vector<UsbAdapterInfo>& adapters) {
    std::stable_sort(adapters.begin(), adapters.end(), [](const UsbAdapterInfo& a, const UsbAdapterInfo& b) {
        return std::forward_as_tuple(a.Bus, PortNumbers(a.PortPath), a.Address) <
               std::forward_as_tuple(b.Bus, PortNumbers(b.PortPath), b.Address);
    });
}
