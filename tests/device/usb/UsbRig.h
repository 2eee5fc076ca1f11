#pragma once
// The DS2490 link over an emulated chip over a virtual bus with test devices.
#include <gtest/gtest.h>

#include <memory>

#include "device/bus/MemorySlave.h"
#include "device/usb/Ds2490Link.h"
#include "device/virtual/EmulatedUsbHost.h"
#include "device/virtual/VirtualBus.h"

struct UsbRig {
    UsbRig() : chip(host.Add(bus)), link(host, 1) {}
    std::shared_ptr<MemorySlave> Add(std::uint64_t serial, std::uint8_t family = 0x21) {
        auto slave = std::make_shared<MemorySlave>(MemorySlave::MakeRom(family, serial));
        bus.Insert(slave);
        return slave;
    }
    void OpenOrFail() {
        std::string error;
        ASSERT_TRUE(link.Open(error)) << error;
    }

    VirtualBus bus;
    EmulatedUsbHost host;
    EmulatedDs2490& chip;
    Ds2490Link link;
};
