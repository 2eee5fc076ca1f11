// kelvara-cli over a whole year group's data files: the survey and the class
// table (long and wide) of 1,000 full missions, each as one call of the
// program, and the peak memory of each call for 250, 500 and 1,000 files.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "model/Bcd.h"
#include "model/MemoryImage.h"
#include "reports/DumpFormat.h"
#include "reports/ReportLines.h"

namespace fs = std::filesystem;

namespace {
// Pupil k's mission: 2048 ten-minute samples from a shared start, a few minutes apart, some alarms.
std::string PupilFile(int k) {
    MemoryImage image;
    auto& reg = image.RegisterPage;
    TDateTime start = 0, download = 0;
    TryEncodeDateTime(2026, 11, 20, 9, k % 5, 0, 0, start);
    download = start + 2048 * 10.0 / 1440.0 + 0.01;
    const auto clock = EncodeClockBlock(download);
    std::copy(clock.begin(), clock.end(), reg.begin());
    const auto stamp = EncodeClockBlock(start - 1.0 / 86400.0);
    reg[0x15] = stamp[1];
    reg[0x16] = stamp[2];
    reg[0x17] = stamp[4];
    reg[0x18] = stamp[5];
    reg[0x19] = stamp[6];
    reg[Reg::SampleRate] = 10;
    reg[Reg::MissionSamples] = 0x00;
    reg[Reg::MissionSamples + 1] = 0x08;  // 2048
    image.UserArea.fill(' ');
    const std::string name = "Pupil " + std::to_string(k);
    std::copy(name.begin(), name.end(), image.UserArea.begin() + 32);
    for (std::size_t i = 0; i < image.LogArea.size(); ++i)
        image.LogArea[i] = static_cast<std::uint8_t>(110 + (i + k) % 40);
    for (int r = 0; r < 6; ++r) {
        image.AlarmArea[(12 + r) * 4] = static_cast<std::uint8_t>(20 + r * 300 % 250);
        image.AlarmArea[(12 + r) * 4 + 3] = static_cast<std::uint8_t>(r + 2);
    }
    char rom[17];
    std::snprintf(rom, sizeof rom, "%.2X%.12X21", k % 256, static_cast<unsigned>(k) * 7919u);
    return JoinCrLf(DumpLines(std::string("DS1921 iButton - ") + rom, "07/12/2026 10:00:00", image));
}

struct ClassFolder {
    explicit ClassFolder(int files)
        : dir(fs::temp_directory_path() / ("kelvara-bench-class-" + std::to_string(::getpid()))) {
        fs::remove_all(dir);
        fs::create_directories(dir);
        for (int k = 0; k < files; ++k) {
            const fs::path path = dir / ("pupil-" + std::to_string(k) + ".dmp");
            std::ofstream(path, std::ios::binary) << PupilFile(k);
            paths.push_back(path.string());
        }
    }
    ~ClassFolder() { fs::remove_all(dir); }
    fs::path dir;
    std::vector<std::string> paths;
};

// Runs kelvara-cli with the arguments; its peak resident memory in KiB, or -1 when it failed.
long RunCli(const std::vector<std::string>& arguments) {
    const std::string cli = fs::read_symlink("/proc/self/exe").parent_path().string() + "/kelvara-cli";
    std::vector<char*> argv{const_cast<char*>(cli.c_str())};
    for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::execv(cli.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return -1;
    return usage.ru_maxrss;
}

void RunClass(benchmark::State& state, const std::vector<std::string>& command) {
    const ClassFolder folder(static_cast<int>(state.range(0)));
    std::vector<std::string> arguments = command;
    arguments.insert(arguments.end(), folder.paths.begin(), folder.paths.end());
    arguments.insert(arguments.end(), {"-o", (folder.dir / "out.csv").string()});
    long peak = 0;
    for (auto _ : state) {
        peak = RunCli(arguments);
        if (peak < 0) state.SkipWithError("kelvara-cli failed");
    }
    state.counters["peak_MiB"] = static_cast<double>(peak) / 1024.0;
    state.counters["out_MiB"] =
        static_cast<double>(fs::file_size(folder.dir / "out.csv")) / (1024.0 * 1024.0);
}

void BM_CliSurvey(benchmark::State& state) { RunClass(state, {"survey"}); }
void BM_CliTable(benchmark::State& state) { RunClass(state, {"table"}); }
void BM_CliTableWide(benchmark::State& state) { RunClass(state, {"table", "--wide"}); }
}  // namespace

BENCHMARK(BM_CliSurvey)->Arg(250)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CliTable)->Arg(250)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CliTableWide)->Arg(250)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();
