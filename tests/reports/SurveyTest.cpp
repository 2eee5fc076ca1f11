// The survey of a class's data files: the notes on what needs a look, the
// summary of each log, the order, and the CSV a spreadsheet reads.
#include <gtest/gtest.h>

#include "reports/Survey.h"
#include "support/CraftedDataFile.h"
#include "support/DateAt.h"
#include "support/PerTestPath.h"

namespace {
class Survey : public ::testing::Test {
protected:
    FilePath Write(const std::string& name, const CraftedMission& mission) {
        WriteDataFile(scratch.path / name, mission);
        return scratch.path / name;
    }
    static CraftedMission Mission(TDateTime start, int samples) {
        CraftedMission m;
        m.Start = start;
        m.Download = start + samples * 10 * kMinute + 5 * kMinute;
        m.Samples = samples;
        return m;
    }
    const SurveyRow& RowOf(const std::vector<SurveyRow>& rows, const std::string& name) {
        for (const auto& row : rows)
            if (row.File.ends_with("/" + name)) return row;
        ADD_FAILURE() << name << " not surveyed";
        return rows.front();
    }
    static std::string Notes(const SurveyRow& row) { return SurveyCells(row, TempScale::Celsius).back(); }

    ScratchFolder scratch{"kelvara-survey"};
    const TDateTime monday = At(2026, 12, 7, 9, 0, 0);
};
}  // namespace

TEST_F(Survey, EachNoteSaysWhatNeedsALook) {
    CraftedMission complete = Mission(monday, 30);
    CraftedMission stopped = Mission(monday, 12);
    stopped.Rom = "1100000000000121";
    stopped.Download = monday + 6 * 60 * kMinute;  // 6 h at 10 minutes allow 37 samples
    CraftedMission waiting;
    waiting.Rom = "2200000000000221";
    waiting.Running = true;
    waiting.Delay = 90;
    waiting.Download = monday;
    CraftedMission unused;
    unused.Rom = "3300000000000321";
    unused.Download = monday;
    CraftedMission empty = Mission(monday, 0);
    empty.Rom = "4400000000000421";
    CraftedMission running = Mission(monday, 3);
    running.Rom = "5500000000000521";
    running.Running = true;
    running.Download = monday + 10 * 60 * kMinute;

    const std::vector<FilePath> files{Write("complete.dmp", complete), Write("stopped.dmp", stopped),
                                      Write("waiting.dmp", waiting),   Write("unused.dmp", unused),
                                      Write("empty.dmp", empty),       Write("running.dmp", running),
                                      Write("again.dmp", complete),    scratch.path / "absent.dmp"};
    std::ofstream(scratch.path / "notes.txt") << "shopping list\r\n";
    std::vector<FilePath> withText = files;
    withText.push_back(scratch.path / "notes.txt");
    const auto rows = SurveyDataFiles(withText, false);
    ASSERT_EQ(rows.size(), 9u);

    EXPECT_EQ(Notes(RowOf(rows, "stopped.dmp")),
              "stopped before its end: 12 samples, where the time from start to download allows 37");
    EXPECT_EQ(Notes(RowOf(rows, "waiting.dmp")),
              "mission not started: it waits out its start delay of 90 minutes");
    EXPECT_EQ(Notes(RowOf(rows, "unused.dmp")), "mission not started: the device holds no mission");
    EXPECT_EQ(Notes(RowOf(rows, "empty.dmp")), "empty log: no samples were taken");
    // A mission still running, or one downloaded within a sample of its last, needs no note.
    EXPECT_EQ(Notes(RowOf(rows, "running.dmp")), "");
    EXPECT_EQ(Notes(RowOf(rows, "complete.dmp")), "same mission as " + RowOf(rows, "again.dmp").File);
    EXPECT_EQ(Notes(RowOf(rows, "again.dmp")), "same mission as " + RowOf(rows, "complete.dmp").File);
    EXPECT_NE(Notes(RowOf(rows, "absent.dmp")).find("cannot be read: Cannot open file"), std::string::npos);
    EXPECT_NE(Notes(RowOf(rows, "absent.dmp")).find("No such file or directory"), std::string::npos);
    EXPECT_NE(Notes(RowOf(rows, "notes.txt")).find("cannot be read: Its first line is \"shopping list\""),
              std::string::npos);

    // Started missions by start, then ROM; then those not started; unreadable files last.
    std::vector<std::string> order;
    for (const auto& row : rows) order.push_back(row.File.substr(row.File.rfind('/') + 1));
    EXPECT_EQ(order, (std::vector<std::string>{"stopped.dmp", "empty.dmp", "running.dmp", "again.dmp",
                                               "complete.dmp", "waiting.dmp", "unused.dmp", "absent.dmp",
                                               "notes.txt"}));
}

