// kelvara-cli download on the USB adapter: the command's own path, run in
// process on an emulated DS2490, against the same on the virtual adapter.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/DownloadCommand.h"
#include "device/LinkFactory.h"
#include "device/tmex/DriverFixture.h"
#include "device/tmex/TmexDriver.h"
#include "device/virtual/EmulatedUsbHost.h"
#include "device/virtual/VirtualAdapter.h"
#include "support/DateAt.h"
#include "support/PerTestPath.h"
#include "support/ReadFile.h"

namespace fs = std::filesystem;

namespace {
class UsbDownload : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir);
        adapter.InsertDemoDevice();
        links.SetUsbHost(&host);
    }
    void TearDown() override { fs::remove_all(dir); }

    int Download(int type, const std::string& name) {
        CliOptions options;
        options.Command = "download";
        options.Output = (dir / name).string();
        options.Now = At(2026, 12, 7, 10, 0, 0);
        options.HasPort = true;
        options.PortType = type;
        options.PortNumber = 1;
        err.str("");
        return DownloadThroughDriver(options, driver, err);
    }

    ConfigDirGuard config;  // no saved port of the user's is read
    fs::path dir = PerTestPath("kelvara-usb-cli");
    ManualClock clock{ManualClock::MsFromDateTime(At(2026, 12, 7, 9, 0, 0))};  // frozen
    VirtualAdapter adapter{"", clock};
    EmulatedUsbHost host;
    LinkProvider links{&adapter.Bus()};
    TmexDriver driver{links};
    std::ostringstream err;
};
}  // namespace

TEST_F(UsbDownload, SavesTheSameBytesAsTheVirtualAdapter) {
    host.Add(adapter.Bus());
    ASSERT_EQ(Download(15, "virtual.dmp"), 0) << err.str();
    ASSERT_EQ(Download(6, "usb.dmp"), 0) << err.str();
    EXPECT_NE(err.str().find("kelvara-cli: downloaded "), std::string::npos) << err.str();
    const std::string usb = ReadAll(dir / "usb.dmp");
    EXPECT_EQ(usb.substr(0, 17), "DS1921 iButton - ");
    EXPECT_EQ(usb, ReadAll(dir / "virtual.dmp"));
}

TEST_F(UsbDownload, WithoutAnAdapterSaysSoInItsOwnWords) {
    EXPECT_EQ(Download(6, "none.dmp"), 1);
    EXPECT_EQ(err.str(),
              "kelvara-cli: download: no adapter answers on port 6:1: No USB adapter (DS9490, 04FA:2490) is "
              "connected.\n"
              "kelvara-cli: download: kelvara-portsetup --list shows the adapters found.\n");
    EXPECT_FALSE(fs::exists(dir / "none.dmp"));

    host.Add(adapter.Bus()).OpenError = UsbError::Access;
    EXPECT_EQ(Download(6, "none.dmp"), 1);
    EXPECT_NE(err.str().find("No permission to open the USB adapter"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("\n  echo 'SUBSYSTEM==\"usb\""), std::string::npos) << "the fix, a line each";
}
