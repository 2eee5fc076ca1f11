#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/TTRecForm.h"
#include "support/ScriptedDriver.h"
#include "support/ScriptedPlatform.h"

namespace {
class FormCreate : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("kelvara-formcreate-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
        platform.Dir = dir.string() + "/";
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    void WriteTitles(const std::string& text) { std::ofstream(dir / "Titles.ini", std::ios::binary) << text; }

    std::filesystem::path dir;
    ScriptedPlatform platform;
    ScriptedDriver driver;
};
}  // namespace

TEST_F(FormCreate, WithoutSettingsAsksTheDriverForItsDefaultPortAndStartsTheTimer) {
    TTRecForm form(platform, driver);
    form.FormCreate({});
    EXPECT_EQ(form.AppCaption, "Kelvara");
    EXPECT_EQ(form.DriverState.size(), 5120u);
    EXPECT_TRUE(form.StateBufferAllocated);
    EXPECT_EQ(form.lbluser[0].Caption, "First Name:");
    EXPECT_EQ(form.lbluser[5].Caption, "Description:");
    EXPECT_EQ(form.UserDetailCaptions[3], "School Name: ");
    EXPECT_EQ(driver.CallNames(), std::vector<std::string>{"TMReadDefaultPort"});
    EXPECT_EQ(form.PortType, kPortTypeVirtual);
    EXPECT_EQ(form.BottomPanel.Caption, " Port: Virtual");
    EXPECT_TRUE(platform.TimerOn);
    EXPECT_EQ(platform.Interval, 50);
    EXPECT_EQ(form.PollState, Poll::Reset);
    EXPECT_EQ(form.SavePath.Native(), platform.Dir);
    EXPECT_EQ(form.SaveDialogInitialDir.Native(), platform.Dir);
    EXPECT_TRUE(platform.Boxes.empty());
    EXPECT_EQ(form.Caption, "No iButton Found!");
    EXPECT_FALSE(form.RecTab.Visible);
    EXPECT_TRUE(form.PanelWelcome.Visible);
}

TEST_F(FormCreate, ASavePathThatTakesNoFilesGivesWayToTheDocumentsFolder) {
    for (const std::string& savePath :
         {std::string(), (dir / "gone").string(), (dir / "Titles.ini").string()}) {
        WriteTitles("[Network]\r\nSavePath=" + savePath + "\r\n");
        TTRecForm form(platform, driver);
        form.FormCreate({});
        EXPECT_EQ(form.SavePath.Native(), platform.Documents) << savePath;
        EXPECT_EQ(form.SaveDialogInitialDir.Native(), platform.Documents);
        form.menuOpenClick();
        EXPECT_EQ(platform.OpenRequests.back().InitialDir.Native(), platform.Documents);
    }
    WriteTitles("[Network]\r\nSavePath=" + dir.string() + "\r\n");
    TTRecForm form(platform, driver);
    form.FormCreate({});
    EXPECT_EQ(form.SavePath.Native(), dir.string());
}

TEST_F(FormCreate, SerialPortTwoSkipsTheDefaultLookup) {
    WriteTitles("[Network]\r\nSerialPort=2\r\nAdapter=5\r\n");
    TTRecForm form(platform, driver);
    form.FormCreate({});
    EXPECT_TRUE(driver.Calls.empty());
    EXPECT_EQ(form.PortNumber, 2);
    EXPECT_EQ(form.PortType, 5);
    EXPECT_EQ(form.BottomPanel.Caption, " Port: COM2   ");
}

TEST_F(FormCreate, UsbAdapterShowsUsb) {
    WriteTitles("[Network]\nSerialPort=1\nAdapter=6\n");
    TTRecForm form(platform, driver);
    form.FormCreate({});
    EXPECT_EQ(form.BottomPanel.Caption, " Port: USB");
}

TEST_F(FormCreate, EmptyTitleGivesAnEmptyLabelAndASingleBlankCaption) {
    WriteTitles("[Title]\nstring1=\n");
    TTRecForm form(platform, driver);
    form.FormCreate({});
    EXPECT_EQ(form.lbluser[1].Caption, "");
    EXPECT_EQ(form.UserDetailCaptions[1], " ");
}

