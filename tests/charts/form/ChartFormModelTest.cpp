// The chart window's decisions on a screen-free chart: PlotLog's Y range and X
// modes, PlotHistogram's bins, zoom, the save dialog, the printed lines, closing.
#include <gtest/gtest.h>

#include <stdexcept>

#include "charts/form/ChartFormModel.h"
#include "charts/stripchart/core/TestChart.h"
#include "support/ScriptedPlatform.h"

namespace {
class ChartForm : public ::testing::Test {
protected:
    ChartForm() { ApplyGraphDesign(chart); }

    LogGraphInput Log(std::vector<double> values, int xMode = 0) {
        LogGraphInput in;
        in.Count = static_cast<int>(values.size());
        in.Values = std::move(values);
        in.StartTime = 46000.0;
        in.XMode = xMode;
        in.SampleRateMinutes = 10;
        in.HighThreshold = 30;
        in.LowThreshold = 10;
        in.UnitText =
            "\xB0"
            "C";
        in.YTitle = "Temperature";
        in.XTitle = xMode == 0 ? "Date/Time" : "Minute Offset ";
        in.Caption = " 01/12/2025  00:00  to  01/12/2025  01:00 ";
        in.Title = "Datalogging Results";
        return in;
    }
    HistogramGraphInput Histogram(int xMode = 0) {
        HistogramGraphInput in;
        in.XMode = xMode;
        in.XTitle =
            "Temp Range \xB0"
            "C";
        in.YTitle = "Count";
        in.Title = "Histogram";
        return in;
    }
    double Value(int channel, int index) {
        bool null = false;
        return chart.GetChannel(channel).GetValue(index, null);
    }

    TestChart chart;
    ScriptedPlatform platform;
    int begins = 0, ends = 0;
    ChartFormModel form{chart, platform, [this] { ++begins; }, [this] { ++ends; }};
};
}  // namespace

TEST_F(ChartForm, TheDesignGivesThreeChannelsInTheFormsOrder) {
    ASSERT_EQ(chart.ChannelCount(), 3);
    EXPECT_EQ(chart.GetChannel(0).Name, "Temp");
    EXPECT_EQ(chart.GetChannel(0).Color, ChartColor(0, 255, 64));
    EXPECT_EQ(chart.GetChannel(0).LineWidth, 2);
    EXPECT_EQ(chart.GetChannel(1).Name, "High Alarm");
    EXPECT_EQ(chart.GetChannel(1).Color, ChartColor(255, 0, 0));
    EXPECT_EQ(chart.GetChannel(2).Name, "Low Alarm");
    EXPECT_EQ(chart.GetChannel(2).Color, ChartColor(0, 0, 255));
    EXPECT_EQ(chart.XAxisTickMajorCount(), 5);
    EXPECT_EQ(chart.XAxisTickMinorCount(), 5);
    EXPECT_EQ(chart.YAxisTickMinorCount(), 4);
    EXPECT_EQ(chart.XAxisDateTimeFormatString(), "d mmm hh:nn");
    EXPECT_EQ(chart.GridBackGroundColor(), ChartColors::White);
    EXPECT_EQ(chart.XAxisTickMajorColor(), ChartColor(64, 0, 64));
}

TEST_F(ChartForm, TwoSamplesGiveTwoPointsAndTheRangeRule) {
    form.PlotLog(Log({20.0, 22.0}));
    EXPECT_EQ(chart.TimeIndexCount(), 2);
    // range 2: an eighth of it beyond each end.
    EXPECT_DOUBLE_EQ(chart.YAxisMin(), 19.75);
    EXPECT_DOUBLE_EQ(chart.YAxisMax(), 22.25);
    EXPECT_EQ(chart.YAxisLabelPrecision(), 3);
    EXPECT_EQ(chart.ToolBarMode(), scmScrollXY);
    EXPECT_FALSE(form.IsHistogram);
    EXPECT_EQ(form.Caption, " 01/12/2025  00:00  to  01/12/2025  01:00 ");
    EXPECT_EQ(begins, 1);
    EXPECT_EQ(ends, 1);
}

