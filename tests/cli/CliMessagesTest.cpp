// kelvara-cli with names in any language, odd paths, signals, and the
// messages it gives when something is wrong: its own, one or two lines each,
// saying what failed, what was tried and what to do.
#include <signal.h>
#include <sys/stat.h>

#include <fstream>
#include <random>
#include <sstream>

#include "cli/CliFixture.h"

namespace {
class CliMessages : public Cli {
protected:
    const std::string ivanov = "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\xD0\xBE\xD0\xB2";   // Иванов
    const std::string petrov = "\xD0\x9F\xD0\xB5\xD1\x82\xD1\x80\xD0\xBE\xD0\xB2";   // Петров
    const std::string mission = "\xD0\xBC\xD0\xB8\xD1\x81\xD1\x81\xD0\xB8\xD1\x8F";  // миссия
};
}  // namespace

TEST_F(CliMessages, FileNamesInAnyLanguageLoadSaveAndShow) {
    fs::create_directories(dir / "x");
    const std::string data = Quote(kData / "demo-mission.dmp");
    EXPECT_EQ(Cmd("csv" + kNow + "-o " + Quote(dir / "x" / (ivanov + ".csv")) + " " + data).Status, 0);
    EXPECT_EQ(Cmd("csv" + kNow + "-o " + Quote(dir / "x" / (petrov + ".csv")) + " " + data).Status, 0);
    EXPECT_EQ(ReadAll(dir / "x" / (ivanov + ".csv")), ReadAll(kData / "demo-mission.csv"));
    EXPECT_EQ(ReadAll(dir / "x" / (petrov + ".csv")), ReadAll(kData / "demo-mission.csv"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "x"), fs::directory_iterator()), 2);

    fs::copy_file(kData / "demo-mission.dmp", dir / (mission + ".dmp"));
    const CliRun report = Cmd("report" + kNow + Quote(dir / (mission + ".dmp")));
    EXPECT_EQ(report.Status, 0) << report.Err;
    EXPECT_EQ(report.Out, ReadAll(kData / "demo-mission.report.txt"));
    const CliRun batch =
        Cmd("csv" + kNow + Quote(dir / (mission + ".dmp")) + " " + data + " -o " + Quote(dir / "x"));
    EXPECT_EQ(batch.Status, 0) << batch.Err;
    EXPECT_TRUE(fs::exists(dir / "x" / (mission + ".csv")));

    // A name in a message comes out as it is spelt.
    const CliRun missing = Cmd("report " + Quote(dir / (petrov + ".dmp")));
    EXPECT_EQ(missing.Status, 1);
    EXPECT_NE(missing.Err.find(petrov + ".dmp\". No such file or directory"), std::string::npos)
        << missing.Err;
}

