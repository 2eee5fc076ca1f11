// A DS1921 read through Kelvara's serial link (driver, Ds2480Link, the termios
// port) over a pseudo-terminal to the emulated DS9097U, its replies paced to
// the real chip's UART and bus times: at 9600 bit/s and standard speed, and at
// 115,200 bit/s and overdrive. Wall time is the figure (the line waits).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <thread>

#include "CycleBenchSupport.h"
#include "app/TTRecForm.h"
#include "device/LinkFactory.h"
#include "device/serial/Ds2480Chip.h"
#include "device/serial/PtyAdapter.h"
#include "device/tmex/TmexDriver.h"
#include "device/virtual/VirtualAdapter.h"
#include "reports/DownloadRun.h"

namespace {

constexpr Ds2480Link::Options kModes[3] = {{.fastestBaud = 9600, .overdrive = false},
                                           {.fastestBaud = 115200, .overdrive = true},
                                           {.fastestBaud = 115200, .overdrive = false}};

// The 88 pages a download reads: register, alarms, user pages, histogram, a full log.
std::vector<int> DownloadPages() {
    std::vector<int> pages{16, 17, 18, 19};
    for (int p = 0; p < 16; ++p) pages.push_back(p);
    for (int p = 64; p < 68; ++p) pages.push_back(p);
    for (int p = 128; p < 192; ++p) pages.push_back(p);
    return pages;
}

struct Rig {
    explicit Rig(const Ds2480Link::Options& options) {
        device = adapter.InsertDevice(Ds1921Variant::Standard);
        Ds1921MissionSetup setup;
        setup.SampleRate = 1;
        setup.Control = 0x08;  // roll over: a full log of 2048 samples
        device->StartMissionAt(setup, device->ClockMs() - 3LL * 86400000);
        std::string error;
        if (!pty.Open(error)) return;
        server = std::thread([this] { pty.Serve(); });
        ::setenv("KELVARA_PORT", ("5:1:" + pty.SlavePath()).c_str(), 1);
        links.SetSerialLinkOptions(options);
    }
    ~Rig() {
        links.CloseAll();
        pty.Stop();
        if (server.joinable()) server.join();
        ::unsetenv("KELVARA_PORT");
    }

    ManualClock clock{ManualClock::MsFromDateTime(46000.5)};
    VirtualAdapter adapter{"", clock};
    std::shared_ptr<Ds1921Device> device;
    Ds2480Chip chip{adapter.Bus()};
    PtyAdapter pty{chip, {.paced = true}};
    std::thread server;
    LinkProvider links;
    TmexDriver driver{links};
};

// The link's own time: the 88 pages by TMExtendedReadPage, one session each, as the polling cycle reads them.
void BM_ReadDownloadPages(benchmark::State& state) {
    Rig rig(kModes[state.range(0)]);
    std::vector<std::uint8_t> buffer(kDriverStateSize, 0);
    const auto session = rig.driver.TMExtendedStartSession(1, kPortTypeSerialDs2480, nullptr);
    if (rig.driver.TMSetup(session) != 1 ||
        rig.driver.TMFamilySearchSetup(session, buffer.data(), 0x21) != 1 ||
        rig.driver.TMNext(session, buffer.data()) != 1) {
        state.SkipWithError("no device on the serial adapter");
        return;
    }
    rig.driver.TMEndSession(session);
    const auto pages = DownloadPages();
    std::uint8_t page[32];
    for (auto _ : state) {
        for (int p : pages) {
            const auto each = rig.driver.TMExtendedStartSession(1, kPortTypeSerialDs2480, nullptr);
            if (rig.driver.TMExtendedReadPage(each, buffer.data(), static_cast<std::int16_t>(p), page, 0) !=
                1)
                state.SkipWithError("a page read failed");
            rig.driver.TMEndSession(each);
        }
    }
    state.counters["page_ms"] =
        benchmark::Counter(static_cast<double>(pages.size()) * 1e-3,
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The whole download as kelvara-cli runs it: search, status, 88 pages, the final status
// read and the lists, ticks back to back (the window waits 50 ms between ticks on top).
void BM_WholeDownload(benchmark::State& state) {
    Rig rig(kModes[state.range(0)]);
    for (auto _ : state) {
        BenchPlatform platform;
        TTRecForm form(platform, rig.driver);
        form.FormCreate({});
        if (!RunDownloadCycle(form, 5000, 600000, [] { return false; }).empty() ||
            form.LogList.Items.size() != 2048)
            state.SkipWithError("the download failed");
    }
}

}  // namespace

// Argument 0: 9600 bit/s, standard speed; 1: 115,200 bit/s, overdrive; 2: 115,200 bit/s,
// standard speed (a device that fails at overdrive).
BENCHMARK(BM_ReadDownloadPages)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(BM_WholeDownload)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