TEST_F(Survey, SummarisesTheLogAsTheListsShowIt) {
    CraftedMission m = Mission(monday, 2050);
    m.Rollover = true;  // two samples past the end: the log now starts with sample 2
    m.Download = monday + 2050 * 10 * kMinute;
    m.LogByte = [](int p) {
        return static_cast<std::uint8_t>(p == 0 ? 200 : p == 1 ? 0 : p == 5 ? 40 : 120);
    };
    m.Alarms = {{1, 3, 4}, {1, 100, 1}, {0, 7, 2}};
    const auto rows = SurveyDataFiles({Write("long.dmp", m)}, false);
    const auto cells = SurveyCells(rows.front(), TempScale::Celsius);
    const auto header = SurveyHeader(TempScale::Celsius);
    auto cell = [&](const std::string& column) {
        return cells[std::find(header.begin(), header.end(), column) - header.begin()];
    };
    EXPECT_EQ(cell("samples"), "2050");
    EXPECT_EQ(cell("mission_start"), "2026-12-07T09:00:00");
    EXPECT_EQ(cell("first_sample"), "2026-12-07T09:20:00");  // samples 0 and 1 were written over
    EXPECT_EQ(cell("last_sample"), "2026-12-21T14:30:00");
    EXPECT_EQ(cell("min_C"), "-40.000");  // byte 0 at position 1: sample 2049, the newest
    EXPECT_EQ(cell("max_C"), "60.000");
    EXPECT_EQ(cell("rollover"), "yes, rolled over");
    EXPECT_EQ(cell("high_alarms"), "2");
    EXPECT_EQ(cell("high_alarm_minutes"), "50");
    EXPECT_EQ(cell("low_alarms"), "1");
    EXPECT_EQ(cell("low_alarm_minutes"), "20");
    EXPECT_EQ(Notes(rows.front()), "");
    // 2045 samples at 20 degrees, and 60, -40 and -20: 40900 / 2048.
    EXPECT_EQ(cell("mean_C"), "19.971");

    const auto fahrenheit = SurveyDataFiles({scratch.path / "long.dmp"}, false);
    const auto fHeader = SurveyHeader(TempScale::Fahrenheit);
    EXPECT_NE(std::find(fHeader.begin(), fHeader.end(), "max_F"), fHeader.end());
    EXPECT_EQ(SurveyCells(fahrenheit.front(), TempScale::Fahrenheit)[16], "140.000");
}

TEST_F(Survey, NamesWithCommasQuotesAndAccentsReachTheSpreadsheetWhole) {
    CraftedMission m = Mission(monday, 3);
    m.Details = {"Zo\xEB", "O'Neil, \"Jo\"", "4b", "Hill School", "Pond, north", "line\rbreak"};
    const auto rows = SurveyDataFiles({Write("a, \"b\".dmp", m)}, false);
    const std::string csv = SurveyCsv(rows, TempScale::Celsius);
    EXPECT_TRUE(
        csv.starts_with("\xEF\xBB\xBF"
                        "file,rom,variant,first_name,surname,"));
    EXPECT_NE(csv.find(",Zo\xC3\xAB,\"O'Neil, \"\"Jo\"\"\",4b,Hill School,\"Pond, north\",line break,"),
              std::string::npos)
        << csv;
    EXPECT_NE(csv.find("a, \"\"b\"\".dmp\","), std::string::npos);
    // A name a spreadsheet would run as a formula stays text.
    m.Details[0] = "=HYPERLINK(\"x\")";
    m.Details[1] = "-Lee";
    const std::string formula = SurveyCsv(SurveyDataFiles({Write("f.dmp", m)}, false), TempScale::Celsius);
    EXPECT_NE(formula.find(",\"'=HYPERLINK(\"\"x\"\")\",'-Lee,"), std::string::npos) << formula;
    EXPECT_TRUE(csv.ends_with("\r\n"));
    // The text table keeps its columns under each other.
    const std::string text = SurveyText(rows, TempScale::Celsius);
    const auto lineBreak = text.find('\n');
    EXPECT_EQ(text.substr(0, lineBreak).find("rom"), text.substr(lineBreak + 1).find("6774F5A09E15EA21") - 0);
}
