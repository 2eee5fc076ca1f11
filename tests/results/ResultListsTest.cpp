#include <gtest/gtest.h>

#include "app/TTRecForm.h"
#include "support/ScriptedDriver.h"
#include "support/ScriptedPlatform.h"

namespace {
class ResultLists : public ::testing::Test {
protected:
    void SetUp() override {
        form.AppCaption = "Kelvara";
        TDateTime start = 0;
        ASSERT_TRUE(TryEncodeDateTime(2004, 3, 5, 14, 0, 0, 0, start));
        form.MissionStart = start;
        form.SampleRate = 60;
        form.LogSampleCount = 3;
        form.Image.LogArea[2] = 127;
        form.Image.AlarmArea[48] = 3;
        form.Image.AlarmArea[51] = 2;
        form.Image.HistogramArea[0] = 17;
    }
    void BuildAll() {
        form.UpdateAlarms();
        form.UpdateHistogram();
        form.UpdateLog();
    }
    ScriptedPlatform platform;
    ScriptedDriver driver;
    TTRecForm form{platform, driver};
};
}  // namespace

TEST_F(ResultLists, EmptyLogStillShowsItsGroupAndViews) {
    form.LogSampleCount = 0;
    form.UpdateLog();
    EXPECT_TRUE(form.LogList.Items.empty());
    EXPECT_TRUE(form.LogBox.Visible);
    EXPECT_TRUE(form.btnDetails.Visible);
    EXPECT_TRUE(form.LogRadio.Enabled);
}

TEST_F(ResultLists, LogViewSwitchRebuildsLogAndAlarms) {
    BuildAll();
    EXPECT_EQ(form.LogList.Items[2],
              "05/03/2004 ,16:00 ,23.500\xB0"
              "C");
    EXPECT_EQ(form.AlarmList.Items.size(), 2u);
    EXPECT_DOUBLE_EQ(form.LogTemperatures[2], 23.5);
    EXPECT_TRUE(form.HistRadio.Enabled);

    form.LogRadio.ItemIndex = 1;
    form.LogRadioClick();
    EXPECT_EQ(form.LogSyntax.Caption, "Minute Offset , Temperature");
    EXPECT_EQ(form.LogList.Items[2],
              "120, 23.500\xB0"
              "C");
    EXPECT_EQ(form.AlarmList.Items, std::vector<std::string>{"HIGH , 120 - 180"});

    form.LogRadio.ItemIndex = 0;
    form.TabChangeByProgram = true;
    form.LogRadioClick();
    EXPECT_EQ(form.LogSyntax.Caption, "Minute Offset , Temperature");
    EXPECT_EQ(form.LogList.Items[2],
              "120, 23.500\xB0"
              "C");
}

TEST_F(ResultLists, HistogramViewsAndSyntax) {
    BuildAll();
    form.HistRadio.ItemIndex = 2;
    form.HistRadioClick();
    EXPECT_EQ(form.HistSyntax.Caption, "Bin Number , Count");
    EXPECT_EQ(form.HistList.Items[0], "0 ,17");
    form.HistRadio.ItemIndex = 1;
    form.HistRadioClick();
    EXPECT_EQ(form.HistSyntax.Caption, "Start Temp , Count");
    EXPECT_EQ(form.HistList.Items[0],
              "-40.000\xB0"
              "C ,17");
    EXPECT_EQ(form.HistogramCounts[0], 17);
}

TEST_F(ResultLists, UnitSwitchReachesVisibleListsAndStatus) {
    form.UpdateLog();
    form.MenuShowFCClick();
    EXPECT_FALSE(form.MenuShowFC.Checked);
    EXPECT_EQ(form.LogList.Items[2], "05/03/2004 ,16:00 ,23.500");
    EXPECT_EQ(form.HighThresholdLabel.Caption, "-40.000");
    // Lists never built stay hidden and empty.
    EXPECT_FALSE(form.HistogramBox.Visible);
    EXPECT_TRUE(form.HistList.Items.empty());
    EXPECT_FALSE(form.AlarmBox.Visible);
}

TEST_F(ResultLists, UserTextsReplaceZeroBytesInTheImage) {
    const std::string ann = "Ann";
    std::copy(ann.begin(), ann.end(), form.Image.UserArea.begin() + 32);
    std::fill(form.Image.UserArea.begin() + 36, form.Image.UserArea.begin() + 64, ' ');
    form.UpdateUser();
    EXPECT_EQ(form.UserTexts[1], "Ann" + std::string(29, ' '));
    EXPECT_EQ(form.Image.UserArea[35], 0x20);
    EXPECT_EQ(form.UserTexts[0], std::string(32, ' '));
    EXPECT_TRUE(form.btnDetails.Visible);
}

