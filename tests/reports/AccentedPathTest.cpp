// Paths are the file system's own names, not program text: a folder or file
// named in any language is saved to, loaded from and shown as it is named.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/TTRecForm.h"
#include "files/FilePath.h"
#include "support/PerTestPath.h"
#include "support/ScriptedDriver.h"
#include "support/ScriptedPlatform.h"

namespace fs = std::filesystem;

TEST(PathsInAnyLanguage, DataFilesSaveLoadAndShowUnderTheirOwnNames) {
    const ScratchFolder scratch("kelvara-names");
    const fs::path& root = scratch.path;
    // "Schüler" and "Иванов" / "миссия" as the file system names them (UTF-8).
    const fs::path pupil = root / "Sch\xC3\xBCler" / "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\xD0\xBE\xD0\xB2.dmp";
    const fs::path other = pupil.parent_path() / "\xD0\x9F\xD0\xB5\xD1\x82\xD1\x80\xD0\xBE\xD0\xB2.dmp";
    fs::create_directories(pupil.parent_path());

    ScriptedPlatform platform;
    ScriptedDriver driver;
    TTRecForm form(platform, driver);
    form.FormCreate({});
    form.Caption = "DS1921 iButton - A766554433221121";
    form.Image.LogArea[5] = 0x7E;
    platform.SaveAnswers.push_back(pupil.string());
    form.ExportDump();
    form.Image.LogArea[5] = 0x11;
    platform.SaveAnswers.push_back(other.string());
    form.ExportDump();
    // Two names Windows-1252 cannot hold stay two files.
    ASSERT_TRUE(fs::exists(pupil));
    ASSERT_TRUE(fs::exists(other));
    EXPECT_EQ(std::distance(fs::directory_iterator(pupil.parent_path()), fs::directory_iterator()), 2);

    TTRecForm reader(platform, driver);
    reader.FormCreate({pupil.string()});  // as the command line gives it
    EXPECT_TRUE(reader.OfflineMode());
    EXPECT_EQ(reader.Image.LogArea[5], 0x7E);
    EXPECT_EQ(reader.Caption, "DS1921 iButton - A766554433221121");
    platform.OpenAnswers.push_back(other.string());
    reader.menuOpenClick();
    EXPECT_EQ(reader.Image.LogArea[5], 0x11);

    // A name in a box is shown as the file system spells it.
    const std::size_t boxes = platform.Boxes.size();
    reader.LoadCmd(pupil.parent_path() / "\xD0\xA1\xD0\xB8\xD0\xB4\xD0\xBE\xD1\x80\xD0\xBE\xD0\xB2.dmp");
    ASSERT_EQ(platform.Boxes.size(), boxes + 1);
    const std::string shown = ShownTextToUtf8(platform.Boxes.back().Text);
    EXPECT_NE(shown.find("Sch\xC3\xBCler/\xD0\xA1\xD0\xB8\xD0\xB4\xD0\xBE\xD1\x80\xD0\xBE\xD0\xB2.dmp\""),
              std::string::npos)
        << shown;
    EXPECT_NE(shown.find("No such file or directory"), std::string::npos);
}

TEST(PathsInAnyLanguage, ShownPathsKeepEveryNameAndOnlyThePathIsDecodedAsUtf8) {
    // Program text around the path is Windows-1252 (0xB0 the degree sign).
    const std::string text = "23\xB0 in " + ShownPath(FilePath("/t/\xD0\x98.dmp")) + " \xB0";
    EXPECT_EQ(ShownTextToUtf8(text), "23\xC2\xB0 in /t/\xD0\x98.dmp \xC2\xB0");
    // Bytes that spell nothing, and control characters that would split a box line.
    EXPECT_EQ(ShownTextToUtf8(ShownPath(FilePath("a\xFF\nb"))), "a\xEF\xBF\xBD?b");
    // A text cut inside the path still shows what it has.
    const std::string cut = ShownPath(FilePath("/x/\xD0\x98"));
    EXPECT_EQ(ShownTextToUtf8(cut.substr(0, cut.size() - 1)), "/x/\xD0\x98");
    // A settings file's folder: UTF-8 as it stands, Windows-1252 converted.
    EXPECT_EQ(PathFromSettingsText("/d/\xD0\x98").Native(), "/d/\xD0\x98");
    EXPECT_EQ(PathFromSettingsText("/d/Sch\xFCler").Native(), "/d/Sch\xC3\xBCler");
    EXPECT_EQ(FilePath("/a/b.dmp").Folder().Native(), "/a");
    EXPECT_EQ(FilePath("b.dmp").Folder().Native(), ".");
    EXPECT_EQ(FilePath("/b.dmp").Folder().Native(), "/");
    EXPECT_EQ((FilePath("/a/") / "b").Native(), "/a/b");
}
