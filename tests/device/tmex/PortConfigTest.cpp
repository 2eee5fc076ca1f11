#include <fstream>

#include "device/tmex/DriverFixture.h"
#include "device/tmex/PortConfig.h"

namespace {

PortConfigStatus LoadText(const ConfigDirGuard& config, const std::string& text, PortSetting& setting) {
    std::ofstream(config.PortFile(), std::ios::binary) << text;
    std::string error;
    const auto status = LoadPortConfig(config.PortFile(), setting, error);
    if (status == PortConfigStatus::Damaged) {
        EXPECT_FALSE(error.empty());
    }
    return status;
}

}  // namespace

TEST(PortConfig, PathFollowsTheEnvironment) {
    ConfigDirGuard config;
    EXPECT_EQ(PortConfigPath(), config.PortFile());
    ::unsetenv("KELVARA_CONFIG_DIR");
    ::setenv("XDG_CONFIG_HOME", "/tmp/xdg-here", 1);
    EXPECT_EQ(PortConfigPath(), "/tmp/xdg-here/kelvara/port.ini");
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST(PortConfig, SaveAndLoadRoundTrip) {
    ConfigDirGuard config;
    const std::string path = (config.dir / "deeper" / "port.ini").string();
    PortSetting saved{5, 3, "/dev/ttyUSB0"};
    std::string error;
    ASSERT_TRUE(SavePortConfig(path, saved, error)) << error;
    PortSetting loaded;
    ASSERT_EQ(LoadPortConfig(path, loaded, error), PortConfigStatus::Loaded) << error;
    EXPECT_EQ(loaded.Type, 5);
    EXPECT_EQ(loaded.Number, 3);
    EXPECT_EQ(loaded.Device, "/dev/ttyUSB0");
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

    EXPECT_FALSE(SavePortConfig(path, PortSetting{9, 1, ""}, error)) << "an unknown type is not saved";
    ASSERT_EQ(LoadPortConfig(path, loaded, error), PortConfigStatus::Loaded);
    EXPECT_EQ(loaded.Type, 5) << "a refused save leaves the old file";
}

TEST(PortConfig, MissingAndDamagedFiles) {
    ConfigDirGuard config;
    PortSetting setting;
    std::string error;
    EXPECT_EQ(LoadPortConfig(config.PortFile(), setting, error), PortConfigStatus::Missing);
    EXPECT_EQ(LoadText(config, "; comment\r\n[Port]\r\nType = 15\r\nNumber=1\r\n", setting),
              PortConfigStatus::Loaded);
    EXPECT_EQ(setting.Type, 15);
    EXPECT_EQ(LoadText(config, "\xEF\xBB\xBF[Port]\nType=5\nNumber=4\nDevice = /dev/ttyUSB1 \n", setting),
              PortConfigStatus::Loaded);
    EXPECT_EQ(setting.Number, 4);
    EXPECT_EQ(setting.Device, "/dev/ttyUSB1");
    for (const char* damaged :
         {"", "Type=5\n", "Type=5\nNumber=\n", "Type=5\nNumber=1x\n", "garbage\n", "Type=5\nNumber=0\n",
          "Type=5\nNumber=99999\n", "Type=3\nNumber=1\n", "\xFF\xFE\x00\x01"}) {
        PortSetting untouched{15, 1, ""};
        EXPECT_EQ(LoadText(config, damaged, untouched), PortConfigStatus::Damaged) << damaged;
        EXPECT_EQ(untouched.Type, 15);
    }
    EXPECT_EQ(LoadText(config, std::string(100000, 'a'), setting), PortConfigStatus::Damaged);
}

TEST(PortConfig, OverrideTextAndSerialDevicePaths) {
    PortSetting setting;
    EXPECT_TRUE(ParsePortText("5:2", setting));
    EXPECT_EQ(setting.Type, 5);
    EXPECT_EQ(setting.Number, 2);
    EXPECT_TRUE(ParsePortText("5:1:/dev/ttyUSB1", setting));
    EXPECT_EQ(setting.Device, "/dev/ttyUSB1");
    for (const char* bad : {"", "5", "5:", ":1", "5:x", "4:1", "5:0", "5:1:\n"})
        EXPECT_FALSE(ParsePortText(bad, setting)) << bad;

    EXPECT_EQ(SerialDevicePath(1, nullptr), "/dev/ttyS0");
    const PortSetting usbSerial{5, 2, "/dev/ttyUSB0"};
    EXPECT_EQ(SerialDevicePath(2, &usbSerial), "/dev/ttyUSB0");
    EXPECT_EQ(SerialDevicePath(3, &usbSerial), "/dev/ttyS2");
}

TEST(PortConfig, SetupToolCommandLine) {
    PortSetting setting;
    std::string error;
    ASSERT_TRUE(
        ParsePortSetupArguments({"--type", "5", "--port", "2", "--device", "/dev/ttyUSB0"}, setting, error))
        << error;
    EXPECT_EQ(setting.Type, 5);
    EXPECT_EQ(setting.Number, 2);
    EXPECT_EQ(setting.Device, "/dev/ttyUSB0");
    ASSERT_TRUE(ParsePortSetupArguments({"--port", "1", "--type", "15"}, setting, error));
    EXPECT_EQ(setting.Type, 15);
    EXPECT_TRUE(setting.Device.empty());
    ASSERT_TRUE(ParsePortSetupArguments({"--type", "6", "--port", "2"}, setting, error)) << error;
    EXPECT_EQ(setting.Type, 6);
    EXPECT_EQ(setting.Number, 2);
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"--type", "5"},
        {"--type", "5", "--port"},
        {"--type", "x", "--port", "1"},
        {"--type", "5", "--port", "1", "--speed", "9"},
        {"--type", "15", "--port", "1", "--device", "/dev/ttyS0"},
        {"--type", "9", "--port", "1"},
        {"--type", "6", "--port", "1", "--device", "/dev/ttyUSB0"}};
    for (const auto& arguments : bad) {
        error.clear();
        EXPECT_FALSE(ParsePortSetupArguments(arguments, setting, error));
        EXPECT_FALSE(error.empty());
    }
}
