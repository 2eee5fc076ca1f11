// Speed of the DS1921 emulator: catching a running one-minute mission up by a
// million samples, and reading the whole memory through the driver.
#include <benchmark/benchmark.h>

#include "device/LinkFactory.h"
#include "device/tmex/TmexDriver.h"
#include "device/virtual/VirtualAdapter.h"

namespace {

std::int64_t StartMs() {
    TDateTime start = 0;
    TryEncodeDateTime(2026, 12, 7, 12, 0, 30, 0, start);
    return ManualClock::MsFromDateTime(start);
}

void BM_AdvanceMillionOneMinuteSamples(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        ManualClock clock(StartMs());
        VirtualAdapter adapter("", clock);
        auto device = adapter.InsertDevice(Ds1921Variant::Standard);
        Ds1921MissionSetup setup;
        setup.SampleRate = 1;
        setup.Control = 0x08;
        setup.LowThreshold = device->CodeFor(16.0);
        setup.HighThreshold = device->CodeFor(24.0);
        device->StartMissionAt(setup, device->ClockMs());
        clock.AdvanceMinutes(1000000);
        state.ResumeTiming();
        benchmark::DoNotOptimize(device->MissionSamples());
    }
}
BENCHMARK(BM_AdvanceMillionOneMinuteSamples)->Unit(benchmark::kMillisecond);

// With Read Memory with CRC, one driver page read each: the 88 pages the
// program downloads (register, alarms, user, histogram, log), or all 256.
void BM_ReadWholeMemoryThroughDriver(benchmark::State& state) {
    ManualClock clock(StartMs());
    VirtualAdapter adapter("", clock);
    adapter.InsertDemoDevice();
    LinkProvider links(&adapter.Bus());
    TmexDriver driver(links);
    std::vector<std::uint8_t> driverState(kDriverStateSize, 0);
    const auto session = driver.TMExtendedStartSession(1, kPortTypeVirtual, nullptr);
    driver.TMSetup(session);
    driver.TMFamilySearchSetup(session, driverState.data(), 0x21);
    driver.TMNext(session, driverState.data());
    std::vector<int> pages;
    for (int p = 0; p < 256; ++p)
        if (state.range(0) == 256 || p <= 19 || (p >= 64 && p <= 67) || (p >= 128 && p <= 191)) pages.push_back(p);
    std::uint8_t buffer[32];
    for (auto _ : state) {
        for (int page : pages) {
            const auto result = driver.TMExtendedReadPage(session, driverState.data(),
                                                          static_cast<std::int16_t>(page), buffer, 0);
            if (result <= 0) state.SkipWithError("page read failed");
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(pages.size()));
}
BENCHMARK(BM_ReadWholeMemoryThroughDriver)->Arg(88)->Arg(256)->Unit(benchmark::kMillisecond);

}  // namespace
