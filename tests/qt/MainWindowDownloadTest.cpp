#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <cstdlib>

#include "app/TTRecForm.h"
#include "app/qt/FramePanels.h"
#include "app/qt/MainWindow.h"
#include "app/qt/ResultsTabView.h"
#include "app/qt/StatusTabView.h"
#include "device/LinkFactory.h"
#include "device/tmex/TmexDriver.h"
#include "device/virtual/SimClock.h"
#include "device/virtual/VirtualAdapter.h"
#include "support/ScriptedPlatform.h"

namespace {
// The whole window on the real driver and the seeded virtual device, ticked by hand.
class MainWindowDownload : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("KELVARA_PORT", "15:1", 1);
        clock.SetLocalDateTime(46000.5);
        ASSERT_EQ(adapter.Load(), "");
        platform.SetNow(46000.5);
    }
    void TearDown() override { unsetenv("KELVARA_PORT"); }
    // Each tick as the window's timer does it: the form's handler, then a sync.
    void Tick(int count) {
        for (int i = 0; i < count && platform.TimerOn; ++i) {
            form.TRecTimerTimer();
            window.Sync();
            platform.Advance(platform.Interval);
        }
    }

    ManualClock clock;
    VirtualAdapter adapter{"", clock};
    LinkProvider links{&adapter.Bus()};
    TmexDriver driver{links};
    ScriptedPlatform platform;
    TTRecForm form{platform, driver};
    MainWindow window{form};
};
}  // namespace

TEST_F(MainWindowDownload, TheSeededMissionDownloadsIntoTheVisibleLists) {
    form.FormCreate({});
    window.show();
    Tick(400);
    EXPECT_TRUE(form.PollState == Poll::Idle || form.PollState == Poll::ClockRefresh) << form.PollState;
    EXPECT_TRUE(window.RecTab()->isVisible());
    EXPECT_FALSE(window.WelcomePanelWidget()->isVisible());
    EXPECT_EQ(window.RecTab()->currentIndex(), form.RecTab.PageIndex);
    EXPECT_EQ(window.windowTitle().toStdString(), form.Caption);
    ASSERT_GT(form.LogList.Items.size(), 0u);
    EXPECT_EQ(window.ResultsView()->LogList()->count(), static_cast<int>(form.LogList.Items.size()));
    EXPECT_EQ(window.ResultsView()->HistList()->count(), 63);
    EXPECT_EQ(window.StatusView()->ValueLabel(form.MissionStatus)->text(), QStringLiteral("in progress"));
    EXPECT_EQ(window.StatusLabel()->text().toStdString(), form.Status.Caption);
    // The light is off between ticks, and every session lit it (a forced repaint each time).
    EXPECT_EQ(window.Light()->Colour(), QColor(128, 128, 128));
    EXPECT_GT(platform.Refreshes, 10);
    EXPECT_TRUE(window.Action(form.MenuSaveCSV)->isEnabled());
    EXPECT_TRUE(window.ResultsView()->GraphLogButton()->isEnabled());
    if (const char* dir = std::getenv("KELVARA_SHOT_DIR")) {
        for (int page : {1, 2}) {
            form.RecTab.PageIndex = page;
            window.Sync();
            window.grab().save(
                QStringLiteral("%1/download-tab%2.png").arg(QString::fromLocal8Bit(dir)).arg(page));
        }
    }
}

TEST_F(MainWindowDownload, PullingTheDeviceBringsTheWelcomePanelBack) {
    form.FormCreate({});
    window.show();
    Tick(400);
    ASSERT_TRUE(window.RecTab()->isVisible());
    adapter.Bus().RemoveAll();
    Tick(30);
    EXPECT_TRUE(window.WelcomePanelWidget()->isVisible());
    EXPECT_FALSE(window.RecTab()->isVisible());
}

TEST_F(MainWindowDownload, ProgressShowsPagesReadWhileTheDownloadRunsAndGoesAfterwards) {
    form.FormCreate({});
    window.show();
    bool seen = false;
    for (int i = 0; i < 400 && platform.TimerOn; ++i) {
        Tick(1);
        const auto [read, toRead] = form.DownloadProgress();
        if (toRead <= 0) continue;
        seen = true;
        EXPECT_TRUE(window.ProgressLabel()->isVisible());
        EXPECT_EQ(window.ProgressLabel()->text(), QStringLiteral("%1 / %2").arg(read).arg(toRead));
    }
    EXPECT_TRUE(seen);
    EXPECT_FALSE(window.ProgressLabel()->isVisible());
}
