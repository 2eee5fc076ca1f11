#include <gtest/gtest.h>

#include <filesystem>

#include "app/TTRecForm.h"
#include "support/ScriptedDriver.h"
#include "support/ScriptedPlatform.h"

// The form holds paths as Windows-1252 text, as the dialogs hand them over; a
// folder with an accented name must still be written to and read from.
TEST(AccentedPath, DataFileSavesAndLoadsInAFolderWithAnAccentedName) {
    const auto root = std::filesystem::temp_directory_path() /
                      ("kelvara-accent-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    const auto folder = root / "Sch\xC3\xBCler";  // "Schüler" as the file system names it (UTF-8)
    std::filesystem::create_directories(folder);
    const std::string win1252Path = root.string() + "/Sch\xFCler/mission.dmp";

    ScriptedPlatform platform;
    ScriptedDriver driver;
    TTRecForm form(platform, driver);
    form.FormCreate({});
    form.Caption = "DS1921 iButton - A766554433221121";
    form.Image.LogArea[5] = 0x7E;
    platform.SaveAnswers.push_back(win1252Path);
    form.ExportDump();
    EXPECT_TRUE(std::filesystem::exists(folder / "mission.dmp"));

    TTRecForm reader(platform, driver);
    reader.FormCreate({});
    const std::size_t boxesBefore = platform.Boxes.size();
    reader.LoadCmd(win1252Path);
    EXPECT_TRUE(reader.OfflineMode());
    EXPECT_EQ(platform.Boxes.size(), boxesBefore);
    EXPECT_EQ(reader.Image.LogArea[5], 0x7E);
    EXPECT_EQ(reader.Caption, "DS1921 iButton - A766554433221121");
    std::filesystem::remove_all(root);
}