TEST_F(FormCreate, ShortCommandLineLoadsNothingAndLeavesTheTimerStopped) {
    TTRecForm form(platform, driver);
    form.FormCreate({"a", "b"});  // "a b": three characters
    EXPECT_FALSE(platform.TimerOn);
    EXPECT_TRUE(driver.Calls.empty());  // with parameters no default port is asked for
    EXPECT_EQ(form.PortType, 0);
    EXPECT_EQ(form.PortNumber, 0);
    EXPECT_NE(form.PollState, Poll::Offline);
}

TEST_F(FormCreate, MissingAdapterOffersThePortSetupToolAndEnds) {
    driver.DefaultPortResult = 0;
    platform.BoxAnswers = {MsgResult::Yes};
    TTRecForm form(platform, driver);
    form.FormCreate({});
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Caption, "Kelvara");
    EXPECT_EQ(platform.Boxes[0].Buttons, MsgButtons::YesNo);
    EXPECT_EQ(platform.Boxes[0].Text.substr(0, 114),
              "Blue-dot adapter not found!\rCheck that the adapter is connected to the computer.\r"
              "and then re-start the software.\r\r");
    EXPECT_EQ(platform.Boxes[0].Text.substr(platform.Boxes[0].Text.size() - 32),
              "\r\rRun the \"Port Setup Tool\" now?");
    EXPECT_EQ(platform.StartedPrograms, std::vector<std::string>{platform.Dir + "kelvara-portsetup"});
    EXPECT_TRUE(platform.Terminated);
}

TEST_F(FormCreate, MissingAdapterAnsweredNoStillEnds) {
    driver.DefaultPortResult = 0;
    platform.BoxAnswers = {MsgResult::No};
    TTRecForm form(platform, driver);
    form.FormCreate({});
    EXPECT_TRUE(platform.StartedPrograms.empty());
    EXPECT_TRUE(platform.Terminated);
}

TEST_F(FormCreate, BadSettingsAreShownOnceAndTheDefaultsUsed) {
    WriteTitles("[Network]\nSerialPort=COM3\n");
    TTRecForm form(platform, driver);
    form.FormCreate({});
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_NE(platform.Boxes[0].Text.find("SerialPort \"COM3\""), std::string::npos);
    EXPECT_EQ(form.PortType, kPortTypeVirtual);  // from the driver's default, as with "0"
}

TEST_F(FormCreate, ASettingsFileThatCannotBeReadIsReportedNotTakenForMissing) {
    std::filesystem::create_directory(dir / "Titles.ini");
    TTRecForm form(platform, driver);
    form.FormCreate({});
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_NE(platform.Boxes[0].Text.find("could not be read"), std::string::npos);
    EXPECT_EQ(form.lbluser[0].Caption, "First Name:");
    EXPECT_TRUE(platform.TimerOn);
}

TEST_F(FormCreate, SettingsAreFoundInAProgramFolderWithAnAccentedName) {
    const auto accented = dir / "Jos\xC3\xA9";  // UTF-8 on disk
    std::filesystem::create_directories(accented);
    std::ofstream(accented / "Titles.ini", std::ios::binary) << "[Title]\r\nstring0=Nom:\r\n";
    platform.Dir = dir.string() + "/Jos\xC3\xA9/";  // a path is the file system's bytes
    TTRecForm form(platform, driver);
    form.FormCreate({});
    EXPECT_EQ(form.lbluser[0].Caption, "Nom:");
    EXPECT_TRUE(platform.Boxes.empty());
}

TEST_F(FormCreate, SetStatusShowsOneBlankAndTheText) {
    TTRecForm form(platform, driver);
    form.SetStatus("Verify");
    EXPECT_EQ(form.Status.Caption, " Verify");
}

TEST_F(FormCreate, ExitEndsTheApplicationAndDestroyFreesTheBuffer) {
    TTRecForm form(platform, driver);
    form.FormCreate({});
    form.MenuExitClick();
    EXPECT_TRUE(platform.Terminated);
    form.FormDestroy();
    EXPECT_FALSE(form.StateBufferAllocated);
    EXPECT_TRUE(form.DriverState.empty());
}
