#include <gtest/gtest.h>
#include <unistd.h>

#include <QListWidget>
#include <QPushButton>
#include <filesystem>

#include "app/qt/VirtualAdapterWindow.h"
#include "device/virtual/VirtualAdapter.h"

namespace {

TEST(VirtualAdapterWindow, InsertsRemovesAndFastForwardsDevicesOnTheBus) {
    ManualClock clock(ManualClock::MsFromDateTime(46000.5));
    VirtualAdapter adapter("", clock);
    ASSERT_EQ(adapter.Load(), "");
    VirtualAdapterWindow window(adapter);
    ASSERT_EQ(window.DeviceList()->count(), 1);
    EXPECT_TRUE(window.DeviceList()->item(0)->text().contains("mission running, 288 samples"));

    window.InsertDevice(1);
    ASSERT_EQ(adapter.Devices().size(), 2u);
    EXPECT_EQ(adapter.Devices()[1]->Variant(), Ds1921Variant::HumanBody);
    EXPECT_EQ(window.DeviceList()->count(), 2);
    EXPECT_TRUE(window.DeviceList()->item(1)->text().contains("Human Body DS1921H"));
    EXPECT_TRUE(window.DeviceList()->item(1)->text().contains("no mission running"));

    window.FastForwardMinutes(1440);
    EXPECT_TRUE(window.DeviceList()->item(0)->text().contains("mission running, 432 samples"));

    window.DeviceList()->setCurrentRow(0);
    window.RemoveSelected();
    ASSERT_EQ(adapter.Devices().size(), 1u);
    EXPECT_EQ(adapter.Devices()[0]->Variant(), Ds1921Variant::HumanBody);
    EXPECT_EQ(window.DeviceList()->count(), 1);
    EXPECT_EQ(window.OutList()->count(), 1);
    // A device pulled by the bus itself (a fault) disappears from the list too.
    adapter.Bus().VanishAfter(adapter.Devices()[0], 0);
    adapter.Bus().Reset();
    window.Refresh();
    EXPECT_EQ(window.DeviceList()->count(), 0);
}

TEST(VirtualAdapterWindow, RemovePutBackAndDiscardButtonsMoveDevicesAndSaveEachTime) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("kelvara-window-out-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    const std::string path = (dir / "virtual-adapter.txt").string();
    ManualClock clock(ManualClock::MsFromDateTime(46000.5));
    VirtualAdapter adapter(path, clock);
    ASSERT_EQ(adapter.Load(), "");
    const auto demo = adapter.Devices()[0];
    VirtualAdapterWindow window(adapter);
    EXPECT_FALSE(window.RemoveButton()->isEnabled());
    EXPECT_FALSE(window.PutBackButton()->isEnabled());
    EXPECT_FALSE(window.DiscardButton()->isEnabled());

    window.DeviceList()->setCurrentRow(0);
    ASSERT_TRUE(window.RemoveButton()->isEnabled());
    window.RemoveButton()->click();
    EXPECT_EQ(window.DeviceList()->count(), 0);
    ASSERT_EQ(window.OutList()->count(), 1);
    EXPECT_TRUE(adapter.Devices().empty());
    {
        ManualClock other(clock.NowMs());
        VirtualAdapter saved(path, other);
        ASSERT_EQ(saved.Load(), "");
        EXPECT_TRUE(saved.Devices().empty());
        EXPECT_EQ(saved.DevicesOut().size(), 1u) << "saved at once, with the device out";
    }

    window.FastForwardMinutes(1440);
    EXPECT_TRUE(window.OutList()->item(0)->text().contains("mission running, 432 samples"));
    ASSERT_TRUE(window.PutBackButton()->isEnabled()) << "the removed device is selected";
    window.PutBackButton()->click();
    EXPECT_EQ(window.OutList()->count(), 0);
    ASSERT_EQ(adapter.Devices().size(), 1u);
    EXPECT_EQ(adapter.Devices()[0], demo);
    EXPECT_TRUE(window.DeviceList()->item(0)->text().contains("mission running, 432 samples"));

    window.InsertDevice(2);
    window.DeviceList()->setCurrentRow(1);
    window.RemoveSelected();
    ASSERT_EQ(window.OutList()->count(), 1);
    window.OutList()->setCurrentRow(0);
    window.DiscardButton()->click();
    EXPECT_EQ(window.OutList()->count(), 0);
    EXPECT_TRUE(adapter.DevicesOut().empty());
    EXPECT_EQ(adapter.Devices().size(), 1u);
    {
        ManualClock other(clock.NowMs());
        VirtualAdapter saved(path, other);
        ASSERT_EQ(saved.Load(), "");
        EXPECT_EQ(saved.Devices().size(), 1u);
        EXPECT_TRUE(saved.DevicesOut().empty()) << "the discarded device is gone from the file";
    }
    fs::remove_all(dir);
}

TEST(VirtualAdapterWindow, SpeedChoiceDrivesAScaledClock) {
    std::int64_t real = 1'000'000;
    ScaledClock clock([&] { return real; });
    VirtualAdapter adapter("", clock);
    VirtualAdapterWindow window(adapter);
    window.SetSpeed(3600);
    real += 1000;
    EXPECT_EQ(clock.NowMs(), 1'000'000 + 3'600'000);
}

}  // namespace
