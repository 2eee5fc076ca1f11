// The whole form run tick by tick against an emulated DS1921 behind the real
// driver and the virtual adapter, with a scripted platform and one manual clock.
#include <gtest/gtest.h>

#include <functional>

#include "app/TTRecForm.h"
#include "scenarios/DownloadRig.h"
#include "support/DateAt.h"
#include "support/ScriptedPlatform.h"

namespace {
// Records whether the polling timer was running while each box was open.
class BoxWatchingPlatform : public ScriptedPlatform {
public:
    MsgResult MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                         MsgIcon icon, MsgDefault defaultButton = MsgDefault::First) override {
        TimerOnDuringBox.push_back(TimerOn);
        if (DuringBox) DuringBox();
        return ScriptedPlatform::MessageBox(text, caption, buttons, icon, defaultButton);
    }
    std::vector<bool> TimerOnDuringBox;
    std::function<void()> DuringBox;  // e.g. a timer event delivered while the box is open
};

const TDateTime kStart = At(2026, 12, 7, 12, 0, 30);  // a Monday

class DownloadCycle : public ::testing::Test {
protected:
    void SetUp() override {
        platform.SetNow(kStart);
        form.FormCreate({});
    }

    // Both clocks move by the timer interval, then the timer fires.
    void Tick() {
        Wait(platform.Interval);
        form.TRecTimerTimer();
        EXPECT_TRUE(platform.TimerOn) << "the tick frame restarts the timer";
    }
    void Wait(int milliseconds) {
        platform.Advance(milliseconds);
        rig.clock.Advance(milliseconds);
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
        for (int p : rig.recorder.PagesRead)
            if (p >= 128) pages.push_back(p);
        return pages;
    }

    BoxWatchingPlatform platform;
    EmulatedDevice rig{kStart};
    TTRecForm form{platform, rig.recorder};
};

std::vector<int> Range(int first, int last) {
    std::vector<int> pages;
    for (int p = first; p <= last; ++p) pages.push_back(p);
    return pages;
}
}  // namespace

TEST_F(DownloadCycle, WithoutDeviceTheSearchRepeatsEveryTick) {
    rig.Remove();
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
    EXPECT_TRUE(platform.Boxes.empty());
}

