#include <gtest/gtest.h>

#include "reports/ReportLines.h"

namespace {
const std::string kStart1 = "HIGH , start: 05/03/2004  14:20 ";
const std::string kEnd1 = "            end:  05/03/2004  14:50 ";
const std::string kStart2 = "LOW  , start: 06/03/2004  01:05 ";
const std::string kEnd2 = "            end:  06/03/2004  02:00 ";

class ReportLinesTest : public ::testing::Test {
protected:
    void SetUp() override {
        user = {"",
                "Ann                             ",
                "Smith",
                "4B",
                "Hill School",
                "Pond",
                "Water temperature"};
        s.Caption = "DS1921 iButton - A766554433221121";
        s.RomText = "A766554433221121";
        s.DownloadText = "05/03/2004 15:00:00";
        s.UserDetailCaptions = {
            "First Name: ", "Surname: ", "Class: ", "School Name: ", "Mission Title: ", "Description: "};
        s.UserTexts = user;
        s.MissionStatus = "ended";
        s.SampleRate = "10";
        s.RolloverEnable = "no";
        s.RolloverOccured = "n/a";
        s.MissionStart = "Friday  05/03/2004  14:00:00 ";
        s.MissionDelay = "0";
        s.MissionSamples = "3";
        s.DeviceCount = "1200";
        s.Degree = "(Celsius)";
        s.HighThreshold =
            "30.000\xB0"
            "C";
        s.LowThreshold =
            "5.000\xB0"
            "C";
        s.TempAlarm = "Conditional(H,L)  Alarm(H)";
        s.DeviceTime = "Friday  05/03/2004  15:00:00 ";
        s.PCTime = "Friday  05/03/2004  15:00:02 ";
        s.AlarmMode = "Alarm weekly";
        s.TimeAlarmSetting = "Monday 08:30:00";
        s.TimeAlarm = "Conditional(no)  Alarm(no)";
        s.LogSyntax = "Date, Time, Temperature";
        s.HistSyntax = "Temp Range , Count";
        alarms = {kStart1, kEnd1, kStart2, kEnd2};
        hist = {
            "-40.000\xB0"
            "C to -38.500\xB0"
            "C ,0",
            "-38.000\xB0"
            "C to -36.500\xB0"
            "C ,17"};
        log = {
            "05/03/2004 ,14:00 ,23.500\xB0"
            "C",
            "05/03/2004 ,14:10 ,24.000\xB0"
            "C",
            "05/03/2004 ,14:20 ,31.000\xB0"
            "C"};
        s.AlarmLines = alarms;
        s.HistLines = hist;
        s.LogLines = log;
    }
    std::vector<std::string> user, alarms, hist, log;
    ReportSource s;
};
}  // namespace

TEST_F(ReportLinesTest, AlarmPairJoinsIntoTheToForm) {
    const std::string joined = JoinAlarmPair(kStart1, kEnd1);
    EXPECT_EQ(joined, "HIGH ,  05/03/2004  14:20  to  05/03/2004  14:50 ");
    EXPECT_EQ(joined.size(), 49u);
    EXPECT_EQ(kStart1.size(), 32u);
    EXPECT_EQ(kEnd1.size(), 36u);
}

TEST_F(ReportLinesTest, FullReportLayout) {
    const auto lines = FullReportLines(s);
    ASSERT_EQ(lines.size(), 35u + 2 + 4 + 2 + 4 + 3 + 1);
    EXPECT_EQ(lines[0], s.Caption);
    EXPECT_EQ(lines[1], "Download at: 05/03/2004 15:00:00");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], "Mission Details");
    EXPECT_EQ(lines[4], "-------------");
    EXPECT_EQ(lines[5], "First Name: Ann                             ");
    EXPECT_EQ(lines[10], "Description: Water temperature");
    EXPECT_EQ(lines[12], "Mission State");
    EXPECT_EQ(lines[14], "Mission is ended");
    EXPECT_EQ(lines[15], "Sample rate: 10 minute(s)");
    EXPECT_EQ(lines[17], "Roll-Over Occured: n/a");
    EXPECT_EQ(lines[19], "Mission Start delay: 0 minute(s)");
    EXPECT_EQ(lines[22], "Temperatures displayed in: (Celsius)");
    EXPECT_EQ(lines[26], "Current Real-Time Clock from DS1921: Friday  05/03/2004  15:00:00 ");
    EXPECT_EQ(lines[27], "Current PC Time: Friday  05/03/2004  15:00:02 ");
    EXPECT_EQ(lines[30], "Alarm Time state: Conditional(no)  Alarm(no)");
    EXPECT_EQ(lines[31], "");
    EXPECT_EQ(lines[32], "Temperature Alarms");
    EXPECT_EQ(lines[33], "------------------");
    EXPECT_EQ(lines[34], "Format: [(HIGH/LOW), Time/Date range]");
    EXPECT_EQ(lines[35], "HIGH ,  05/03/2004  14:20  to  05/03/2004  14:50 ");
    EXPECT_EQ(lines[36], "LOW  ,  06/03/2004  01:05  to  06/03/2004  02:00 ");
    EXPECT_EQ(lines[37], "");
    EXPECT_EQ(lines[38], "Temperature Histogram");
    EXPECT_EQ(lines[39], "---------------------");
    EXPECT_EQ(lines[40], "Format: [Temp Range , Count] (Celsius)");
    EXPECT_EQ(lines[42], hist[1]);
    EXPECT_EQ(lines[43], "");
    EXPECT_EQ(lines[44], "Log Data");
    EXPECT_EQ(lines[45], "--------");
    EXPECT_EQ(lines[46], "Format: [Date, Time, Temperature] (Celsius)");
    EXPECT_EQ(lines[49], log[2]);
    EXPECT_EQ(lines.back(), "");
}

