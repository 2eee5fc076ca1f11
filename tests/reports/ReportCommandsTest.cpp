// The File menu's data file, report, CSV and print commands on a whole form,
// with a scripted platform answering the dialogs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/TTRecForm.h"
#include "reports/DumpFormat.h"
#include "reports/ReportLines.h"
#include "support/ReadFile.h"
#include "support/ScriptedDriver.h"
#include "support/ScriptedPlatform.h"

namespace fs = std::filesystem;

namespace {
class ReportCommands : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("kelvara-reports-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
        platform.Dir = dir.string() + "/";
        form.FormCreate({});
        form.Caption = "DS1921 iButton - 0F4F200000000021";
        form.RomIdText = "0F4F200000000021";
        for (std::size_t i = 0; i < form.Image.LogArea.size(); ++i)
            form.Image.LogArea[i] = static_cast<std::uint8_t>(i);
        form.Image.RegisterPage[0] = 0x42;
        form.DownloadRegisterPage = form.Image.RegisterPage;  // as a finished download leaves it
        form.LogList.Items = {
            "05/03/2004 ,14:00 ,23.500\xB0"
            "C",
            "05/03/2004 ,14:10 ,24.000\xB0"
            "C"};
        form.AlarmList.Items = {"none"};
        form.HistList.Items = {"0 ,17"};
        form.UserTexts[5] = "Pond" + std::string(28, ' ');
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path dir;
    ScriptedPlatform platform;
    ScriptedDriver driver;
    TTRecForm form{platform, driver};
};
}  // namespace

TEST_F(ReportCommands, SaveDialogProposesTheTitleAndReturnsToSavePath) {
    form.SavePath = FilePath("/data/");
    platform.SaveAnswers.push_back(std::nullopt);
    form.MenuSaveDataClick();
    ASSERT_EQ(platform.SaveRequests.size(), 1u);
    const auto& request = platform.SaveRequests[0];
    EXPECT_EQ(request.Title, "Save iButton Data");
    EXPECT_EQ(request.FileName, "Pond");
    EXPECT_EQ(request.DefaultExt, "txt");
    EXPECT_EQ(request.Filter, "Text File (txt)|*.txt");
    EXPECT_TRUE(request.OverwritePrompt);
    EXPECT_TRUE(request.PathMustExist);
    EXPECT_EQ(form.SaveDialogInitialDir.Native(), "/data/");

    form.UserTexts[5] = std::string(32, ' ');
    form.menuSaveData1Click();
    EXPECT_EQ(platform.SaveRequests[1].FileName, "0F4F200000000021");
    EXPECT_EQ(platform.SaveRequests[1].Filter, "Data File (dmp)|*.dmp");
    EXPECT_TRUE(fs::is_empty(dir / ".") || !fs::exists(dir / "0F4F200000000021.dmp"));
}

TEST_F(ReportCommands, ClipboardEqualsFile) {
    platform.SaveAnswers.push_back((dir / "r.txt").string());
    form.MenuSaveDataClick();
    form.MenuExportToClipClick();
    const std::string file = ReadAll(dir / "r.txt");
    EXPECT_EQ(file, platform.Clipboard);
    EXPECT_EQ(file, JoinCrLf(form.ReportLines()));
    EXPECT_NE(file.find("\r\nLog Data\r\n--------\r\n"), std::string::npos);
}

TEST_F(ReportCommands, FailedSaveKeepsWhatWasThereAndShowsTheReason) {
    // A folder in the target's place cannot be replaced by a file: the rename fails.
    const fs::path target = dir / "keep.csv";
    fs::create_directories(target);
    std::ofstream(target / "inside", std::ios::binary) << "old";
    platform.SaveAnswers.push_back(target.string());
    form.MenuShowFC.Checked = false;
    form.MenuSaveCSVClick();
    EXPECT_EQ(ReadAll(target / "inside"), "old");
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_NE(platform.Boxes[0].Text.find("keep.csv"), std::string::npos);
    EXPECT_NE(platform.Boxes[0].Text.find("Is a directory"), std::string::npos);
    EXPECT_EQ(platform.Boxes[0].Icon, MsgIcon::Error);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 1)
        << "no temporary file left";

    platform.SaveAnswers.push_back((dir / "absent" / "r.txt").string());
    form.MenuSaveDataClick();
    ASSERT_EQ(platform.Boxes.size(), 2u);
    EXPECT_NE(platform.Boxes[1].Text.find("No such file or directory"), std::string::npos);
}

