// The chart window's decisions on a screen-free chart: PlotLog's Y range and X
// modes, PlotHistogram's bins, zoom, the save dialog, the printed lines, closing.
#include <gtest/gtest.h>

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
    EXPECT_EQ(chart.WriteChannels(),
              (std::vector<TChannelDefinition>{{"Temp", ChartColor(0, 255, 64), clsSolid, 2},
                                               {"High Alarm", ChartColor(255, 0, 0)},
                                               {"Low Alarm", ChartColor(0, 0, 255)}}));
}

TEST_F(ChartForm, TwoSamplesGiveTwoPointsAndTheRangeRule) {
    form.PlotLog(Log({20.0, 22.0}));
    EXPECT_EQ(chart.TimeIndexCount(), 2);
    // range 2: an eighth of it beyond each end.
    EXPECT_DOUBLE_EQ(chart.YAxisMin(), 19.75);
    EXPECT_DOUBLE_EQ(chart.YAxisMax(), 22.25);
    EXPECT_EQ(chart.ToolBarMode(), scmScrollXY);
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
    LogGraphInput in = Log({20, 21, 22, 23}, 1);
    in.UnitText.clear();  // "Show F/C on Temperatures" off
    form.PlotLog(in);
    EXPECT_FALSE(chart.XAxisDateTimeEnabled());
    for (int i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(chart.TimeIndex(i), i);
    EXPECT_DOUBLE_EQ(chart.XAxisMin(), 0);
    EXPECT_DOUBLE_EQ(chart.XAxisMax(), 4);
    EXPECT_EQ(chart.XAxisTitle(), "Minute Offset ");
    EXPECT_EQ(chart.YAxisTitle(), "Temperature");
}
TEST_F(ChartForm, ThresholdsAreTwoFlatChannelsOrNoneWithAllThreeInTheLegend) {
    LogGraphInput in = Log({20, 21, 22});
    in.IncludeAlarms = true;
    form.PlotLog(in);
    EXPECT_DOUBLE_EQ(Value(1, 2), 30);
    EXPECT_DOUBLE_EQ(Value(2, 2), 10);
    EXPECT_GT(chart.YAxisMax(), 30);  // auto-scale keeps them in view
    EXPECT_LT(chart.YAxisMin(), 10);

    form.PlotLog(Log({20, 21, 22}));
    EXPECT_EQ(chart.GetChannel(1).LastDataIndex(), -1);
    EXPECT_EQ(chart.GetChannel(2).LastDataIndex(), -1);
    EXPECT_TRUE(chart.ShowLegend());
    for (int c = 0; c < 3; ++c) EXPECT_TRUE(chart.GetChannel(c).ShowInLegend);
}
TEST_F(ChartForm, TheHistogramDrawsFourPointsABinOnTheZeroLine) {
    HistogramGraphInput in = Histogram();
    in.Counts[10] = 7;
    form.PlotHistogram(in);
    ASSERT_EQ(chart.TimeIndexCount(), 1 + 64 * 4);
    for (int i = 1; i < chart.TimeIndexCount(); ++i) ASSERT_GT(chart.TimeIndex(i), chart.TimeIndex(i - 1));
    // Bin 10: up at its start, across its width, down again.
    const int first = 1 + 10 * 4;
    EXPECT_EQ(
        std::vector<double>({Value(0, first - 1), Value(0, first), Value(0, first + 1), Value(0, first + 2)}),
        std::vector<double>({0, 7, 7, 0}));
    EXPECT_NEAR(chart.TimeIndex(first), -40.0 + 10 * 2.00003 + 0.00001, 1e-9);
    EXPECT_TRUE(form.IsHistogram);
    EXPECT_FALSE(chart.ShowLegend());
    // The largest bin reached the top: auto-scale keeps a minor step above it, not below 0.
    EXPECT_DOUBLE_EQ(chart.YAxisMin(), 0);
    EXPECT_NEAR(chart.YAxisMax(), 7.0 * 20 / 19, 0.01);
}

TEST_F(ChartForm, AnEmptyHistogramByBinNumberIsFlatAndScrolledByTheOvershoot) {
    form.PlotHistogram(Histogram(2));
    EXPECT_DOUBLE_EQ(chart.YAxisMin(), 0);
    EXPECT_DOUBLE_EQ(chart.YAxisMax(), 1);  // maxCount 1
    for (int i = 0; i < chart.TimeIndexCount(); ++i) ASSERT_DOUBLE_EQ(Value(0, i), 0);
    EXPECT_NEAR(chart.TimeIndex(2) - chart.TimeIndex(1), 1.0, 1e-12);
    EXPECT_NEAR(chart.XAxisMin(), 1.002, 0.0005);
    EXPECT_NEAR(chart.XAxisMax(), 64.002, 0.0005);
}
TEST_F(ChartForm, ZoomHandlersScaleTheirAxesByTheirFactors) {
    const struct {
        void (ChartFormModel::*Handler)();
        double X, Y;
    } cases[] = {{&ChartFormModel::ZoomIn1Click, 0.5, 0.5},    {&ChartFormModel::ZoomIn2Click, 0.5, 0.5},
                 {&ChartFormModel::ZoomOut1Click, 2, 2},       {&ChartFormModel::ZoomOut2Click, 2, 2},
                 {&ChartFormModel::Zoom2Click, 0.5, 1},        {&ChartFormModel::ZoomOutXaxis1Click, 2, 1},
                 {&ChartFormModel::ZoomINYaxis1Click, 1, 0.5}, {&ChartFormModel::ZoomOutYaxis1Click, 1, 2}};
    form.PlotLog(Log({20, 21, 22, 23}, 1));
    for (const auto& c : cases) {
        const double x = chart.XAxisMax() - chart.XAxisMin(), y = chart.YAxisMax() - chart.YAxisMin();
        (form.*c.Handler)();
        EXPECT_DOUBLE_EQ(chart.XAxisMax() - chart.XAxisMin(), x * c.X);
        EXPECT_DOUBLE_EQ(chart.YAxisMax() - chart.YAxisMin(), y * c.Y);
    }
}

TEST_F(ChartForm, SaveAsksWithTheGraphDialogThenStartsInTheSavePath) {
    form.Details.SavePath = FilePath("/home/class/graphs");
    std::vector<std::string> saved;
    form.SavePicture = [&](const FilePath& path, std::string&) {
        saved.push_back(path.Native());
        return true;
    };
    platform.SaveAnswers = {std::nullopt, std::string("/tmp/pond.svg")};
    form.menuSaveGraphClick();
    form.menuSaveGraphClick();
    ASSERT_EQ(platform.SaveRequests.size(), 2u);
    const FileDialogRequest& first = platform.SaveRequests[0];
    EXPECT_EQ(first.Title, "Save Graph...");
    EXPECT_EQ(first.DefaultExt, "emf");
    EXPECT_EQ(first.FileName, "untitled.emf");
    EXPECT_EQ(first.Filter.rfind("Enhanced Meta File (emf)|*.emf|", 0), 0u);  // first, and the default
    EXPECT_TRUE(first.OverwritePrompt);
    EXPECT_TRUE(first.InitialDir.empty());  // the system's default folder
    EXPECT_EQ(platform.SaveRequests[1].InitialDir.Native(), "/home/class/graphs");
    EXPECT_EQ(saved, std::vector<std::string>{"/tmp/pond.svg"});
}

TEST_F(ChartForm, AFailedSaveShowsTheSystemsMessageAndTheWindowStays) {
    form.SavePicture = [](const FilePath&, std::string& error) {
        error = "Permission denied";
        return false;
    };
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

TEST_F(ChartForm, TheWindowTitleNamesTheGraphTheMissionAndTheDevice) {
    form.PlotHistogram(Histogram());
    form.Caption = " 01/12/2025  00:00  to  01/12/2025  01:00 ";
    form.Details.RomText = "6774F5A09E15EA21";
    form.Details.MissionTitle = "Pond";
    EXPECT_EQ(form.WindowTitle(),
              "Histogram - Pond - 6774F5A09E15EA21 - 01/12/2025  00:00  to  01/12/2025  01:00 ");
}