TEST_F(ChartForm, AFlatLogTakesItsValueAsTheRangeAndATinyOneAFifth) {
    form.PlotLog(Log({21.5, 21.5, 21.5}));
    EXPECT_DOUBLE_EQ(chart.YAxisMin(), 18.8125);
    EXPECT_DOUBLE_EQ(chart.YAxisMax(), 24.1875);
    form.PlotLog(Log({-5.0, -5.0}));
    EXPECT_DOUBLE_EQ(chart.YAxisMin(), -5.025);
    EXPECT_DOUBLE_EQ(chart.YAxisMax(), -4.975);
}

TEST_F(ChartForm, DateTimeModeRunsFromTheStartTimeByTheSampleRate) {
    form.PlotLog(Log({20, 21, 22, 23, 24, 25}));
    EXPECT_TRUE(chart.XAxisDateTimeEnabled());
    EXPECT_DOUBLE_EQ(chart.TimeIndex(0), 46000.0);
    EXPECT_NEAR(chart.TimeIndex(5), 46000.0 + 50.0 / 1440, 1e-9);
    // Auto-scroll has moved the window of one log span onto the data.
    EXPECT_NEAR(chart.XAxisMin(), 46000.0, 1e-6);
    EXPECT_NEAR(chart.XAxisMax() - chart.XAxisMin(), 60.0 / 1440, 1e-9);
    EXPECT_EQ(chart.XAxisTitle(), "Date/Time");
    EXPECT_EQ(chart.YAxisTitle(),
              "Temperature\xB0"
              "C");
}

