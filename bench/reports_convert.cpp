// Converting data files: one file to a full report in-process, and
// kelvara-cli turning a class's worth of files into CSVs in one call.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "CycleBenchSupport.h"
#include "app/TTRecForm.h"
#include "cli/OfflineDriver.h"
#include "files/SaveBatch.h"
#include "reports/DumpFormat.h"
#include "reports/ReportLines.h"

namespace fs = std::filesystem;

namespace {
// Answers Yes and keeps the clipboard, so the report reaches it unasked.
class QuietPlatform : public BenchPlatform {
public:
    QuietPlatform() { Time = 46363.5; }
    MsgResult MessageBox(const std::string&, const std::string&, MsgButtons, MsgIcon, MsgDefault) override {
        return MsgResult::Yes;
    }
    void SetClipboardText(const std::string& text) override { clipboard = text; }
    bool PrintLines(const std::vector<std::string>&, std::string&) override { return true; }
    std::string DateTimeText(TDateTime value) override { return FixedDateTimeText(value); }
    std::string clipboard;
};

// A full mission: roll-over after 5000 one-minute samples, alarms and a histogram.
std::string MissionFileText() {
    MemoryImage image;
    const std::uint8_t reg[32] = {0x00, 0x30, 0x10, 0x02, 0x07, 0x92, 0x26, 0,    0,    0,    0x01,
                                  0x46, 0x82, 0x01, 0x0E, 0,    0,    0,    0,    0,    0x00, 0x30,
                                  0x10, 0x04, 0x92, 0x26, 0x88, 0x13, 0,    0x88, 0x13, 0};
    std::copy(std::begin(reg), std::end(reg), image.RegisterPage.begin());
    for (std::size_t i = 0; i < image.LogArea.size(); ++i)
        image.LogArea[i] = static_cast<std::uint8_t>(100 + i % 60);
    for (int r = 0; r < 24; ++r) {
        image.AlarmArea[r * 4] = static_cast<std::uint8_t>(10 + r * 50);
        image.AlarmArea[r * 4 + 3] = static_cast<std::uint8_t>(r + 1);
    }
    for (std::size_t i = 0; i < image.HistogramArea.size(); i += 2)
        image.HistogramArea[i] = static_cast<std::uint8_t>(i);
    image.UserArea.fill(0x20);
    return JoinCrLf(DumpLines("DS1921 iButton - 6774F5A09E15EA21", "07/12/2026 10:00:00", image));
}

fs::path ScratchDir(const char* name) {
    const fs::path dir = fs::temp_directory_path() / (std::string(name) + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

void BM_DataFileToReport(benchmark::State& state) {
    const fs::path dir = ScratchDir("kelvara-bench-report-");
    const fs::path file = dir / "mission.dmp";
    std::ofstream(file, std::ios::binary) << MissionFileText();
    QuietPlatform platform;
    OfflineDriver driver;
    std::size_t bytes = 0;
    for (auto _ : state) {
        TTRecForm form(platform, driver);
        form.LoadCmd(file);
        form.ExportData(true);
        bytes = platform.clipboard.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["report_bytes"] = static_cast<double>(bytes);
    fs::remove_all(dir);
}
BENCHMARK(BM_DataFileToReport)->Unit(benchmark::kMicrosecond);

// One save as the window makes it: a new file flushed to disk, renamed over the
// old one, the folder flushed.
void BM_SaveDataFileFlushed(benchmark::State& state) {
    const fs::path dir = ScratchDir("kelvara-bench-save-");
    const std::string text = MissionFileText();
    std::string error;
    for (auto _ : state)
        if (!SaveFile(dir / "mission.dmp", text, error)) state.SkipWithError(error.c_str());
    fs::remove_all(dir);
}
BENCHMARK(BM_SaveDataFileFlushed)->Unit(benchmark::kMillisecond);

void BM_CliCsv200Files(benchmark::State& state) {
    const fs::path dir = ScratchDir("kelvara-bench-cli-");
    const std::string text = MissionFileText();
    std::string command =
        "'" + fs::read_symlink("/proc/self/exe").parent_path().string() + "/kelvara-cli' csv";
    for (int i = 0; i < 200; ++i) {
        const fs::path file = dir / ("pupil" + std::to_string(i) + ".dmp");
        std::ofstream(file, std::ios::binary) << text;
        command += " '" + file.string() + "'";
    }
    fs::create_directories(dir / "out");
    command += " -o '" + (dir / "out").string() + "'";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("kelvara-cli failed");
    }
    fs::remove_all(dir);
}
BENCHMARK(BM_CliCsv200Files)->Unit(benchmark::kMillisecond)->Iterations(3);
}  // namespace
