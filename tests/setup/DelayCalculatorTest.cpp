#include <gtest/gtest.h>

#include "app/TTRecForm.h"
#include "model/Bcd.h"
#include "model/DateTime.h"
#include "setup/DelayCalculator.h"
#include "support/ScriptedDriver.h"
#include "support/ScriptedPlatform.h"

namespace {
class Calculator : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(TryEncodeDateTime(2026, 12, 7, 20, 0, 30, 0, now));
        platform.SetNow(now);
        calc.FormCreate();
    }
    void Choose(int year, int month, int day, int hour, int minute) {
        calc.cboYear.Select(year - calc.FirstYear);
        calc.cboMonth.Select(month - 1);
        calc.cboDay.Select(day - 1);
        calc.cboHour.Select(hour);
        calc.cboMin.Select(minute);
        calc.TimeChange();
    }
    TDateTime now = 0;
    ScriptedPlatform platform;
    ScriptedDriver driver;
    TTRecForm form{platform, driver};
    TformCalc calc{platform};
};
}  // namespace

TEST_F(Calculator, OpensOnNowWithTheCurrentAndNextYear) {
    EXPECT_EQ(calc.cboYear.Items, (std::vector<std::string>{"2026", "2027"}));
    EXPECT_EQ(calc.cboYear.ItemIndex, 0);
    EXPECT_EQ(calc.cboMonth.SelectedText(), "12");
    EXPECT_EQ(calc.cboDay.SelectedText(), "7");
    EXPECT_EQ(calc.cboHour.SelectedText(), "20");
    EXPECT_EQ(calc.cboMin.SelectedText(), "00");
    EXPECT_EQ(calc.StartDateLabel.Caption, "Unuseable Date/Time");
    EXPECT_EQ(calc.TotalMinutesLabel.Caption, "0");
}

TEST_F(Calculator, NinetyMinutesAheadTransfersAsOneHourThirty) {
    // 21:31:00 is 90 minutes 30 seconds after 20:00:30.
    Choose(2026, 12, 7, 21, 31);
    EXPECT_EQ(calc.TotalMinutesLabel.Caption, "90");
    TDateTime target = 0;
    ASSERT_TRUE(TryEncodeDateTime(2026, 12, 7, 21, 31, 0, 0, target));
    EXPECT_EQ(calc.StartDateLabel.Caption, ComputerDateText(target));
    calc.ButtonOkClick(form);
    EXPECT_EQ(form.DelayDay.ItemIndex, 0);
    EXPECT_EQ(form.DelayHour.ItemIndex, 1);
    EXPECT_EQ(form.DelayMinute.ItemIndex, 30);
    EXPECT_EQ(form.DelayMinutes, 90);
    EXPECT_EQ(form.TotalMinutesLabel.Caption, "90");
}

TEST_F(Calculator, PastAndTooFarAreUnuseable) {
    Choose(2026, 12, 7, 19, 59);
    EXPECT_EQ(calc.TotalMinutesLabel.Caption, "0");
    EXPECT_EQ(calc.StartDateLabel.Caption, "Unuseable Date/Time");
    Choose(2027, 1, 21, 20, 1);  // 45 days ahead
    EXPECT_EQ(calc.TotalMinutesLabel.Caption, "0");
    EXPECT_EQ(calc.StartDateLabel.Caption, "Unuseable Date/Time");
}

TEST_F(Calculator, LargestDelayIsAcceptedAndCrossesTheYear) {
    platform.SetNow(now - 30 * kSecond);  // exactly 20:00:00
    Choose(2027, 1, 21, 19, 59);          // 44 days 23 hours 59 minutes ahead
    EXPECT_EQ(calc.TotalMinutesLabel.Caption, "64799");
    calc.ButtonOkClick(form);
    EXPECT_EQ(form.DelayDay.ItemIndex, 44);
    EXPECT_EQ(form.DelayHour.ItemIndex, 23);
    EXPECT_EQ(form.DelayMinute.ItemIndex, 59);
    EXPECT_EQ(form.DelayMinutes, 64799);
}

TEST_F(Calculator, AnImpossibleDateShowsTheErrorAndChangesNothing) {
    Choose(2026, 12, 7, 21, 31);
    Choose(2027, 4, 31, 10, 0);
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Text, "Invalid argument to date encode");
    EXPECT_EQ(calc.TotalMinutesLabel.Caption, "90");
    EXPECT_EQ(calc.HeldMinutes, 90);
    Choose(2027, 2, 29, 10, 0);  // 2027 is no leap year
    EXPECT_EQ(platform.Boxes.size(), 2u);
    EXPECT_EQ(calc.HeldMinutes, 90);
}

TEST_F(Calculator, ReopeningForgetsThePreviousResult) {
    Choose(2026, 12, 7, 21, 31);
    calc.FormCreate();
    EXPECT_EQ(calc.TotalMinutesLabel.Caption, "0");
    form.DelayMinutes = 500;
    calc.ButtonOkClick(form);  // OK transfers what the dialog shows
    EXPECT_EQ(form.DelayMinutes, 0);
    EXPECT_EQ(form.DelayHour.ItemIndex, 0);
}