TEST_F(ChartForm, MinuteOffsetModeCountsSamplesWhateverTheRate) {
    form.PlotLog(Log({20, 21, 22, 23}, 1));
    EXPECT_FALSE(chart.XAxisDateTimeEnabled());
    for (int i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(chart.TimeIndex(i), i);
    EXPECT_DOUBLE_EQ(chart.XAxisMin(), 0);
    EXPECT_DOUBLE_EQ(chart.XAxisMax(), 4);
    EXPECT_EQ(chart.XAxisTitle(), "Minute Offset ");
}

TEST_F(ChartForm, WithoutAUnitTheYTitleIsTemperatureAlone) {
    LogGraphInput in = Log({20, 21});
    in.UnitText.clear();
    form.PlotLog(in);
    EXPECT_EQ(chart.YAxisTitle(), "Temperature");
}

TEST_F(ChartForm, ThresholdsAreTwoFlatChannelsThatAutoScaleKeepsInView) {
    LogGraphInput in = Log({20, 21, 22});
    in.IncludeAlarms = true;
    form.PlotLog(in);
    for (int i = 0; i < 3; ++i) {
        EXPECT_DOUBLE_EQ(Value(1, i), 30);
        EXPECT_DOUBLE_EQ(Value(2, i), 10);
    }
    EXPECT_GT(chart.YAxisMax(), 30);
    EXPECT_LT(chart.YAxisMin(), 10);
}

TEST_F(ChartForm, ThresholdsLeftOutLeaveTwoEmptyChannelsStillInTheLegend) {
    form.PlotLog(Log({20, 21, 22}));
    EXPECT_EQ(chart.GetChannel(1).LastDataIndex(), -1);
    EXPECT_EQ(chart.GetChannel(2).LastDataIndex(), -1);
    EXPECT_TRUE(chart.ShowLegend());
    for (int c = 0; c < 3; ++c) EXPECT_TRUE(chart.GetChannel(c).ShowInLegend);
    EXPECT_DOUBLE_EQ(chart.YAxisMax(), 22.25);
}

TEST_F(ChartForm, TheHistogramDrawsFourPointsABinOnTheZeroLine) {
    HistogramGraphInput in = Histogram();
    in.Counts[0] = 3;
    in.Counts[10] = 7;
    form.PlotHistogram(in);
    ASSERT_EQ(chart.TimeIndexCount(), 1 + 64 * 4);
    for (int i = 1; i < chart.TimeIndexCount(); ++i) ASSERT_GT(chart.TimeIndex(i), chart.TimeIndex(i - 1));
    EXPECT_DOUBLE_EQ(chart.TimeIndex(0), -40.0);
    EXPECT_DOUBLE_EQ(Value(0, 0), 0);
    // Bin 10: up at its start, across its width, down again.
    const int first = 1 + 10 * 4;
    EXPECT_DOUBLE_EQ(Value(0, first), 7);
    EXPECT_DOUBLE_EQ(Value(0, first + 1), 7);
    EXPECT_DOUBLE_EQ(Value(0, first + 2), 0);
    EXPECT_NEAR(chart.TimeIndex(first + 1) - chart.TimeIndex(first), 2.0, 1e-12);
    EXPECT_NEAR(chart.TimeIndex(first), -40.0 + 10 * 2.00003 + 0.00001, 1e-9);
    EXPECT_TRUE(form.IsHistogram);
    EXPECT_FALSE(chart.ShowLegend());
    EXPECT_FALSE(chart.InterpolateMissingDataPoints());
    EXPECT_DOUBLE_EQ(chart.YAxisMin(), 0);
    // The largest bin reached the top: auto-scale keeps a minor step above it.
    EXPECT_NEAR(chart.YAxisMax(), 7.0 * 20 / 19, 0.01);
    EXPECT_EQ(chart.ToolBarMode(), scmScrollXY);
}

TEST_F(ChartForm, AnEmptyHistogramHasMaxCountOneAndFlatOutlines) {
    form.PlotHistogram(Histogram());
    EXPECT_DOUBLE_EQ(chart.YAxisMin(), 0);
    EXPECT_DOUBLE_EQ(chart.YAxisMax(), 1);
    for (int i = 0; i < chart.TimeIndexCount(); ++i) ASSERT_DOUBLE_EQ(Value(0, i), 0);
}

TEST_F(ChartForm, BinNumberModeSpansSixtyThreeAndScrollsByTheOvershoot) {
    form.PlotHistogram(Histogram(2));
    EXPECT_NEAR(chart.XAxisMin(), 1.002, 0.0005);
    EXPECT_NEAR(chart.XAxisMax(), 64.002, 0.0005);
    EXPECT_DOUBLE_EQ(chart.TimeIndex(0), 0);
    EXPECT_NEAR(chart.TimeIndex(2) - chart.TimeIndex(1), 1.0, 1e-12);
}

TEST_F(ChartForm, ZoomHandlersScaleTheirAxesAboutTheCentre) {
    form.PlotLog(Log({20, 21, 22, 23}, 1));
    const double x = chart.XAxisMax() - chart.XAxisMin(), y = chart.YAxisMax() - chart.YAxisMin();
    auto spans = [&] {
        return std::pair(chart.XAxisMax() - chart.XAxisMin(), chart.YAxisMax() - chart.YAxisMin());
    };
    form.ZoomIn1Click();
    EXPECT_EQ(spans(), std::pair(x / 2, y / 2));
    form.ZoomOut2Click();
    EXPECT_EQ(spans(), std::pair(x, y));
    form.Zoom2Click();
    EXPECT_EQ(spans(), std::pair(x / 2, y));
    form.ZoomOutXaxis1Click();
    form.ZoomINYaxis1Click();
    EXPECT_EQ(spans(), std::pair(x, y / 2));
    form.ZoomOutYaxis1Click();
    form.ZoomIn2Click();
    form.ZoomOut1Click();
    EXPECT_EQ(spans(), std::pair(x, y));
}

TEST_F(ChartForm, SaveAsksWithTheGraphDialogThenStartsInTheSavePath) {
    form.Details.SavePath = FilePath("/home/class/graphs");
    std::vector<std::string> saved;
    form.SavePicture = [&](const FilePath& path) { saved.push_back(path.Native()); };
    platform.SaveAnswers = {std::nullopt, std::string("/tmp/pond.svg")};
    form.menuSaveGraphClick();
    form.menuSaveGraphClick();
    ASSERT_EQ(platform.SaveRequests.size(), 2u);
    const FileDialogRequest& first = platform.SaveRequests[0];
    EXPECT_EQ(first.Title, "Save Graph...");
    EXPECT_EQ(first.DefaultExt, "emf");
    EXPECT_EQ(first.FileName, "untitled.emf");
    EXPECT_EQ(first.Filter.rfind("Enhanced Meta File (emf)|*.emf|", 0), 0u);
    EXPECT_NE(first.Filter.find("|*.svg"), std::string::npos);
    EXPECT_EQ(first.FilterIndex, 1);
    EXPECT_TRUE(first.OverwritePrompt);
    EXPECT_TRUE(first.PathMustExist);
    EXPECT_TRUE(first.InitialDir.empty());  // the system's default folder
    EXPECT_EQ(platform.SaveRequests[1].InitialDir.Native(), "/home/class/graphs");
    EXPECT_EQ(saved, std::vector<std::string>{"/tmp/pond.svg"});
}

TEST_F(ChartForm, AFailedSaveShowsTheSystemsMessageAndTheWindowStays) {
    form.SavePicture = [](const FilePath&) { throw std::runtime_error("Permission denied"); };
    int releases = 0;
    form.Release = [&] { ++releases; };
    platform.SaveAnswers = {std::string("/root/x.emf")};
    form.menuSaveGraphClick();
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Text, "Permission denied");
    EXPECT_EQ(platform.Boxes[0].Caption, "Kelvara");
    EXPECT_EQ(releases, 0);
}