TEST_F(ReportLinesTest, MinuteOffsetViewAndNoneAreCopiedUnchanged) {
    std::vector<std::string> offsets{"HIGH , 120 - 180", "LOW  , 130 - 130"};
    s.AlarmLines = offsets;
    s.MinuteOffsetView = true;
    auto lines = FullReportLines(s);
    EXPECT_EQ(lines[34], "Format: [(HIGH/LOW), Minute Offset range]");
    EXPECT_EQ(lines[35], "HIGH , 120 - 180");
    EXPECT_EQ(lines[36], "LOW  , 130 - 130");

    std::vector<std::string> none{"none"};
    s.AlarmLines = none;
    s.MinuteOffsetView = false;
    lines = FullReportLines(s);
    EXPECT_EQ(lines[35], "none");
    EXPECT_EQ(lines[36], "");
}

TEST_F(ReportLinesTest, BinNumberViewAndEmptyLog) {
    std::vector<std::string> bins;
    for (int b = 0; b < 63; ++b) bins.push_back(std::to_string(b) + " ," + std::to_string(b * 2));
    s.HistLines = bins;
    s.HistSyntax = "Bin Number , Count";
    s.LogLines = {};
    const auto lines = FullReportLines(s);
    EXPECT_EQ(lines[40], "Format: [Bin Number , Count] (Celsius)");
    EXPECT_EQ(lines[41], "0 ,0");
    EXPECT_EQ(lines[103], "62 ,124");
    EXPECT_EQ(lines[105], "Log Data");
    EXPECT_EQ(lines[107], "Format: [Date, Time, Temperature] (Celsius)");
    EXPECT_EQ(lines[108], "");
    EXPECT_EQ(lines.size(), 109u);
}

TEST_F(ReportLinesTest, PrintedAlarmsShowBothFormsAndNoTrailingEmptyLine) {
    const auto summary = PrintedLines(s, false);
    ASSERT_EQ(summary.size(), 35u + 4);
    EXPECT_EQ(summary[34], "Format: [(HIGH/LOW), Time/Date range]");
    EXPECT_EQ(summary[35], kStart1 + " " + kEnd1);
    EXPECT_EQ(summary[36], "HIGH ,  05/03/2004  14:20  to  05/03/2004  14:50 ");
    EXPECT_EQ(summary[38], "LOW  ,  06/03/2004  01:05  to  06/03/2004  02:00 ");

    const auto full = PrintedLines(s, true);
    ASSERT_EQ(full.size(), 39u + 4 + 2 + 4 + 3);
    EXPECT_EQ(full[39], "");
    EXPECT_EQ(full[40], "Temperature Histogram");
    EXPECT_EQ(full.back(), log.back());

    std::vector<std::string> none{"none"};
    s.AlarmLines = none;
    EXPECT_EQ(PrintedLines(s, false).back(), "none");
}

TEST_F(ReportLinesTest, CsvLayoutAForThirteenRows) {
    std::vector<std::string> rows(13, "r");
    const auto lines = CsvLines(s, "Date, Time, Temperature", rows);
    ASSERT_EQ(lines.size(), 14u + 13);
    EXPECT_EQ(lines[0], ",,iButton,A766554433221121");
    EXPECT_EQ(lines[1], ",,Download at,05/03/2004 15:00:00");
    EXPECT_EQ(lines[2], ",,Mission Start time,Friday  05/03/2004  14:00:00 ");
    EXPECT_EQ(lines[3], ",,Mission Start delay,0 minute(s)");
    EXPECT_EQ(lines[4], ",,Sample rate,10 minute(s)");
    EXPECT_EQ(lines[5],
              ",,High Threshold,30.000\xB0"
              "C");
    EXPECT_EQ(lines[6],
              ",,Low Threshold,5.000\xB0"
              "C");
    EXPECT_EQ(lines[7], ",,First Name: ,Ann                             ");
    EXPECT_EQ(lines[12], ",,Description: ,Water temperature");
    EXPECT_EQ(lines[13], "Date, Time, Temperature");
    EXPECT_EQ(lines[14], "r");

    const auto empty = CsvLines(s, "Date, Time, Temperature", {});
    EXPECT_EQ(empty.size(), 14u);
}

