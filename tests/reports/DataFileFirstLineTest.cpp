// A data file's first line is the device's caption: a byte-order mark or
// lower-case digits do not change the device, and a file whose first line is
// no such caption is not a data file at all.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "app/Settings.h"
#include "app/TTRecForm.h"
#include "reports/DumpFormat.h"
#include "reports/ReportLines.h"
#include "support/PerTestPath.h"
#include "support/ReadFile.h"
#include "support/ScriptedDriver.h"
#include "support/ScriptedPlatform.h"

namespace fs = std::filesystem;

namespace {
class FirstLine : public ::testing::Test {
protected:
    void SetUp() override {
        form.FormCreate({});
        image.LogArea.fill(0x60);
        image.RegisterPage[0x0D] = 10;
    }
    fs::path Write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return dir / name;
    }
    std::string DataFile(const std::string& caption) { return JoinCrLf(DumpLines(caption, "x", image)); }

    ScratchFolder scratch{"kelvara-first-line"};
    const fs::path dir = scratch.path;
    MemoryImage image;
    ScriptedPlatform platform;
    ScriptedDriver driver;
    TTRecForm form{platform, driver};
};
}  // namespace

TEST_F(FirstLine, AByteOrderMarkAndLowerCaseDigitsLoadTheDeviceTheFileNames) {
    form.LoadCmd(Write("body.dmp", "\xEF\xBB\xBF" + DataFile("DS1921 iButton - 0f4f200000000021")));
    ASSERT_TRUE(form.OfflineMode());
    EXPECT_TRUE(form.menuHuman.Checked);
    EXPECT_FALSE(form.menuStandard.Checked);
    EXPECT_EQ(form.Caption, "DS1921 iButton - 0f4f200000000021") << "the mark is not part of the caption";
    EXPECT_EQ(form.Image.LogArea, image.LogArea);

    form.LoadCmd(Write("ice.dmp", DataFile("DS1921 iButton - 0F3b200000000021")));
    EXPECT_TRUE(form.menuIce.Checked);
}

TEST_F(FirstLine, AFileThatIsNoDataFileIsRefusedAndTheWindowStaysAsItWas) {
    form.LoadCmd(Write("good.dmp", DataFile("DS1921 iButton - 0F3B200000000021")));
    ASSERT_TRUE(form.OfflineMode());
    const auto logBefore = form.LogList.Items;
    const std::string captionBefore = form.Caption;
    // A CSV export of this very file, picked by mistake.
    platform.SaveAnswers.push_back((dir / "export.csv").string());
    form.ExportDataCSV();
    const std::string exported = ReadAll(dir / "export.csv");
    ASSERT_FALSE(exported.empty());

    for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
             {"README", "Kelvara\nA program for DS1921 loggers.\n"},
             {"export.dmp", exported},
             {"binary.dmp", std::string("\x7F"
                                        "ELF\x02\x01\x01\0\0\0",
                                        10) +
                                std::string(5000, '\0')},
             {"empty.dmp", ""},
             {"blank-first.dmp", "\r\n" + DataFile("DS1921 iButton - 0F3B200000000021")},
             {"short-rom.dmp", DataFile("DS1921 iButton - 0011")},
             {"other-device.dmp", DataFile("DS1922 iButton - 0F3B200000000041")}}) {
        const std::size_t boxes = platform.Boxes.size();
        form.LoadCmd(Write(name, bytes));
        ASSERT_EQ(platform.Boxes.size(), boxes + 1) << name;
        const std::string& text = platform.Boxes.back().Text;
        EXPECT_NE(text.find(name), std::string::npos) << text;
        EXPECT_NE(text.find("not a data file of this program"), std::string::npos) << name << ": " << text;
        EXPECT_EQ(platform.Boxes.back().Icon, MsgIcon::Error);
        // Nothing of what was shown has changed.
        EXPECT_TRUE(form.OfflineMode()) << name;
        EXPECT_EQ(form.Caption, captionBefore) << name;
        EXPECT_EQ(form.LogList.Items, logBefore) << name;
        EXPECT_TRUE(form.MenuSaveCSV.Enabled) << name;
    }
    EXPECT_EQ(DataFileCaptionProblem("DS1921 iButton - 0F3B200000000021"), "");
    EXPECT_NE(DataFileCaptionProblem("DS1921 iButton - 0F3B20000000002G").find("not a data file"),
              std::string::npos);
}

TEST_F(FirstLine, APipeGivenAsADataFileOrAsTitlesIniIsRefusedWithoutWaiting) {
    ASSERT_EQ(::mkfifo((dir / "pipe.dmp").c_str(), 0600), 0);
    form.LoadCmd(dir / "pipe.dmp");  // would block for ever if it opened the pipe
    EXPECT_FALSE(form.OfflineMode());
    ASSERT_FALSE(platform.Boxes.empty());
    EXPECT_NE(platform.Boxes.back().Text.find("It is a pipe, not a file."), std::string::npos);

    ASSERT_EQ(::mkfifo((dir / "Titles.ini").c_str(), 0600), 0);
    const TitlesSettings settings = ReadTitlesIni(dir / "Titles.ini", FilePath(dir.string() + "/"));
    ASSERT_EQ(settings.Problems.size(), 1u);
    EXPECT_NE(settings.Problems[0].find("pipe"), std::string::npos);
    EXPECT_EQ(settings.Titles[0], "First Name:");
}
