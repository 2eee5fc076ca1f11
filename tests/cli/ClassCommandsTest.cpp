// kelvara-cli survey and table as a user runs them, and what spreadsheets,
// Python and LibreOffice Calc make of their files.
#include <fstream>

#include "cli/CliFixture.h"

namespace {
class ClassCommands : public Cli {};

bool Have(const char* program) {
    return std::system(("command -v " + std::string(program) + " >/dev/null 2>&1").c_str()) == 0;
}

// Python's csv module reads the file and every cell of a typed column parses
// as that type: ISO 8601 dates, numbers with a dot. Prints "ok" or what failed.
const char* const kTypeCheck = R"PY(
import csv, sys, datetime
dates, numbers = set(sys.argv[2].split(',')), set(sys.argv[3].split(','))
with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:
    rows = list(csv.reader(f))
header, body = rows[0], rows[1:]
for row in body:
    if len(row) != len(header): sys.exit('row of %d cells under %d columns' % (len(row), len(header)))
    for name, cell in zip(header, row):
        if cell == '': continue
        if name in dates: datetime.datetime.fromisoformat(cell)
        if name in numbers or ('*' in numbers and name != header[0]): float(cell)
print('ok', len(body))
)PY";
}  // namespace

TEST_F(ClassCommands, SurveyAndTableOfTheTestDataReadWithTheirTypes) {
    const std::string data = Quote(kData / "demo-mission.dmp") + " " + Quote(kData / "short-mission.dmp");
    ASSERT_EQ(Cmd("survey " + data + " -o " + Quote(dir / "survey.csv")).Status, 0);
    ASSERT_EQ(Cmd("table " + data + " -o " + Quote(dir / "table.csv")).Status, 0);
    ASSERT_EQ(Cmd("table --wide " + data + " -o " + Quote(dir / "wide.csv")).Status, 0);
    std::ofstream(dir / "check.py") << kTypeCheck;
    if (!Have("python3")) GTEST_SKIP() << "python3 is not installed";
    const struct {
        const char* File;
        const char* Dates;
        const char* Numbers;
        const char* Rows;
    } files[] = {
        {"survey.csv", "mission_start,first_sample,last_sample",
         "sample_rate_minutes,samples,min_C,mean_C,max_C,high_alarms,high_alarm_minutes,low_alarms,low_alarm_"
         "minutes",
         "ok 2\n"},
        {"table.csv", "time", "temperature_C", "ok 288\n"},  // the short download is the same mission
        {"wide.csv", "time", "*", "ok 288\n"},
    };
    for (const auto& f : files) {
        FILE* pipe = ::popen(("python3 " + Quote(dir / "check.py") + " " + Quote(dir / f.File) + " " +
                              f.Dates + " " + f.Numbers + " 2>&1")
                                 .c_str(),
                             "r");
        ASSERT_NE(pipe, nullptr);
        char buffer[512] = {};
        const std::size_t n = std::fread(buffer, 1, sizeof buffer - 1, pipe);
        ::pclose(pipe);
        EXPECT_EQ(std::string(buffer, n), f.Rows) << f.File;
    }
}

TEST_F(ClassCommands, LibreOfficeCalcTakesDatesAsDatesAndTemperaturesAsNumbers) {
    if (!Have("soffice") || !Have("unzip")) GTEST_SKIP() << "LibreOffice (soffice) or unzip is not installed";
    ASSERT_EQ(Cmd("survey " + Quote(kData / "demo-mission.dmp") + " -o " + Quote(dir / "survey.csv")).Status,
              0);
    const std::string convert =
        "cd " + Quote(dir) + " && timeout 120 soffice --headless -env:UserInstallation=file://" +
        (dir / "profile").string() +
        " --convert-to ods survey.csv >/dev/null 2>&1 && unzip -p survey.ods content.xml";
    FILE* pipe = ::popen(convert.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string xml;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) xml.append(buffer, n);
    ::pclose(pipe);
    ASSERT_FALSE(xml.empty()) << "the conversion failed";
    EXPECT_NE(xml.find("office:date-value=\"2026-12-05T20:33:00\""), std::string::npos);  // mission start
    EXPECT_NE(xml.find("office:value-type=\"float\" office:value=\"20.807\""), std::string::npos);  // mean
    EXPECT_NE(xml.find("office:value-type=\"float\" office:value=\"288\""), std::string::npos);     // samples
}

TEST_F(ClassCommands, SurveyGoesOnPastFilesItCannotRead) {
    std::ofstream(dir / "notes.txt") << "not a data file\n";
    const CliRun run = Cmd("survey --format text " + Quote(kData / "demo-mission.dmp") + " " +
                           Quote(dir / "notes.txt") + " " + Quote(dir / "absent.dmp"));
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_NE(run.Out.find("6774F5A09E15EA21  Standard"), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find("cannot be read: Its first line is \"not a data file\""), std::string::npos);
    EXPECT_NE(run.Out.find("No such file or directory"), std::string::npos);

    // The table says on standard error what it left out.
    const CliRun table = Cmd("table " + Quote(kData / "demo-mission.dmp") + " " + Quote(dir / "absent.dmp"));
    EXPECT_EQ(table.Status, 1);
    EXPECT_NE(table.Err.find("absent.dmp"), std::string::npos);
    EXPECT_EQ(std::count(table.Out.begin(), table.Out.end(), '\n'), 289);
}

TEST_F(ClassCommands, ClassCommandsRefuseWhatWouldLoseAFile) {
    std::filesystem::copy_file(kData / "demo-mission.dmp", dir / "m.dmp");
    const CliRun clash = Cmd("survey " + Quote(dir / "m.dmp") + " -o " + Quote(dir / "m.dmp"));
    EXPECT_EQ(clash.Status, 1);
    EXPECT_NE(clash.Err.find("is the data file"), std::string::npos);
    EXPECT_EQ(ReadAll(dir / "m.dmp"), ReadAll(kData / "demo-mission.dmp"));
    EXPECT_EQ(Cmd("survey").Status, 2);
    EXPECT_EQ(Cmd("table --format text x.dmp").Status, 2);
    EXPECT_EQ(Cmd("mission --rate 0").Status, 2);
    const CliRun help = Cmd("--help");
    EXPECT_NE(help.Out.find("survey FILE..."), std::string::npos);
    EXPECT_NE(help.Out.find("--batch N"), std::string::npos);
}
