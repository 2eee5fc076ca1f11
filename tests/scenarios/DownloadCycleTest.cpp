// The whole form run tick by tick against a driver double that answers like one
// DS1921, with a scripted platform and a manual clock.
#include <gtest/gtest.h>

#include <functional>

#include "app/TTRecForm.h"
#include "scenarios/DownloadFakeDevice.h"
#include "support/ScriptedPlatform.h"

namespace {
// Records whether the polling timer was running while each box was open.
class BoxWatchingPlatform : public ScriptedPlatform {
public:
    MsgResult MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                         MsgIcon icon) override {
        TimerOnDuringBox.push_back(TimerOn);
        return ScriptedPlatform::MessageBox(text, caption, buttons, icon);
    }
    std::vector<bool> TimerOnDuringBox;
};

class DownloadCycle : public ::testing::Test {
protected:
    void SetUp() override {
        TDateTime now = 0;
        ASSERT_TRUE(TryEncodeDateTime(2004, 3, 5, 14, 20, 30, 0, now));
        platform.SetNow(now);
        const std::uint8_t clock[] = {0x30, 0x20, 0x14, 0x06, 0x05, 0x83, 0x04};
        for (int i = 0; i < 7; ++i) device.Register(i) = clock[i];
        const std::uint8_t stamp[] = {0x00, 0x14, 0x05, 0x83, 0x04};
        for (int i = 0; i < 5; ++i) device.Register(0x15 + i) = stamp[i];
        device.Register(Reg::SampleRate) = 10;
        device.Register(Reg::HighThreshold) = 130;
        device.Register(Reg::LowThreshold) = 90;
        form.FormCreate({});
    }

    void StartMission(std::int32_t samples) {
        device.Register(Reg::Status) = 0x20;
        device.SetMissionSamples(samples);
    }

    void Tick() {
        platform.Advance(platform.Interval);
        form.TRecTimerTimer();
        EXPECT_TRUE(platform.TimerOn) << "the tick frame restarts the timer";
    }
    // Ticks until the state is reached; false after maxTicks.
    bool TickUntil(std::int16_t state, int maxTicks = 200) {
        for (int i = 0; i < maxTicks; ++i) {
            Tick();
            if (form.PollState == state) return true;
        }
        return false;
    }
    std::vector<int> LogPagesRead() const {
        std::vector<int> pages;
        for (int p : device.PagesRead)
            if (p >= 128) pages.push_back(p);
        return pages;
    }

    BoxWatchingPlatform platform;
    DownloadFakeDevice device;
    TTRecForm form{platform, device};
};

std::vector<int> Range(int first, int last) {
    std::vector<int> pages;
    for (int p = first; p <= last; ++p) pages.push_back(p);
    return pages;
}
}  // namespace

TEST_F(DownloadCycle, WithoutDeviceTheSearchRepeatsEveryTick) {
    device.Present = false;
    Tick();
    EXPECT_EQ(form.Status.Caption, " Setup Window");
    EXPECT_EQ(form.PollState, Poll::Search);
    EXPECT_TRUE(form.AwaitingDevice);
    for (int i = 0; i < 5; ++i) Tick();
    EXPECT_EQ(form.PollState, Poll::Search);
    EXPECT_EQ(form.Status.Caption, " Waiting for DS1921 iButton...");
    EXPECT_EQ(platform.Interval, 50);
    EXPECT_TRUE(form.PanelWelcome.Visible);
    EXPECT_FALSE(form.RecTab.Visible);
}

