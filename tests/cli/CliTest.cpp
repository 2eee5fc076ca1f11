// kelvara-cli as a user runs it: its bytes against the window's golden files,
// batches, exit codes and messages.
#include <algorithm>
#include <fstream>

#include "cli/CliFixture.h"
#include "device/virtual/VirtualAdapter.h"

TEST_F(Cli, OutputsAreTheWindowsBytes) {
    const struct {
        const char* Args;
        const char* Expected;
    } cases[] = {
        {"report demo-mission.dmp", "demo-mission.report.txt"},
        {"csv demo-mission.dmp", "demo-mission.csv"},
        {"histogram-csv --histogram-view bin --no-units demo-mission.dmp", "demo-mission.histogram-bin.csv"},
        {"summary demo-mission.dmp", "demo-mission.summary.txt"},
        {"full-print --log-view offset --fahrenheit demo-mission.dmp",
         "demo-mission.full-print-offset-f.txt"},
        {"csv short-mission.dmp", "short-mission.csv"},
        {"report --log-view offset short-mission.dmp", "short-mission.report-offset.txt"},
    };
    for (const auto& c : cases) {
        const std::string args = c.Args;
        const std::string options = args.substr(0, args.rfind(' '));
        const std::string data = Quote(kData / args.substr(args.rfind(' ') + 1));
        const CliRun out = Cmd(options + kNow + data);
        EXPECT_EQ(out.Status, 0) << c.Args << "\n" << out.Err;
        EXPECT_EQ(out.Out, ReadAll(kData / c.Expected)) << c.Args;
        // -o writes the same bytes to a file.
        const CliRun toFile = Cmd(options + kNow + data + " -o " + Quote(dir / "out"));
        EXPECT_EQ(toFile.Status, 0);
        EXPECT_EQ(ReadAll(dir / "out"), ReadAll(kData / c.Expected)) << c.Args;
    }
}

TEST_F(Cli, ClassBatchGoesToAFolder) {
    fs::create_directories(dir / "class 4b" / "out");
    for (const char* name : {"ann smith.dmp", "bob.dmp", "cy.dmp"})
        fs::copy_file(kData / "demo-mission.dmp", dir / "class 4b" / name);
    const CliRun run = Cmd("csv" + kNow + Quote(dir / "class 4b" / "ann smith.dmp") + " " +
                           Quote(dir / "class 4b" / "bob.dmp") + " " + Quote(dir / "class 4b" / "cy.dmp") +
                           " -o " + Quote(dir / "class 4b" / "out"));
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_TRUE(run.Out.empty());
    for (const char* name : {"ann smith.csv", "bob.csv", "cy.csv"})
        EXPECT_EQ(ReadAll(dir / "class 4b" / "out" / name), ReadAll(kData / "demo-mission.csv")) << name;
}

TEST_F(Cli, AFailingFileIsReportedAndTheOthersStillConvert) {
    fs::create_directories(dir / "out");
    std::ofstream(dir / "short.dmp", std::ios::binary)
        << "DS1921 iButton - 0011223344556621\r\nDownload at: x\r\nSpare\r\n";
    const CliRun run = Cmd("report" + kNow + Quote(dir / "absent.dmp") + " " + Quote(dir / "short.dmp") +
                           " " + Quote(kData / "demo-mission.dmp") + " -o " + Quote(dir / "out"));
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Err.find("absent.dmp"), std::string::npos);
    EXPECT_NE(run.Err.find("No such file or directory"), std::string::npos);
    EXPECT_NE(run.Err.find("short.dmp"), std::string::npos);
    EXPECT_NE(run.Err.find("ends after line 3"), std::string::npos);
    EXPECT_EQ(run.Err.find("adapter"), std::string::npos) << run.Err;
    EXPECT_FALSE(fs::exists(dir / "out" / "absent.txt"));
    EXPECT_FALSE(fs::exists(dir / "out" / "short.txt"));
    EXPECT_EQ(ReadAll(dir / "out" / "demo-mission.txt"), ReadAll(kData / "demo-mission.report.txt"));
}

// Two data files of the same name from different folders, or an output that
// would land on a data file, must not cost a file silently.
TEST_F(Cli, NoOutputOverwritesAnotherOrADataFile) {
    for (const char* folder : {"a", "b", "out"}) fs::create_directories(dir / folder);
    fs::copy_file(kData / "demo-mission.dmp", dir / "a" / "m.dmp");
    fs::copy_file(kData / "short-mission.dmp", dir / "b" / "m.dmp");
    const CliRun run = Cmd("csv" + kNow + Quote(dir / "a" / "m.dmp") + " " + Quote(dir / "b" / "m.dmp") +
                           " -o " + Quote(dir / "out"));
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Err.find("b/m.dmp"), std::string::npos) << run.Err;
    EXPECT_TRUE(ReadAll(dir / "out" / "m.csv") == ReadAll(kData / "demo-mission.csv"));

    const std::string data = ReadAll(dir / "a" / "m.dmp");
    const CliRun onto =
        Cmd("report" + kNow + Quote(dir / "a" / "m.dmp") + " -o " + Quote(dir / "a" / "m.dmp"));
    EXPECT_EQ(onto.Status, 1);
    EXPECT_TRUE(ReadAll(dir / "a" / "m.dmp") == data);
}