TEST_F(ReportCommands, SaveReplacesAnExistingFileWhole) {
    const fs::path target = dir / "old.dmp";
    std::ofstream(target, std::ios::binary) << std::string(100000, 'x');
    platform.SaveAnswers.push_back(target.string());
    form.menuSaveData1Click();
    const std::string text = ReadAll(target);
    EXPECT_EQ(text, JoinCrLf(form.DumpLines()));
    EXPECT_EQ(text.substr(0, 35), "DS1921 iButton - 0F4F200000000021\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 1);
}

TEST_F(ReportCommands, UnitQuestionGuardsTheCsvExports) {
    platform.BoxAnswers.push_back(MsgResult::No);
    form.MenuSaveCSVClick();
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Text,
              "Temperatures on display currently include the unit (\xB0"
              "F or \xB0"
              "C).\r"
              "It is recommended that the units are removed before exporting the CSV file.\r"
              "To do this, uncheck \"Show F/C on Temperatures\" within the \"Options\" menu.\r"
              "\r"
              "Continue (including the units) anyway?");
    EXPECT_EQ(platform.Boxes[0].Buttons, MsgButtons::YesNo);
    EXPECT_EQ(platform.Boxes[0].Icon, MsgIcon::Exclamation);
    EXPECT_TRUE(platform.SaveRequests.empty());

    platform.SaveAnswers.push_back((dir / "h.csv").string());
    form.menuSaveHistClick();  // answered Yes
    EXPECT_EQ(platform.SaveRequests.at(0).DefaultExt, "csv");
    EXPECT_EQ(platform.SaveRequests.at(0).Filter, "Comma Separated Variable File (csv)|*.csv");
    const std::string csv = ReadAll(dir / "h.csv");
    EXPECT_EQ(csv.substr(0, 33), ",,iButton,0F4F200000000021\r\n,,Dow");
    EXPECT_NE(csv.find("\r\nTemp Range , Count\r\n0 ,17\r\n"), std::string::npos);

    form.MenuShowFC.Checked = false;
    platform.SaveAnswers.push_back((dir / "l.csv").string());
    form.MenuSaveCSVClick();
    EXPECT_EQ(platform.Boxes.size(), 2u);
    EXPECT_NE(ReadAll(dir / "l.csv").find("\r\nDate, Time, Temperature\r\n"), std::string::npos);
}

TEST_F(ReportCommands, PrintingAsksForTheFullReportOnly) {
    form.PrintSummaryClick();
    ASSERT_EQ(platform.Printed.size(), 1u);
    EXPECT_TRUE(platform.Boxes.empty());
    EXPECT_EQ(platform.Printed[0].back(), "none");

    platform.BoxAnswers.push_back(MsgResult::No);
    form.Printfullreport1Click();
    EXPECT_EQ(platform.Boxes.at(0).Text,
              "Printing a full report may take over 20 pages!\r\rContinue anyway?");
    EXPECT_EQ(platform.Printed.size(), 1u);

    form.Printfullreport1Click();
    ASSERT_EQ(platform.Printed.size(), 2u);
    EXPECT_EQ(platform.Printed[1].back(), form.LogList.Items.back());

    platform.PrintDialogAnswers.push_back(false);
    form.PrintSummaryClick();
    EXPECT_EQ(platform.Printed.size(), 2u);
    form.PrinterSetup1Click();
    EXPECT_EQ(platform.PrinterSetups, 1);
}

TEST_F(ReportCommands, LoadingEntersOfflineModeAndNamesTheLoadedDevice) {
    const MemoryImage saved = form.Image;
    platform.SaveAnswers.push_back((dir / "my mission.dmp").string());
    form.menuSaveData1Click();

    form.Image = MemoryImage{};
    form.RomIdText = "1122334455667721";  // another device seen since
    form.Caption = "No iButton found!  ";
    form.menuSaveData1.Enabled = true;
    form.LoadCmd(dir / "my mission.dmp");
    ASSERT_TRUE(form.OfflineMode());
    EXPECT_EQ(form.Image.RegisterPage, saved.RegisterPage);
    EXPECT_EQ(form.Image.LogArea, saved.LogArea);
    EXPECT_EQ(form.Caption, "DS1921 iButton - 0F4F200000000021");
    EXPECT_EQ(form.TopPanel.Caption, "Close old data file to go back online!  ");
    EXPECT_EQ(form.Status.Caption, " Offline mode (old data file) ...");
    EXPECT_FALSE(platform.TimerOn);
    EXPECT_TRUE(form.menuClose.Enabled);
    EXPECT_TRUE(form.MenuSaveCSV.Enabled);
    EXPECT_TRUE(form.PrintSummary.Enabled);
    EXPECT_FALSE(form.menuSaveData1.Enabled);
    EXPECT_FALSE(form.ReadButton.Enabled);
    EXPECT_EQ(form.RecTab.PageIndex, 1);
    EXPECT_TRUE(form.AwaitingDevice);
    EXPECT_EQ(form.ReportRomText(), "0F4F200000000021");

    form.UserTexts[5].clear();
    platform.SaveAnswers.push_back((dir / "log.csv").string());
    form.ExportDataCSV();
    EXPECT_EQ(platform.SaveRequests.back().FileName, "0F4F200000000021");
    EXPECT_EQ(ReadAll(dir / "log.csv").substr(0, 26), ",,iButton,0F4F200000000021");

    form.menuCloseClick();
    EXPECT_FALSE(form.OfflineMode());
    EXPECT_EQ(form.Caption, "No iButton found!  ");
    EXPECT_TRUE(form.TopPanel.Caption.empty());
    EXPECT_TRUE(platform.TimerOn);
    EXPECT_FALSE(form.menuClose.Enabled);
    EXPECT_TRUE(form.PanelWelcome.Visible);
    EXPECT_FALSE(form.RecTab.Visible);
}

