// The window as a session ends it: SIGTERM or SIGINT while a start-up box is
// open ends the program and saves the virtual adapter's state.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "support/PerTestPath.h"

namespace fs = std::filesystem;

TEST(WindowSignals, ASignalDuringAStartUpBoxEndsTheWindowAndSavesItsState) {
    const ScratchFolder scratch("kelvara-window-signal");
    const fs::path& dir = scratch.path;
    const std::string program = std::string(KELVARA_BIN_DIR) + "/kelvara";
    for (const int signal : {SIGTERM, SIGINT}) {
        fs::remove(dir / "virtual-adapter.txt");
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            ::setenv("KELVARA_DATA_DIR", dir.c_str(), 1);
            ::setenv("KELVARA_CONFIG_DIR", dir.c_str(), 1);
            ::setenv("KELVARA_VIRTUAL_CLOCK", "manual", 1);
            ::freopen("/dev/null", "w", stderr);
            // A data file that is not there: its box opens before the window's loop runs.
            const std::string missing = (dir / "missing.dmp").string();
            ::execl(program.c_str(), program.c_str(), missing.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        ::kill(child, signal);
        int status = 0;
        pid_t ended = 0;
        for (int wait = 0; wait < 200 && ended == 0; ++wait) {
            ended = ::waitpid(child, &status, WNOHANG);
            if (ended == 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (ended == 0) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            FAIL() << "the window ignored signal " << signal;
        }
        EXPECT_TRUE(WIFEXITED(status)) << "ended by the signal itself, not by closing";
        EXPECT_EQ(WEXITSTATUS(status), 0);
        EXPECT_TRUE(fs::exists(dir / "virtual-adapter.txt")) << "state not saved on signal " << signal;
    }
}