TEST_F(ResultLists, MissionDetailsBeepsAndShowsSixCaptionedLines) {
    form.UserDetailCaptions = {
        "First Name: ", "Surname: ", "Class: ", "School Name: ", "Mission Title: ", "Description: "};
    form.UserTexts[1] = "Ann";
    form.UserTexts[6] = "Pond";
    form.btnDetailsClick();
    EXPECT_EQ(platform.Beeps, 1);
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Text,
              "First Name: Ann\rSurname: \rClass: \rSchool Name: \rMission Title: \rDescription: Pond");
    EXPECT_EQ(platform.Boxes[0].Caption, "Kelvara");
    EXPECT_EQ(platform.Boxes[0].Icon, MsgIcon::Information);
}

TEST_F(ResultLists, WizardTabIsRefusedOffline) {
    form.PollState = Poll::Offline;
    EXPECT_FALSE(form.RecTabChange(0));
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Text, "Wizard is not available offline");
    EXPECT_FALSE(platform.TimerOn);
    EXPECT_TRUE(form.RecTabChange(2));
}

TEST_F(ResultLists, AUserPageChangeMovesTheNotebookOnlyWhenAllowed) {
    form.PollState = Poll::Offline;
    form.RecTab.PageIndex = 1;
    form.SelectRecTab(0);
    EXPECT_EQ(form.RecTab.PageIndex, 1);
    form.SelectRecTab(2);
    EXPECT_EQ(form.RecTab.PageIndex, 2);
}

TEST_F(ResultLists, WizardTabWhileIdlePassesAndRewindsTheWizard) {
    form.PollState = Poll::ClockRefresh;
    form.Wizard.PageIndex = 4;
    form.BackButton.Enabled = true;
    EXPECT_TRUE(form.RecTabChange(0));
    EXPECT_TRUE(platform.Boxes.empty());
    EXPECT_EQ(form.Wizard.PageIndex, 0);
    EXPECT_FALSE(form.BackButton.Enabled);
    EXPECT_TRUE(platform.TimerOn);
}

TEST_F(ResultLists, AbandoningADownloadAsksFirst) {
    BuildAll();
    form.PollState = Poll::LogPages;
    platform.BoxAnswers = {MsgResult::Cancel};
    EXPECT_FALSE(form.RecTabChange(0));
    EXPECT_EQ(form.PollState, Poll::LogPages);
    EXPECT_TRUE(form.LogBox.Visible);
    EXPECT_TRUE(platform.TimerOn);

    platform.BoxAnswers = {MsgResult::Ok};
    platform.Interval = 50;
    EXPECT_TRUE(form.RecTabChange(0));
    EXPECT_EQ(platform.Boxes.back().Text,
              "Temperature Recorder data currently being downloaded.\rAbandon the download to begin a new "
              "mission?");
    EXPECT_EQ(platform.Boxes.back().Buttons, MsgButtons::OkCancel);
    EXPECT_EQ(form.PollState, Poll::Idle);
    EXPECT_EQ(platform.Interval, 500);
    EXPECT_TRUE(form.ReadButton.Enabled);
    EXPECT_TRUE(form.LogList.Items.empty());
    EXPECT_FALSE(form.LogBox.Visible);
    EXPECT_FALSE(form.AlarmBox.Visible);
    EXPECT_FALSE(form.btnDetails.Visible);
    EXPECT_FALSE(form.LogRadio.Enabled);
    EXPECT_TRUE(platform.TimerOn);
}

TEST_F(ResultLists, LeavingTheWizardWhileWritingAsksToAbandonTheMission) {
    form.UpdateStatus();
    form.PollState = Poll::VerifyClear;
    platform.BoxAnswers = {MsgResult::Cancel};
    EXPECT_FALSE(form.RecTabChange(2));
    EXPECT_EQ(form.PollState, Poll::VerifyClear);
    platform.BoxAnswers = {MsgResult::Ok};
    EXPECT_TRUE(form.RecTabChange(1));
    EXPECT_EQ(platform.Boxes.back().Text,
              "Temperature Recorder mission currently being written.\rAbandon the new mission?");
    EXPECT_EQ(form.PollState, Poll::StatusRead);
    EXPECT_FALSE(form.MissionGroup.Visible);
    EXPECT_FALSE(form.TimeGroup.Visible);
    EXPECT_TRUE(form.ReadButton.Enabled);
    EXPECT_TRUE(platform.TimerOn);

    form.PollState = Poll::LogPages;
    EXPECT_TRUE(form.RecTabChange(2));
    form.TabChangeByProgram = true;
    form.PollState = Poll::Write;
    EXPECT_TRUE(form.RecTabChange(2));
    EXPECT_EQ(platform.Boxes.size(), 2u);
}