TEST_F(DownloadCycle, RunningMissionDownloadsCompletelyAndListsWhatTheDeviceHolds) {
    StartMission(33);
    device.Page(128)[2] = 127;
    device.Page(129)[0] = 130;
    device.Memory[0x220 + 48] = 3;  // first high alarm: sample 3, two samples
    device.Memory[0x220 + 51] = 2;
    device.Page(64)[2 * 31] = 17;  // bin 31: 22.000 to 23.500
    std::memcpy(device.Page(1), "Ann", 3);
    std::memcpy(device.Page(5), "Pond life", 9);

    Tick();
    Tick();
    EXPECT_EQ(form.Status.Caption, " DS1921 iButton found, A766554433221121");
    EXPECT_EQ(form.Caption, "DS1921 iButton - A766554433221121");
    EXPECT_EQ(form.RomIdText, "A766554433221121");
    Tick();
    EXPECT_EQ(form.Status.Caption, " Read Status page: Success");
    EXPECT_EQ(form.PollState, Poll::AlarmPages);
    EXPECT_EQ(form.RecTab.PageIndex, 2);
    EXPECT_TRUE(form.RecTab.Visible);
    EXPECT_FALSE(form.PanelWelcome.Visible);
    EXPECT_FALSE(form.ForceButton.Enabled);
    EXPECT_EQ(form.DownloadTime, platform.Now());
    EXPECT_EQ(form.DownloadProgress(), std::make_pair(0, 26));

    Tick();
    EXPECT_EQ(form.Status.Caption, " Read Alarm page: 17 Success");
    EXPECT_EQ(form.DownloadProgress(), std::make_pair(1, 26));
    ASSERT_TRUE(TickUntil(Poll::UserPages));
    EXPECT_EQ(form.AlarmList.Items, (std::vector<std::string>{"HIGH , start: 05/03/2004  14:20 ",
                                                              "            end:  05/03/2004  14:30 "}));
    EXPECT_TRUE(form.AlarmBox.Visible);
    ASSERT_TRUE(TickUntil(Poll::HistogramPages));
    EXPECT_EQ(form.Status.Caption, " Read User page: 15 Success");
    EXPECT_EQ(form.UserTexts[5], "Pond life" + std::string(23, ' '));
    EXPECT_EQ(form.DownloadProgress(), std::make_pair(19, 26));
    ASSERT_TRUE(TickUntil(Poll::LogPages));
    EXPECT_EQ(form.HistList.Items[31],
              "22.000\xB0"
              "C to 23.500\xB0"
              "C ,17");
    EXPECT_FALSE(form.LogBox.Visible);
    ASSERT_TRUE(TickUntil(Poll::Idle));

    std::vector<int> expected = {16, 17, 18, 19};
    for (int p : Range(0, 15)) expected.push_back(p);
    for (int p : Range(64, 67)) expected.push_back(p);
    for (int p : {128, 129, 130, 16}) expected.push_back(p);
    EXPECT_EQ(device.PagesRead, expected);

    EXPECT_EQ(form.LogSampleCount, 33);
    ASSERT_EQ(form.LogList.Items.size(), 33u);
    EXPECT_EQ(form.LogList.Items[2],
              "05/03/2004 ,14:20 ,23.500\xB0"
              "C");
    EXPECT_EQ(form.LogList.Items[32],
              "05/03/2004 ,19:20 ,25.000\xB0"
              "C");
    EXPECT_EQ(form.Status.Caption, " Read Status page: Success");
    EXPECT_EQ(platform.Interval, 500);
    EXPECT_TRUE(form.ReadButton.Enabled);
    for (const MenuItem* item :
         {&form.MenuExportToClip, &form.menuSaveHist, &form.MenuSaveData, &form.menuSaveData1,
          &form.Printfullreport1, &form.PrintSummary, &form.MenuSaveCSV, &form.MenuStopMission})
        EXPECT_TRUE(item->Enabled) << item->Caption;
    EXPECT_FALSE(form.ForceButton.Enabled);
    EXPECT_FALSE(form.ForceTempLabel.Visible);
    EXPECT_TRUE(form.LogBox.Visible && form.btnDetails.Visible && form.LogRadio.Enabled &&
                form.HistRadio.Enabled);
    EXPECT_EQ(form.DownloadProgress(), std::make_pair(0, 0));
    EXPECT_EQ(form.MissionStatus.Caption, "in progress");
    EXPECT_TRUE(platform.Boxes.empty());
    EXPECT_EQ(device.OpenSessions, 0);
}

TEST_F(DownloadCycle, LogPagesFollowTheSampleCount) {
    for (auto [samples, last] : {std::pair{0, 128}, {33, 130}, {32, 129}, {2048, 191}, {5000, 191}}) {
        device.PagesRead.clear();
        StartMission(samples);
        form.PollState = Poll::StatusRead;
        ASSERT_TRUE(TickUntil(Poll::Idle)) << samples;
        EXPECT_EQ(LogPagesRead(), Range(128, last)) << samples;
        EXPECT_EQ(form.LogList.Items.size(), static_cast<std::size_t>(std::min(samples, 2048))) << samples;
    }
}

TEST_F(DownloadCycle, ReadDataDownloadsAnEndedMission) {
    device.SetMissionSamples(40);
    ASSERT_TRUE(TickUntil(Poll::Idle));
    EXPECT_EQ(form.RecTab.PageIndex, 0);
    EXPECT_TRUE(form.ReadButton.Enabled);
    EXPECT_TRUE(form.ForceButton.Enabled);
    EXPECT_TRUE(form.ForceTempLabel.Visible);
    EXPECT_TRUE(LogPagesRead().empty());

    form.ReadButtonClick();
    EXPECT_FALSE(form.ReadButton.Enabled);
    EXPECT_FALSE(form.ForceButton.Enabled);
    EXPECT_EQ(form.PollState, Poll::AlarmPages);
    EXPECT_EQ(platform.Interval, 50);
    ASSERT_TRUE(TickUntil(Poll::Idle));
    EXPECT_EQ(LogPagesRead(), Range(128, 130));
    EXPECT_EQ(form.LogList.Items.size(), 40u);
    EXPECT_TRUE(form.ForceButton.Enabled);
}

