// kelvara-vadapter as a user runs it: a path printed, kelvara-cli downloading
// through it host after host, the same bytes as the virtual adapter gives, and
// a clean stop on SIGTERM with the devices' state saved.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/PerTestPath.h"
#include "support/ReadFile.h"

namespace fs = std::filesystem;

namespace {

const std::string kBin = KELVARA_BIN_DIR;
const std::string kFrozen = "KELVARA_VIRTUAL_CLOCK=manual:2026-12-07T10:00:00";

class Vadapter : public ::testing::Test {
protected:
    void SetUp() override {
        dir = PerTestPath("kelvara-vadapter");
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        if (child > 0) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
        }
        fs::remove_all(dir);
    }
    // Starts the program with its standard output on a pipe; returns its first line.
    std::string Start(const std::string& arguments) {
        int out[2];
        if (::pipe(out) != 0) return {};
        const std::string line = "exec env KELVARA_DATA_DIR='" + dir.string() + "' " + kFrozen + " '" + kBin +
                                 "/kelvara-vadapter' " + arguments + " 2>'" +
                                 (dir / "vadapter.err").string() + "'";
        child = ::fork();
        if (child == 0) {
            ::dup2(out[1], 1);
            ::close(out[0]);
            ::execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        std::string first;
        pollfd ready{out[0], POLLIN, 0};
        char c = 0;
        while (::poll(&ready, 1, 5000) > 0 && ::read(out[0], &c, 1) == 1 && c != '\n') first += c;
        ::close(out[0]);
        return first;
    }
    int Stop() {
        ::kill(child, SIGTERM);
        int status = 0;
        ::waitpid(child, &status, 0);
        child = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    int Cli(const std::string& environment, const std::string& arguments) {
        const std::string line = "env KELVARA_DATA_DIR='" + dir.string() + "' KELVARA_CONFIG_DIR='" +
                                 dir.string() + "' " + kFrozen + " " + environment + " '" + kBin +
                                 "/kelvara-cli' " + arguments + " 2>>'" + (dir / "cli.err").string() + "'";
        const int status = std::system(line.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    fs::path dir;
    pid_t child = -1;
};

}  // namespace

TEST_F(Vadapter, ServesHostAfterHostTheBytesOfTheVirtualAdapter) {
    const fs::path link = dir / "ttyV0";
    const std::string path = Start("--unpaced --link '" + link.string() + "'");
    ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path << ReadAll(dir / "vadapter.err");
    ASSERT_EQ(fs::read_symlink(link), path);
    ASSERT_TRUE(fs::exists(dir / "virtual-adapter.txt")) << "the first run's demo device is saved at once";

    const std::string port = "KELVARA_PORT=5:1:'" + link.string() + "'";
    const std::string now = " --now '2026-12-07 10:00:00' ";
    ASSERT_EQ(Cli(port, "download" + now + "-o '" + (dir / "serial.dmp").string() + "'"), 0)
        << ReadAll(dir / "cli.err");
    ASSERT_EQ(Cli(port, "download" + now + "-o '" + (dir / "again.dmp").string() + "'"), 0)
        << ReadAll(dir / "cli.err");
    EXPECT_EQ(Stop(), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link))) << "the link goes with the program";
    const std::string log = ReadAll(dir / "vadapter.err");
    EXPECT_NE(log.find("stopped after 2 host(s)"), std::string::npos) << log;

    ASSERT_EQ(Cli("KELVARA_PORT=15:1", "download" + now + "-o '" + (dir / "virtual.dmp").string() + "'"), 0);
    const std::string serial = ReadAll(dir / "serial.dmp");
    EXPECT_EQ(serial.substr(0, 17), "DS1921 iButton - ");
    EXPECT_EQ(serial, ReadAll(dir / "again.dmp"));
    EXPECT_EQ(serial, ReadAll(dir / "virtual.dmp"));
}

TEST_F(Vadapter, RefusesUnknownArgumentsAndAnExistingFileAsItsLink) {
    const std::string line = "'" + kBin + "/kelvara-vadapter' --bogus 2>/dev/null >/dev/null";
    const int status = std::system(line.c_str());
    EXPECT_EQ(WEXITSTATUS(status), 2);

    const fs::path file = dir / "precious.txt";
    std::FILE* f = std::fopen(file.c_str(), "w");
    std::fputs("keep me", f);
    std::fclose(f);
    EXPECT_EQ(Start("--unpaced --link '" + file.string() + "'"), "");
    int exitStatus = 0;
    ::waitpid(child, &exitStatus, 0);
    child = -1;
    EXPECT_EQ(WEXITSTATUS(exitStatus), 1);
    EXPECT_EQ(ReadAll(file), "keep me");
    EXPECT_NE(ReadAll(dir / "vadapter.err").find("cannot make the link"), std::string::npos);
}
