// "Graph..." and "Chart..." on a loaded data file: what the buttons hand the
// chart windows, the not-enough-data box, and the one window of each kind.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/ChartWindows.h"
#include "app/TTRecForm.h"
#include "support/ScriptedDriver.h"
#include "support/ScriptedPlatform.h"

namespace {
struct RecordedCharts : ChartWindows {
    std::vector<std::string> calls;
    LogGraphInput log;
    HistogramGraphInput histogram;
    GraphDetails details;
    void DestroyChartWindow(ChartKind kind) override {
        calls.push_back(kind == ChartKind::Log ? "destroy log" : "destroy histogram");
    }
    void ShowLogGraph(const LogGraphInput& input, const GraphDetails& d) override {
        calls.push_back("log");
        log = input;
        details = d;
    }
    void ShowHistogramGraph(const HistogramGraphInput& input, const GraphDetails& d) override {
        calls.push_back("histogram");
        histogram = input;
        details = d;
    }
};

class GraphButtons : public ::testing::Test {
protected:
    void SetUp() override {
        form.FormCreate({});
        form.LoadCmd(FilePath((std::filesystem::path(KELVARA_TEST_DATA_DIR) / "demo-mission.dmp").string()));
        ASSERT_TRUE(form.OfflineMode());
        form.Charts = &charts;
        platform.Boxes.clear();
    }
    TDateTime Minutes(double n) { return n * kMinute; }

    ScriptedPlatform platform;
    ScriptedDriver driver;
    TTRecForm form{platform, driver};
    RecordedCharts charts;
};
}  // namespace

TEST(GraphInputs, TheTimeCaptionHasTwoBlanksBetweenDateAndTimeAndOneAroundEach) {
    TDateTime a = 0, b = 0;
    ASSERT_TRUE(TryEncodeDateTime(2004, 3, 5, 14, 7, 59, 0, a));
    ASSERT_TRUE(TryEncodeDateTime(2004, 3, 6, 9, 0, 0, 0, b));
    EXPECT_EQ(GraphTimeText(a), " 05/03/2004  14:07 ");
    EXPECT_EQ(GraphTimeCaption(a, b), " 05/03/2004  14:07  to  06/03/2004  09:00 ");
}

TEST(GraphInputs, TheOtherVariantsHaveHalfDegreeBins) {
    EXPECT_EQ(HistogramBinsOf(DeviceVariant::HumanBody).FirstBinStart, 14.5);
    EXPECT_EQ(HistogramBinsOf(DeviceVariant::LowTemp).FirstBinStart, -5.5);
    EXPECT_EQ(HistogramBinsOf(DeviceVariant::LowTemp).BinWidth, 0.5);
}

TEST_F(GraphButtons, ALoadedFileEnablesTheButtonsAndAResetDisablesThem) {
    EXPECT_TRUE(form.GraphLogButton.Enabled);
    EXPECT_TRUE(form.GraphHistButton.Enabled);
    EXPECT_TRUE(form.GraphAlarmsCheck.Enabled);
    form.ClearResults();
    EXPECT_FALSE(form.GraphLogButton.Enabled);
    EXPECT_FALSE(form.GraphHistButton.Enabled);
}

TEST_F(GraphButtons, TheLogGraphGetsTheListedLogAndItsTimes) {
    form.GraphLogButtonClick();
    ASSERT_EQ(charts.calls, std::vector<std::string>{"log"});
    const LogGraphInput& in = charts.log;
    EXPECT_EQ(in.Count, 288);
    EXPECT_TRUE(std::equal(in.Values.begin(), in.Values.end(), form.LogTemperatures.begin()));
    EXPECT_EQ(in.StartTime, form.MissionStart);
    EXPECT_EQ(in.Caption, GraphTimeCaption(form.MissionStart, form.MissionStart + Minutes(2880)));
    EXPECT_EQ(in.XTitle, "Date/Time");
    EXPECT_EQ(in.UnitText,
              "\xB0"
              "C");
    EXPECT_FALSE(in.IncludeAlarms);
    EXPECT_EQ(charts.details.RomText, "6774F5A09E15EA21");
    EXPECT_EQ(charts.details.MissionStart, form.MissionStartLabel.Caption);
}

TEST_F(GraphButtons, FahrenheitReachesTheLogGraphButTheHistogramStaysInCelsius) {
    form.MenuFahrenheitClick();
    form.GraphAlarmsCheck.Checked = true;
    form.GraphLogButtonClick();
    form.GraphHistButtonClick();
    EXPECT_EQ(charts.log.UnitText,
              "\xB0"
              "F");
    EXPECT_TRUE(charts.log.IncludeAlarms);
    EXPECT_GT(charts.log.Values[0], 50.0);  // a classroom in Fahrenheit
    EXPECT_EQ(charts.log.HighThreshold, form.HighThresholdValue);
    EXPECT_GT(charts.log.HighThreshold, 70.0);
    EXPECT_EQ(charts.histogram.XTitle,
              "Temp Range \xB0"
              "C");
    EXPECT_EQ(charts.histogram.FirstBinStart, -40.0);
    EXPECT_EQ(charts.histogram.BinWidth, 2.0);
}

