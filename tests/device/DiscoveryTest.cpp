#include <gtest/gtest.h>

#include "support/ScriptedFormTest.h"

namespace {
using Names = std::vector<std::string>;

class Discovery : public ScriptedFormTest {};
}  // namespace

TEST_F(Discovery, FirstSearchSetsUpTheAdapterAndFormsTheRomText) {
    std::string text = "old";
    EXPECT_EQ(form.FindFirstFamily(33, text), 1);
    EXPECT_EQ(text, "A766554433221121");
    EXPECT_EQ(driver.CallNames(), (Names{"TMExtendedStartSession", "TMSetup", "TMFamilySearchSetup", "TMNext",
                                         "TMRom", "TMEndSession"}));
    EXPECT_EQ(driver.Calls[2].Sent, std::vector<std::uint8_t>{0x21});
    EXPECT_TRUE(form.DriverSetupDone);
    EXPECT_EQ(form.RomBuffer[0], 0x21);
    EXPECT_EQ(form.RomBuffer[7], 0xA7);
    EXPECT_GE(platform.Refreshes, 1);  // the light shows during the blocking call
    ExpectClosed();

    driver.Calls.clear();
    EXPECT_EQ(form.FindFirstFamily(33, text), 1);
    EXPECT_EQ(driver.CallNames(),
              (Names{"TMExtendedStartSession", "TMFamilySearchSetup", "TMNext", "TMRom", "TMEndSession"}));
    EXPECT_TRUE(platform.Boxes.empty());
}

TEST_F(Discovery, FamilyComparesOnlyTheLowSevenBits) {
    driver.Rom[0] = 0xA1;
    std::string text;
    EXPECT_EQ(form.FindFirstFamily(33, text), 1);
    EXPECT_EQ(text, "A7665544332211A1");

    driver.Rom[0] = 0x22;
    text = "kept";
    EXPECT_EQ(form.FindFirstFamily(33, text), -1);
    EXPECT_EQ(text, "kept");
    ExpectClosed();
}

TEST_F(Discovery, NoDeviceOrNoSession) {
    std::string text;
    driver.NextResult = 0;
    EXPECT_EQ(form.FindFirstFamily(33, text), -1);
    EXPECT_EQ(driver.CallNames().back(), "TMEndSession");
    ExpectClosed();

    driver.Calls.clear();
    driver.SessionResult = 0;
    const int refreshes = platform.Refreshes;
    EXPECT_EQ(form.FindFirstFamily(33, text), -200);
    EXPECT_EQ(form.VerifyDevice(), -200);
    EXPECT_EQ(driver.CallNames(), (Names{"TMExtendedStartSession", "TMExtendedStartSession"}));
    EXPECT_EQ(platform.Refreshes, refreshes);
    ExpectClosed();
}

TEST_F(Discovery, AdapterMissingOnTheFirstSearchOffersTheToolAndEnds) {
    driver.SetupResult = 0;
    platform.BoxAnswers = {MsgResult::Yes};
    std::string text;
    EXPECT_EQ(form.FindFirstFamily(33, text), 1);  // the search itself still runs to its end
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Text.rfind("Blue-dot adapter not found!\r", 0), 0u);
    EXPECT_EQ(platform.Boxes[0].Text.find("re-start"), std::string::npos);
    EXPECT_EQ(platform.Boxes[0].Buttons, MsgButtons::YesNo);
    EXPECT_EQ(platform.StartedPrograms.size(), 1u);
    EXPECT_TRUE(platform.Terminated);
    ExpectClosed();

    // Asked once per run only.
    EXPECT_EQ(form.FindFirstFamily(33, text), 1);
    EXPECT_EQ(platform.Boxes.size(), 1u);
}

TEST_F(Discovery, VerifyMakesTheStoredDeviceCurrentAndAsksForIt) {
    std::string text;
    ASSERT_EQ(form.FindFirstFamily(33, text), 1);
    driver.Calls.clear();
    driver.Rom = {0x21, 0, 0, 0, 0, 0, 0, 0};  // another device: the stored ROM must stay
    EXPECT_EQ(form.VerifyDevice(), 1);
    EXPECT_EQ(driver.CallNames(),
              (Names{"TMExtendedStartSession", "TMRom", "TMStrongAccess", "TMEndSession"}));
    EXPECT_EQ(form.RomBuffer[7], 0xA7);
    driver.StrongAccessResult = 0;
    EXPECT_EQ(form.VerifyDevice(), -1);
    driver.StrongAccessResult = 2;
    EXPECT_EQ(form.VerifyDevice(), -1);
    ExpectClosed();
}

