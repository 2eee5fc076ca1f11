// Only regular files are opened, and opening never waits.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "files/ReadFile.h"
#include "support/PerTestPath.h"
#include "support/ScriptedFileSystem.h"

namespace fs = std::filesystem;

TEST(ReadRegularFile, PipesFoldersAndDevicesAreRefusedAtOnceAndAMissingFileSaysSo) {
    const ScratchFolder scratch("kelvara-read");
    const fs::path& dir = scratch.path;
    std::string bytes;
    ASSERT_EQ(::mkfifo((dir / "Titles.ini").c_str(), 0600), 0);
    FileRead read = ReadRegularFile(dir / "Titles.ini", 1000, bytes);  // would block if it opened the pipe
    EXPECT_FALSE(read.Ok);
    EXPECT_FALSE(read.Missing);
    EXPECT_EQ(read.Reason, "It is a pipe, not a file.");

    read = ReadRegularFile(dir, 1000, bytes);
    EXPECT_EQ(read.Reason, "Is a directory");

    std::ofstream(dir / "tty", std::ios::binary) << "x";
    ScriptedFileSystem system;
    system.FakeKind[(dir / "tty").string()] = S_IFCHR;
    read = ReadRegularFile(dir / "tty", 1000, bytes, system);
    EXPECT_EQ(read.Reason, "It is a device, not a file.");
    EXPECT_EQ(system.Count("open"), 0) << "a device is never opened";

    read = ReadRegularFile(dir / "gone", 1000, bytes);
    EXPECT_TRUE(read.Missing);
    EXPECT_NE(read.Error.find("No such file or directory"), std::string::npos);

    std::ofstream(dir / "big", std::ios::binary) << std::string(2000, 'b');
    EXPECT_FALSE(ReadRegularFile(dir / "big", 1000, bytes).Ok);
    read = ReadRegularFile(dir / "big", 2000, bytes);
    EXPECT_TRUE(read.Ok);
    EXPECT_EQ(bytes.size(), 2000u);
}
