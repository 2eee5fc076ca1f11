#pragma once
// A driver over a virtual bus with test memory devices, and the scratch
// config folder the driver reads its default port from.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "device/LinkFactory.h"
#include "device/bus/MemorySlave.h"
#include "device/tmex/TmexDriver.h"
#include "device/virtual/VirtualBus.h"
#include "support/PerTestPath.h"

class ConfigDirGuard {
public:
    ConfigDirGuard() {
        dir = PerTestPath("kelvara-stack");
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        ::setenv("KELVARA_CONFIG_DIR", dir.c_str(), 1);
        ::unsetenv("KELVARA_PORT");
    }
    ~ConfigDirGuard() {
        ::unsetenv("KELVARA_CONFIG_DIR");
        ::unsetenv("KELVARA_PORT");
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::string PortFile() const { return (dir / "port.ini").string(); }
    std::filesystem::path dir;
};

class DriverTest : public ::testing::Test {
protected:
    std::shared_ptr<MemorySlave> AddSlave(std::uint64_t serial, std::uint8_t family = 0x21) {
        auto slave = std::make_shared<MemorySlave>(MemorySlave::MakeRom(family, serial));
        bus.Insert(slave);
        return slave;
    }
    std::int32_t Session() { return driver.TMExtendedStartSession(1, kPortTypeVirtual, nullptr); }
    // Makes `rom` current the way the jobs do.
    void MakeCurrent(std::int32_t session, const onewire::Rom& rom) {
        std::int16_t buffer[8];
        for (int i = 0; i < 8; ++i) buffer[i] = rom[i];
        ASSERT_EQ(driver.TMRom(session, state.data(), buffer), 1);
    }

    ConfigDirGuard config;
    VirtualBus bus;
    LinkProvider links{&bus};
    TmexDriver driver{links};
    std::vector<std::uint8_t> state = std::vector<std::uint8_t>(kDriverStateSize, 0);
};