TEST_F(Discovery, LightRepaintsOnlyWhenSwitchedOn) {
    form.Light(true);
    EXPECT_TRUE(form.GreenLight.On);
    EXPECT_EQ(platform.Refreshes, 1);
    form.Light(false);
    EXPECT_FALSE(form.GreenLight.On);
    EXPECT_EQ(platform.Refreshes, 1);
}

TEST_F(Discovery, VariantCheckMarksFollowTheRomText) {
    form.DetectVariantFromRom("A14F200000000021");
    EXPECT_TRUE(form.menuHuman.Checked);
    EXPECT_FALSE(form.menuStandard.Checked);
    EXPECT_FALSE(form.menuIce.Checked);
    form.DetectVariantFromRom("A13B200000000021");
    EXPECT_TRUE(form.menuIce.Checked);
    EXPECT_FALSE(form.menuHuman.Checked);
    form.DetectVariantFromRom("A766554433221121");
    EXPECT_TRUE(form.menuStandard.Checked);
    EXPECT_FALSE(form.menuIce.Checked);
    EXPECT_FALSE(form.menuHuman.Checked);
    EXPECT_EQ(form.CurrentTemperatureOptions().Variant, DeviceVariant::Standard);
}

TEST_F(Discovery, RemovalResetsOnceThenBlinksAndReinsertionIsFound) {
    std::string text;
    ASSERT_EQ(form.FindFirstFamily(33, text), 1);
    form.AwaitingDevice = false;
    form.PollState = Poll::Idle;
    form.RecTab.Visible = true;
    form.PanelWelcome.Visible = false;

    driver.PullAtCall = static_cast<int>(driver.Calls.size());
    ASSERT_EQ(form.VerifyDevice(), -1);
    form.NoDevice(true);
    EXPECT_EQ(form.TopPanel.Caption, "No iButton found!  ");
    EXPECT_EQ(form.PollState, Poll::Reset);
    EXPECT_TRUE(form.AwaitingDevice);
    EXPECT_FALSE(form.RecTab.Visible);
    EXPECT_TRUE(form.PanelWelcome.Visible);
    EXPECT_EQ(form.Caption, "No iButton found!  ");

    // The search repeats every tick; the window is not reset again.
    form.PollState = Poll::Search;
    platform.Advance(50);
    form.NoDevice(true);
    EXPECT_EQ(form.PollState, Poll::Search);
    EXPECT_EQ(form.TopPanel.Caption, "No iButton found!  ");
    platform.Advance(350);  // exactly at the deadline: not yet passed
    form.NoDevice(true);
    EXPECT_EQ(form.TopPanel.Caption, "No iButton found!  ");
    platform.Advance(1);
    form.NoDevice(true);
    EXPECT_EQ(form.TopPanel.Caption, "");
    platform.Advance(401);
    form.NoDevice(true);
    EXPECT_EQ(form.TopPanel.Caption, "No iButton Found!  ");

    driver.PullAtCall = -1;
    ASSERT_EQ(form.FindFirstFamily(33, text), 1);
    EXPECT_EQ(text, "A766554433221121");
    form.NoDevice(false);
    EXPECT_FALSE(form.NoDeviceShown);
    EXPECT_EQ(form.TopPanel.Caption, "");
    ExpectClosed();
}

TEST_F(Discovery, FailedClockRefreshResetsEvenWhileAwaiting) {
    form.AwaitingDevice = true;
    form.NoDeviceShown = true;
    form.PollState = Poll::ClockRefresh;
    form.SetStatus("Read time");
    form.NoDevice(true);
    EXPECT_EQ(form.PollState, Poll::Reset);
}

TEST_F(Discovery, BlinkingSurvivesTheTickWrap) {
    platform.Tick = 0xFFFFFF00u;
    form.AwaitingDevice = true;
    form.NoDevice(true);
    platform.Advance(401);  // wraps past zero
    form.NoDevice(true);
    EXPECT_EQ(form.TopPanel.Caption, "");
}
