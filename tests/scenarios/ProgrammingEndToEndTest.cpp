#include "ProgrammingRig.h"
#include "model/Bcd.h"
#include "support/ReadFile.h"

namespace {
class ProgrammingEndToEnd : public ProgrammingRig {
protected:
    std::shared_ptr<Ds1921Device> InsertAndWaitForWizard(std::uint64_t seed) {
        auto device = NewDevice(seed);
        bus.Insert(device);
        EXPECT_TRUE(TickUntil(Poll::Idle));
        EXPECT_EQ(form->RecTab.PageIndex, 0);
        return device;
    }
    void GoToPage(int page) {
        while (form->Wizard.PageIndex < page) form->NextButtonClick();
    }
    // Finish (the pages already chosen), answer "No" to another device and
    // wait until the new mission has been read back.
    void FinishAndProgram() {
        GoToPage(8);
        form->FinishButtonClick();
        platform.BoxAnswers.push_back(MsgResult::No);
        ASSERT_TRUE(TickUntil(Poll::StatusRead));
        ASSERT_TRUE(ProgrammedBoxShown());
    }
    static std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
        return {values.begin(), values.end()};
    }
};
}  // namespace

TEST_F(ProgrammingEndToEnd, DefaultMissionIsWrittenRunsAndDownloads) {
    auto device = InsertAndWaitForWizard(1);
    form->EditUserChange(0, "Ann");
    form->EditUserChange(4, "Pond \xE6\x9D\xB1 water");
    FinishAndProgram();

    // Registers exactly as composed: alarm none, thresholds 0/250, rate 1, all searches, no delay.
    EXPECT_EQ(device->PeekRange(0x207, 10),
              Bytes({0x00, 0x00, 0x00, 0x01, 0x00, 0xFA, 0x01, 0x07, 0x00, 0x00}));
    EXPECT_EQ(device->PeekRange(0x212, 2), Bytes({0x00, 0x00}));
    const auto clockBytes = device->PeekRange(0x200, 7);
    const BcdTime deviceClock = BCDTimeToString(clockBytes.data(), BcdForm::Full, true);
    EXPECT_NEAR(deviceClock.Value, platform.Now(), 3 * kSecond);

    const auto userPage = [&](int page) {
        const auto bytes = device->PeekRange(static_cast<std::uint16_t>(page * 32), 32);
        return std::string(bytes.begin(), bytes.end());
    };
    EXPECT_EQ(userPage(0), std::string(32, ' '));
    EXPECT_EQ(userPage(1), "Ann" + std::string(29, ' '));
    EXPECT_EQ(userPage(5), "Pond ? water" + std::string(20, ' '));
    EXPECT_EQ(userPage(14), std::string(32, ' '));

    // The No path: Status tab, result lists emptied, the register page read next.
    EXPECT_EQ(form->RecTab.PageIndex, 2);
    EXPECT_TRUE(form->ReadButton.Enabled);
    EXPECT_FALSE(form->MissionGroup.Visible);

    ASSERT_TRUE(TickUntil(Poll::Idle));
    EXPECT_TRUE(form->MissionRunning);

    // The mission runs on the device's own clock; the next download shows its samples.
    Advance(5 * 60000 + 30000);
    EXPECT_GE(device->MissionSamples(), 5);
    form->ReadButtonClick();
    ASSERT_NE(form->PollState, Poll::Idle);
    ASSERT_TRUE(TickUntil(Poll::Idle));
    EXPECT_EQ(form->LogSampleCount, device->MissionSamples());
    EXPECT_EQ(static_cast<std::int64_t>(form->LogList.Items.size()), device->MissionSamples());
}

