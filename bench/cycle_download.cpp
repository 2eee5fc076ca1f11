// The core's own CPU per polling tick during a full download (2048 samples):
// the driver double answers at once, so the time is the cycle's, the jobs' and
// the list rebuilds'.
#include <benchmark/benchmark.h>

#include "../tests/scenarios/DownloadFakeDevice.h"
#include "CycleBenchSupport.h"
#include "app/TTRecForm.h"

namespace {
struct Rig {
    Rig() {
        const std::uint8_t clock[] = {0x30, 0x20, 0x14, 0x06, 0x05, 0x83, 0x04};
        for (int i = 0; i < 7; ++i) device.Register(i) = clock[i];
        const std::uint8_t stamp[] = {0x00, 0x14, 0x05, 0x83, 0x04};
        for (int i = 0; i < 5; ++i) device.Register(0x15 + i) = stamp[i];
        device.Register(Reg::SampleRate) = 10;
        device.Register(Reg::Status) = 0x20;
        device.SetMissionSamples(2048);
        for (int i = 0; i < 2048; ++i) device.Memory[0x1000 + i] = static_cast<std::uint8_t>(100 + i % 60);
        form.FormCreate({});
        while (form.PollState != Poll::AlarmPages) form.TRecTimerTimer();
    }
    // One tick; a finished download starts again at the status read.
    void Tick() {
        if (form.PollState == Poll::Idle) form.PollState = Poll::StatusRead;
        form.TRecTimerTimer();
        device.PagesRead.clear();
    }
    BenchPlatform platform;
    DownloadFakeDevice device;
    TTRecForm form{platform, device};
};

// Every tick of the download, the completion included (one in 89).
void BM_DownloadTickAverage(benchmark::State& state) {
    Rig rig;
    for (auto _ : state) rig.Tick();
}

// A page-read tick alone: the common case the window's responsiveness rests on.
void BM_DownloadPageTick(benchmark::State& state) {
    Rig rig;
    for (auto _ : state) {
        state.PauseTiming();
        rig.form.PollState = Poll::HistogramPages;
        rig.form.PageCounter = 64;
        state.ResumeTiming();
        rig.form.TRecTimerTimer();
    }
}

// The last tick: final status read and the 2048-line log rebuild.
void BM_DownloadCompletionTick(benchmark::State& state) {
    Rig rig;
    for (auto _ : state) {
        state.PauseTiming();
        rig.form.PollState = Poll::LogPages;
        rig.form.PageCounter = 191;
        state.ResumeTiming();
        rig.form.TRecTimerTimer();
    }
}
}  // namespace

BENCHMARK(BM_DownloadTickAverage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DownloadPageTick)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DownloadCompletionTick)->Unit(benchmark::kMicrosecond);
