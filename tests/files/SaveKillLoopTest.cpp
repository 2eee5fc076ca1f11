// A saving process killed again and again by SIGTERM or SIGINT: the target
// is always whole (old or new) and no temporary file is left beside it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "files/SaveBatch.h"
#include "files/TemporaryFiles.h"
#include "support/PerTestPath.h"
#include "support/ReadFile.h"
#include "support/ScriptedFileSystem.h"

namespace fs = std::filesystem;

namespace {
constexpr std::size_t kBytes = 256 * 1024;

[[noreturn]] void SaveForever(const fs::path& target, bool unnamed) {
    RemoveTemporaryFilesOnSignals();
    ::alarm(30);  // never outlives a test that failed to kill it
    ScriptedFileSystem system;
    system.NoUnnamed = !unnamed;
    std::string error;
    for (unsigned i = 0;; ++i) {
        SaveFile(target, std::string(kBytes, static_cast<char>('a' + i % 26)), error, system);
        system.Calls.clear();
    }
}

bool Whole(const std::string& bytes) {
    return bytes.size() == kBytes && bytes.find_first_not_of(bytes[0]) == std::string::npos;
}
}  // namespace

TEST(SaveKillLoop, KilledSavesLeaveTheFileWholeAndNoTemporaryFile) {
    const ScratchFolder scratch("kelvara-kill");
    const fs::path& dir = scratch.path;
    const fs::path target = dir / "pupil.dmp";
    std::ofstream(target, std::ios::binary) << std::string(kBytes, 'o');
    std::mt19937 random(17);
    for (const bool unnamed : {true, false}) {
        for (int round = 0; round < 30; ++round) {
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) SaveForever(target, unnamed);
            ::usleep(2000 + random() % 25000);
            ::kill(child, round % 2 ? SIGTERM : SIGINT);
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            EXPECT_TRUE(WIFSIGNALED(status));
            std::vector<std::string> names;
            for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
            ASSERT_EQ(names, std::vector<std::string>{"pupil.dmp"})
                << "round " << round << (unnamed ? " unnamed" : " named");
            ASSERT_TRUE(Whole(ReadAll(target))) << "round " << round;
        }
    }
}
