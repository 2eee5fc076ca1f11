// A whole download from an emulated DS1921 on the virtual adapter, saved as a
// data file and loaded again in offline mode: the lists come back the same.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "app/TTRecForm.h"
#include "device/LinkFactory.h"
#include "device/tmex/TmexDriver.h"
#include "device/virtual/Ds1921Device.h"
#include "device/virtual/VirtualBus.h"
#include "reports/DownloadRun.h"
#include "support/ScriptedPlatform.h"

namespace fs = std::filesystem;

namespace {
struct Adapter {
    explicit Adapter(Ds1921Variant variant, bool rollover) {
        TDateTime now = 0;
        TryEncodeDateTime(2026, 12, 7, 9, 0, 0, 0, now);
        clock.SetLocalDateTime(now);
        device = std::make_shared<Ds1921Device>(Ds1921Device::MakeRom(variant, 7), clock,
                                                Ds1921Device::DefaultProfile(variant, 7));
        device->SetClock(now);
        Ds1921MissionSetup setup;
        setup.SampleRate = 1;
        setup.LowThreshold = 40;
        setup.HighThreshold = 60;
        setup.Control = static_cast<std::uint8_t>(0x06 | (rollover ? 0x08 : 0));
        device->StartMissionAt(setup, device->ClockMs() - 3LL * 86400000);
        device->WriteUserPage(5, "Pond study");
        bus.Insert(device);
    }
    ManualClock clock;
    std::shared_ptr<Ds1921Device> device;
    VirtualBus bus;
};

struct Lists {
    std::vector<std::string> Log, Alarms, Histogram;
    std::string Caption;
    bool operator==(const Lists&) const = default;
};

Lists ListsOf(const TTRecForm& form) {
    return {form.LogList.Items, form.AlarmList.Items, form.HistList.Items, form.Caption};
}
}  // namespace

class DownloadToFile : public ::testing::TestWithParam<std::pair<Ds1921Variant, bool>> {};

TEST_P(DownloadToFile, SavedDownloadReloadsIntoTheSameLists) {
    Adapter adapter(GetParam().first, GetParam().second);
    LinkProvider links(&adapter.bus);
    TmexDriver driver(links);
    ScriptedPlatform platform;
    TTRecForm form(platform, driver);
    form.FormCreate({});
    form.PortType = kPortTypeVirtual;
    form.PortNumber = 1;
    ASSERT_EQ(RunDownloadCycle(form, 5000, 600000, [] { return false; }), "");
    ASSERT_TRUE(form.menuSaveData1.Enabled);
    const Lists downloaded = ListsOf(form);
    EXPECT_EQ(downloaded.Log.size(), 2048u);
    EXPECT_EQ(downloaded.Histogram.size(), 63u);

    const fs::path file =
        fs::temp_directory_path() / ("kelvara-download-" + std::to_string(::getpid()) + ".dmp");
    platform.SaveAnswers.push_back(file.string());
    form.menuSaveData1Click();
    ASSERT_TRUE(platform.Boxes.empty());

    ScriptedPlatform offlinePlatform;
    TTRecForm offline(offlinePlatform, driver);
    offline.FormCreate({file.string()});
    fs::remove(file);
    ASSERT_TRUE(offline.OfflineMode());
    EXPECT_EQ(ListsOf(offline), downloaded);
    EXPECT_EQ(offline.Image.RegisterPage, form.Image.RegisterPage);
    EXPECT_EQ(offline.Image.LogArea, form.Image.LogArea);
    EXPECT_EQ(offline.menuHuman.Checked, GetParam().first == Ds1921Variant::HumanBody);
    EXPECT_EQ(offline.menuIce.Checked, GetParam().first == Ds1921Variant::LowTemp);
    EXPECT_EQ(offline.menuStandard.Checked, GetParam().first == Ds1921Variant::Standard);
    EXPECT_EQ(offline.ReportRomText(), form.RomIdText);
}

INSTANTIATE_TEST_SUITE_P(Variants, DownloadToFile,
                         ::testing::Values(std::pair{Ds1921Variant::Standard, false},
                                           std::pair{Ds1921Variant::HumanBody, true},
                                           std::pair{Ds1921Variant::LowTemp, true}));

TEST(DownloadRun, NoDeviceGivesUpAfterTheSearchTime) {
    VirtualBus bus;
    LinkProvider links(&bus);
    TmexDriver driver(links);
    ScriptedPlatform platform;
    TTRecForm form(platform, driver);
    form.FormCreate({});
    form.PortType = kPortTypeVirtual;
    form.PortNumber = 1;
    EXPECT_EQ(RunDownloadCycle(form, 2000, 60000, [] { return false; }),
              "No DS1921 iButton was found on the adapter.");
    EXPECT_FALSE(form.menuSaveData1.Enabled);
}
