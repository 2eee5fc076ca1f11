#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "app/TTRecForm.h"
#include "help/HelpLinks.h"
#include "help/ProgramAssociation.h"
#include "support/PerTestPath.h"
#include "support/ScriptedDriver.h"
#include "support/ScriptedPlatform.h"

using Argv = std::vector<std::string>;

TEST(CleanOpenCommand, ReducesACommandToItsProgram) {
    // A quoted path, then a quoted %1: the bare path.
    EXPECT_EQ(CleanOpenCommand("\"/opt/My Browser/browser\" \"%1\""), "/opt/My Browser/browser");
    EXPECT_EQ(CleanOpenCommand("\"C:\\Program Files\\Viewer\\view.exe\" \"%1\""),
              "C:\\Program Files\\Viewer\\view.exe");
    EXPECT_EQ(CleanOpenCommand("evince %U"), "evince");
    EXPECT_EQ(CleanOpenCommand("/usr/bin/viewer --page=1 %f   "), "/usr/bin/viewer --page=1");
    // Quoted without arguments, and a quote inside with no %.
    EXPECT_EQ(CleanOpenCommand("\"/usr/bin/view\""), "/usr/bin/view");
    EXPECT_EQ(CleanOpenCommand("viewer \"--flag\""), "viewer");
    EXPECT_EQ(CleanOpenCommand(""), "");
    EXPECT_EQ(CleanOpenCommand("%f"), "");
}

TEST(GetProgramAssociation, AsksTheDesktopByMimeTypeAndCleansItsCommand) {
    ScriptedPlatform platform;
    platform.OpenCommands["application/pdf"] = "\"/opt/Pdf Reader/reader\" \"%f\"";
    EXPECT_EQ(GetProgramAssociation(platform, "PDF"), "/opt/Pdf Reader/reader");
    EXPECT_EQ(GetProgramAssociation(platform, "pdf"), "/opt/Pdf Reader/reader");
    // A browser: the https handler first, text/html when that has none.
    platform.OpenCommands["text/html"] = "htmleditor %U";
    EXPECT_EQ(GetProgramAssociation(platform, "HTM"), "htmleditor");
    platform.OpenCommands["x-scheme-handler/https"] = "firefox-esr %u";
    EXPECT_EQ(GetProgramAssociation(platform, "HTM"), "firefox-esr");
    // Nothing registered, or an extension the desktop is not asked about.
    EXPECT_EQ(GetProgramAssociation(platform, "TXT"), "");
    platform.AskedMimeTypes.clear();
    EXPECT_EQ(GetProgramAssociation(platform, "XYZ"), "");
    EXPECT_TRUE(platform.AskedMimeTypes.empty());
}

TEST(ProgramCommand, KeepsAPathWithBlanksWholeAndSplitsACommandWithArguments) {
    EXPECT_EQ(ProgramCommand("evince", {"/x.pdf"}), (Argv{"evince", "/x.pdf"}));
    // Names no file: an entry's words before its % code.
    EXPECT_EQ(ProgramCommand("flatpak run org.example.Viewer", {"/x.pdf"}),
              (Argv{"flatpak", "run", "org.example.Viewer", "/x.pdf"}));
    // /bin/sh exists: a program's own path is never split, even with blanks around it.
    EXPECT_EQ(ProgramCommand("/bin/sh", {"a b"}), (Argv{"/bin/sh", "a b"}));
}

class HelpMenuTest : public ::testing::Test {
protected:
    // A program installed in a folder whose name holds blanks.
    std::string ProgramWithBlanks(const std::string& name) {
        std::filesystem::create_directories(programs.path / "My Programs");
        const auto path = programs.path / "My Programs" / name;
        std::ofstream(path) << "#!/bin/sh\n";
        return path.string();
    }

    ScratchFolder programs{"kelvara-help"};
    ScriptedPlatform platform;
    ScriptedDriver driver;
    TTRecForm form{platform, driver};
};

