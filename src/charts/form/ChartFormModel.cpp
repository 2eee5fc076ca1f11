#include "charts/form/ChartFormModel.h"

#include <algorithm>
#include <exception>

#include "app/Product.h"
#include "help/HelpLinks.h"

namespace {
constexpr ChartColor kTickColor(64, 0, 64);

const char* const kGraphFilter =
    "Enhanced Meta File (emf)|*.emf|Scalable Vector Graphics (svg)|*.svg|PDF document (pdf)|*.pdf|"
    "PNG image (png)|*.png";
}  // namespace

void ApplyGraphDesign(StripChartModel& c) {
    const ChartFont text = StripChartModel::Font(ChartColors::Black);
    const ChartFont axisTitle = StripChartModel::Font(ChartColors::Black, "Arial");
    c.SetTitleText("Datalogging Results");
    c.SetTitleMargin(0);
    c.SetTitleFont(text);
    c.SetXAxisShow(true);
    c.SetXAxisMin(0);
    c.SetXAxisMax(10);
    c.SetXAxisDateTimeEnabled(false);
    c.SetXAxisDateTimeFormatString("d mmm hh:nn");
    c.SetXAxisMargin(5);
    c.SetXAxisLabelMargin(5);
    c.SetXAxisTitleMargin(0);
    c.SetXAxisLabelPrecision(1);
    c.SetXAxisLabelFont(text);
    c.SetXAxisTitle("Date/Time");
    c.SetXAxisTitleFont(axisTitle);
    c.SetXAxisTickMajorCount(5);
    c.SetXAxisTickMajorLength(7);
    c.SetXAxisTickMinorCount(5);
    c.SetXAxisTickMinorLength(3);
    c.SetYAxisShow(true);
    c.SetYAxisMin(0);
    c.SetYAxisMax(100);
    c.SetYAxisMargin(5);
    c.SetYAxisLabelMargin(5);
    c.SetYAxisTitleMargin(0);
    c.SetYAxisLabelPrecision(1);
    c.SetYAxisLabelFont(text);
    c.SetYAxisTitle("Temperature");
    c.SetYAxisTitleFont(axisTitle);
    c.SetYAxisTickMajorCount(5);
    c.SetYAxisTickMajorLength(7);
    c.SetYAxisTickMinorCount(4);
    c.SetYAxisTickMinorLength(3);
    c.SetYAxisLabelWidth(20);
    c.SetYAxisLabelWidthFixed(false);
    c.SetYAxisReverseScale(false);
    c.SetXAxisTickMajorColor(kTickColor);
    c.SetXAxisTickMinorColor(kTickColor);
    c.SetYAxisTickMajorColor(kTickColor);
    c.SetYAxisTickMinorColor(kTickColor);
    c.SetAxisGridColor(ChartColors::Black);
    c.SetGridBackGroundColor(ChartColors::White);
    c.SetGridLineStyle(clsSolid);
    c.SetOuterMarginLeft(10);
    c.SetOuterMarginTop(10);
    c.SetOuterMarginRight(10);
    c.SetOuterMarginBottom(10);
    // 80 fits "High Alarm" in the narrow face the window was drawn for; the sans
    // faces here are wider, and 80 would cut it to "High Al...".
    c.SetLegendWidth(90);
    c.SetLegendMargin(10);
    c.SetLegendFont(text);
    c.SetShowGrid(true);
    c.SetShowLegend(true);
    c.SetShowToolBar(false);
    c.SetAutoScrollEnabled(true);
    c.SetAutoScrollType(asSmooth);
    c.SetAutoScrollFirstStyle(asfsAuto);
    c.SetAutoScaleEnabled(true);
    c.SetAutoScaleMinAdjustEnabled(true);
    c.SetAutoScaleMaxAdjustEnabled(true);
    c.SetToolBarMode(scmPlot);
    c.SetToolBarActiveModeFont(StripChartModel::Font(ChartColors::Yellow, "MS Sans Serif", true));
    c.SetToolBarInactiveModeFont(StripChartModel::Font(ChartColors::Aqua, "MS Sans Serif", true));
    c.SetCursorColor(ChartColors::Yellow);
    c.SetCursorChannelBackGroundColor(ChartColors::Yellow);
    c.SetCursorChannelFontColor(ChartColors::Black);
    c.SetCursorHideAllOtherChannels(false);
    c.SetPrinterOrientation(poPortrait);
    c.SetPrinterShowDialog(true);
    c.SetPrinterMarginLeft(0.5);
    c.SetPrinterMarginTop(0.5);
    c.SetPrinterMarginRight(0.5);
    c.SetPrinterMarginBottom(0.5);
    c.SetMaxBufferSize(0);
    c.SetMinBufferSize(0);
    c.SetRestoreXYAxisOnPlotMode(true);
    c.SetEnableDataDrawMinMax(false);
    c.SetDiscontinuousDataEnabled(false);
    c.SetPrecisionStyle(psSignificantDigits);
    c.SetInterpolateMissingDataPoints(true);
    c.ReadChannels({{"Temp", ChartColor(0, 255, 64), clsSolid, 2},
                    {"High Alarm", ChartColor(255, 0, 0), clsSolid, 1},
                    {"Low Alarm", ChartColor(0, 0, 255), clsSolid, 1}});
    c.SetCursorChannel(0);
}

