// Rebuilding the Status tab and all three result lists for a full 2048-sample log.
#include <benchmark/benchmark.h>

#include "../tests/scenarios/DownloadFakeDevice.h"
#include "CycleBenchSupport.h"
#include "app/TTRecForm.h"

namespace {
void FillImage(TTRecForm& form) {
    auto& reg = form.Image.RegisterPage;
    const std::uint8_t clock[] = {0x30, 0x20, 0x14, 0x06, 0x05, 0x83, 0x04};
    std::copy(std::begin(clock), std::end(clock), reg.begin());
    const std::uint8_t stamp[] = {0x00, 0x14, 0x05, 0x83, 0x04};
    std::copy(std::begin(stamp), std::end(stamp), reg.begin() + Reg::StampMinutes);
    reg[Reg::SampleRate] = 10;
    reg[Reg::Status] = 0x20;
    reg[Reg::MissionSamples + 1] = 0x08;  // 2048 samples
    for (int i = 0; i < 2048; ++i) form.Image.LogArea[i] = static_cast<std::uint8_t>(100 + i % 60);
    for (int r = 0; r < 24; ++r) {
        form.Image.AlarmArea[r * 4] = static_cast<std::uint8_t>(r * 10 + 1);
        form.Image.AlarmArea[r * 4 + 3] = 3;
    }
    for (int b = 0; b < 64; ++b) form.Image.HistogramArea[2 * b] = static_cast<std::uint8_t>(b);
    form.LogSampleCount = 2048;
}

void RebuildAll(benchmark::State& state, int logView) {
    BenchPlatform platform;
    DownloadFakeDevice device;
    TTRecForm form(platform, device);
    FillImage(form);
    form.LogRadio.ItemIndex = logView;
    for (auto _ : state) {
        form.UpdateStatus();
        form.UpdateLog();
        form.UpdateAlarms();
        form.UpdateHistogram();
        benchmark::DoNotOptimize(form.LogList.Items.data());
    }
}

void BM_StatusAndListsDateTime2048(benchmark::State& state) { RebuildAll(state, 0); }
void BM_StatusAndListsMinuteOffset2048(benchmark::State& state) { RebuildAll(state, 1); }
}  // namespace

BENCHMARK(BM_StatusAndListsDateTime2048)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StatusAndListsMinuteOffset2048)->Unit(benchmark::kMicrosecond);
