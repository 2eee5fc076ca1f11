// The class table: every sample once, in long form and lined up by minute.
#include <gtest/gtest.h>

#include "reports/LogTable.h"
#include "support/CraftedDataFile.h"
#include "support/DateAt.h"
#include "support/PerTestPath.h"

namespace {
class LogTable : public ::testing::Test {
protected:
    // Ann's logger every minute from 10:00, Bo's every two minutes from 10:02, and Ann's
    // file downloaded once more, earlier, under another name.
    void SetUp() override {
        CraftedMission ann;
        ann.Rom = "AA00000000000121";
        ann.Start = At(2026, 12, 7, 10, 0, 0);
        ann.Rate = 1;
        ann.Samples = 5;
        ann.Running = true;
        ann.Download = ann.Start + 5 * kMinute;
        ann.Details = {"Ann", "Lee, \"Jr\"", "4b", "", "Pond, north", ""};
        CraftedMission early = ann;
        early.Samples = 3;
        early.Download = ann.Start + 3 * kMinute;
        CraftedMission bo;
        bo.Rom = "BB00000000000221";
        bo.Start = At(2026, 12, 7, 10, 2, 0);
        bo.Rate = 2;
        bo.Samples = 3;
        bo.Running = true;
        bo.Download = bo.Start + 6 * kMinute;
        bo.LogByte = [](int p) { return static_cast<std::uint8_t>(130 + p); };
        WriteDataFile(scratch.path / "ann.dmp", ann);
        WriteDataFile(scratch.path / "ann-monday.dmp", early);
        WriteDataFile(scratch.path / "bo.dmp", bo);
        rows = SurveyDataFiles(
            {scratch.path / "ann-monday.dmp", scratch.path / "bo.dmp", scratch.path / "ann.dmp"}, true);
    }
    static std::vector<std::string> Lines(const std::string& csv) {
        std::vector<std::string> lines;
        for (const auto line : SplitLines(csv)) lines.emplace_back(line);
        return lines;
    }

    ScratchFolder scratch{"kelvara-log-table"};
    std::vector<SurveyRow> rows;
};
}  // namespace

TEST_F(LogTable, WideTableLinesLoggersUpByTheMinute) {
    EXPECT_EQ(Lines(WideTableCsv(rows, TempScale::Celsius)),
              (std::vector<std::string>{
                  "\xEF\xBB\xBFtime,\"Ann Lee, \"\"Jr\"\" (AA00000000000121)\",BB00000000000221",
                  "2026-12-07T10:00:00,10.000,", "2026-12-07T10:01:00,10.500,",
                  "2026-12-07T10:02:00,11.000,25.000", "2026-12-07T10:03:00,11.500,",
                  "2026-12-07T10:04:00,12.000,25.500", "2026-12-07T10:06:00,,26.000"}));
}

TEST_F(LogTable, LongTableHoldsEachSampleOnceWithWhoLoggedIt) {
    const auto lines = Lines(LongTableCsv(rows, TempScale::Celsius));
    ASSERT_EQ(lines.size(), 9u);  // the header, Ann's 5 samples from the later download, Bo's 3
    EXPECT_EQ(lines[0], "\xEF\xBB\xBFrom,mission_title,first_name,surname,time,temperature_C");
    EXPECT_EQ(lines[1],
              "AA00000000000121,\"Pond, north\",Ann,\"Lee, \"\"Jr\"\"\",2026-12-07T10:00:00,10.000");
    EXPECT_EQ(lines[5],
              "AA00000000000121,\"Pond, north\",Ann,\"Lee, \"\"Jr\"\"\",2026-12-07T10:04:00,12.000");
    EXPECT_EQ(lines[8], "BB00000000000221,,,,2026-12-07T10:06:00,26.000");
    const std::string fahrenheit = Lines(LongTableCsv(rows, TempScale::Fahrenheit))[1];
    EXPECT_EQ(fahrenheit.substr(fahrenheit.rfind(',') + 1), "50.000");
}

TEST_F(LogTable, OneDeviceWithTwoMissionsGetsTwoColumns) {
    CraftedMission later;
    later.Rom = "BB00000000000221";
    later.Start = At(2026, 12, 8, 9, 0, 0);
    later.Rate = 60;
    later.Samples = 1;
    later.Running = true;
    later.Download = later.Start + kMinute;
    WriteDataFile(scratch.path / "bo-tuesday.dmp", later);
    const auto both = SurveyDataFiles({scratch.path / "bo.dmp", scratch.path / "bo-tuesday.dmp"}, true);
    EXPECT_EQ(Lines(WideTableCsv(both, TempScale::Celsius)).front(),
              "\xEF\xBB\xBFtime,BB00000000000221 from 2026-12-07T10:02:00,BB00000000000221 from "
              "2026-12-08T09:00:00");
}
