#include <gtest/gtest.h>

#include "app/TTRecForm.h"
#include "support/ScriptedDriver.h"
#include "support/ScriptedPlatform.h"

namespace {
class Wizard : public ::testing::Test {
protected:
    void SetUp() override {
        form.AppCaption = "Kelvara";
        for (int i = 0; i < 6; ++i) form.UserDetailCaptions[i] = form.lbluser[i].Caption + " ";
    }
    void GoToPage(int page) {
        while (form.Wizard.PageIndex < page) form.NextButtonClick();
    }
    ScriptedPlatform platform;
    ScriptedDriver driver;
    TTRecForm form{platform, driver};
};
}  // namespace

TEST_F(Wizard, StartsOnTheIntroductionWithTheResetDefaults) {
    EXPECT_EQ(form.Wizard.PageIndex, 0);
    EXPECT_TRUE(form.NextButton.Enabled);
    EXPECT_FALSE(form.BackButton.Enabled);
    EXPECT_FALSE(form.FinishButton.Enabled);
    EXPECT_EQ(form.AlarmTimeCombo.Items.size(), 6u);
    EXPECT_EQ(form.AlarmTimeCombo.SelectedText(), "None");
    EXPECT_EQ(form.AlarmDay.Items.front(), "Sunday");
    EXPECT_EQ(form.AlarmDay.Items.back(), "Saturday");
    EXPECT_EQ(form.AlarmHour.Items.back(), "23");
    EXPECT_EQ(form.AlarmSecond.Items.front(), "00");
    EXPECT_EQ(form.DelayDay.Items.back(), "44");
    EXPECT_EQ(form.DelayMinute.Items.size(), 60u);
    EXPECT_EQ(form.SampleMinutes.Items.back(), "255");
    EXPECT_EQ(form.SampleMinutes.SelectedText(), "1");
    EXPECT_FALSE(form.HidePanel.Visible);
    EXPECT_TRUE(form.SetTimeCheck.Checked);
    EXPECT_EQ(form.edituser[5].MaxLength, 64);
    EXPECT_EQ(form.lbluser[4].Caption, "Mission Title:");
    EXPECT_EQ(kWizardPages[6].Heading, std::string("Temperature Alarms"));
}

TEST_F(Wizard, NextAndBackEnableTheButtonsAtTheEnds) {
    form.NextButtonClick();
    EXPECT_TRUE(form.BackButton.Enabled);
    form.BackButtonClick();
    EXPECT_EQ(form.Wizard.PageIndex, 0);
    EXPECT_FALSE(form.BackButton.Enabled);

    GoToPage(7);
    EXPECT_TRUE(form.NextButton.Enabled);
    EXPECT_FALSE(form.FinishButton.Enabled);
    form.NextButtonClick();
    EXPECT_EQ(form.Wizard.PageIndex, 8);
    EXPECT_FALSE(form.NextButton.Enabled);
    EXPECT_TRUE(form.FinishButton.Enabled);
    form.NextButtonClick();  // disabled: no page past the last
    EXPECT_EQ(form.Wizard.PageIndex, 8);
    form.BackButtonClick();
    EXPECT_EQ(form.Wizard.PageIndex, 7);
    EXPECT_TRUE(form.NextButton.Enabled);
    EXPECT_FALSE(form.FinishButton.Enabled);
}

TEST_F(Wizard, AlarmModesShowTheirListsAndEverySecondHidesThePanel) {
    struct Case {
        int mode;
        bool panel, day, hour, minute;
    };
    for (const Case c : {Case{1, true, true, true, true}, Case{2, true, false, true, true},
                         Case{3, true, false, false, true}, Case{4, true, false, false, false}}) {
        form.AlarmTimeCombo.Select(c.mode);
        form.AlarmTimeComboChange();
        EXPECT_EQ(form.HidePanel.Visible, c.panel) << c.mode;
        EXPECT_EQ(form.AlarmDay.Visible, c.day) << c.mode;
        EXPECT_EQ(form.AlarmDayLabel.Visible, c.day) << c.mode;
        EXPECT_EQ(form.AlarmHour.Visible, c.hour) << c.mode;
        EXPECT_EQ(form.AlarmMinute.Visible, c.minute) << c.mode;
        EXPECT_TRUE(form.AlarmSecond.Visible);
    }
    form.AlarmTimeCombo.Select(5);
    form.AlarmTimeComboChange();
    EXPECT_FALSE(form.HidePanel.Visible);
    EXPECT_FALSE(form.AlarmMinute.Visible);  // left as mode 4 set it
}

TEST_F(Wizard, DelayListsGiveTheTotalMinutes) {
    form.DelayDay.Select(2);
    form.DelayHour.Select(3);
    form.DelayMinute.Select(15);
    form.DelayDayChange();
    EXPECT_EQ(form.DelayMinutes, 3075);
    EXPECT_EQ(form.TotalMinutesLabel.Caption, "3075");
    form.DelayDay.Select(44);
    form.DelayHour.Select(23);
    form.DelayMinute.Select(59);
    form.DelayDayChange();
    EXPECT_EQ(form.DelayMinutes, 64799);
}

