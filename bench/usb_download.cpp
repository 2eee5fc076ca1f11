// The USB adapter through the emulated DS2490 with the latency of a full-speed
// link: one transfer a 1 ms frame, the status endpoint polled every 1 ms
// (alternate setting 3) and every command's bus time at regular speed. The
// reported time is that modelled link time (manual time); the CPU column is the
// host's real work. The bus-time limit is that of reading the 88 pages the
// program downloads in three streamed Read Memory with CRC runs at regular
// speed: 3028 bytes of 8 slots of 65 us, and three resets.
#include <benchmark/benchmark.h>

#include "../tests/scenarios/DownloadRig.h"
#include "CycleBenchSupport.h"
#include "app/TTRecForm.h"
#include "device/onewire/Search.h"
#include "device/usb/Ds2490Link.h"
#include "device/virtual/EmulatedUsbHost.h"

namespace {
constexpr double kBusLimitUs = 3028.0 * 8 * 65 + 3 * 1100;

struct UsbRig {
    UsbRig() : chip(host.Add(rig.adapter.Bus())) {
        chip.EnableTiming(true);
        rig.links.SetUsbHost(&host);
        rig.StartMission(2048, 1);
    }
    BenchPlatform platform;
    EmulatedUsbHost host;  // outlives the links that use it
    EmulatedDevice rig{platform.Time};
    EmulatedDs2490& chip;
};

void Report(benchmark::State& state, double totalUs, std::int64_t runs) {
    const double perRun = totalUs / static_cast<double>(runs);
    state.counters["link_ms"] = perRun / 1000.0;
    state.counters["ratio_to_bus_limit"] = perRun / kBusLimitUs;
}

// The 88 pages by TMExtendedReadPage, one page per Read Memory with CRC.
void BM_UsbReadWholeMemory(benchmark::State& state) {
    UsbRig usb;
    TmexDriver& driver = usb.rig.driver;
    std::vector<std::uint8_t> driverState(kDriverStateSize, 0);
    const auto session = driver.TMExtendedStartSession(1, kPortTypeUsbDs2490, nullptr);
    if (driver.TMSetup(session) != 1 || driver.TMFamilySearchSetup(session, driverState.data(), 0x21) != 1 ||
        driver.TMNext(session, driverState.data()) != 1) {
        state.SkipWithError("no device through the emulated DS2490");
        return;
    }
    std::vector<int> pages;
    for (int p = 0; p < 192; ++p)
        if (p <= 19 || (p >= 64 && p <= 67) || p >= 128) pages.push_back(p);
    std::uint8_t buffer[32];
    double totalUs = 0;
    for (auto _ : state) {
        const std::int64_t before = usb.chip.ElapsedUs();
        for (int page : pages)
            if (driver.TMExtendedReadPage(session, driverState.data(), static_cast<std::int16_t>(page), buffer, 0) <=
                0)
                state.SkipWithError("page read failed");
        const double us = static_cast<double>(usb.chip.ElapsedUs() - before);
        totalUs += us;
        state.SetIterationTime(us / 1e6);
    }
    Report(state, totalUs, state.iterations());
}
BENCHMARK(BM_UsbReadWholeMemory)->UseManualTime()->Unit(benchmark::kMillisecond);

// The window's whole download of 2048 samples, search to completion, one job a
// tick: the link time of all the jobs (the 50 ms timer between ticks is not counted).
void BM_UsbFullDownload(benchmark::State& state) {
    double totalUs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto usb = std::make_unique<UsbRig>();
        TTRecForm form(usb->platform, usb->rig.recorder);
        form.FormCreate({});
        form.PortType = kPortTypeUsbDs2490;
        form.PortNumber = 1;
        state.ResumeTiming();
        const std::int64_t before = usb->chip.ElapsedUs();
        for (int tick = 0; tick < 400 && !form.menuSaveData1.Enabled; ++tick) form.TRecTimerTimer();
        if (!form.menuSaveData1.Enabled) state.SkipWithError("the download did not complete");
        const double us = static_cast<double>(usb->chip.ElapsedUs() - before);
        totalUs += us;
        state.SetIterationTime(us / 1e6);
        state.PauseTiming();
        usb.reset();
        state.ResumeTiming();
    }
    Report(state, totalUs, state.iterations());
}
BENCHMARK(BM_UsbFullDownload)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// One family search pass (what the search state runs every 50 ms while it waits)
// by the chip's search command (0) or bit by bit (1), and the idle presence check.
void BM_UsbSearchPass(benchmark::State& state) {
    UsbRig usb;
    Ds2490Link link(usb.host, 1);
    link.UseSearchAccess(state.range(0) == 0);
    std::string error;
    if (!link.Open(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    for (auto _ : state) {
        const std::int64_t before = usb.chip.ElapsedUs();
        onewire::SearchState search;
        onewire::TargetFamily(search, 0x21);
        if (onewire::SearchNext(link, search) != onewire::SearchOutcome::Found) state.SkipWithError("not found");
        state.SetIterationTime(static_cast<double>(usb.chip.ElapsedUs() - before) / 1e6);
    }
}
BENCHMARK(BM_UsbSearchPass)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_UsbPresenceCheck(benchmark::State& state) {
    UsbRig usb;
    Ds2490Link link(usb.host, 1);
    std::string error;
    if (!link.Open(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    const auto rom = usb.rig.device->Rom();
    for (auto _ : state) {
        const std::int64_t before = usb.chip.ElapsedUs();
        if (onewire::VerifyRom(link, rom) != onewire::SearchOutcome::Found) state.SkipWithError("absent");
        state.SetIterationTime(static_cast<double>(usb.chip.ElapsedUs() - before) / 1e6);
    }
}
BENCHMARK(BM_UsbPresenceCheck)->UseManualTime()->Unit(benchmark::kMillisecond);
}  // namespace