TEST_F(ProgrammingEndToEnd, DailyAlarmDelayAndRolloverReachTheDevice) {
    auto device = InsertAndWaitForWizard(2);
    form->SetTimeCheck.Checked = false;
    GoToPage(3);
    form->AlarmTimeCombo.Select(AlarmMode::Daily);
    form->AlarmTimeComboChange();
    form->AlarmHour.Select(8);
    form->AlarmMinute.Select(30);
    form->AlarmSecond.Select(15);
    GoToPage(4);
    form->DelayDay.Select(2);
    form->DelayHour.Select(3);
    form->DelayMinute.Select(15);
    form->DelayDayChange();
    GoToPage(6);
    form->ConditionalOnTempLowCheck.Checked = false;
    form->ConditionalOnTimeCheck.Checked = false;
    GoToPage(7);
    form->RolloverCheck.Checked = true;
    const auto clockBefore = device->PeekRange(0x200, 7);
    FinishAndProgram();

    EXPECT_EQ(device->PeekRange(0x207, 4), Bytes({0x15, 0x30, 0x08, 0x80}));
    EXPECT_EQ(device->Peek(0x20E), 0x0A);
    EXPECT_EQ(device->PeekRange(0x212, 2), Bytes({0x03, 0x0C}));
    // The clock was not set: it ran on from where it was.
    EXPECT_EQ(device->PeekRange(0x204, 3),
              std::vector<std::uint8_t>(clockBefore.begin() + 4, clockBefore.end()));
}

TEST_F(ProgrammingEndToEnd, WeeklyAlarmOnSaturdayNight) {
    auto device = InsertAndWaitForWizard(3);
    GoToPage(3);
    form->AlarmTimeCombo.Select(AlarmMode::Weekly);
    form->AlarmTimeComboChange();
    form->AlarmDay.Select(6);
    form->AlarmHour.Select(23);
    form->AlarmMinute.Select(59);
    form->AlarmSecond.Select(59);
    FinishAndProgram();
    EXPECT_EQ(device->PeekRange(0x207, 4), Bytes({0x59, 0x59, 0x23, 0x07}));
}

TEST_F(ProgrammingEndToEnd, IgnoredInformationLeavesTheUserPagesAlone) {
    auto device = InsertAndWaitForWizard(4);
    device->WriteUserPage(1, "Old name");
    form->EditUserChange(0, "New name");
    form->chkIgnore.Checked = true;
    FinishAndProgram();
    const auto page1 = device->PeekRange(32, 8);
    EXPECT_EQ(std::string(page1.begin(), page1.end()), "Old name");
    EXPECT_EQ(form->Image.UserArea[32], 'N');  // composed all the same
}

TEST_F(ProgrammingEndToEnd, EachTickReportsItsStep) {
    InsertAndWaitForWizard(5);
    GoToPage(8);
    form->FinishButtonClick();
    const std::vector<std::pair<std::int16_t, std::string>> steps = {
        {Poll::VerifyClear, " Clear memory: Success"},
        {Poll::Write, " Verify clear memory: Success"},
        {Poll::Write, " Time, time alarm, thresholds set"},
        {Poll::Write, " Control, start delay set"},
        {Poll::Write, " Sample rate set"},
    };
    for (const auto& [state, status] : steps) {
        Tick();
        EXPECT_EQ(form->PollState, state);
        EXPECT_EQ(form->Status.Caption, status);
    }
    EXPECT_EQ(form->WriteStep, 3);
    platform.BoxAnswers.push_back(MsgResult::No);
    Tick();
    EXPECT_EQ(form->Status.Caption, " User data set.");
    EXPECT_EQ(form->PollState, Poll::StatusRead);
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Text, "Mission programmed!\rDo you wish to program another device?");
    EXPECT_EQ(platform.Boxes[0].Buttons, MsgButtons::YesNo);
    EXPECT_EQ(platform.Boxes[0].Caption, "Kelvara");
}

TEST_F(ProgrammingEndToEnd, TheDeviceLeftInPlaceIsSaidAndNotProgrammedAgain) {
    auto device = InsertAndWaitForWizard(6);
    form->DelayMinute.Select(5);
    form->DelayDayChange();
    GoToPage(8);
    form->FinishButtonClick();
    const TDateTime finished = form->FinishTime;
    platform.BoxAnswers = {MsgResult::Yes, MsgResult::Ok, MsgResult::Cancel};
    ASSERT_TRUE(TickUntil(Poll::StatusRead));
    ASSERT_EQ(platform.Boxes.size(), 3u);
    EXPECT_EQ(platform.Boxes[1].Text,
              "Remove the programmed device,\rinsert the new device and\rthen click OK to continue.");
    EXPECT_EQ(platform.Boxes[1].Buttons, MsgButtons::Ok);
    EXPECT_EQ(platform.Boxes[1].Icon, MsgIcon::Warning);
    const std::string rom = Ds1921Device::RomText(device->Rom());
    EXPECT_EQ(platform.Boxes[2].Text,
              "The device just programmed, " + rom +
                  ",\ris still in the adapter.\rRemove it, insert the new device and "
                  "click Retry,\ror click Cancel to stop programming further devices.");
    EXPECT_EQ(platform.Boxes[2].Buttons, MsgButtons::RetryCancel);
    // Stopped: programmed once, and the batch ends as after "No".
    EXPECT_EQ(form->Caption, "DS1921 iButton - " + rom);
    EXPECT_EQ(form->RecTab.PageIndex, 2);
    EXPECT_EQ(form->FinishTime, finished);
    EXPECT_EQ(device->Peek(0x212), 5);
}

