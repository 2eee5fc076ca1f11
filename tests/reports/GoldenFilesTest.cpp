// Data files under tests/data and the outputs the window saves for them,
// compared byte for byte. The expected files were checked line by line
// against the report, print and CSV layouts; the CLI tests compare its
// output with the same files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/TTRecForm.h"
#include "reports/DumpFormat.h"
#include "reports/ReportLines.h"
#include "support/ScriptedDriver.h"
#include "support/ScriptedPlatform.h"
#include "support/ReadFile.h"

namespace fs = std::filesystem;

namespace {
struct Golden {
    const char* DataFile;
    const char* Expected;
    const char* Command;  // report, csv, histogram-csv, summary, full-print
    bool Fahrenheit = false;
    bool NoUnits = false;
    int LogView = 0;
    int HistogramView = 0;
};

const Golden kGoldens[] = {
    {"demo-mission.dmp", "demo-mission.report.txt", "report"},
    {"demo-mission.dmp", "demo-mission.csv", "csv"},
    {"demo-mission.dmp", "demo-mission.histogram-bin.csv", "histogram-csv", false, true, 0, 2},
    {"demo-mission.dmp", "demo-mission.summary.txt", "summary"},
    {"demo-mission.dmp", "demo-mission.full-print-offset-f.txt", "full-print", true, false, 1, 0},
    {"short-mission.dmp", "short-mission.csv", "csv"},
    {"short-mission.dmp", "short-mission.report-offset.txt", "report", false, false, 1, 0},
};

class GoldenFiles : public ::testing::TestWithParam<Golden> {
protected:
    void SetUp() override {
        out = fs::temp_directory_path() / ("kelvara-golden-" + std::to_string(::getpid()));
        fs::create_directories(out);
    }
    void TearDown() override { fs::remove_all(out); }

    // What the window saves: the file opened from the menu, the views chosen, the command run.
    std::string WindowOutput(const Golden& g, const std::string& dataPath) {
        ScriptedPlatform platform;
        ScriptedDriver driver;
        TTRecForm form(platform, driver);
        form.FormCreate({});
        platform.OpenAnswers.push_back(dataPath);
        form.menuOpenClick();
        EXPECT_TRUE(form.OfflineMode());
        if (g.Fahrenheit) form.MenuFahrenheitClick();
        if (g.NoUnits) form.MenuShowFCClick();
        if (g.LogView) {
            form.LogRadio.Select(g.LogView);
            form.LogRadioClick();
        }
        if (g.HistogramView) {
            form.HistRadio.Select(g.HistogramView);
            form.HistRadioClick();
        }
        const fs::path target = out / "saved";
        platform.SaveAnswers.push_back(target.string());
        const std::string command = g.Command;
        if (command == "report") form.MenuSaveDataClick();
        if (command == "csv") form.MenuSaveCSVClick();
        if (command == "histogram-csv") form.menuSaveHistClick();
        if (command == "summary") form.PrintSummaryClick();
        if (command == "full-print") form.Printfullreport1Click();
        if (!platform.Printed.empty()) return JoinCrLf(platform.Printed.back());
        return ReadAll(target);
    }

    fs::path out;
};
}  // namespace

TEST_P(GoldenFiles, WindowSavesTheExpectedBytes) {
    const Golden& g = GetParam();
    const fs::path data = fs::path(KELVARA_TEST_DATA_DIR);
    const std::string expected = ReadAll(data / g.Expected);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(WindowOutput(g, (data / g.DataFile).string()), expected);
}

// Line feeds only and lower-case digits load the same.
TEST_P(GoldenFiles, RewrittenDataFileGivesTheSameBytes) {
    const Golden& g = GetParam();
    const fs::path data = fs::path(KELVARA_TEST_DATA_DIR);
    std::string text = ReadAll(data / g.DataFile);
    std::string rewritten;
    const auto lines = SplitLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string line(lines[i]);
        if (i >= 3)
            for (char& c : line) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        rewritten += line + "\n";
    }
    const fs::path copy = out / "lf.dmp";
    std::ofstream(copy, std::ios::binary) << rewritten;
    EXPECT_EQ(WindowOutput(g, copy.string()), ReadAll(data / g.Expected));
}

INSTANTIATE_TEST_SUITE_P(Outputs, GoldenFiles, ::testing::ValuesIn(kGoldens), [](const auto& info) {
    std::string name = info.param.Expected;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

TEST(GoldenDataFile, SaveAfterLoadGivesTheSameFile) {
    const fs::path data = fs::path(KELVARA_TEST_DATA_DIR) / "demo-mission.dmp";
    ScriptedPlatform platform;
    ScriptedDriver driver;
    TTRecForm form(platform, driver);
    form.FormCreate({data.string()});
    ASSERT_TRUE(form.OfflineMode());
    EXPECT_EQ(JoinCrLf(form.DumpLines()), ReadAll(data));
    EXPECT_EQ(form.LogList.Items.size(), 288u);
    EXPECT_EQ(form.AlarmList.Items.size(), 18u);
    EXPECT_EQ(form.HistList.Items.size(), 63u);
}
