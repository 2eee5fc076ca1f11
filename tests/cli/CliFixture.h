#pragma once
// kelvara-cli run as a user runs it, from a shell in a test's own folder.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/PerTestPath.h"
#include "support/ReadFile.h"

namespace fs = std::filesystem;

namespace {
const fs::path kData = KELVARA_TEST_DATA_DIR;
const std::string kCli = std::string(KELVARA_BIN_DIR) + "/kelvara-cli";
const std::string kNow = " --now '2026-12-07 10:00:00' ";

struct CliRun {
    int Status = -1;
    std::string Out, Err;
};

class Cli : public ::testing::Test {
protected:
    // The virtual adapter's state file lives in the test's own folder unless given;
    // environment is put before the command ("KELVARA_PORT=5:x"), the run starts in cwd.
    CliRun Cmd(const std::string& arguments, const fs::path& dataDir = {},
               const std::string& environment = "", const fs::path& cwd = {}) {
        const fs::path err = dir / "stderr";
        const std::string line = (cwd.empty() ? std::string() : "cd '" + cwd.string() + "' && ") +
                                 "KELVARA_DATA_DIR='" + (dataDir.empty() ? dir : dataDir).string() + "' " +
                                 environment + " '" + kCli + "' " + arguments + " 2>'" + err.string() + "'";
        CliRun run;
        FILE* pipe = ::popen(line.c_str(), "r");
        if (!pipe) return run;
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.Out.append(buffer, n);
        const int status = ::pclose(pipe);
        run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.Err = ReadAll(err);
        return run;
    }
    static std::string Quote(const fs::path& path) { return "'" + path.string() + "'"; }

    ScratchFolder scratch{"kelvara-cli-test"};
    const fs::path dir = scratch.path;
};
}  // namespace