TEST_F(ReportCommands, CommandLinePathWithBlanksOpensAtStartUp) {
    platform.SaveAnswers.push_back((dir / "class 4 b.dmp").string());
    form.menuSaveData1Click();
    ScriptedPlatform fresh;
    TTRecForm started(fresh, driver);
    const std::string path = (dir / "class 4 b.dmp").string();
    const auto blank = path.find(' ');
    started.FormCreate({path.substr(0, blank), "4", "b.dmp"});
    EXPECT_TRUE(started.OfflineMode());
    EXPECT_EQ(started.Caption, form.Caption);
    EXPECT_FALSE(fresh.TimerOn);
}

// A start with a data file chooses no port; closing the file must still reach the adapter.
TEST_F(ReportCommands, ClosingAFileOpenedAtStartUpPollsTheDefaultPort) {
    platform.SaveAnswers.push_back((dir / "start.dmp").string());
    form.menuSaveData1Click();
    ScriptedPlatform fresh;
    ScriptedDriver adapter;
    adapter.DefaultPortNumber = 3;
    adapter.DefaultPortType = 5;
    TTRecForm started(fresh, adapter);
    started.FormCreate({(dir / "start.dmp").string()});
    ASSERT_TRUE(started.OfflineMode());
    EXPECT_EQ(started.PortNumber, 0);
    started.menuCloseClick();
    EXPECT_EQ(started.PortNumber, 3);
    EXPECT_EQ(started.PortType, 5);
    EXPECT_EQ(started.BottomPanel.Caption, " Port: COM3   ");
    EXPECT_TRUE(fresh.TimerOn);
}

TEST_F(ReportCommands, MissingOrShortFileShowsWhyAndStaysOnline) {
    form.LogBox.Visible = true;
    form.MenuSaveCSV.Enabled = true;
    platform.OpenAnswers.push_back((dir / "absent.dmp").string());
    form.menuOpenClick();
    EXPECT_EQ(platform.OpenRequests.at(0).Filter, "Data File (dmp)|*.dmp");
    EXPECT_EQ(platform.OpenRequests.at(0).DefaultExt, "dmp");
    EXPECT_FALSE(form.OfflineMode());
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_NE(platform.Boxes[0].Text.find("No such file or directory"), std::string::npos);
    EXPECT_EQ(platform.Boxes[0].Caption, "Kelvara");
    EXPECT_FALSE(form.LogBox.Visible);  // the display was reset before the file was read
    EXPECT_FALSE(form.MenuSaveCSV.Enabled);

    auto lines = ::DumpLines("DS1921 iButton - 0F4F200000000021", "x", MemoryImage{});
    lines.resize(120);
    std::ofstream(dir / "short.dmp", std::ios::binary) << JoinCrLf(lines);
    const MemoryImage before = form.Image;
    form.LoadCmd(dir / "short.dmp");
    EXPECT_FALSE(form.OfflineMode());
    EXPECT_EQ(platform.Boxes.size(), 2u);
    EXPECT_EQ(form.Image.LogArea, before.LogArea);
    EXPECT_EQ(form.Caption, "DS1921 iButton - 0F4F200000000021");
}

// A data file named at start-up that cannot be loaded leaves the program
// online and polling, as a failed load from the menu does.
TEST_F(ReportCommands, MissingFileOnTheCommandLineStartsPolling) {
    ScriptedPlatform fresh;
    ScriptedDriver adapter;
    adapter.DefaultPortNumber = 2;
    adapter.DefaultPortType = 5;
    TTRecForm started(fresh, adapter);
    started.FormCreate({(dir / "gone.dmp").string()});
    EXPECT_EQ(started.PortNumber, 2);
    EXPECT_EQ(started.BottomPanel.Caption, " Port: COM2   ");
    EXPECT_FALSE(started.OfflineMode());
    ASSERT_EQ(fresh.Boxes.size(), 1u);
    EXPECT_NE(fresh.Boxes[0].Text.find("No such file or directory"), std::string::npos);
    EXPECT_TRUE(fresh.TimerOn);
    EXPECT_EQ(fresh.Interval, 50);
}

TEST_F(ReportCommands, EmptyThirdLineStillEntersOfflineMode) {
    auto lines = ::DumpLines("DS1921 iButton - 0F3B200000000021", "x", MemoryImage{});
    lines[2] = "";
    std::ofstream(dir / "stub.dmp", std::ios::binary) << JoinCrLf(lines);
    const MemoryImage before = form.Image;
    form.LoadCmd(dir / "stub.dmp");
    EXPECT_TRUE(form.OfflineMode());
    EXPECT_EQ(form.Image.LogArea, before.LogArea);
    EXPECT_EQ(form.Caption, "DS1921 iButton - 0F3B200000000021");
}