ChartFormModel::ChartFormModel(StripChartModel& chart, Platform& platform_, std::function<void()> beginUpdate,
                               std::function<void()> endUpdate)
    : StripChart1(chart),
      platform(platform_),
      beginUpdate_(std::move(beginUpdate)),
      endUpdate_(std::move(endUpdate)) {
    SaveGraph1.Title = "Save Graph...";
    SaveGraph1.DefaultExt = "emf";
    SaveGraph1.FileName = "untitled.emf";
    SaveGraph1.Filter = kGraphFilter;
    SaveGraph1.FilterIndex = 1;
    SaveGraph1.OverwritePrompt = true;
    SaveGraph1.PathMustExist = true;
}

void ChartFormModel::PlotLog(const LogGraphInput& in) {
    const int count = std::clamp(in.Count, 0, static_cast<int>(in.Values.size()));
    double yMax = -40.0, yMin = 300.0;
    for (int i = 0; i < count; ++i) {
        yMax = std::max(yMax, in.Values[i]);
        yMin = std::min(yMin, in.Values[i]);
    }
    double range = yMax - yMin;
    // The largest value, not 1.0: a flat log of 21.5 gets a span of 21.5/4.
    if (range < 1.0) range = yMax;
    if (range < 0.2) range = 0.2;
    yMin -= range / 8;
    yMax += range / 8;

    StripChartModel& c = StripChart1;
    Caption = in.Caption;
    c.SetYAxisLabelPrecision(3);
    c.SetTitleText(in.Title);
    c.SetXAxisTitle(in.XTitle);
    c.SetYAxisTitle(in.YTitle + in.UnitText);
    c.SetYAxisMax(yMax);
    c.SetYAxisMin(yMin);
    c.SetXAxisDateTimeEnabled(false);
    c.SetXAxisMax(count);
    c.SetXAxisMin(0);
    c.SetInterpolateMissingDataPoints(true);
    c.SetShowLegend(true);
    c.SetAutoScaleMinAdjustEnabled(true);
    const bool byTime = in.XMode == 0;
    if (byTime) {
        c.SetXAxisDateTimeEnabled(true);
        c.SetXAxisMax(count * static_cast<double>(in.SampleRateMinutes) / 60 / 24);
    }

    c.ClearAllData();
    beginUpdate_();
    double x = byTime ? in.StartTime : 0.0;
    const double step = byTime ? in.SampleRateMinutes / 1440.0 : 1.0;
    for (int i = 0; i < count; ++i) {
        const int index = c.AddTimeIndex(x);
        c.SetChannelData(0, index, in.Values[i]);
        if (in.IncludeAlarms) {
            c.SetChannelData(1, index, in.HighThreshold);
            c.SetChannelData(2, index, in.LowThreshold);
        }
        x += step;
    }
    endUpdate_();
    c.SetToolBarMode(scmScrollXY);
    IsHistogram = false;
}

