// Saves that keep what they replace: links, devices, pipes, modes, owners,
// refusals and failures, on the real file system in a temporary folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "files/SaveBatch.h"
#include "support/PerTestPath.h"
#include "support/ReadFile.h"
#include "support/ScriptedFileSystem.h"

namespace fs = std::filesystem;

namespace {
class Saving : public ::testing::Test {
protected:
    void Write(const fs::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    // The names in the folder, so that no temporary file can hide.
    std::vector<std::string> Entries(const fs::path& folder) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
    static struct stat Info(const fs::path& path) {
        struct stat info {};
        ::lstat(path.c_str(), &info);
        return info;
    }
    ScratchFolder scratch{"kelvara-save"};
    const fs::path dir = scratch.path;
    std::string error;
};
}  // namespace

TEST_F(Saving, AFileIsFlushedBeforeItReplacesTheOldOneAndTheFolderAfter) {
    Write(dir / "m.csv", "old");
    ScriptedFileSystem system;
    ASSERT_TRUE(SaveFile(dir / "m.csv", "new", error, system)) << error;
    EXPECT_EQ(ReadAll(dir / "m.csv"), "new");
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"m.csv"});
    ASSERT_GE(system.First("sync"), 0);
    EXPECT_LT(system.First("sync"), system.First("rename"));
    EXPECT_LT(system.First("rename"), system.First("syncdir"));

    // A new file is linked into place under its own name: no rename, no temporary name.
    ScriptedFileSystem fresh;
    ASSERT_TRUE(SaveFile(dir / "n.csv", "first", error, fresh)) << error;
    EXPECT_EQ(ReadAll(dir / "n.csv"), "first");
    EXPECT_EQ(fresh.Count("rename"), 0);
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"m.csv", "n.csv"}));
}

TEST_F(Saving, TheReplacedFilesModeAndOwnerAreKept) {
    Write(dir / "private.dmp", "old");
    ::chmod((dir / "private.dmp").c_str(), 0600);
    ASSERT_TRUE(SaveFile(dir / "private.dmp", "new", error)) << error;
    EXPECT_EQ(Info(dir / "private.dmp").st_mode & 07777, 0600u);

    const mode_t mask = ::umask(022);
    ASSERT_TRUE(SaveFile(dir / "fresh.dmp", "new", error)) << error;
    EXPECT_EQ(Info(dir / "fresh.dmp").st_mode & 07777, 0644u);
    ::umask(mask);

    if (::geteuid() == 0) {
        // Only a privileged saver can give the file back to its owner.
        ASSERT_EQ(::chown((dir / "private.dmp").c_str(), 4321, 4321), 0);
        ASSERT_TRUE(SaveFile(dir / "private.dmp", "again", error)) << error;
        EXPECT_EQ(Info(dir / "private.dmp").st_uid, 4321u);
        EXPECT_EQ(Info(dir / "private.dmp").st_gid, 4321u);
        EXPECT_EQ(Info(dir / "private.dmp").st_mode & 07777, 0600u);
    }
    // Where the owner cannot be kept the save still goes through, without set-id bits.
    ScriptedFileSystem refusing;
    refusing.FailOn("chown", EPERM);
    ::chmod((dir / "private.dmp").c_str(), 02640);
    ASSERT_TRUE(SaveFile(dir / "private.dmp", "mine", error, refusing)) << error;
    EXPECT_EQ(ReadAll(dir / "private.dmp"), "mine");
    EXPECT_EQ(Info(dir / "private.dmp").st_mode & 07777, 0640u);
}

TEST_F(Saving, ALinkIsWrittenThroughAndStaysALink) {
    fs::create_directories(dir / "real");
    Write(dir / "real" / "data.csv", "old");
    fs::create_symlink("real/data.csv", dir / "link.csv");
    fs::create_symlink(dir / "link.csv", dir / "link2.csv");  // a chain, absolute then relative
    ASSERT_TRUE(SaveFile(dir / "link2.csv", "new", error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir / "link.csv"));
    EXPECT_TRUE(fs::is_symlink(dir / "link2.csv"));
    EXPECT_EQ(ReadAll(dir / "real" / "data.csv"), "new");
    EXPECT_EQ(Entries(dir / "real"), std::vector<std::string>{"data.csv"});

    // A link to a file not there yet creates that file.
    fs::create_symlink("made.csv", dir / "dangling.csv");
    ASSERT_TRUE(SaveFile(dir / "dangling.csv", "made", error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir / "dangling.csv"));
    EXPECT_EQ(ReadAll(dir / "made.csv"), "made");

    fs::create_symlink("loop-b", dir / "loop-a");
    fs::create_symlink("loop-a", dir / "loop-b");
    EXPECT_FALSE(SaveFile(dir / "loop-a", "x", error));
    EXPECT_NE(error.find("Too many levels of symbolic links"), std::string::npos) << error;
    EXPECT_TRUE(fs::is_symlink(dir / "loop-a"));
}

