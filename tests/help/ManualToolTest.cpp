// kelvara-manual run on a small manual of its own: the contents must give the
// page each chapter really starts on, and a missing picture must fail the build.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "support/PerTestPath.h"

namespace fs = std::filesystem;

namespace {
const std::string kTool = std::string(KELVARA_BIN_DIR) + "/kelvara-manual";

int RunShell(const std::string& line, std::string* out = nullptr) {
    FILE* pipe = ::popen(line.c_str(), "r");
    if (!pipe) return -1;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        if (out) out->append(buffer, n);
    const int status = ::pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class ManualTool : public ::testing::Test {
protected:
    void Chapter(const std::string& name, const std::string& text) { std::ofstream(source / name) << text; }
    int Build(std::string* errors = nullptr) {
        return RunShell("QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 '" + kTool + "' '" +
                            source.string() + "' '" + images.string() + "' '" + pdf.string() + "' 9.9 2>&1",
                        errors);
    }
    // The text of one page (1-based), as an independent reader sees it.
    std::string Page(int page) {
        std::string text;
        RunShell("pdftotext -layout -f " + std::to_string(page) + " -l " + std::to_string(page) + " '" +
                     pdf.string() + "' -",
                 &text);
        return text;
    }

    ScratchFolder scratch{"kelvara-manual-tool"};
    const fs::path source = scratch.path / "source";
    const fs::path images = scratch.path / "images";
    const fs::path pdf = scratch.path / "manual.pdf";
    void SetUp() override {
        fs::create_directories(source);
        fs::create_directories(images);
    }
};

// The page number the contents give for a chapter title, or -1.
int ContentsPage(const std::string& contents, const std::string& title) {
    std::istringstream lines(contents);
    for (std::string line; std::getline(lines, line);) {
        const auto at = line.find(title);
        if (at == std::string::npos) continue;
        std::istringstream rest(line.substr(at + title.size()));
        int page = -1;
        rest >> page;
        return page;
    }
    return -1;
}
}  // namespace

TEST_F(ManualTool, TheContentsGiveThePageEachChapterStartsOn) {
    std::string longText;
    for (int i = 0; i < 400; ++i)
        longText += "A line of the first chapter that fills its pages, number " + std::to_string(i) + ".\n\n";
    Chapter("01-first.md", "# Alpha chapter\n\n" + longText);
    Chapter("02-second.md", "# Beta chapter\n\nShort.\n\n## Beta section\n\nMore.\n");
    ASSERT_EQ(Build(), 0);

    // Page 1 is the title, page 2 the contents; the body is numbered from 1 after them.
    EXPECT_NE(Page(1).find("Version 9.9"), std::string::npos);
    const std::string contents = Page(2);
    ASSERT_EQ(ContentsPage(contents, "Alpha chapter"), 1) << contents;
    const int beta = ContentsPage(contents, "Beta chapter");
    ASSERT_GT(beta, 2) << contents;
    EXPECT_EQ(ContentsPage(contents, "Beta section"), beta);
    // The chapter starts a page of its own, and that page's footer carries the number.
    const std::string betaPage = Page(2 + beta);
    EXPECT_EQ(betaPage.find_first_not_of(" \n\f"), betaPage.find("Beta chapter")) << betaPage;
    EXPECT_NE(betaPage.find(std::to_string(beta) + "\n"), std::string::npos) << betaPage;
    EXPECT_EQ(Page(2 + beta - 1).find("Beta chapter"), std::string::npos);
}

TEST_F(ManualTool, AMissingPictureOrNoChapterFailsAndLeavesNoPdf) {
    std::string errors;
    EXPECT_NE(Build(&errors), 0);
    EXPECT_NE(errors.find("no chapters"), std::string::npos) << errors;
    Chapter("01-only.md", "# Only\n\n![The window](window.png)\n");
    errors.clear();
    EXPECT_NE(Build(&errors), 0);
    EXPECT_NE(errors.find("window.png"), std::string::npos) << errors;
    EXPECT_FALSE(fs::exists(pdf));
}