TEST_F(DownloadCycle, RunningMissionDownloadsCompletelyAndListsWhatTheDeviceHolds) {
    // 33 samples every 10 minutes at 23.5 degrees, all above a 20-degree threshold.
    rig.StartMission(33, 10, Reg::ControlSearchHigh, rig.device->CodeFor(20.0));
    rig.device->WriteUserPage(5, "Pond life");
    const std::string romId = Ds1921Device::RomText(rig.device->Rom());

    Tick();
    Tick();
    EXPECT_EQ(form.Status.Caption, " DS1921 iButton found, " + romId);
    EXPECT_EQ(form.Caption, "DS1921 iButton - " + romId);
    EXPECT_EQ(form.RomIdText, romId);
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
    EXPECT_EQ(form.DownloadProgressText(), "1 / 26");
    ASSERT_TRUE(TickUntil(Poll::UserPages));
    EXPECT_EQ(form.AlarmList.Items, (std::vector<std::string>{"HIGH , start: 07/12/2026  06:40 ",
                                                              "            end:  07/12/2026  12:00 "}));
    EXPECT_TRUE(form.AlarmBox.Visible);
    ASSERT_TRUE(TickUntil(Poll::HistogramPages));
    EXPECT_EQ(form.Status.Caption, " Read User page: 15 Success");
    EXPECT_EQ(form.UserTexts[5], "Pond life" + std::string(23, ' '));
    EXPECT_EQ(form.DownloadProgress(), std::make_pair(19, 26));
    ASSERT_TRUE(TickUntil(Poll::LogPages));
    EXPECT_EQ(form.HistList.Items[31],
              "22.000\xB0"
              "C to 23.500\xB0"
              "C ,33");
    EXPECT_FALSE(form.LogBox.Visible);
    ASSERT_TRUE(TickUntil(Poll::Idle));

    std::vector<int> expected = {16, 17, 18, 19};
    for (int p : Range(0, 15)) expected.push_back(p);
    for (int p : Range(64, 67)) expected.push_back(p);
    for (int p : {128, 129, 130, 16}) expected.push_back(p);
    EXPECT_EQ(rig.recorder.PagesRead, expected);

    EXPECT_EQ(form.LogSampleCount, 33);
    ASSERT_EQ(form.LogList.Items.size(), 33u);
    EXPECT_EQ(form.LogList.Items[0],
              "07/12/2026 ,06:40 ,23.500\xB0"
              "C");
    EXPECT_EQ(form.LogList.Items[32],
              "07/12/2026 ,12:00 ,23.500\xB0"
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
    EXPECT_EQ(form.TempAlarmLabel.Caption, "Conditional(H)  Alarm(H)");
    EXPECT_TRUE(platform.Boxes.empty());
    EXPECT_EQ(rig.recorder.OpenSessions(), 0);
}

TEST_F(DownloadCycle, LogPagesFollowTheSampleCount) {
    for (auto [samples, last] : {std::pair{0, 128}, {33, 130}, {32, 129}, {2048, 191}, {3000, 191}}) {
        // Early in a minute, so no sample falls during the download.
        Wait((65 - rig.device->ClockFields().Second) % 60 * 1000);
        rig.StartMission(samples, 1, samples > 2048 ? Reg::ControlRollover : 0);
        rig.recorder.PagesRead.clear();
        form.PollState = Poll::StatusRead;
        ASSERT_TRUE(TickUntil(Poll::Idle)) << samples;
        EXPECT_EQ(form.LogSampleCount, samples);
        EXPECT_EQ(LogPagesRead(), Range(128, last)) << samples;
        EXPECT_EQ(form.LogList.Items.size(), static_cast<std::size_t>(std::min(samples, 2048))) << samples;
    }
}

TEST_F(DownloadCycle, StopMissionAsksThenReadDataDownloadsTheEndedMission) {
    rig.StartMission(3);
    ASSERT_TRUE(TickUntil(Poll::Idle));
    platform.BoxAnswers = {MsgResult::No};
    form.MenuStopMissionClick();
    EXPECT_EQ(form.PollState, Poll::Idle);
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Text,
              "Do you want to stop the current mission?\rThis will stop data being recorded.\r\rStop the "
              "mission now?");
    EXPECT_EQ(platform.Boxes[0].Buttons, MsgButtons::YesNo);
    EXPECT_EQ(platform.Boxes[0].Default, MsgDefault::Second) << "Enter keeps the mission running";

    form.MenuStopMissionClick();
    EXPECT_EQ(form.PollState, Poll::StopMission);
    Tick();
    EXPECT_EQ(form.Status.Caption, " Stop current mission: Success ");
    EXPECT_FALSE(rig.device->MissionRunning());
    EXPECT_EQ(form.PollState, Poll::ClockRefresh);
    Tick();
    EXPECT_EQ(form.MissionStatus.Caption, "ended");
    EXPECT_TRUE(form.ForceButton.Enabled);
    EXPECT_TRUE(form.ForceTempLabel.Visible);

    rig.recorder.PagesRead.clear();
    form.ReadButtonClick();
    EXPECT_FALSE(form.ReadButton.Enabled);
    EXPECT_FALSE(form.ForceButton.Enabled);
    EXPECT_FALSE(form.LogBox.Visible);
    EXPECT_TRUE(form.LogList.Items.empty());
    EXPECT_EQ(form.PollState, Poll::AlarmPages);
    EXPECT_EQ(platform.Interval, 50);
    ASSERT_TRUE(TickUntil(Poll::Idle));
    EXPECT_EQ(LogPagesRead(), Range(128, 129));
    EXPECT_EQ(form.LogList.Items.size(), 3u);
    EXPECT_TRUE(form.ForceButton.Enabled);

    form.PollState = Poll::LogPages;
    form.MenuStopMissionClick();
    EXPECT_EQ(form.PollState, Poll::LogPages);
    EXPECT_EQ(platform.Boxes.size(), 2u);
}