TEST_F(CliMessages, ShortNamesDashesLinksPipesAndModes) {
    fs::copy_file(kData / "demo-mission.dmp", dir / "a");
    fs::copy_file(kData / "demo-mission.dmp", dir / "-x.dmp");
    // The window's rule that three characters name no file is the window's alone.
    const CliRun shortName = Cmd("report" + kNow + "a", {}, "", dir);
    EXPECT_EQ(shortName.Status, 0) << shortName.Err;
    EXPECT_EQ(shortName.Out, ReadAll(kData / "demo-mission.report.txt"));
    EXPECT_EQ(Cmd("report" + kNow + "-x.dmp", {}, "", dir).Status, 2);
    const CliRun dashed = Cmd("report" + kNow + "-- -x.dmp", {}, "", dir);
    EXPECT_EQ(dashed.Status, 0) << dashed.Err;
    EXPECT_EQ(dashed.Out, shortName.Out);

    // -o through a link writes the link's target, and keeps its mode.
    std::ofstream(dir / "target.csv") << "old";
    ::chmod((dir / "target.csv").c_str(), 0600);
    fs::create_symlink("target.csv", dir / "link.csv");
    EXPECT_EQ(Cmd("csv" + kNow + "-o " + Quote(dir / "link.csv") + " " + Quote(dir / "a")).Status, 0);
    EXPECT_TRUE(fs::is_symlink(dir / "link.csv"));
    EXPECT_EQ(ReadAll(dir / "target.csv"), ReadAll(kData / "demo-mission.csv"));
    struct stat info {};
    ::stat((dir / "target.csv").c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    ASSERT_EQ(::mkfifo((dir / "pipe.dmp").c_str(), 0600), 0);
    const CliRun pipe = Cmd("report " + Quote(dir / "pipe.dmp"));
    EXPECT_EQ(pipe.Status, 1);
    EXPECT_NE(pipe.Err.find("It is a pipe, not a file."), std::string::npos) << pipe.Err;
}

TEST_F(CliMessages, BadPortsNameTheWrongPartAndTheValidRangeAtOnce) {
    const struct {
        const char *Environment, *Arguments, *Expected;
        int Status;
    } cases[] = {
        {"", "--port 99:1", "--port 99:1: Adapter type 99 does not exist; the types are 5", 2},
        {"", "--port 5:0", "--port 5:0: Port number 0 is outside 1-255", 2},
        {"", "--port x:1", "--port x:1: the adapter type \"x\" is not a whole number", 2},
        {"", "--port 5:1:/dev/ttyUSB0", "--port takes TYPE:NUMBER", 2},
        {"KELVARA_PORT=5:x", "", "KELVARA_PORT=5:x: the port number \"x\" is not a whole number 1-255", 2},
        {"KELVARA_PORT=99:1", "", "KELVARA_PORT=99:1: Adapter type 99 does not exist", 2},
    };
    for (const auto& c : cases) {
        const CliRun run =
            Cmd(std::string("download ") + c.Arguments + " -o " + Quote(dir / "x.dmp"), {}, c.Environment);
        EXPECT_EQ(run.Status, c.Status) << c.Arguments << c.Environment;
        EXPECT_NE(run.Err.find(c.Expected), std::string::npos) << run.Err;
        EXPECT_TRUE(run.Err.starts_with("kelvara-cli: ")) << run.Err;
        EXPECT_FALSE(fs::exists(dir / "x.dmp"));
    }
}

TEST_F(CliMessages, AnAdapterThatDoesNotAnswerIsReportedForTheCommandLine) {
    const CliRun run = Cmd("download --port 5:99 -o " + Quote(dir / "x.dmp"));
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(
        run.Err,
        "kelvara-cli: download: no adapter answers on port 5:99: Cannot open /dev/ttyS98: No such file or "
        "directory\n"
        "kelvara-cli: download: kelvara-portsetup --list shows the adapters found.\n");
    // None of the window's box: no question the command line cannot ask.
    EXPECT_EQ(run.Err.find("Port Setup Tool"), std::string::npos) << run.Err;
    EXPECT_EQ(run.Err.find("Blue-dot"), std::string::npos);

    // A settings folder that cannot be checked costs a warning, not the download.
    fs::create_directory_symlink(dir / "loop", dir / "loop");
    const CliRun looped =
        Cmd("download -o " + Quote(dir / "y.dmp"), {}, "KELVARA_CONFIG_DIR=" + Quote(dir / "loop"));
    EXPECT_EQ(looped.Status, 0) << looped.Err;
    EXPECT_NE(looped.Err.find("kelvara-cli: download: warning: The port settings " + (dir / "loop").string()),
              std::string::npos)
        << looped.Err;
    EXPECT_NE(looped.Err.find("Too many levels of symbolic links"), std::string::npos);
    EXPECT_TRUE(fs::exists(dir / "y.dmp"));
}

TEST_F(CliMessages, NoDeviceOnTheAdapterSaysWhereItLookedAndWhatToDo) {
    std::ofstream(dir / "virtual-adapter.txt")
        << "kelvara-virtual-adapter 2\nsaved-at 0\nnext-serial 5\nend-of-file\n";
    const CliRun run = Cmd("download --port 15:1 -o " + Quote(dir / "x.dmp"));
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(
        run.Err,
        "kelvara-cli: download: no DS1921 was found on the virtual adapter (port 15:1) within 5 s; clip one "
        "into the adapter (or insert one in the window's Options > Virtual adapter...) and try again\n");
}

// kelvara-cli killed in the middle of a class batch: only whole outputs, and
// no temporary file, are ever left in the output folder.
TEST_F(CliMessages, ABatchKilledAtAnyMomentLeavesOnlyWholeFiles) {
    fs::create_directories(dir / "class");
    std::vector<std::string> argv{kCli, "csv", "--now", "2026-12-07 10:00:00", "-o", (dir / "out").string()};
    for (int i = 0; i < 30; ++i) {
        const fs::path file = dir / "class" / ("pupil" + std::to_string(i) + ".dmp");
        fs::copy_file(kData / "demo-mission.dmp", file);
        argv.push_back(file.string());
    }
    const std::string expected = ReadAll(kData / "demo-mission.csv");
    std::mt19937 random(4);
    for (int round = 0; round < 8; ++round) {
        fs::remove_all(dir / "out");
        fs::create_directories(dir / "out");
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::vector<char*> args;
            for (auto& arg : argv) args.push_back(arg.data());
            args.push_back(nullptr);
            ::setenv("KELVARA_DATA_DIR", dir.c_str(), 1);
            ::freopen("/dev/null", "w", stderr);
            ::execv(kCli.c_str(), args.data());
            ::_exit(127);
        }
        ::usleep(50000 + random() % 400000);
        ::kill(child, round % 2 ? SIGINT : SIGTERM);
        int status = 0;
        ::waitpid(child, &status, 0);
        for (const auto& entry : fs::directory_iterator(dir / "out")) {
            const std::string name = entry.path().filename();
            EXPECT_TRUE(name.starts_with("pupil") && name.ends_with(".csv")) << "left behind: " << name;
            EXPECT_EQ(ReadAll(entry.path()), expected) << name;
        }
    }
}