TEST_F(DownloadCycle, DevicePulledDuringLogDownloadResetsTheWindowWithoutPartialLog) {
    StartMission(500);
    ASSERT_TRUE(TickUntil(Poll::LogPages));
    Tick();
    Tick();
    device.Present = false;
    Tick();
    EXPECT_EQ(form.PollState, Poll::Reset);
    EXPECT_TRUE(form.PanelWelcome.Visible);
    EXPECT_FALSE(form.RecTab.Visible);
    Tick();
    EXPECT_EQ(form.PollState, Poll::Search);
    EXPECT_TRUE(form.LogList.Items.empty());
    EXPECT_FALSE(form.LogBox.Visible);
    EXPECT_TRUE(form.AlarmList.Items.empty());
    EXPECT_FALSE(form.ReadButton.Enabled);
    EXPECT_FALSE(form.MenuSaveCSV.Enabled);
    EXPECT_TRUE(platform.Boxes.empty());
    EXPECT_EQ(device.OpenSessions, 0);
}

TEST_F(DownloadCycle, TwelfthIdenticalErrorBeepsAndShowsOneBox) {
    StartMission(10);
    ASSERT_TRUE(TickUntil(Poll::AlarmPages));
    Tick();
    device.ReadFailures[18] = -5;
    for (int i = 0; i < 11; ++i) Tick();
    EXPECT_EQ(form.Status.Caption, " Read Alarm page: 18 Error -5");
    EXPECT_EQ(platform.Beeps, 0);
    EXPECT_TRUE(platform.Boxes.empty());
    Tick();
    EXPECT_EQ(platform.Beeps, 1);
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Text, "Error reading temperature alarm page (-5)!");
    EXPECT_EQ(platform.Boxes[0].Icon, MsgIcon::Warning);
    EXPECT_FALSE(platform.TimerOnDuringBox[0]) << "no tick may start while the box is open";
    for (int i = 0; i < 10; ++i) Tick();
    EXPECT_EQ(platform.Boxes.size(), 1u);
    Tick();
    EXPECT_EQ(platform.Boxes.size(), 2u);

    device.ReadFailures.erase(18);
    ASSERT_TRUE(TickUntil(Poll::UserPages));
    EXPECT_EQ(form.PageCounter, 0);
}

TEST_F(DownloadCycle, AlternatingErrorsNeverGiveTheBox) {
    StartMission(10);
    ASSERT_TRUE(TickUntil(Poll::HistogramPages));
    for (int i = 0; i < 40; ++i) {
        device.ReadFailures[64] = i % 2 ? -5 : -7;
        Tick();
    }
    EXPECT_EQ(form.Status.Caption, " Read Histogram page: 64 Error -5");
    EXPECT_TRUE(platform.Boxes.empty());
    EXPECT_EQ(platform.Beeps, 0);
}

TEST_F(DownloadCycle, SilentRetriesForNoSessionAndNonNegativeResults) {
    ASSERT_TRUE(TickUntil(Poll::Idle));
    const std::string shown = form.Status.Caption;
    EXPECT_FALSE(form.HandleResult(-200, "x", "y"));
    EXPECT_FALSE(form.HandleResult(0, "x", "y"));
    EXPECT_FALSE(form.HandleResult(7, "x", "y"));
    EXPECT_EQ(form.Status.Caption, shown);
    EXPECT_EQ(form.PollState, Poll::Idle);
    EXPECT_TRUE(form.HandleResult(1, "x", "y"));

    device.SessionResult = 0;
    for (int i = 0; i < 30; ++i) Tick();
    EXPECT_TRUE(platform.Boxes.empty());
}

TEST_F(DownloadCycle, IdleChecksPresenceAndRefreshesTheClockEveryTwoSeconds) {
    ASSERT_TRUE(TickUntil(Poll::Idle));
    const std::size_t reads = device.ReadsOfPage(16);
    Tick();
    EXPECT_EQ(form.Status.Caption, " Device Present");
    EXPECT_EQ(form.PollState, Poll::Idle);
    Tick();
    Tick();
    EXPECT_EQ(form.PollState, Poll::Idle);
    Tick();  // 2000 ms after the read
    EXPECT_EQ(form.PollState, Poll::ClockRefresh);
    device.Register(0) = 0x45;
    Tick();
    EXPECT_EQ(form.Status.Caption, " Read time: Success");
    EXPECT_EQ(device.ReadsOfPage(16), reads + 1);
    EXPECT_EQ(form.CurrentTimeLabel.Caption, "Friday  05/03/2004  14:20:45 ");
    EXPECT_EQ(form.PollState, Poll::Idle);
}

