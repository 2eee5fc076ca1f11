// kelvara-cli graph and histogram-graph as a teacher runs them: one picture per
// data file, the format by extension, the window's message for a short log.
#include <fstream>

#include "cli/CliFixture.h"

namespace {
class GraphCli : public Cli {};

bool StartsWith(const std::string& bytes, std::string_view head) { return bytes.rfind(head, 0) == 0; }
}  // namespace

TEST_F(GraphCli, GraphsTakeTheirFormatFromTheExtension) {
    const fs::path demo = kData / "demo-mission.dmp";
    for (const char* name : {"g.emf", "g.svg", "g.pdf", "g.png"}) {
        const CliRun run = Cmd("graph " + Quote(demo) + " -o " + Quote(dir / name));
        EXPECT_EQ(run.Status, 0) << name << run.Err;
    }
    EXPECT_EQ(ReadAll(dir / "g.emf").substr(40, 4), " EMF");
    EXPECT_NE(ReadAll(dir / "g.svg").find("<svg"), std::string::npos);
    EXPECT_TRUE(StartsWith(ReadAll(dir / "g.pdf"), "%PDF-"));
    EXPECT_TRUE(StartsWith(ReadAll(dir / "g.png"), "\x89PNG"));

    const CliRun bad = Cmd("graph " + Quote(demo) + " -o " + Quote(dir / "g.jpg"));
    EXPECT_EQ(bad.Status, 2);
    EXPECT_NE(bad.Err.find(".emf, .svg, .pdf or .png"), std::string::npos) << bad.Err;
    EXPECT_FALSE(fs::exists(dir / "g.jpg"));
}

TEST_F(GraphCli, AClassOfGraphsGoesToAFolderOneEach) {
    fs::create_directories(dir / "out");
    const std::string files = Quote(kData / "demo-mission.dmp") + " " + Quote(kData / "short-mission.dmp");
    EXPECT_EQ(Cmd("graph --format svg -o " + Quote(dir / "out") + " " + files).Status, 0);
    EXPECT_EQ(
        Cmd("histogram-graph --width 400 --height 300 --format png -o " + Quote(dir / "out") + " " + files)
            .Status,
        0);
    for (const char* name : {"demo-mission.svg", "short-mission.svg", "demo-mission-histogram.png",
                             "short-mission-histogram.png"})
        EXPECT_TRUE(fs::exists(dir / "out" / name)) << name;
    // The PNG header's width and height: 400 x 300.
    const std::string png = ReadAll(dir / "out" / "demo-mission-histogram.png");
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(16, 8), std::string("\0\0\x01\x90\0\0\x01\x2c", 8));
}

TEST_F(GraphCli, ALogOfOneLineIsNotEnoughToGraph) {
    // The mission counter at 0x1A says one sample.
    std::string text = ReadAll(kData / "short-mission.dmp");
    const auto at = text.find("92 26 0D 00 00");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 14, "92 26 01 00 00");
    std::ofstream(dir / "one.dmp", std::ios::binary) << text;
    const CliRun run = Cmd("graph " + Quote(dir / "one.dmp") + " -o " + Quote(dir / "one.svg"));
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Err.find("There is not enough data to graph!"), std::string::npos) << run.Err;
    EXPECT_FALSE(fs::exists(dir / "one.svg"));
    // The histogram of the same file is still there to draw.
    EXPECT_EQ(Cmd("histogram-graph " + Quote(dir / "one.dmp") + " -o " + Quote(dir / "one-h.svg")).Status, 0);
}

TEST_F(GraphCli, GraphUsageErrors) {
    const std::string demo = Quote(kData / "demo-mission.dmp");
    EXPECT_EQ(Cmd("graph " + demo).Status, 2);  // no -o
    EXPECT_EQ(Cmd("graph --width 0 " + demo + " -o x.svg").Status, 2);
    EXPECT_EQ(Cmd("graph --format gif " + demo + " -o x.svg").Status, 2);
    EXPECT_NE(Cmd("--help").Out.find("histogram-graph"), std::string::npos);
}
