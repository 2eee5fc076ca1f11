#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "help/XdgAssociations.h"
#include "support/PerTestPath.h"

namespace fs = std::filesystem;

namespace {
// A stand-in for xdg-mime that answers from a script and records its arguments.
class FakeDesktop {
public:
    explicit FakeDesktop(const std::string& reply, int exitCode = 0) : folder("kelvara-xdg") {
        query = (folder.path / "fake-xdg-mime").string();
        std::ofstream(query) << "#!/bin/sh\necho \"$@\" > '" << (folder.path / "asked").string()
                             << "'\nprintf '%s' '" << reply << "'\nexit " << exitCode << "\n";
        ::chmod(query.c_str(), 0755);
        fs::create_directories(folder.path / "home" / "applications");
        fs::create_directories(folder.path / "usr" / "applications" / "vendor");
    }
    void Entry(const std::string& dir, const std::string& name, const std::string& text) const {
        std::ofstream(folder.path / dir / "applications" / name) << text;
    }
    XdgAssociations Associations() const {
        return XdgAssociations(query, {(folder.path / "home").string(), (folder.path / "usr").string()});
    }
    std::string Asked() const {
        std::ifstream in(folder.path / "asked");
        std::string line;
        std::getline(in, line);
        return line;
    }

    ScratchFolder folder;
    std::string query;
};
}  // namespace

TEST(XdgAssociations, GivesTheExecLineOfTheDefaultApplicationsEntry) {
    FakeDesktop desktop("viewer.desktop\n");
    desktop.Entry("usr", "viewer.desktop",
                  "[Desktop Action new]\nExec=wrong\n\n[Desktop Entry]\nName=Viewer\nExec[de]=falsch\n"
                  "Exec = \"/opt/My Viewer/viewer\" \"%f\"\n");
    std::string problem;
    EXPECT_EQ(desktop.Associations().DefaultOpenCommand("application/pdf", problem),
              "\"/opt/My Viewer/viewer\" \"%f\"");
    EXPECT_EQ(problem, "");
    EXPECT_EQ(desktop.Asked(), "query default application/pdf");
}

TEST(XdgAssociations, TheUsersOwnEntryComesFirstAndAVendorPrefixIsASubfolder) {
    FakeDesktop desktop("vendor-reader.desktop");
    desktop.Entry("usr", "vendor/reader.desktop", "[Desktop Entry]\nExec=system-reader %U\n");
    std::string problem;
    EXPECT_EQ(desktop.Associations().DefaultOpenCommand("application/pdf", problem), "system-reader %U");
    desktop.Entry("home", "vendor-reader.desktop", "[Desktop Entry]\nExec=my-reader %U\n");
    EXPECT_EQ(desktop.Associations().DefaultOpenCommand("application/pdf", problem), "my-reader %U");
}

TEST(XdgAssociations, NoDefaultIsEmptyWithoutAProblem) {
    FakeDesktop desktop("");
    std::string problem = "old";
    EXPECT_EQ(desktop.Associations().DefaultOpenCommand("application/pdf", problem), "");
    EXPECT_EQ(problem, "");
}

TEST(XdgAssociations, FailuresAreEmptyWithTheirReason) {
    std::string problem;
    // A reply that would lead out of the applications folders is no entry.
    FakeDesktop escaping("../../../etc/passwd.desktop");
    EXPECT_EQ(escaping.Associations().DefaultOpenCommand("application/pdf", problem), "");
    EXPECT_NE(problem, "");
    FakeDesktop missing("nowhere.desktop");
    EXPECT_EQ(missing.Associations().DefaultOpenCommand("application/pdf", problem), "");
    EXPECT_NE(problem.find("nowhere.desktop"), std::string::npos);
    FakeDesktop failing("viewer.desktop", 3);
    failing.Entry("usr", "viewer.desktop", "[Desktop Entry]\nExec=viewer\n");
    EXPECT_EQ(failing.Associations().DefaultOpenCommand("application/pdf", problem), "");
    EXPECT_NE(problem, "");
    XdgAssociations absent("/nonexistent/xdg-mime", {});
    EXPECT_EQ(absent.DefaultOpenCommand("application/pdf", problem), "");
    EXPECT_NE(problem.find("/nonexistent/xdg-mime"), std::string::npos);
}
