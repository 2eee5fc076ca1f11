// Only the lines a data file's reader uses are read, so any file picked by
// mistake, however large, gets a message instead of exhausting memory.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/TTRecForm.h"
#include "files/ReadFile.h"
#include "reports/DumpFormat.h"
#include "reports/ReportLines.h"
#include "support/ScriptedDriver.h"
#include "support/ScriptedPlatform.h"

namespace fs = std::filesystem;

namespace {
class LeadingLines : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("kelvara-leading-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path Write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return dir / name;
    }
    fs::path dir;
};
}  // namespace

TEST_F(LeadingLines, StopsAfterTheLinesAskedForWhateverTheLineEnds) {
    // A CR LF split across two reads is still one line end.
    const std::string first(65535, 'a');
    const auto path = Write("split", first + "\r\nb\nc\rd\r\ne\r\nf");
    std::string bytes, error;
    ASSERT_TRUE(ReadLeadingLines(path, 4, 1 << 20, bytes, error)) << error;
    EXPECT_EQ(bytes, first + "\r\nb\nc\rd\r");
    ASSERT_TRUE(ReadLeadingLines(path, 9, 1 << 20, bytes, error));
    EXPECT_EQ(bytes.size(), fs::file_size(path));

    EXPECT_FALSE(ReadLeadingLines(path, 2, 1000, bytes, error));
    EXPECT_NE(error.find("not a data file"), std::string::npos);
    EXPECT_FALSE(ReadLeadingLines(dir / "absent", 2, 1000, bytes, error));
    EXPECT_NE(error.find("No such file or directory"), std::string::npos);
}

TEST_F(LeadingLines, HugeFilesLoadByTheirHeadOrAreRefused) {
    ScriptedPlatform platform;
    ScriptedDriver driver;
    TTRecForm form(platform, driver);
    form.FormCreate({});
    MemoryImage image;
    image.LogArea.fill(0x5A);
    const std::string data = JoinCrLf(DumpLines("DS1921 iButton - 0F3B200000000021", "x", image));
    const auto tailed = Write("tailed.dmp", data + std::string(3 << 20, 'z'));
    form.LoadCmd(tailed);
    ASSERT_TRUE(form.OfflineMode());
    EXPECT_EQ(form.Image.LogArea, image.LogArea);
    EXPECT_TRUE(form.menuIce.Checked);

    form.menuCloseClick();
    const auto blob = Write("blob.dmp", std::string(3 << 20, '0'));
    form.LoadCmd(blob);
    EXPECT_FALSE(form.OfflineMode());
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_NE(platform.Boxes[0].Text.find("not a data file"), std::string::npos);
    EXPECT_EQ(form.Image.LogArea, image.LogArea);
}
