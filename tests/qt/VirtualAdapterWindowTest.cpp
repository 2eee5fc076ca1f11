#include <gtest/gtest.h>

#include <QListWidget>

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
    // A device pulled by the bus itself (a fault) disappears from the list too.
    adapter.Bus().VanishAfter(adapter.Devices()[0], 0);
    adapter.Bus().Reset();
    window.Refresh();
    EXPECT_EQ(window.DeviceList()->count(), 0);
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
