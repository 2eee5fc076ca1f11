// CPU per polling tick during a full download of 2048 samples through the
// real driver, the virtual adapter and the emulated DS1921.
#include <benchmark/benchmark.h>

#include "../tests/scenarios/DownloadRig.h"
#include "CycleBenchSupport.h"
#include "app/TTRecForm.h"

namespace {
struct Rig {
    Rig() {
        rig.StartMission(2048, 1);
        form.FormCreate({});
        while (form.PollState != Poll::AlarmPages) form.TRecTimerTimer();
    }
    // One tick; a finished download starts again at the status read.
    void Tick() {
        if (form.PollState == Poll::Idle) form.PollState = Poll::StatusRead;
        form.TRecTimerTimer();
        rig.recorder.PagesRead.clear();
    }
    BenchPlatform platform;
    EmulatedDevice rig{platform.Time};
    TTRecForm form{platform, rig.recorder};
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
        rig.rig.recorder.PagesRead.clear();
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
        rig.rig.recorder.PagesRead.clear();
    }
}
}  // namespace

BENCHMARK(BM_DownloadTickAverage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DownloadPageTick)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DownloadCompletionTick)->Unit(benchmark::kMicrosecond);
