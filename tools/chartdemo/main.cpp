// kelvara-chartdemo [--mode scmCursor] [--look window|control] [--no-toolbar]
//                   [--points N] [--size WxH] [--save FILE] [--copy]
// Shows the strip chart with three channels, the legend and the toolbar; with
// --save it writes the picture (by extension) and ends.
#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "charts/stripchart/StripChart.h"

namespace {
const char* const kModes[] = {"scmPlot",  "scmScrollX", "scmScrollY", "scmScrollXY", "scmCursor",
                              "scmZoomX", "scmZoomY",   "scmZoomXY",  "scmZoomBox"};

TStripChartMode ModeNamed(const QString& name) {
    for (int i = 0; i < 9; ++i)
        if (name == QLatin1String(kModes[i])) return static_cast<TStripChartMode>(i);
    throw std::runtime_error("unknown mode " + name.toStdString());
}

// The chart window's look: white, dark ticks, black text.
void WindowLook(TStripChart& chart) {
    const ChartColor tick(64, 0, 64);
    ChartFont text = StripChartModel::Font(ChartColors::Black);
    ChartFont title = StripChartModel::Font(ChartColors::Black, "Arial");
    chart.SetBackGroundColor(ChartColors::White);
    chart.SetGridBackGroundColor(ChartColors::White);
    chart.SetAxisGridColor(ChartColors::Black);
    chart.SetXAxisTickMajorColor(tick);
    chart.SetXAxisTickMinorColor(tick);
    chart.SetYAxisTickMajorColor(tick);
    chart.SetYAxisTickMinorColor(tick);
    chart.SetTitleFont(text);
    chart.SetXAxisLabelFont(text);
    chart.SetYAxisLabelFont(text);
    chart.SetLegendFont(text);
    chart.SetXAxisTitleFont(title);
    chart.SetYAxisTitleFont(title);
    chart.SetXAxisTickMajorCount(5);
    chart.SetXAxisTickMinorCount(5);
    chart.SetYAxisTickMajorCount(5);
}

// A week of ten-minute samples starting 14 January 2004: days warm, nights cold.
void Load(TStripChart& chart, int points) {
    const double start = 38000.0, step = 10.0 / 1440;
    chart.SetYAxisLabelPrecision(3);
    chart.SetXAxisDateTimeEnabled(true);
    chart.SetXAxisDateTimeFormatString("d mmm hh:nn");
    chart.SetXAxisMin(0);
    chart.SetXAxisMax(points * step / 4);
    chart.SetYAxisMin(10);
    chart.SetYAxisMax(30);
    chart.ClearAllData();
    chart.BeginUpdate();
    for (int i = 0; i < points; ++i) {
        const double t = start + i * step;
        const double day = std::sin((t - 0.3) * 2 * M_PI);
        const int index = chart.AddTimeIndex(t);
        chart.SetChannelData(0, index, 20.0 + 6.0 * day + 1.5 * std::sin(i * 0.05));
        chart.SetChannelData(1, index, 27.0);
        chart.SetChannelData(2, index, 14.0);
    }
    chart.EndUpdate();
}
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"mode", "Mode after loading (scmPlot ... scmZoomBox).", "mode", "scmScrollXY"});
    parser.addOption(
        {"look", "window (white, as the chart window) or control (the defaults).", "look", "window"});
    parser.addOption({"no-toolbar", "Hide the mode toolbar."});
    parser.addOption({"points", "Samples per channel.", "n", "1008"});
    parser.addOption({"size", "Chart size.", "WxH", "640x400"});
    parser.addOption({"save", "Write the picture to this file (.emf .svg .pdf .png) and end.", "file"});
    parser.addOption({"copy", "Put the chart on the clipboard (EMF, SVG and PNG)."});
    parser.process(app);

    TStripChart chart;
    try {
        const QStringList size = parser.value("size").split('x');
        if (size.size() == 2) chart.resize(size[0].toInt(), size[1].toInt());
        if (parser.value("look") == QLatin1String("window")) WindowLook(chart);
        chart.SetTitleText("Datalogging Results");
        chart.SetXAxisTitle("Date/Time");
        chart.SetYAxisTitle(
            "Temperature \xB0"
            "C");
        chart.SetShowToolBar(!parser.isSet("no-toolbar"));
        chart.ReadChannels({{"Temp", ChartColor(0, 255, 64), clsSolid, 2},
                            {"High Alarm", ChartColor(255, 0, 0), clsSolid, 1},
                            {"Low Alarm", ChartColor(0, 0, 255), clsDash, 1}});
        Load(chart, parser.value("points").toInt());
        chart.SetToolBarMode(ModeNamed(parser.value("mode")));
        if (parser.isSet("save")) {
            chart.SaveToFile(parser.value("save"));
            return 0;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kelvara-chartdemo: %s\n", error.what());
        return 1;
    }
    chart.setWindowTitle(QStringLiteral("Strip chart"));
    chart.OnModeChange = [&chart] {
        chart.setWindowTitle(QStringLiteral("Strip chart - ") + QLatin1String(kModes[chart.ToolBarMode()]));
    };
    chart.show();
    if (parser.isSet("copy")) chart.CopyToClipboard();
    return app.exec();
}