TEST_F(HelpMenuTest, ManualOpensInTheViewerAsOneUnquotedArgumentInAFolderWithBlanks) {
    platform.Dir = "/opt/Kelvara Data Logger/";
    const std::string reader = ProgramWithBlanks("reader");
    platform.OpenCommands["application/pdf"] = "\"" + reader + "\" \"%f\"";
    form.Manual1Click();
    ASSERT_EQ(platform.RunCommands.size(), 1u);
    EXPECT_EQ(platform.RunCommands[0], (Argv{reader, "/opt/Kelvara Data Logger/QRT417.pdf"}));
    EXPECT_TRUE(platform.OpenedUrls.empty());
    EXPECT_TRUE(platform.Boxes.empty());
}

TEST_F(HelpMenuTest, ManualWithoutAViewerIsItsPathAloneForTheLauncher) {
    EXPECT_EQ(ManualCommand("", FilePath("/opt/kelvara/")), (Argv{"/opt/kelvara/QRT417.pdf"}));
    form.Manual1Click();
    EXPECT_TRUE(platform.RunCommands.empty());
    EXPECT_EQ(platform.OpenedUrls, (Argv{"/opt/kelvara/QRT417.pdf"}));
}

TEST_F(HelpMenuTest, AViewerThatDoesNotStartLeavesTheManualToTheLauncherWithoutABox) {
    platform.OpenCommands["application/pdf"] = "gone-viewer %U";
    platform.RunAnswer = false;
    form.Manual1Click();
    EXPECT_EQ(platform.RunCommands.size(), 1u);
    EXPECT_EQ(platform.OpenedUrls, (Argv{"/opt/kelvara/QRT417.pdf"}));
    EXPECT_TRUE(platform.Boxes.empty());
}

TEST_F(HelpMenuTest, WebPagesGoToTheDesktopBrowserWithTheFullAddress) {
    const std::string browser = ProgramWithBlanks("browser");
    platform.OpenCommands["x-scheme-handler/https"] = "\"" + browser + "\" %u";
    form.WebPage1Click();
    form.Support1Click();
    form.PortLabelClick();
    ASSERT_EQ(platform.RunCommands.size(), 3u);
    EXPECT_EQ(platform.RunCommands[0], (Argv{browser, ProductPageUrl()}));
    EXPECT_EQ(platform.RunCommands[1][1], SupportPageUrl());
    EXPECT_EQ(platform.RunCommands[2][1], ProductPageUrl());
    EXPECT_EQ(ProductPageUrl(), std::string(kWebServer) + "/detail.asp?prodname=Kelvara&quick=1");
    EXPECT_EQ(SupportPageUrl(), std::string(kWebServer) + "/forum/");
    EXPECT_TRUE(platform.OpenedUrls.empty());
}

TEST_F(HelpMenuTest, WithoutABrowserOrWhenItFailsTheAddressGoesToTheLauncherAsItStands) {
    form.StartNewBrowserWindow(HomePageUrl());
    EXPECT_TRUE(platform.RunCommands.empty());
    platform.OpenCommands["x-scheme-handler/https"] = "unknown-browser %u";
    platform.RunAnswer = false;
    form.WebPage1Click();
    EXPECT_EQ(platform.RunCommands.size(), 1u);
    EXPECT_EQ(platform.OpenedUrls, (Argv{HomePageUrl(), ProductPageUrl()}));
    EXPECT_TRUE(platform.Boxes.empty());
}

namespace {
// Answers for port types 1, 5 and 6 only; every other type reports failure.
class ThreeTypeDriver : public ScriptedDriver {
public:
    std::int16_t Get_Version(char* buffer) override {
        std::strcpy(buffer, "Kelvara 1-Wire driver 1.0");
        return 1;
    }
    std::int16_t TMGetTypeVersion(std::int16_t type, char* buffer) override {
        if (type != 1 && type != 5 && type != 6) return type == 2 ? 0 : -1;
        std::strcpy(buffer, ("port " + std::to_string(type)).c_str());
        return 1;
    }
};
}  // namespace

TEST(DriverVersionLines, ADriverWithPortTypes1And5And6GivesThreeTypeLines) {
    ThreeTypeDriver driver;
    EXPECT_EQ(DriverVersionLines(driver), (Argv{"Main Driver: Kelvara 1-Wire driver 1.0", "Type 1: port 1",
                                                "Type 5: port 5", "Type 6: port 6"}));
}