TEST_F(ReportLinesTest, CsvLayoutBForFourteenRows) {
    std::vector<std::string> rows;
    for (int i = 0; i < 14; ++i) rows.push_back("row" + std::to_string(i));
    const auto lines = CsvLines(s, "Temp Range , Count", rows);
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[0], "Temp Range , Count,iButton,A766554433221121");
    EXPECT_EQ(lines[1], "row0,Download,05/03/2004 15:00:00");
    EXPECT_EQ(lines[2], "row1,First Name: ,Ann                             ");
    EXPECT_EQ(lines[7], "row6,Description: ,Water temperature");
    EXPECT_EQ(lines[8], "row7,Mission Start time,Friday  05/03/2004  14:00:00 ");
    EXPECT_EQ(lines[9], "row8,Mission Start delay,0 minute(s)");
    EXPECT_EQ(lines[10], "row9,Sample rate,10 minute(s)");
    EXPECT_EQ(lines[11],
              "row10,High Threshold,30.000\xB0"
              "C");
    EXPECT_EQ(lines[12],
              "row11,Low Threshold,5.000\xB0"
              "C");
    EXPECT_EQ(lines[13], "row12");
    EXPECT_EQ(lines[14], "row13");
}

TEST_F(ReportLinesTest, CsvQuotesAFactOrDetailWithACommaQuoteOrLineBreakAndNothingElse) {
    user[6] = "fridge, one week";
    user[5] = "The \"cold\" room";
    s.UserTexts = user;
    s.UserDetailCaptions[2] = "Class, group: ";
    s.MissionStart = "5,3,2004";
    const std::vector<std::string> few(2, "r,1");
    const auto a = CsvLines(s, "Date, Time, Temperature", few);
    EXPECT_EQ(a[2], ",,Mission Start time,\"5,3,2004\"");
    EXPECT_EQ(a[9], ",,\"Class, group: \",4B");
    EXPECT_EQ(a[11], ",,Mission Title: ,\"The \"\"cold\"\" room\"");
    EXPECT_EQ(a[12], ",,Description: ,\"fridge, one week\"");
    EXPECT_EQ(a[13], "Date, Time, Temperature") << "the format label names the rows' columns";
    EXPECT_EQ(a[14], "r,1");

    std::vector<std::string> many(14, "r,1");
    const auto b = CsvLines(s, "Date, Time, Temperature", many);
    EXPECT_EQ(b[0], "Date, Time, Temperature,iButton,A766554433221121");
    EXPECT_EQ(b[7], "r,1,Description: ,\"fridge, one week\"");
    EXPECT_EQ(b[8], "r,1,Mission Start time,\"5,3,2004\"");
    EXPECT_EQ(b[13], "r,1");
}

TEST_F(ReportLinesTest, TheDescriptionContinuesOnPage7WhenThatHoldsMoreThanBlanks) {
    user.resize(8);
    user[7] = std::string(32, ' ');
    s.UserTexts = user;
    EXPECT_EQ(FullReportLines(s)[10], "Description: Water temperature");
    user[6] = "Water temperature inside the cla";
    user[7] = "ssroom fridge" + std::string(19, ' ');
    s.UserTexts = user;
    EXPECT_EQ(FullReportLines(s)[10],
              "Description: Water temperature inside the classroom fridge" + std::string(19, ' '));
    EXPECT_EQ(PrintedLines(s, false)[10], FullReportLines(s)[10]);
    EXPECT_EQ(CsvLines(s, "x", {})[12],
              ",,Description: ,Water temperature inside the classroom fridge" + std::string(19, ' '));
}

TEST(ReportText, JoinProposalAndCaption) {
    const std::vector<std::string> lines{"a", "", "b"};
    EXPECT_EQ(JoinCrLf(lines), "a\r\n\r\nb\r\n");
    EXPECT_EQ(ProposedFileName("", "ROM"), "ROM");
    EXPECT_EQ(ProposedFileName(" ", "ROM"), "ROM");
    EXPECT_EQ(ProposedFileName(std::string(32, ' '), "ROM"), "ROM");
    EXPECT_EQ(ProposedFileName("Pond 3/4" + std::string(24, ' '), "ROM"), "Pond 3_4");
    EXPECT_EQ(RomTextOfCaption("DS1921 iButton - 0F4F200000000021"), "0F4F200000000021");
    EXPECT_EQ(RomTextOfCaption("My logger "), "My logger");
}

TEST(ReportText, FixedDateTimeText) {
    TDateTime t = 0;
    ASSERT_TRUE(TryEncodeDateTime(2004, 3, 5, 14, 7, 9, 0, t));
    EXPECT_EQ(FixedDateTimeText(t), "05/03/2004 14:07:09");
}
