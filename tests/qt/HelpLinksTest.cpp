#include <gtest/gtest.h>

#include <QListWidget>
#include <filesystem>
#include <fstream>

#include "help/AboutBox.h"
#include "help/HelpLinks.h"
#include "support/ScriptedDriver.h"

TEST(DriverVersionLines, MainDriverThenOnlyThePortTypesThatAnswer) {
    ScriptedDriver driver;
    EXPECT_EQ(DriverVersionLines(driver),
              (std::vector<std::string>{"Main Driver: Scripted driver", "Type 15: Scripted port"}));
}

namespace {
// A driver that forgets the terminator must not make the list read past its buffer.
class UnterminatedDriver : public ScriptedDriver {
public:
    std::int16_t Get_Version(char* buffer) override {
        std::fill(buffer, buffer + 256, 'v');
        return 1;
    }
    std::int16_t TMGetTypeVersion(std::int16_t type, char* buffer) override {
        if (type != 1 && type != 5 && type != 6) return 0;
        std::fill(buffer, buffer + 3, 't');
        return 1;
    }
};
}  // namespace

TEST(DriverVersionLines, ToleratesAMissingTerminatorAndListsTypesInOrder) {
    UnterminatedDriver driver;
    const auto lines = DriverVersionLines(driver);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Main Driver: " + std::string(256, 'v'));
    EXPECT_EQ(lines[1], "Type 1: ttt");
    EXPECT_EQ(lines[3], "Type 6: ttt");
}

TEST(AboutBox, RebuildsTheVersionListEachTimeItIsShown) {
    ScriptedDriver driver;
    AboutBox box(driver, nullptr);
    box.show();
    EXPECT_EQ(box.VersionList()->count(), 2);
    box.hide();
    box.show();
    EXPECT_EQ(box.VersionList()->count(), 2);
    EXPECT_EQ(box.size(), QSize(426, 184));
}

TEST(WebLinks, PagesLieOnOneServer) {
    EXPECT_EQ(ProductPageUrl(), HomePageUrl() + "detail.asp?prodname=Kelvara&quick=1");
    EXPECT_EQ(SupportPageUrl(), HomePageUrl() + "forum/");
}

TEST(FindManual, FindsTheManualInAFolderWithAnAccentedName) {
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / "kelvara-manual-accent";
    const fs::path dir = root / "Jos\xC3\xA9";  // UTF-8 on disk
    fs::remove_all(root);
    fs::create_directories(dir);
    std::ofstream(dir / "QRT417.pdf") << "%PDF";
    // A path is the file system's bytes both ways.
    EXPECT_EQ(FindManual(FilePath(root.string() + "/Jos\xC3\xA9/")).Native(),
              root.string() + "/Jos\xC3\xA9/QRT417.pdf");
    fs::remove_all(root);
}

TEST(FindManual, PrefersTheManualBesideTheProgramAndIsEmptyWithoutOne) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "kelvara-manual-test" / "build" / "bin";
    fs::remove_all(dir.parent_path().parent_path());
    fs::create_directories(dir);
    EXPECT_TRUE(FindManual(FilePath(dir.string() + "/")).empty());
    fs::create_directories(dir.parent_path().parent_path() / "docs" / "manual");
    std::ofstream(dir.parent_path().parent_path() / "docs" / "manual" / "index.html") << "<html></html>";
    EXPECT_NE(FindManual(FilePath(dir.string() + "/")).Native().find("docs/manual/index.html"),
              std::string::npos);
    std::ofstream(dir / "Kelvara-Manual.pdf") << "%PDF";
    EXPECT_EQ(fs::path(FindManual(FilePath(dir.string() + "/")).Native()).filename(), "Kelvara-Manual.pdf");
    std::ofstream(dir / "QRT417.pdf") << "%PDF";
    EXPECT_EQ(fs::path(FindManual(FilePath(dir.string() + "/")).Native()).filename(), "QRT417.pdf");
    fs::remove_all(dir.parent_path().parent_path());
}