TEST_F(Cli, UsageErrorsAndHelp) {
    const CliRun help = Cmd("--help");
    EXPECT_EQ(help.Status, 0);
    EXPECT_NE(help.Out.find("Usage: kelvara-cli"), std::string::npos);
    for (const char* args :
         {"", "frobnicate x.dmp", "report", "report --log-view sideways x.dmp",
          "report --histogram-view x x.dmp", "download", "download x.dmp -o y", "report --port 15:1 x.dmp",
          "download --port 15 -o y", "report --bogus x.dmp", "report --now yesterday x.dmp"}) {
        const CliRun run = Cmd(args);
        EXPECT_EQ(run.Status, 2) << args;
        EXPECT_NE(run.Err.find("Usage:"), std::string::npos) << args;
    }
    const CliRun several = Cmd("report a.dmp b.dmp");
    EXPECT_EQ(several.Status, 2);
    EXPECT_NE(several.Err.find("folder"), std::string::npos);
}

TEST_F(Cli, TitlesComeFromTheNamedSettingsFile) {
    std::ofstream(dir / "school.ini", std::ios::binary)
        << "[Title]\r\nstring0=Vorname:\r\nstring4=Projekt:\r\n";
    const CliRun run = Cmd("report" + kNow + "--titles " + Quote(dir / "school.ini") + " " +
                           Quote(kData / "demo-mission.dmp"));
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_NE(run.Out.find("\r\nVorname:                                 \r\nSurname: "), std::string::npos);
    EXPECT_NE(run.Out.find("\r\nProjekt: Demo mission"), std::string::npos);
    const CliRun missing =
        Cmd("report --titles " + Quote(dir / "none.ini") + " " + Quote(kData / "demo-mission.dmp"));
    EXPECT_EQ(missing.Status, 1);
    EXPECT_NE(missing.Err.find("none.ini"), std::string::npos);
}

TEST_F(Cli, DownloadFromTheVirtualAdapterSavesALoadableDataFile) {
    // The driver's default port, with nothing saved, is the virtual adapter.
    const CliRun run = Cmd("download -o " + Quote(dir / "pond.dmp"));
    ASSERT_EQ(run.Status, 0) << run.Err;
    const std::string file = ReadAll(dir / "pond.dmp");
    EXPECT_EQ(file.substr(0, 17), "DS1921 iButton - ");
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 185);
    const CliRun report = Cmd("report " + Quote(dir / "pond.dmp"));
    EXPECT_EQ(report.Status, 0) << report.Err;
    EXPECT_NE(report.Out.find("Mission is in progress"), std::string::npos);

    // The demo device set up for the download is kept for the window's next start.
    ASSERT_TRUE(fs::exists(dir / "virtual-adapter.txt"));
    ManualClock clock(ManualClock::MsFromDateTime(46000.5));
    VirtualAdapter saved((dir / "virtual-adapter.txt").string(), clock);
    EXPECT_EQ(saved.Load(), "");
    EXPECT_FALSE(saved.Seeded());
    EXPECT_EQ(saved.Devices().size(), 1u);

    const CliRun explicitPort = Cmd("download --port 15:1 -o " + Quote(dir / "again.dmp"));
    EXPECT_EQ(explicitPort.Status, 0) << explicitPort.Err;
    EXPECT_EQ(explicitPort.Err.find("warning"), std::string::npos) << explicitPort.Err;

    const CliRun noAdapter = Cmd("download --port 5:99 -o " + Quote(dir / "none.dmp"));
    EXPECT_EQ(noAdapter.Status, 1);
    EXPECT_FALSE(noAdapter.Err.empty());
    EXPECT_FALSE(fs::exists(dir / "none.dmp"));

    // No DS9490 on this machine: a clear message at once, not a wait.
    const CliRun noUsb = Cmd("download --port 6:1 -o " + Quote(dir / "none.dmp"));
    EXPECT_EQ(noUsb.Status, 1);
    EXPECT_NE(noUsb.Err.find("no adapter answers on port 6:1"), std::string::npos) << noUsb.Err;
    EXPECT_FALSE(fs::exists(dir / "none.dmp"));
}

TEST_F(Cli, DownloadSucceedsWhenTheVirtualAdapterStateCannotBeSaved) {
    std::ofstream(dir / "a-file") << "not a folder";
    const CliRun run = Cmd("download -o " + Quote(dir / "pond.dmp"), dir / "a-file" / "data");
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_TRUE(fs::exists(dir / "pond.dmp"));
    EXPECT_NE(run.Err.find("warning: the virtual adapter's state was not saved"), std::string::npos)
        << run.Err;
}
