// A data file saved a while after its download, when the running mission has
// logged more samples than the lists hold, reloads into what the window showed.
#include <gtest/gtest.h>

#include "app/TTRecForm.h"
#include "reports/DumpFormat.h"
#include "reports/ReportLines.h"
#include "scenarios/DownloadRig.h"
#include "support/DateAt.h"
#include "support/PerTestPath.h"
#include "support/ScriptedPlatform.h"

namespace {
const TDateTime kStart = At(2026, 12, 7, 9, 0, 20);

class DataFileAfterDownload : public ::testing::Test {
protected:
    void SetUp() override {
        platform.SetNow(kStart);
        form.FormCreate({});
    }
    void Tick() {
        platform.Advance(platform.Interval);
        rig.clock.Advance(platform.Interval);
        form.TRecTimerTimer();
    }
    void TickUntilDownloaded() {
        for (int i = 0; i < 300 && !form.menuSaveData1.Enabled; ++i) Tick();
        ASSERT_TRUE(form.menuSaveData1.Enabled);
    }
    std::vector<std::string> Csv(const ListControl& list, const Control& syntax) {
        return CsvLines(form.CurrentReportSource(), syntax.Caption, list.Items);
    }

    ScratchFolder folder{"kelvara-datafile"};
    ScriptedPlatform platform;
    EmulatedDevice rig{kStart};
    TTRecForm form{platform, rig.recorder};
};
}  // namespace

TEST_F(DataFileAfterDownload, ReloadsTheListsReportAndCsvShownAtTheDownloadAndNoExtraReading) {
    rig.StartMission(12, 1);  // a sample every minute
    TickUntilDownloaded();
    ASSERT_EQ(form.LogSampleCount, 12);
    const auto log = form.LogList.Items, alarms = form.AlarmList.Items, histogram = form.HistList.Items;
    const auto report = form.ReportLines();
    const auto logCsv = Csv(form.LogList, form.LogSyntax), histCsv = Csv(form.HistList, form.HistSyntax);

    // Ten minutes on, the clock refreshes have read ten more samples into the register page.
    for (int i = 0; i < 1200; ++i) Tick();
    ASSERT_GE(form.MissionSamples, 21);
    EXPECT_EQ(form.LogList.Items, log) << "the lists keep the download";

    const std::string path = (folder.path / "pond.dmp").string();
    platform.SaveAnswers.push_back(path);
    form.menuSaveData1Click();
    EXPECT_FALSE(form.DownloadUnsaved);
    form.LoadCmd(FilePath(path));
    ASSERT_TRUE(form.OfflineMode());

    EXPECT_EQ(form.LogSampleCount, 12);
    EXPECT_EQ(form.LogList.Items, log);
    EXPECT_EQ(form.AlarmList.Items, alarms);
    EXPECT_EQ(form.HistList.Items, histogram);
    EXPECT_EQ(Csv(form.LogList, form.LogSyntax), logCsv);
    EXPECT_EQ(Csv(form.HistList, form.HistSyntax), histCsv);
    // Every line of the report but the computer's clock, which tells when it is read.
    const auto reloaded = form.ReportLines();
    ASSERT_EQ(reloaded.size(), report.size());
    for (std::size_t i = 0; i < report.size(); ++i)
        if (!report[i].starts_with("Current PC Time: ")) {
            EXPECT_EQ(reloaded[i], report[i]) << "line " << i + 1;
        }
}

TEST_F(DataFileAfterDownload, AFileWithAnotherDownloadLineTakesTheDeviceClock) {
    rig.StartMission(3, 1);
    TickUntilDownloaded();
    auto lines = form.DumpLines();
    lines[1] = "Download at: 12/7/2026 9:00:20 AM";  // another program's locale form
    const std::string path = (folder.path / "other.dmp").string();
    std::string error;
    ASSERT_TRUE(DiskFileStore().Save(FilePath(path), JoinCrLf(lines), error)) << error;
    form.LoadCmd(FilePath(path));
    ASSERT_TRUE(form.OfflineMode());
    EXPECT_EQ(form.DownloadTime, form.DeviceClock);
}

TEST(DownloadLine, OnlyTheProgramsOwnFormIsRead) {
    TDateTime at = 0;
    ASSERT_TRUE(ParseDownloadLine("Download at: 07/12/2026 20:32:07", at));
    EXPECT_EQ(FixedDateTimeText(at), "07/12/2026 20:32:07");
    for (const char* other : {"Download at: 7/12/2026 20:32:07", "Download at: 31/02/2026 20:32:07",
                              "Download at: 07/12/2026 20:32:07 ", "Download at: 07-12-2026 20:32:07",
                              "Download at: 07/12/2026 24:00:00", "Spare", ""})
        EXPECT_FALSE(ParseDownloadLine(other, at)) << other;
}