TEST_F(DownloadCycle, DevicePulledDuringLogDownloadResetsTheWindowWithoutPartialLog) {
    rig.StartMission(500, 1);
    ASSERT_TRUE(TickUntil(Poll::LogPages));
    Tick();
    Tick();
    rig.Remove();
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
    EXPECT_EQ(rig.recorder.OpenSessions(), 0);

    rig.Insert();
    ASSERT_TRUE(TickUntil(Poll::Idle));
    EXPECT_EQ(form.LogList.Items.size(), 500u);
}

TEST_F(DownloadCycle, TwelfthIdenticalErrorBeepsAndShowsOneBox) {
    rig.StartMission(10);
    ASSERT_TRUE(TickUntil(Poll::AlarmPages));
    Tick();
    rig.recorder.ReadFailures[18] = -5;
    std::size_t readsInsideBox = 0;
    platform.DuringBox = [&] {
        const std::size_t before = rig.recorder.PagesRead.size();
        form.TRecTimerTimer();
        readsInsideBox += rig.recorder.PagesRead.size() - before;
    };
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
    EXPECT_EQ(readsInsideBox, 0u) << "a tick delivered inside the box does nothing";
    for (int i = 0; i < 10; ++i) Tick();
    EXPECT_EQ(platform.Boxes.size(), 1u);
    Tick();
    EXPECT_EQ(platform.Boxes.size(), 2u);

    rig.recorder.ReadFailures.erase(18);
    ASSERT_TRUE(TickUntil(Poll::UserPages));
    EXPECT_EQ(form.PageCounter, 0);
}

