// "Graph..." and "Chart..." on the Mission Results tab: what they hand the chart
// windows, and the flags of the two windows the main window owns.
#include <algorithm>

#include "app/ChartWindows.h"
#include "app/TTRecForm.h"
#include "results/UserDetails.h"

namespace {
std::string WithoutTrailingBlanks(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}
}  // namespace

LogGraphInput TTRecForm::LogGraphArguments() {
    LogGraphInput in;
    in.Count = std::clamp<std::int32_t>(LogSampleCount, 0, 2048);
    in.Values.assign(LogTemperatures.begin(), LogTemperatures.begin() + in.Count);
    in.UnitText = UnitSuffix();
    const bool rollover = Image.RegisterPage[Reg::Control] & Reg::ControlRollover;
    in.SampleRateMinutes = SampleRate;
    in.StartTime = LogGraphStartTime(MissionStart, LogSampleCount, SampleRate, rollover);
    const double interval = SampleRate * kMinute;
    in.Caption = GraphTimeCaption(in.StartTime, in.StartTime + in.Count * interval);
    in.XTitle = LogRadio.SelectedText();
    in.XMode = std::max(LogRadio.ItemIndex, 0);
    in.IncludeAlarms = GraphAlarmsCheck.Checked;
    in.HighThreshold = HighThresholdValue;
    in.LowThreshold = LowThresholdValue;
    in.YTitle = "Temperature";
    in.Title = "Datalogging Results";
    return in;
}

HistogramGraphInput TTRecForm::HistogramGraphArguments() {
    HistogramGraphInput in;
    in.Counts = HistogramCounts;
    const std::int32_t samples = LogSampleCount < 1 ? MissionSamples : LogSampleCount;
    in.Caption = GraphTimeCaption(MissionStart, MissionStart + samples * (SampleRate * kMinute));
    in.XMode = std::max(HistRadio.ItemIndex, 0);
    in.XTitle = HistogramXTitle(HistSyntax.Caption, in.XMode);
    const HistogramBins bins = HistogramBinsOf(CurrentTemperatureOptions().Variant);
    in.FirstBinStart = bins.FirstBinStart;
    in.BinWidth = bins.BinWidth;
    in.YTitle = "Count";
    in.Title = "Histogram";
    return in;
}

GraphDetails TTRecForm::CurrentGraphDetails() {
    GraphDetails d;
    d.RomText = ReportRomText();
    d.MissionTitle = WithoutTrailingBlanks(ShownUserDetail(UserTexts, 4));
    for (std::size_t k = 0; k < 6; ++k)
        if (const std::string text = ShownUserDetail(UserTexts, static_cast<int>(k)); !text.empty())
            d.UserDetailLines.push_back(UserDetailCaptions[k] + text);
    d.MissionStart = MissionStartLabel.Caption;
    d.MissionDelay = MissionDelayLabel.Caption;
    d.SampleRate = SampleRateLabel.Caption;
    d.HighThreshold = HighThresholdLabel.Caption;
    d.LowThreshold = LowThresholdLabel.Caption;
    d.SavePath = SavePath;
    return d;
}

void TTRecForm::GraphLogButtonClick() {
    if (LogList.Items.size() <= 1) {
        platform.MessageBox("There is not enough data to graph!", AppCaption, MsgButtons::Ok,
                            MsgIcon::Exclamation);
        return;
    }
    if (!Charts) return;
    if (LogChartOpen) Charts->DestroyChartWindow(ChartKind::Log);
    LogChartOpen = true;
    Charts->ShowLogGraph(LogGraphArguments(), CurrentGraphDetails());
}

void TTRecForm::GraphHistButtonClick() {
    if (!Charts) return;
    if (HistogramChartOpen) Charts->DestroyChartWindow(ChartKind::Histogram);
    HistogramChartOpen = true;
    Charts->ShowHistogramGraph(HistogramGraphArguments(), CurrentGraphDetails());
}

void TTRecForm::ChartWindowClosed(bool isHistogram) {
    (isHistogram ? HistogramChartOpen : LogChartOpen) = false;
}

void TTRecForm::DestroyChartWindows() {
    if (!Charts) return;
    if (HistogramChartOpen) Charts->DestroyChartWindow(ChartKind::Histogram);
    if (LogChartOpen) Charts->DestroyChartWindow(ChartKind::Log);
    HistogramChartOpen = LogChartOpen = false;
}

void TTRecForm::EnableGraphButtons(bool enabled) {
    GraphLogButton.Enabled = enabled;
    GraphHistButton.Enabled = enabled;
    GraphAlarmsCheck.Enabled = enabled;
}