void ChartFormModel::PlotHistogram(const HistogramGraphInput& in) {
    std::int32_t maxCount = 1;
    for (const std::int32_t count : in.Counts) maxCount = std::max(maxCount, count);

    StripChartModel& c = StripChart1;
    Caption = in.Caption;
    c.SetTitleText(in.Title);
    c.SetXAxisTitle(in.XTitle);
    c.SetYAxisTitle(in.YTitle);
    c.SetYAxisMax(maxCount);
    c.SetYAxisMin(0);
    c.SetXAxisDateTimeEnabled(false);
    const bool byBin = in.XMode == 2;
    c.SetXAxisMax(byBin ? 63 : in.FirstBinStart + 64 * in.BinWidth);
    c.SetXAxisMin(byBin ? 0 : in.FirstBinStart);
    c.SetInterpolateMissingDataPoints(false);
    c.SetShowLegend(false);
    c.SetAutoScaleMinAdjustEnabled(false);

    c.ClearAllData();
    beginUpdate_();
    const double step = byBin ? 1.0 : in.BinWidth;
    double x = byBin ? 0.0 : in.FirstBinStart;
    auto add = [&c](double at, double value) { c.SetChannelData(0, c.AddTimeIndex(at), value); };
    add(x, 0);
    // Four points a bin draw its outline on the zero line; the tiny steps keep X increasing.
    for (const std::int32_t count : in.Counts) {
        add(x += 0.00001, count);
        add(x += step, count);
        add(x += 0.00001, 0);
        add(x += 0.00001, 0);
    }
    endUpdate_();
    c.SetToolBarMode(scmScrollXY);
    IsHistogram = true;
}

std::string ChartFormModel::WindowTitle() const {
    // Two windows of one mission differ by the graph's title.
    std::string title = StripChart1.TitleText();
    for (const std::string* part : {&Details.MissionTitle, &Details.RomText})
        if (!part->empty()) title += (title.empty() ? "" : " - ") + *part;
    return title.empty() ? Caption : title + " -" + Caption;
}

void ChartFormModel::Zoom(double x, double y) {
    if (x > 0) StripChart1.ZoomX(x);
    if (y > 0) StripChart1.ZoomY(y);
}

void ChartFormModel::ShowError(const std::exception& error) {
    platform.MessageBox(error.what(), kProductName, MsgButtons::Ok, MsgIcon::Error);
}

void ChartFormModel::mnuCopyGraphClick() {
    if (CopyPicture) CopyPicture();
}

void ChartFormModel::menuSaveGraphClick() {
    const auto path = platform.SaveDialog(SaveGraph1);
    SaveGraph1.InitialDir = Details.SavePath;
    if (!path || !SavePicture) return;
    if (std::string error; !SavePicture(*path, error))
        platform.MessageBox(error, kProductName, MsgButtons::Ok, MsgIcon::Error);
}

std::vector<std::string> ChartFormModel::GraphPrintLines() const {
    std::vector<std::string> lines{"", "Kelvara Graph", "Kelvara classroom datalogging", kWebServerText, ""};
    if (!Details.RomText.empty()) lines.push_back("iButton: " + Details.RomText);
    lines.insert(lines.end(), Details.UserDetailLines.begin(), Details.UserDetailLines.end());
    lines.push_back("");
    lines.push_back("Mission Start time: " + Details.MissionStart);
    lines.push_back("Mission Start delay: " + Details.MissionDelay + " minute(s)");
    lines.push_back("Sample rate: " + Details.SampleRate + " minute(s)");
    lines.push_back("High Alarm Threshold: " + Details.HighThreshold);
    lines.push_back("Low Alarm Threshold: " + Details.LowThreshold);
    return lines;
}

void ChartFormModel::mnuPrintClick() {
    StripChart1.ClearPrintLines();
    for (const auto& line : GraphPrintLines()) StripChart1.AddPrintLine(line);
    if (!PrintPicture) return;
    try {
        PrintPicture();
    } catch (const std::exception& error) {
        ShowError(error);
    }
}

void ChartFormModel::mnuCloseClick() { FormClose(); }

void ChartFormModel::FormClose() {
    if (closed_) return;
    closed_ = true;
    if (OnClosed) OnClosed(IsHistogram);
    if (Release) Release();
}