TEST_F(GraphButtons, TheMinuteOffsetViewAndNoUnitReachTheGraph) {
    form.MenuShowFCClick();
    form.LogRadio.Select(1);
    form.LogRadioClick();
    form.GraphLogButtonClick();
    EXPECT_EQ(charts.log.UnitText, "");
    EXPECT_EQ(charts.log.XMode, 1);
    EXPECT_EQ(charts.log.XTitle, "Minute Offset ");
}

TEST_F(GraphButtons, ARolledOverLogIsCaptionedFromItsOldestListedSample) {
    form.Image.RegisterPage[Reg::Control] |= Reg::ControlRollover;
    form.LogSampleCount = 3000;
    form.GraphLogButtonClick();
    EXPECT_EQ(charts.log.Count, 2048);
    const TDateTime first = form.MissionStart + Minutes(952 * 10);
    EXPECT_NEAR(charts.log.StartTime, first, 1e-9);
    EXPECT_EQ(charts.log.Caption, GraphTimeCaption(first, first + Minutes(2048 * 10)));

    form.Image.RegisterPage[Reg::Control] &= ~Reg::ControlRollover;
    form.GraphLogButtonClick();
    EXPECT_EQ(charts.log.Count, 2048);
    EXPECT_EQ(charts.log.StartTime, form.MissionStart);
}

TEST_F(GraphButtons, TheHistogramGetsItsCountsBinsAndTheBinNumberTitle) {
    form.HistRadio.Select(2);
    form.HistRadioClick();
    form.GraphHistButtonClick();
    ASSERT_EQ(charts.calls, std::vector<std::string>{"histogram"});
    EXPECT_EQ(charts.histogram.Counts, form.HistogramCounts);
    EXPECT_EQ(charts.histogram.Counts[63], 0);
    EXPECT_EQ(charts.histogram.XMode, 2);
    EXPECT_EQ(charts.histogram.XTitle, "Bin Number ");
    EXPECT_EQ(charts.histogram.Caption,
              GraphTimeCaption(form.MissionStart, form.MissionStart + Minutes(2880)));
    // With no log downloaded the mission's own sample counter spans the caption.
    form.LogSampleCount = 0;
    form.GraphHistButtonClick();
    EXPECT_EQ(charts.histogram.Caption,
              GraphTimeCaption(form.MissionStart, form.MissionStart + Minutes(form.MissionSamples * 10.0)));
}

TEST_F(GraphButtons, PressingAgainReplacesTheWindowAndAClosedOneIsNotDestroyedTwice) {
    form.GraphLogButtonClick();
    form.GraphLogButtonClick();
    EXPECT_EQ(charts.calls, (std::vector<std::string>{"log", "destroy log", "log"}));
    EXPECT_TRUE(form.LogChartOpen);
    form.ChartWindowClosed(false);
    EXPECT_FALSE(form.LogChartOpen);
    form.GraphLogButtonClick();
    EXPECT_EQ(charts.calls.back(), "log");
    EXPECT_EQ(charts.calls.size(), 4u);
}

TEST_F(GraphButtons, OneLineOfLogIsNotEnoughAndLeavesAnOpenWindowAlone) {
    form.GraphLogButtonClick();
    form.LogList.Items.resize(1);
    form.GraphLogButtonClick();
    EXPECT_EQ(charts.calls, std::vector<std::string>{"log"});
    EXPECT_TRUE(form.LogChartOpen);
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Text, "There is not enough data to graph!");
    EXPECT_EQ(platform.Boxes[0].Caption, "Kelvara");
    EXPECT_EQ(platform.Boxes[0].Icon, MsgIcon::Exclamation);
    EXPECT_EQ(platform.Boxes[0].Buttons, MsgButtons::Ok);
}

TEST_F(GraphButtons, ClosingTheMainWindowDestroysBothChartWindowsFirst) {
    form.GraphLogButtonClick();
    form.GraphHistButtonClick();
    form.FormClose();
    EXPECT_EQ(charts.calls,
              (std::vector<std::string>{"log", "histogram", "destroy histogram", "destroy log"}));
    EXPECT_FALSE(form.LogChartOpen);
    EXPECT_FALSE(form.HistogramChartOpen);
    EXPECT_TRUE(platform.Terminated);
}

TEST_F(GraphButtons, ThePrintedDetailsSkipEmptyTextsAndUseTheReportsCaptions) {
    form.UserTexts.fill("");
    form.UserTexts[1] = "Ada";
    form.UserTexts[5] = "Pond   ";
    form.GraphLogButtonClick();
    EXPECT_EQ(charts.details.UserDetailLines,
              (std::vector<std::string>{form.UserDetailCaptions[0] + "Ada",
                                        form.UserDetailCaptions[4] + "Pond   "}));
    EXPECT_EQ(charts.details.MissionTitle, "Pond");
}

TEST_F(GraphButtons, TheDescriptionPrintedRunsOnToItsSecondPage) {
    form.UserTexts.fill("");
    form.UserTexts[6] = std::string(32, 'a');
    form.UserTexts[7] = "b, the rest";
    form.GraphLogButtonClick();
    ASSERT_EQ(charts.details.UserDetailLines.size(), 1u);
    EXPECT_EQ(charts.details.UserDetailLines[0], form.UserDetailCaptions[5] + std::string(32, 'a') + "b, the rest");
}