TEST_F(Saving, APipeOrADeviceIsWrittenStraightNotReplacedByAFile) {
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    // Nobody reading: refused at once instead of waiting.
    EXPECT_FALSE(SaveFile(dir / "pipe", "x", error));
    EXPECT_NE(error.find("No such device or address"), std::string::npos) << error;
    const int reader = ::open((dir / "pipe").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ASSERT_TRUE(SaveFile(dir / "pipe", "through the pipe", error)) << error;
    char got[64] = {};
    EXPECT_EQ(::read(reader, got, sizeof got), 16);
    EXPECT_STREQ(got, "through the pipe");
    ::close(reader);
    EXPECT_TRUE(S_ISFIFO(Info(dir / "pipe").st_mode));

    // A device (here a file the port calls one) keeps its node: written in place.
    Write(dir / "null", "");
    const ino_t node = Info(dir / "null").st_ino;
    ScriptedFileSystem system;
    system.FakeKind[(dir / "null").string()] = S_IFCHR;
    ASSERT_TRUE(SaveFile(dir / "null", "to the device", error, system)) << error;
    EXPECT_EQ(Info(dir / "null").st_ino, node);
    EXPECT_EQ(ReadAll(dir / "null"), "to the device");
    EXPECT_EQ(system.Count("rename") + system.Count("unnamed") + system.Count("link"), 0);

    EXPECT_FALSE(SaveFile(dir, "x", error));
    EXPECT_NE(error.find("Is a directory"), std::string::npos);
}

TEST_F(Saving, AFileTheUserMayNotWriteIsRefusedWithTheSystemsMessage) {
    Write(dir / "ro.csv", "old");
    ScriptedFileSystem system;
    system.FailOn("open", EACCES, "/ro.csv");
    EXPECT_FALSE(SaveFile(dir / "ro.csv", "new", error, system));
    EXPECT_NE(error.find("Permission denied"), std::string::npos) << error;
    EXPECT_NE(error.find("ro.csv"), std::string::npos);
    EXPECT_EQ(ReadAll(dir / "ro.csv"), "old");
    EXPECT_EQ(system.Count("unnamed"), 0) << "refused before anything was written";
    if (::geteuid() != 0) {
        ::chmod((dir / "ro.csv").c_str(), 0444);
        EXPECT_FALSE(SaveFile(dir / "ro.csv", "new", error));
        EXPECT_EQ(ReadAll(dir / "ro.csv"), "old");
    }
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"ro.csv"});
}

TEST_F(Saving, AFailureAtAnyStepKeepsTheOldFileAndLeavesNoTemporaryFile) {
    for (const bool unnamed : {true, false}) {
        for (const char* step : {"write", "sync", "link", "rename", "chmod"}) {
            if (!unnamed && std::string(step) == "link") continue;  // a named file is never linked
            Write(dir / "m.dmp", "old");
            ScriptedFileSystem system;
            system.NoUnnamed = !unnamed;
            system.FailOn(step, std::string(step) == "write" ? ENOSPC : EIO);
            EXPECT_FALSE(SaveFile(dir / "m.dmp", "new", error, system)) << step;
            EXPECT_EQ(ReadAll(dir / "m.dmp"), "old") << step;
            EXPECT_EQ(Entries(dir), std::vector<std::string>{"m.dmp"}) << step << " unnamed " << unnamed;
        }
    }
    // Without unnamed files the save works through a hidden name beside the target.
    ScriptedFileSystem named;
    named.NoUnnamed = true;
    ASSERT_TRUE(SaveFile(dir / "m.dmp", "new", error, named)) << error;
    EXPECT_EQ(ReadAll(dir / "m.dmp"), "new");
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"m.dmp"});
}

TEST_F(Saving, ABatchIsFlushedOnceAndNothingIsReplacedBeforeItsCommit) {
    Write(dir / "f3.csv", "old");
    ScriptedFileSystem system;
    system.FailOn("rename", EACCES, "/f5.csv");
    Write(dir / "f5.csv", "old");
    {
        SaveBatch batch(system);
        for (int i = 0; i < 20; ++i)
            ASSERT_TRUE(
                batch.Save(dir / ("f" + std::to_string(i) + ".csv"), "new " + std::to_string(i), error));
        EXPECT_FALSE(fs::exists(dir / "f0.csv"));
        EXPECT_EQ(ReadAll(dir / "f3.csv"), "old");
        const auto failures = batch.Commit();
        ASSERT_EQ(failures.size(), 1u);
        EXPECT_EQ(failures[0].Path, FilePath(dir / "f5.csv"));
        EXPECT_NE(failures[0].Error.find("Permission denied"), std::string::npos);
    }
    EXPECT_EQ(ReadAll(dir / "f3.csv"), "new 3");
    EXPECT_EQ(ReadAll(dir / "f5.csv"), "old");
    EXPECT_EQ(ReadAll(dir / "f19.csv"), "new 19");
    EXPECT_EQ(system.Count("syncfs"), 1);
    EXPECT_EQ(system.Count("sync"), 0);
    EXPECT_EQ(system.Count("syncdir"), 1);
    EXPECT_EQ(Entries(dir).size(), 20u);

    // A batch given up before its commit leaves everything as it was.
    ScriptedFileSystem named;
    named.NoUnnamed = true;
    {
        SaveBatch dropped(named);
        ASSERT_TRUE(dropped.Save(dir / "f3.csv", "dropped", error));
        ASSERT_TRUE(dropped.Save(dir / "extra.csv", "dropped", error));
    }
    EXPECT_EQ(ReadAll(dir / "f3.csv"), "new 3");
    EXPECT_EQ(Entries(dir).size(), 20u);

    // A batch larger than the descriptors it may hold commits in parts.
    fs::create_directories(dir / "many");
    ScriptedFileSystem counting;
    SaveBatch many(counting);
    for (int i = 0; i < 300; ++i) ASSERT_TRUE(many.Save(dir / "many" / std::to_string(i), "x", error));
    EXPECT_TRUE(many.Commit().empty());
    EXPECT_EQ(Entries(dir / "many").size(), 300u);
    EXPECT_LE(counting.Count("syncfs"), 3);
}
