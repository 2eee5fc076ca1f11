// Data files with arbitrary contents, loaded as offline mode does and put
// through every output: no crash and no sanitizer report, whatever the bytes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "app/TTRecForm.h"
#include "reports/DumpFormat.h"
#include "reports/ReportLines.h"
#include "support/ScriptedDriver.h"
#include "support/ScriptedPlatform.h"

namespace fs = std::filesystem;

TEST(LoadDumpFuzz, RandomImagesAndDamagedFilesGoThroughEveryOutput) {
    std::mt19937 random(1921);
    const fs::path file = fs::temp_directory_path() / ("kelvara-fuzz-" + std::to_string(::getpid()) + ".dmp");
    const fs::path saved = fs::path(file).replace_extension(".out");
    for (int round = 0; round < 60; ++round) {
        MemoryImage image;
        auto fill = [&random](auto& region) {
            for (auto& byte : region) byte = static_cast<std::uint8_t>(random());
        };
        fill(image.RegisterPage);
        fill(image.UserArea);
        fill(image.AlarmArea);
        fill(image.HistogramArea);
        fill(image.LogArea);
        std::string caption = "DS1921 iButton - ";
        for (int i = 0; i < static_cast<int>(random() % 24); ++i)
            caption += static_cast<char>(32 + random() % 200);
        auto lines = DumpLines(caption, "x", image);
        // Some rounds damage lines: short, bad tokens, over-long, stray bytes.
        for (int damage = static_cast<int>(random() % 4); damage > 0; --damage) {
            auto& line = lines[4 + random() % 180];
            switch (random() % 4) {
                case 0:
                    line.resize(random() % (line.size() + 1));
                    break;
                case 1:
                    line = "zz " + line;
                    break;
                case 2:
                    line += std::string(random() % 2000, 'A');
                    break;
                default:
                    line[random() % line.size()] = static_cast<char>(random());
                    break;
            }
        }
        std::ofstream(file, std::ios::binary) << JoinCrLf(lines);

        ScriptedPlatform platform;
        ScriptedDriver driver;
        TTRecForm form(platform, driver);
        form.FormCreate({});
        form.LoadCmd(file);
        if (!form.OfflineMode()) continue;  // an empty line 1 ends the file before anything
        if (round % 2) form.MenuFahrenheitClick();
        if (round % 3 == 0) {
            form.LogRadio.Select(1);
            form.LogRadioClick();
        }
        form.HistRadio.Select(round % 3);
        form.HistRadioClick();
        form.ExportData(true);
        platform.SaveAnswers.push_back(saved.string());
        form.MenuSaveCSVClick();
        platform.SaveAnswers.push_back(saved.string());
        form.menuSaveHistClick();
        form.PrintSummaryClick();
        form.Printfullreport1Click();
        EXPECT_FALSE(platform.Clipboard.empty());
        EXPECT_EQ(platform.Printed.size(), 2u);
        EXPECT_LE(form.LogList.Items.size(), 2048u);
    }
    fs::remove(file);
    fs::remove(saved);
}