TEST_F(DownloadCycle, AlternatingErrorsNeverGiveTheBox) {
    rig.StartMission(10);
    ASSERT_TRUE(TickUntil(Poll::HistogramPages));
    for (int i = 0; i < 40; ++i) {
        rig.recorder.ReadFailures[64] = i % 2 ? -5 : -7;
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

    rig.recorder.SessionResult = 0;
    for (int i = 0; i < 30; ++i) Tick();
    EXPECT_TRUE(platform.Boxes.empty());
    EXPECT_TRUE(form.RecTab.Visible);
}

TEST_F(DownloadCycle, IdleChecksPresenceAndRefreshesTheClockEveryTwoSeconds) {
    ASSERT_TRUE(TickUntil(Poll::Idle));
    EXPECT_EQ(form.RecTab.PageIndex, 0);
    EXPECT_FALSE(form.ReadButton.Enabled) << "nothing recorded, nothing to read";
    const int reads = rig.recorder.ReadsOfPage(16);
    Tick();
    EXPECT_EQ(form.Status.Caption, " Device Present");
    EXPECT_EQ(form.PollState, Poll::Idle);
    Tick();
    Tick();
    EXPECT_EQ(form.PollState, Poll::Idle);
    Tick();  // 2000 ms after the read
    EXPECT_EQ(form.PollState, Poll::ClockRefresh);
    Tick();
    EXPECT_EQ(form.Status.Caption, " Read time: Success");
    EXPECT_EQ(rig.recorder.ReadsOfPage(16), reads + 1);
    EXPECT_EQ(form.CurrentTimeLabel.Caption, "Monday  07/12/2026  12:00:32 ");
    EXPECT_EQ(form.PollState, Poll::Idle);
}

TEST_F(DownloadCycle, RemovalWhenTheClockRefreshIsDueResetsTwice) {
    ASSERT_TRUE(TickUntil(Poll::Idle));
    for (int i = 0; i < 3; ++i) Tick();
    EXPECT_EQ(form.PollState, Poll::Idle);
    rig.Remove();
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
    rig.StartMission(40);
    ASSERT_TRUE(TickUntil(Poll::AlarmPages));
    Tick();
    form.ForceButton.Enabled = true;  // even if the button were clickable
    form.ForceButtonClick();
    EXPECT_EQ(form.PollState, Poll::AlarmPages);
    EXPECT_FALSE(form.ForceReadRequested);
    ASSERT_TRUE(TickUntil(Poll::Idle));
    EXPECT_EQ(rig.recorder.TouchedConversions, 0);
}

TEST_F(DownloadCycle, ForcedReadingReachesTheDeviceAndShowsAfterTheClockRead) {
    ASSERT_TRUE(TickUntil(Poll::Idle));
    form.ForceButtonClick();
    EXPECT_EQ(form.PollState, Poll::ForcedReading);
    EXPECT_TRUE(form.ForceTempLabel.Visible);
    EXPECT_EQ(form.ForceTempLabel.Caption, "");
    Tick();
    EXPECT_EQ(rig.recorder.TouchedConversions, 1);
    EXPECT_EQ(rig.device->Peek(0x211), 127);
    EXPECT_EQ(form.Status.Caption, " Send conversion command: Success ");
    EXPECT_EQ(form.PollState, Poll::Idle);
    ASSERT_TRUE(TickUntil(Poll::ClockRefresh, 5));
    EXPECT_EQ(form.ForceTempLabel.Caption, "");
    Tick();
    EXPECT_EQ(form.ForceTempLabel.Caption,
              "23.500\xB0"
              "C");
    EXPECT_TRUE(form.ForceButton.Enabled);
}

class DownloadAcrossAMinute : public DownloadCycle {
protected:
    // Downloads 33 one-minute samples; before the last tick the clocks jump so
    // that the final register read sees 34 samples at the given second.
    void Run(int secondsIntoNextMinute) {
        rig.StartMission(33, 1);
        ASSERT_TRUE(TickUntil(Poll::LogPages));
        while (form.PageCounter < 130) Tick();
        const auto fields = rig.device->ClockFields();
        Wait((60 - fields.Second + secondsIntoNextMinute) * 1000 - platform.Interval);
        Tick();
        ASSERT_EQ(form.PollState, Poll::Idle);
        EXPECT_EQ(form.MissionSamples, 34);
    }
};

TEST_F(DownloadAcrossAMinute, NewSampleCountIsUsedAfterSecondOne) {
    Run(2);
    EXPECT_EQ(form.Status.Caption, " Using new Mission Count");
    EXPECT_EQ(form.LogSampleCount, 34);
    EXPECT_EQ(form.LogList.Items.size(), 34u);
}

TEST_F(DownloadAcrossAMinute, CountFromBeforeIsKeptAtSecondsZeroAndOne) {
    Run(1);
    EXPECT_EQ(form.Status.Caption, " Read Status page: Success");
    EXPECT_EQ(form.LogSampleCount, 33);
    EXPECT_EQ(form.LogList.Items.size(), 33u);
}

TEST_F(DownloadCycle, DemoDeviceOfTheVirtualAdapterDownloadsAndListsItsMission) {
    rig.Remove();
    const auto demo = rig.adapter.InsertDemoDevice();
    ASSERT_TRUE(TickUntil(Poll::Idle));
    const auto samples = demo->MissionSamples();
    ASSERT_GT(samples, 200);
    EXPECT_EQ(form.LogSampleCount, samples);
    ASSERT_EQ(form.LogList.Items.size(), static_cast<std::size_t>(samples));
    const TemperatureOptions options = form.CurrentTemperatureOptions();
    for (int k = 0; k < samples; ++k) {
        const std::string& line = form.LogList.Items[static_cast<std::size_t>(k)];
        const std::string value =
            TemperatureText(demo->Peek(static_cast<std::uint16_t>(0x1000 + k)), options);
        ASSERT_EQ(line.substr(line.size() - value.size()), value) << k;
    }
    EXPECT_NE(form.AlarmList.Items, std::vector<std::string>{"none"});
    std::int64_t counted = 0;
    for (int b = 0; b < 63; ++b) counted += form.HistogramCounts[b];
    EXPECT_EQ(counted, samples);
    EXPECT_EQ(form.MissionStatus.Caption, "in progress");
    EXPECT_TRUE(platform.Boxes.empty());
}

TEST_F(DownloadCycle, EachReadShowsItsOwnErrorTextAndBox) {
    rig.StartMission(40);
    // Distinct codes, so each job starts its own count: the twelfth failure gives the box.
    const auto failTwelveTimes = [&](int page, std::int16_t code, const std::string& status,
                                     const std::string& box) {
        const std::int16_t state = form.PollState;
        const std::size_t boxes = platform.Boxes.size();
        rig.recorder.ReadFailures[page] = code;
        Tick();
        EXPECT_EQ(form.Status.Caption, " " + status);
        for (int i = 0; i < 11; ++i) Tick();
        ASSERT_EQ(platform.Boxes.size(), boxes + 1) << status;
        EXPECT_EQ(platform.Boxes.back().Text, box);
        EXPECT_EQ(form.PollState, state);
        rig.recorder.ReadFailures.erase(page);
    };
    const auto tickUntilPage = [&](std::int16_t state, int page) {
        for (int i = 0; i < 100 && !(form.PollState == state && form.PageCounter == page); ++i) Tick();
        ASSERT_EQ(form.PollState, state);
        ASSERT_EQ(form.PageCounter, page);
    };

    ASSERT_TRUE(TickUntil(Poll::StatusRead));
    failTwelveTimes(16, -5, "Read Status page: error -5", "Error reading status page (-5)!");
    tickUntilPage(Poll::UserPages, 3);
    failTwelveTimes(3, -6, "Read user page: 3 Error -6", "Error reading user page (-6)!");
    tickUntilPage(Poll::HistogramPages, 65);
    failTwelveTimes(65, -7, "Read Histogram page: 65 Error -7", "Error reading histogram page (-7)!");
    tickUntilPage(Poll::LogPages, 129);
    failTwelveTimes(129, -8, "Read Log page: 129 Error -8", "Error reading log page (-8)!");
    ASSERT_TRUE(TickUntil(Poll::ClockRefresh));
    failTwelveTimes(16, -9, "Read Status page: error -9", "Error reading status page (-9)!");
    EXPECT_EQ(platform.Beeps, 5);
    Tick();
    EXPECT_EQ(form.Status.Caption, " Read time: Success");
}

TEST_F(DownloadCycle, ResetAfterADownloadWithdrawsEveryResultCommand) {
    rig.StartMission(40);
    ASSERT_TRUE(TickUntil(Poll::Idle));
    ASSERT_TRUE(form.MenuStopMission.Enabled);
    rig.Remove();
    ASSERT_TRUE(TickUntil(Poll::Search));
    EXPECT_EQ(platform.Interval, 50);
    for (const MenuItem* item :
         {&form.MenuExportToClip, &form.menuSaveHist, &form.MenuSaveData, &form.menuSaveData1,
          &form.Printfullreport1, &form.PrintSummary, &form.MenuSaveCSV, &form.MenuStopMission})
        EXPECT_FALSE(item->Enabled) << item->Caption;
    EXPECT_FALSE(form.ReadButton.Enabled || form.LogRadio.Enabled || form.HistRadio.Enabled);
    EXPECT_TRUE(form.LogList.Items.empty() && form.HistList.Items.empty() && form.AlarmList.Items.empty());
    EXPECT_FALSE(form.LogBox.Visible || form.HistogramBox.Visible || form.AlarmBox.Visible ||
                 form.btnDetails.Visible);
    EXPECT_FALSE(form.ForceButton.Enabled || form.ForceTempLabel.Visible);
    EXPECT_TRUE(form.AwaitingDevice);
    EXPECT_EQ(form.UserTexts[0], "");
}

TEST_F(DownloadCycle, StopMissionYesAppliesWhateverTheStateBecameWhileTheBoxWasOpen) {
    rig.StartMission(3);
    ASSERT_TRUE(TickUntil(Poll::Idle));
    platform.BoxAnswers = {MsgResult::Yes};
    platform.DuringBox = [&] { ASSERT_TRUE(TickUntil(Poll::ClockRefresh, 10)); };
    form.MenuStopMissionClick();
    ASSERT_EQ(platform.TimerOnDuringBox.size(), 1u);
    EXPECT_TRUE(platform.TimerOnDuringBox[0]) << "the timer keeps running under this box";
    EXPECT_EQ(platform.Boxes[0].Icon, MsgIcon::Warning);
    EXPECT_EQ(form.PollState, Poll::StopMission);
}