TEST_F(ProgrammingEndToEnd, ADescriptionOf64CharactersFillsPages6And7AndIsShownWhole) {
    auto device = InsertAndWaitForWizard(9);
    const std::string description = "Fridge, door opened at each break; one reading a minute all week";
    ASSERT_EQ(description.size(), 64u);
    form->EditUserChange(5, description);
    FinishAndProgram();
    const auto userPage = [&](int page) {
        const auto bytes = device->PeekRange(static_cast<std::uint16_t>(page * 32), 32);
        return std::string(bytes.begin(), bytes.end());
    };
    EXPECT_EQ(userPage(6), description.substr(0, 32));
    EXPECT_EQ(userPage(7), description.substr(32));
    EXPECT_EQ(userPage(8), std::string(32, ' '));

    ASSERT_TRUE(TickUntil(Poll::Idle));  // the running mission is downloaded
    const auto report = form->ReportLines();
    EXPECT_EQ(report[10], "Description: " + description);
    platform.Boxes.clear();
    form->btnDetailsClick();
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_TRUE(platform.Boxes[0].Text.ends_with("\rDescription: " + description));

    // Its comma stays inside one CSV field; a file without such a text is unchanged by this.
    const std::string csv = (dir / "fridge.csv").string();
    platform.SaveAnswers.push_back(csv);
    form->MenuSaveCSVClick();
    EXPECT_NE(ReadAll(csv).find("\r\n,,Description: ,\"" + description + "\"\r\n"), std::string::npos);
}

TEST_F(ProgrammingEndToEnd, FinishOverADownloadedUnsavedMissionOffersToSaveItFirst) {
    auto device = InsertAndWaitForWizard(10);
    FinishAndProgram();
    ASSERT_TRUE(TickUntil(Poll::Idle));
    ASSERT_TRUE(form->MissionRunning);
    ASSERT_TRUE(form->DownloadUnsaved);
    form->SelectRecTab(0);
    GoToPage(8);

    // The warning says so, with Cancel for Enter; declining the save dialog erases nothing.
    platform.Boxes.clear();
    platform.BoxAnswers = {MsgResult::Ok, MsgResult::Yes};
    platform.SaveAnswers.push_back(std::nullopt);
    form->FinishButtonClick();
    ASSERT_EQ(platform.Boxes.size(), 2u);
    EXPECT_EQ(platform.Boxes[0].Text,
              "WARNING, a mission is currently running.\rErase this mission and start a new one?\r\r"
              "The results downloaded from this mission have not been saved as a data file.");
    EXPECT_EQ(platform.Boxes[0].Buttons, MsgButtons::OkCancel);
    EXPECT_EQ(platform.Boxes[0].Default, MsgDefault::Second);
    EXPECT_EQ(platform.Boxes[1].Text, "Save the data file before the mission is erased?");
    EXPECT_EQ(platform.Boxes[1].Buttons, MsgButtons::YesNo);
    EXPECT_EQ(platform.Boxes[1].Default, MsgDefault::First);
    EXPECT_EQ(form->PollState, Poll::Idle);
    EXPECT_TRUE(form->FinishButton.Enabled);

    // Saved first, then erased.
    const std::string path = (dir / "before.dmp").string();
    platform.BoxAnswers = {MsgResult::Ok, MsgResult::Yes};
    platform.SaveAnswers.push_back(path);
    form->FinishButtonClick();
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_FALSE(form->DownloadUnsaved);
    EXPECT_EQ(form->PollState, Poll::Clear);
}
