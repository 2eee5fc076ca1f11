// Opening a log graph as "Graph..." does: build the chart window, plot a
// 2,048-sample log with the thresholds, show it and paint it the first time.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWindow>
#include <cmath>
#include <cstdlib>

#include "CycleBenchSupport.h"
#include "charts/TChartForm.h"
#include "charts/stripchart/ChartPrint.h"
#include "charts/stripchart/StripChart.h"

namespace {
// A ten-minute log of two weeks: days warm, nights cold, the sensor's half-degree steps.
LogGraphInput TwoWeeks() {
    LogGraphInput in;
    in.Count = 2048;
    for (int i = 0; i < in.Count; ++i)
        in.Values.push_back(std::round(2 * (20 + 6 * std::sin(i * 2 * M_PI / 144) + std::sin(i * 0.37))) / 2);
    in.IncludeAlarms = true;
    in.StartTime = 46000;
    in.SampleRateMinutes = 10;
    in.HighThreshold = 25.5;
    in.LowThreshold = 13.5;
    in.UnitText =
        "\xB0"
        "C";
    in.YTitle = "Temperature";
    in.XTitle = "Date/Time";
    in.Caption = " 07/12/2025  00:00  to  21/12/2025  05:20 ";
    in.Title = "Datalogging Results";
    return in;
}

void BM_OpenLogGraph2048(benchmark::State& state) {
    BenchPlatform platform;
    const LogGraphInput log = TwoWeeks();
    for (auto _ : state) {
        TChartForm window(platform, [] { return std::make_unique<QtChartPrinter>(); });
        window.PlotLog(log, {});
        window.show();
        for (int i = 0; i < 100 && !(window.windowHandle() && window.windowHandle()->isExposed()); ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (!window.windowHandle() || !window.windowHandle()->isExposed()) std::abort();
        window.StripChart1->repaint();
        state.PauseTiming();
        window.hide();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenLogGraph2048)->Unit(benchmark::kMillisecond);
}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
