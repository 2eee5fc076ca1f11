// The strip chart's speed: a full repaint of a 1000 x 600 chart, dense data
// with min-max drawing, one X scroll step, and loading points.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWindow>
#include <cmath>
#include <cstdlib>

#include "charts/stripchart/StripChart.h"

namespace {
// channels channels of points values each, a day-like curve with noise.
void Load(TStripChart& chart, int channels, int points) {
    chart.resize(1000, 600);
    chart.SetTitleText("Datalogging Results");
    chart.SetXAxisTitle("Sample");
    chart.SetYAxisTitle("Temperature");
    for (int c = 0; c < channels; ++c)
        chart.AddChannel("Channel " + std::to_string(c), ChartColor(0, 255, 64 * c));
    chart.SetXAxisMax(points);
    chart.BeginUpdate();
    for (int i = 0; i < points; ++i) {
        const int index = chart.AddTimeIndex(i);
        for (int c = 0; c < channels; ++c)
            chart.SetChannelData(c, index, 50 + 30 * std::sin(i * 0.003 + c) + 5 * std::sin(i * 0.7));
    }
    chart.EndUpdate();
    chart.SetToolBarMode(scmScrollXY);
    chart.show();
    // repaint() paints at once only on an exposed window.
    for (int i = 0; i < 100 && !(chart.windowHandle() && chart.windowHandle()->isExposed()); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (!chart.windowHandle() || !chart.windowHandle()->isExposed()) std::abort();
    chart.repaint();
}

void BM_FullRepaint3x2048(benchmark::State& state) {
    TStripChart chart;
    Load(chart, 3, 2048);
    for (auto _ : state) {
        chart.Refresh();
        chart.repaint();
    }
}
BENCHMARK(BM_FullRepaint3x2048)->Unit(benchmark::kMillisecond);

void BM_FullRepaintMinMax(benchmark::State& state) {
    TStripChart chart;
    Load(chart, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    chart.SetEnableDataDrawMinMax(true);
    for (auto _ : state) {
        chart.Refresh();
        chart.repaint();
    }
}
BENCHMARK(BM_FullRepaintMinMax)->Args({1, 1000000})->Args({3, 1000000})->Unit(benchmark::kMillisecond);

void BM_ScrollStepRepaint3x2048(benchmark::State& state) {
    TStripChart chart;
    Load(chart, 3, 2048);
    chart.ZoomX(0.5);
    chart.repaint();
    double step = 1.0;
    for (auto _ : state) {
        chart.ScrollX(step);
        chart.repaint();
        if (chart.XAxisMax() > 2048 || chart.XAxisMin() < 0) step = -step;
    }
}
BENCHMARK(BM_ScrollStepRepaint3x2048)->Unit(benchmark::kMicrosecond);

// AddTimeIndex and SetChannelData per point, in batches as a log is loaded.
void BM_AddPoints(benchmark::State& state) {
    const int channels = static_cast<int>(state.range(0));
    const int batch = 100000;
    for (auto _ : state) {
        state.PauseTiming();
        auto chart = std::make_unique<TStripChart>();
        for (int c = 0; c < channels; ++c) chart->AddChannel("C", ChartColors::White);
        state.ResumeTiming();
        chart->BeginUpdate();
        for (int i = 0; i < batch; ++i) {
            const int index = chart->AddTimeIndex(i);
            for (int c = 0; c < channels; ++c) chart->SetChannelData(c, index, i & 127);
        }
        chart->EndUpdate();
        state.PauseTiming();
        chart.reset();
        state.ResumeTiming();
    }
    state.counters["ns_per_point"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * batch,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_AddPoints)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);
}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