TEST_F(ChartForm, PrintingPutsTheBlockOfLinesUnderTheGraph) {
    form.Details.RomText = "6774F5A09E15EA21";
    form.Details.UserDetailLines = {"First name: Ada", "Mission title: Pond"};
    form.Details.MissionStart = "07/12/2026  20:32";
    form.Details.MissionDelay = "0";
    form.Details.SampleRate = "10";
    form.Details.HighThreshold =
        "30.000\xB0"
        "C";
    form.Details.LowThreshold =
        "10.000\xB0"
        "C";
    int prints = 0;
    form.PrintPicture = [&] { ++prints; };
    chart.AddPrintLine("left over");
    form.mnuPrintClick();
    EXPECT_EQ(prints, 1);
    const std::vector<std::string> expected{"",
                                            "Kelvara Graph",
                                            "Kelvara classroom datalogging",
                                            "www.kelvara.org",
                                            "",
                                            "iButton: 6774F5A09E15EA21",
                                            "First name: Ada",
                                            "Mission title: Pond",
                                            "",
                                            "Mission Start time: 07/12/2026  20:32",
                                            "Mission Start delay: 0 minute(s)",
                                            "Sample rate: 10 minute(s)",
                                            "High Alarm Threshold: 30.000\xB0"
                                            "C",
                                            "Low Alarm Threshold: 10.000\xB0"
                                            "C"};
    EXPECT_EQ(chart.PrintLines(), expected);
}

TEST_F(ChartForm, APrinterErrorReachesTheUser) {
    form.PrintPicture = [] { throw std::runtime_error("Could not initialize printer DeviceMode Structure"); };
    form.mnuPrintClick();
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Text, "Could not initialize printer DeviceMode Structure");
}

TEST_F(ChartForm, ClosingTellsTheOwnerItsKindOnceAndReleasesTheWindow) {
    std::vector<bool> closed;
    int releases = 0;
    form.OnClosed = [&](bool histogram) { closed.push_back(histogram); };
    form.Release = [&] { ++releases; };
    form.PlotHistogram(Histogram());
    form.mnuCloseClick();
    form.FormClose();  // the close event that follows the release
    EXPECT_EQ(closed, std::vector<bool>{true});
    EXPECT_EQ(releases, 1);
}

TEST_F(ChartForm, TheWindowTitleNamesTheMissionAndTheDevice) {
    form.PlotHistogram(Histogram());
    form.Caption = " 01/12/2025  00:00  to  01/12/2025  01:00 ";
    EXPECT_EQ(form.WindowTitle(), "Histogram - 01/12/2025  00:00  to  01/12/2025  01:00 ");
    form.Details.RomText = "6774F5A09E15EA21";
    form.Details.MissionTitle = "Pond";
    EXPECT_EQ(form.WindowTitle(),
              "Histogram - Pond - 6774F5A09E15EA21 - 01/12/2025  00:00  to  01/12/2025  01:00 ");
    chart.SetTitleText("");
    form.Details = {};
    EXPECT_EQ(form.WindowTitle(), form.Caption);
}