TEST_F(Wizard, RollOverDaysFollowTheSampleRate) {
    for (auto [rate, text] : {std::pair{1, "1.4 Days"}, {10, "14.2 Days"}, {255, "362.7 Days"}}) {
        form.SampleMinutes.Select(rate - 1);
        form.SampleMinutesChange();
        EXPECT_EQ(form.RolloverDays.Caption, text);
    }
    platform.Separator = ',';
    form.SampleMinutes.Select(9);
    GoToPage(7);  // Next from page 6 refreshes the label too
    EXPECT_EQ(form.RolloverDays.Caption, "14,2 Days");
    form.WizardReset();
    EXPECT_EQ(form.RolloverDays.Caption, "1,4 Days");  // the same separator after a reset
}

TEST_F(Wizard, SummaryListsEveryChoice) {
    form.edituser[0].Text = "Ann";
    form.edituser[5].Text = "Pond";
    form.SetTimeCheck.Checked = false;
    form.AlarmTimeCombo.Select(1);
    form.AlarmTimeComboChange();
    form.AlarmDay.Select(1);
    form.AlarmHour.Select(8);
    form.AlarmMinute.Select(30);
    form.DelayDay.Select(2);
    form.DelayHour.Select(3);
    form.RolloverCheck.Checked = true;
    form.ConditionalOnTempLowCheck.Checked = false;
    form.HighThreshold.Items = {"84.500", "85.000"};
    form.HighThreshold.ItemIndex = 1;
    form.LowThreshold.Items = {"-40.000"};
    form.LowThreshold.ItemIndex = 0;
    form.UpdateFinishStatement();
    const std::string v(11, ' ');
    const std::vector<std::string> expected = {
        "First Name: ",
        v + "Ann",
        "Surname: ",
        v,
        "Class: ",
        v,
        "School Name: ",
        v,
        "Mission Title: ",
        v,
        "Description: ",
        v + "Pond",
        "Set device clock from PC clock:",
        v + "No",
        "Time Alarm mode:",
        v + "Alarm weekly",
        "Time to Alarm:",
        v + "Monday, Hour 08 Minute 30 Second 00 (search)",
        "Mission Start Delay:",
        v + "2 Day(s) 3 Hour(s) ",
        "Sample Rate:",
        v + "1 Minute(s)",
        "Temperature Alarms:",
        v + "High: 85.000" + form.UnitSuffix() + " (search) Low: -40.000" + form.UnitSuffix(),
        "Roll-Over:",
        v + "Enabled"};
    EXPECT_EQ(form.FinishMemo.Items, expected);
    EXPECT_EQ(form.NewUserTexts[1], "Ann");
    EXPECT_EQ(form.NewUserTexts[6], "Pond");
    EXPECT_EQ(form.NewUserTexts[0], "");
}

TEST_F(Wizard, SummaryWithoutDelayOrAlarmTime) {
    form.AlarmTimeCombo.Select(1);
    form.AlarmTimeComboChange();
    form.AlarmTimeCombo.Select(5);
    form.AlarmTimeComboChange();
    form.UpdateFinishStatement();
    const auto& lines = form.FinishMemo.Items;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Time to Alarm:"), 0);
    const auto delay = std::find(lines.begin(), lines.end(), "Mission Start Delay:");
    ASSERT_NE(delay, lines.end());
    EXPECT_EQ(*(delay + 1), std::string(11, ' ') + "0 Minutes");
    EXPECT_EQ(*(std::find(lines.begin(), lines.end(), "Time Alarm mode:") + 1),
              std::string(11, ' ') + "Alarm every second");
}

TEST_F(Wizard, FinishHandsTheJobToTheCycle) {
    platform.SetNow(45000.5);
    form.DelayMinutes = 10;
    form.PollState = Poll::Idle;
    GoToPage(8);
    form.FinishButtonClick();
    EXPECT_EQ(form.PollState, Poll::Clear);
    EXPECT_EQ(platform.Interval, 50);
    EXPECT_EQ(form.FinishTime, 45000.5);
    EXPECT_EQ(form.DelayAtFinish, 10);
    EXPECT_FALSE(form.NextButton.Enabled || form.BackButton.Enabled || form.FinishButton.Enabled);
    EXPECT_TRUE(platform.Boxes.empty());
}

