// The virtual adapter's state file under bad luck: values no clock reaches,
// programs saving at once, damaged files piling up, a folder in the file's
// place and a folder where nothing may be renamed.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <limits>

#include "device/virtual/VirtualAdapter.h"
#include "support/DateAt.h"
#include "support/PerTestPath.h"
#include "support/ReadFile.h"
#include "support/ScriptedFileSystem.h"

namespace fs = std::filesystem;

namespace {
class StateFile : public ::testing::Test {
protected:
    void SetUp() override {
        path = (dir / "virtual-adapter.txt").string();
        VirtualAdapter adapter(path, clock);
        adapter.Load();
        adapter.Save();
        good = ReadAll(path);
    }
    std::string With(const std::string& key, const std::string& line) {
        std::string text = good;
        const auto at = text.find(key + " ");
        return text.replace(at, text.find('\n', at) - at, line);
    }
    void Write(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    ScratchFolder scratch{"kelvara-state"};
    const fs::path dir = scratch.path;
    std::string path, good;
    ManualClock clock{ManualClock::MsFromDateTime(At(2026, 12, 7, 10, 0, 0))};
};
}  // namespace

TEST_F(StateFile, ValuesNoClockReachesAreDamageNotComputedWith) {
    const std::string huge = std::to_string(std::numeric_limits<std::int64_t>::max() - 5);
    for (const std::string& line :
         {"saved-at " + huge, std::string("saved-at -1"), std::string("saved-at 12x"),
          std::string("saved-at 1 2"), std::string("next-serial -1"), "next-serial " + huge,
          std::string("next-serial +3")}) {
        Write(With(line.substr(0, line.find(' ')), line));
        VirtualAdapter adapter(path, clock);
        const std::string message = adapter.Load();
        EXPECT_NE(message.find("could not be restored"), std::string::npos) << line;
        EXPECT_TRUE(adapter.Seeded()) << line;
        EXPECT_LT(clock.NowMs(), ManualClock::MsFromDateTime(At(2027, 1, 1, 0, 0, 0))) << line;
        ASSERT_EQ(adapter.Devices().size(), 1u);
        EXPECT_LT(adapter.Devices()[0]->MissionSamples(), 1000) << line;
    }
    // The largest moment a clock reaches still loads, and time stops there.
    Write(With("saved-at", "saved-at " + std::to_string(kLatestSimMs)));
    VirtualAdapter far(path, clock);
    EXPECT_EQ(far.Load(), "");
    EXPECT_EQ(clock.NowMs(), kLatestSimMs);
    clock.AdvanceDays(1000);
    EXPECT_EQ(clock.NowMs(), kLatestSimMs);
    ScaledClock scaled([] { return std::int64_t{1000}; });
    scaled.Advance(std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(scaled.NowMs(), kLatestSimMs);
}

TEST_F(StateFile, DamagedFilesAreKeptNumberedAndTheMessageNamesTheOneKept) {
    Write("damaged one\n");
    VirtualAdapter first(path, clock);
    EXPECT_NE(first.Load().find("kept as \x01virtual-adapter.txt.damaged\x02."), std::string::npos);
    Write("damaged two\n");
    VirtualAdapter second(path, clock);
    EXPECT_NE(second.Load().find("kept as \x01virtual-adapter.txt.damaged.2\x02."), std::string::npos);
    EXPECT_EQ(ReadAll(path + ".damaged"), "damaged one\n");
    EXPECT_EQ(ReadAll(path + ".damaged.2"), "damaged two\n");
    EXPECT_EQ(second.Save(), "");
}

TEST_F(StateFile, AFileThatCannotBeSetAsideIsLeftAloneAndNotSavedOver) {
    Write("damaged\n");
    ScriptedFileSystem readOnly;
    readOnly.FailOn("rename", EACCES);
    VirtualAdapter adapter(path, clock, readOnly);
    const std::string message = adapter.Load();
    EXPECT_NE(message.find("could not be set aside (Permission denied)"), std::string::npos) << message;
    EXPECT_EQ(message.find("kept as"), std::string::npos) << "no .damaged file was made";
    EXPECT_TRUE(adapter.Seeded());
    EXPECT_NE(adapter.Save().find("Not saved"), std::string::npos);
    EXPECT_EQ(ReadAll(path), "damaged\n");
    EXPECT_EQ(Names(), std::vector<std::string>{"virtual-adapter.txt"});
}

TEST_F(StateFile, AFolderInTheFilesPlaceIsReportedAsSuchAndLeftAlone) {
    fs::remove(path);
    fs::create_directories(fs::path(path) / "inside");
    VirtualAdapter adapter(path, clock);
    const std::string message = adapter.Load();
    EXPECT_NE(message.find("Is a directory"), std::string::npos) << message;
    EXPECT_EQ(message.find("empty"), std::string::npos);
    EXPECT_TRUE(adapter.Seeded());
    EXPECT_NE(adapter.Save().find("Not saved"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(fs::path(path) / "inside"));
}

TEST_F(StateFile, ProgramsSavingAtOnceNeverCollideAndTheLastOneWins) {
    std::vector<pid_t> children;
    for (int program = 0; program < 6; ++program) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ManualClock own{ManualClock::MsFromDateTime(At(2026, 12, 7, 10, 0, 0))};
            VirtualAdapter adapter(path, own);
            int problems = adapter.Load().empty() ? 0 : 1;
            for (int round = 0; round < 15; ++round) problems += adapter.Save().empty() ? 0 : 1;
            ::_exit(problems);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "a save or load of one program failed";
    }
    EXPECT_EQ(Names(), std::vector<std::string>{"virtual-adapter.txt"});
    VirtualAdapter after(path, clock);
    EXPECT_EQ(after.Load(), "");
}
