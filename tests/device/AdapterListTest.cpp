#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "device/AdapterList.h"
#include "device/usb/UsbAdvice.h"
#include "device/usb/UsbRig.h"
#include "support/PerTestPath.h"
#include "support/ReadFile.h"

namespace fs = std::filesystem;

namespace {
std::vector<std::string> Lines(const AdapterListing& listing) {
    std::vector<std::string> lines;
    for (const AdapterEntry& entry : listing.Adapters) lines.push_back(AdapterLine(entry));
    return lines;
}
}  // namespace

TEST(AdapterList, ListsUsbThenSerialThenTheVirtualAdapter) {
    const fs::path root = PerTestPath("kelvara-adapters");
    const fs::path dev = root / "dev", sys = root / "sys";
    fs::create_directories(dev / "serial" / "by-id");
    for (const char* name : {"ttyUSB0", "ttyUSB1", "ttyACM0", "ttyS0", "ttyS1", "ttyS10", "ttySX", "tty5"})
        std::ofstream(dev / name) << "";
    fs::create_symlink("../../ttyUSB0", dev / "serial" / "by-id" / "usb-FTDI_FT232R-if00-port0");
    for (const auto& [name, type] : {std::pair{"ttyS0", "4"}, {"ttyS1", "0"}, {"ttyS10", "4"}}) {
        fs::create_directories(sys / "class" / "tty" / name);
        std::ofstream(sys / "class" / "tty" / name / "type") << type << "\n";
    }
    VirtualBus bus;
    EmulatedUsbHost usb;
    usb.Add(bus);
    usb.Add(bus);
    usb.Info(1).Accessible = false;

    const AdapterListing listing = ListAdapters(usb, dev.string(), sys.string());
    const std::string byId = (dev / "serial" / "by-id" / "usb-FTDI_FT232R-if00-port0").string();
    const std::string serial = "serial port, for a DS9097U adapter (DS2480B)";
    EXPECT_EQ(
        Lines(listing),
        (std::vector<std::string>{
            "6\t1\tUSB bus 1 address 2 (port 1-1)\tDS9490 USB adapter (DS2490), emulated",
            "6\t2\tUSB bus 1 address 3 (port 1-2)\tDS9490 USB adapter (DS2490), emulated [no permission to "
            "open /dev/bus/usb/001/003: test it to see the fix]",
            "5\t1\t" + byId + "\t" + serial + " (ttyUSB0)",
            "5\t1\t" + (dev / "ttyACM0").string() + "\t" + serial,
            "5\t1\t" + (dev / "ttyUSB1").string() + "\t" + serial,
            "5\t1\t" + (dev / "ttyS0").string() + "\t" + serial,
            "5\t11\t" + (dev / "ttyS10").string() + "\t" + serial,
            "15\t1\tbuilt in\tvirtual adapter with emulated DS1921s",
        }));
    EXPECT_EQ(listing.Adapters[2].Setting().Device, byId) << "the stable name is what gets saved";
    EXPECT_TRUE(listing.Adapters[5].Setting().Device.empty()) << "ttyS0 is port 1 by itself";
    EXPECT_TRUE(listing.Notes.empty());

    usb.ListError = "USB is not available: Other error";
    const AdapterListing withoutUsb = ListAdapters(usb, (root / "nothing").string(), sys.string());
    EXPECT_EQ(withoutUsb.Notes, std::vector<std::string>{"USB is not available: Other error"});
    ASSERT_EQ(withoutUsb.Adapters.size(), 1u);
    EXPECT_EQ(withoutUsb.Adapters[0].Type, 15);
    fs::remove_all(root);
}

TEST(AdapterList, USBAdaptersAreNumberedByWhereTheyArePlugged) {
    std::vector<UsbAdapterInfo> adapters(4);
    adapters[0].Bus = 2, adapters[0].Address = 3, adapters[0].PortPath = "2-1";
    adapters[1].Bus = 1, adapters[1].Address = 9, adapters[1].PortPath = "1-1.10";
    adapters[2].Bus = 1, adapters[2].Address = 4, adapters[2].PortPath = "1-1.2";
    adapters[3].Bus = 1, adapters[3].Address = 7, adapters[3].PortPath = "1-1";
    SortAdapters(adapters);
    // The address changes with every replug; the port path does not.
    EXPECT_EQ(adapters[0].PortPath, "1-1");
    EXPECT_EQ(adapters[1].PortPath, "1-1.2");
    EXPECT_EQ(adapters[2].PortPath, "1-1.10") << "port numbers compare as numbers";
    EXPECT_EQ(adapters[3].PortPath, "2-1");
}

TEST(AdapterList, TestSaysWhatAnswers) {
    UsbRig rig;
    EXPECT_EQ(TestAdapter(rig.link).Lines.back(), "No device answers on the 1-Wire bus: clip an iButton in.");
    rig.Add(0x77, 0x81);
    AdapterTest onlyId = TestAdapter(rig.link);
    ASSERT_EQ(onlyId.Lines.size(), 3u);
    EXPECT_NE(onlyId.Lines[1].find("the USB adapter's own ID chip"), std::string::npos);
    EXPECT_EQ(onlyId.Lines[2], "No DS1921 among them: clip the logger in.");
    auto logger = rig.Add(0x665544332211);
    const AdapterTest both = TestAdapter(rig.link);
    EXPECT_TRUE(both.AdapterAnswers);
    EXPECT_EQ(both.Lines[0], "Adapter found: DS9490 USB adapter (DS2490) at USB bus 1 address 2 (port 1-1).");
    char crc[3];
    std::snprintf(crc, sizeof crc, "%.2X", static_cast<unsigned>(logger->Rom()[7]));
    // The ROM as the window names it: CRC first, family code last.
    const std::string line = "  " + std::string(crc) + "66554433221121  DS1921 Thermochron logger";
    EXPECT_NE(std::find(both.Lines.begin(), both.Lines.end(), line), both.Lines.end())
        << both.Lines[1] << " / " << both.Lines[2];
    EXPECT_FALSE(rig.link.IsOpen()) << "the test lets go of the adapter";
    rig.chip.BusShorted = true;
    EXPECT_NE(TestAdapter(rig.link).Lines.back().find("shorted"), std::string::npos);
    rig.chip.OpenError = UsbError::Busy;
    const AdapterTest busy = TestAdapter(rig.link);
    EXPECT_FALSE(busy.AdapterAnswers);
    EXPECT_NE(busy.Lines[0].find("in use by another program"), std::string::npos);
}

TEST(AdapterList, TheShippedUdevRuleIsTheOneTheMessagesGive) {
    const std::string rules =
        ReadAll(fs::path(KELVARA_TEST_DATA_DIR) / ".." / ".." / "data" / "udev" / "69-kelvara-ds9490.rules");
    EXPECT_NE(rules.find(std::string(kDs2490UdevRule) + "\n"), std::string::npos) << rules;
    EXPECT_NE(UdevFixCommands().find(kDs2490UdevRule), std::string::npos);
}