TEST_F(Wizard, FinishWhileAMissionRunsAsksFirst) {
    form.MissionRunning = true;
    form.PollState = Poll::Idle;
    GoToPage(8);
    platform.BoxAnswers = {MsgResult::Cancel};
    form.FinishButtonClick();
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Text,
              "WARNING, a mission is currently running.\rErase this mission and start a new one?");
    EXPECT_EQ(platform.Boxes[0].Buttons, MsgButtons::OkCancel);
    EXPECT_EQ(platform.Boxes[0].Icon, MsgIcon::Warning);
    EXPECT_EQ(platform.Boxes[0].Caption, "Kelvara");
    EXPECT_EQ(platform.Beeps, 1);
    EXPECT_EQ(form.PollState, Poll::Idle);
    EXPECT_TRUE(form.FinishButton.Enabled);
    EXPECT_EQ(form.Wizard.PageIndex, 8);

    platform.BoxAnswers = {MsgResult::Ok};
    form.FinishButtonClick();
    EXPECT_EQ(form.PollState, Poll::Clear);
}

TEST_F(Wizard, ResetReturnsToTheDefaults) {
    GoToPage(8);
    form.FinishButtonClick();
    form.AlarmTimeCombo.Select(2);
    form.AlarmTimeComboChange();
    form.AlarmHour.Select(5);
    form.DelayDay.Select(3);
    form.DelayDayChange();
    form.SampleMinutes.Select(9);
    form.SampleMinutesChange();
    form.RolloverCheck.Checked = true;
    form.edituser[2].Text = "4B";
    form.TRecTimeLabel.Caption = "x";
    form.chkIgnore.Checked = true;
    form.WizardReset();
    EXPECT_EQ(form.Wizard.PageIndex, 0);
    EXPECT_TRUE(form.NextButton.Enabled);
    EXPECT_FALSE(form.BackButton.Enabled);
    EXPECT_FALSE(form.FinishButton.Enabled);
    EXPECT_EQ(form.AlarmTimeCombo.ItemIndex, 0);
    EXPECT_FALSE(form.HidePanel.Visible);
    EXPECT_EQ(form.AlarmHour.ItemIndex, 0);
    EXPECT_EQ(form.DelayDay.ItemIndex, 0);
    EXPECT_EQ(form.DelayMinutes, 0);
    EXPECT_EQ(form.TotalMinutesLabel.Caption, "0");
    EXPECT_EQ(form.SampleMinutes.ItemIndex, 0);
    EXPECT_EQ(form.RolloverDays.Caption, "1.4 Days");
    EXPECT_FALSE(form.RolloverCheck.Checked);
    EXPECT_EQ(form.edituser[2].Text, "");
    EXPECT_EQ(form.TRecTimeLabel.Caption, "");
    EXPECT_TRUE(form.chkIgnore.Checked);  // not part of the reset
}

TEST(UserEntryText, ReplacesWhatTheCodePageCannotHoldAndKeepsTheLength) {
    EXPECT_EQ(UserEntryText("Z\xC3\xBC"
                            "rich \xE2\x82\xAC",
                            32),
              "Z\xFCrich \x80");
    EXPECT_EQ(UserEntryText("\xE6\x9D\xB1 ok", 32), "? ok");
    EXPECT_EQ(UserEntryText("a\r\nb", 32), "a  b");
    EXPECT_EQ(UserEntryText(std::string(40, 'x'), 32), std::string(32, 'x'));
}

TEST_F(Wizard, EditUserChangeStoresWithinTheFieldLength) {
    form.EditUserChange(5, std::string(70, 'd'));
    EXPECT_EQ(form.edituser[5].Text.size(), 64u);
    form.EditUserChange(0, std::string(70, 'd'));
    EXPECT_EQ(form.edituser[0].Text.size(), 32u);
    form.EditUserChange(6, "ignored");
}

TEST_F(Wizard, EveryPassFromTimeAlarmToDelayResetsTheThresholds) {
    EXPECT_EQ(form.HighThreshold.Items.size(), 251u);
    EXPECT_EQ(form.HighThreshold.ItemIndex, 250);
    EXPECT_EQ(form.LowThreshold.ItemIndex, 0);
    GoToPage(6);
    form.HighThreshold.Select(120);
    form.LowThreshold.Select(30);
    form.BackButtonClick();
    form.BackButtonClick();
    EXPECT_EQ(form.Wizard.PageIndex, 4);
    EXPECT_EQ(form.HighThreshold.ItemIndex, 120);  // going back keeps them
    form.BackButtonClick();
    form.NextButtonClick();
    EXPECT_EQ(form.HighThreshold.ItemIndex, 250);
    EXPECT_EQ(form.LowThreshold.ItemIndex, 0);
}

TEST_F(Wizard, SummaryTemperaturesFollowTheScale) {
    form.MenuCelsiusClick();  // any click on a scale item switches it
    GoToPage(8);
    const auto& lines = form.FinishMemo.Items;
    const auto alarms = std::find(lines.begin(), lines.end(), "Temperature Alarms:");
    ASSERT_NE(alarms, lines.end());
    EXPECT_EQ(*(alarms + 1), std::string(11, ' ') +
                                 "High: 185.000\xB0"
                                 "F (search) Low: -40.000\xB0"
                                 "F (search)");
}