TEST_F(DownloadCycle, RemovalWhenTheClockRefreshIsDueResetsTwice) {
    ASSERT_TRUE(TickUntil(Poll::Idle));
    for (int i = 0; i < 3; ++i) Tick();
    EXPECT_EQ(form.PollState, Poll::Idle);
    device.Present = false;
    Tick();
    EXPECT_EQ(form.Status.Caption, " Device NOT Present");
    EXPECT_TRUE(form.PanelWelcome.Visible);
    EXPECT_EQ(form.PollState, Poll::ClockRefresh) << "the clock rule sets its state over the reset";
    Tick();
    EXPECT_EQ(form.Status.Caption, " Read time");
    EXPECT_EQ(form.PollState, Poll::Reset) << "the failed clock read resets again";
    Tick();
    EXPECT_EQ(form.PollState, Poll::Search);
    Tick();
    EXPECT_EQ(form.Status.Caption, " Waiting for DS1921 iButton...");
    EXPECT_TRUE(platform.Boxes.empty());
}

TEST_F(DownloadCycle, ReadNowDuringADownloadDoesNothing) {
    device.SetMissionSamples(40);
    ASSERT_TRUE(TickUntil(Poll::Idle));
    form.ReadButtonClick();
    Tick();
    form.ForceButton.Enabled = true;  // even if the button were clickable
    form.ForceButtonClick();
    EXPECT_EQ(form.PollState, Poll::AlarmPages);
    EXPECT_FALSE(form.ForceReadRequested);
    ASSERT_TRUE(TickUntil(Poll::Idle));
    EXPECT_EQ(device.Conversions, 0);
}

TEST_F(DownloadCycle, ForcedReadingReachesTheDeviceAndShowsAfterTheClockRead) {
    ASSERT_TRUE(TickUntil(Poll::Idle));
    form.ForceButtonClick();
    EXPECT_EQ(form.PollState, Poll::ForcedReading);
    EXPECT_TRUE(form.ForceTempLabel.Visible);
    EXPECT_EQ(form.ForceTempLabel.Caption, "");
    Tick();
    EXPECT_EQ(device.Conversions, 1);
    EXPECT_EQ(form.Status.Caption, " Send conversion command: Success ");
    EXPECT_EQ(form.PollState, Poll::Idle);
    device.Register(Reg::Temperature) = 127;
    ASSERT_TRUE(TickUntil(Poll::ClockRefresh, 5));
    Tick();
    EXPECT_EQ(form.ForceTempLabel.Caption,
              "23.500\xB0"
              "C");
    EXPECT_TRUE(form.ForceButton.Enabled);
}

TEST_F(DownloadCycle, StopMissionAsksThenClearsTheStatusRegister) {
    StartMission(3);
    ASSERT_TRUE(TickUntil(Poll::Idle));
    platform.BoxAnswers = {MsgResult::No};
    form.MenuStopMissionClick();
    EXPECT_EQ(form.PollState, Poll::Idle);
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Text,
              "Do you want to stop the current mission?\rThis will stop data being recorded.\r\rStop the "
              "mission now?");
    EXPECT_EQ(platform.Boxes[0].Buttons, MsgButtons::YesNo);

    form.MenuStopMissionClick();
    EXPECT_EQ(form.PollState, Poll::StopMission);
    Tick();
    EXPECT_EQ(form.Status.Caption, " Stop current mission: Success ");
    EXPECT_EQ(device.Register(Reg::Status), 0x00);
    EXPECT_EQ(form.PollState, Poll::ClockRefresh);
    Tick();
    EXPECT_EQ(form.MissionStatus.Caption, "ended");
    EXPECT_TRUE(form.ForceButton.Enabled);

    form.PollState = Poll::LogPages;
    form.MenuStopMissionClick();
    EXPECT_EQ(form.PollState, Poll::LogPages);
    EXPECT_EQ(platform.Boxes.size(), 2u);
}

TEST_F(DownloadCycle, SampleTakenDuringTheDownloadIsListedUnlessAtTheMinuteBoundary) {
    for (auto [seconds, expected] : {std::pair<std::uint8_t, int>{0x30, 34}, {0x01, 33}}) {
        device.PagesRead.clear();
        StartMission(33);
        device.Register(0) = seconds;
        device.AfterRead = [this](int page) {
            if (page == 130) device.SetMissionSamples(34);
        };
        form.PollState = Poll::StatusRead;
        ASSERT_TRUE(TickUntil(Poll::Idle));
        EXPECT_EQ(form.LogSampleCount, expected);
        EXPECT_EQ(form.LogList.Items.size(), static_cast<std::size_t>(expected));
        EXPECT_EQ(form.Status.Caption,
                  expected == 34 ? " Using new Mission Count" : " Read Status page: Success");
        EXPECT_EQ(form.MissionSamples, 34);
        device.AfterRead = nullptr;
    }
}
