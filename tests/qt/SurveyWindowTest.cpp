// The survey window: the table sorts by value, a double-click opens the row's
// file whatever the order, and the CSV saved is the survey's.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>

#include "app/qt/SurveyWindow.h"
#include "support/CraftedDataFile.h"
#include "support/DateAt.h"
#include "support/PerTestPath.h"
#include "support/ReadFile.h"
#include "support/ScriptedPlatform.h"

TEST(SurveyWindow, SortsOpensAndSavesTheSurvey) {
    ScratchFolder scratch("kelvara-survey-window");
    std::vector<FilePath> files;
    for (const int samples : {9, 100, 20}) {
        CraftedMission m;
        m.Rom = "0" + std::to_string(samples % 10) + "00000000000121";
        m.Start = At(2026, 12, 7, 9, samples % 7, 0);
        m.Samples = samples;
        m.Running = true;
        m.Download = m.Start + samples * 10 * kMinute;
        const auto path = scratch.path / ("logger-" + std::to_string(samples) + ".dmp");
        WriteDataFile(path, m);
        files.emplace_back(path);
    }
    files.emplace_back(scratch.path / "missing.dmp");
    ScriptedPlatform platform;
    std::vector<std::string> opened;
    SurveyWindow window(files, TempScale::Celsius, platform, FilePath(scratch.path),
                        [&](const FilePath& path) { opened.push_back(path.Name()); });
    QTableWidget* table = window.Table();
    ASSERT_EQ(table->rowCount(), 4);
    EXPECT_EQ(window.Summary()->text(), QStringLiteral("4 data files; 1 with a note to look at."));

    const int samplesColumn = 11;
    ASSERT_EQ(table->horizontalHeaderItem(samplesColumn)->text(), QStringLiteral("samples"));
    table->sortItems(samplesColumn, Qt::DescendingOrder);  // 100 before 20 before 9: numbers, not text
    EXPECT_EQ(table->item(0, samplesColumn)->text(), QStringLiteral("100"));
    EXPECT_EQ(table->item(1, samplesColumn)->text(), QStringLiteral("20"));
    EXPECT_EQ(table->item(2, samplesColumn)->text(), QStringLiteral("9"));
    window.OpenRow(1);
    EXPECT_EQ(opened, std::vector<std::string>{"logger-20.dmp"});
    const int notesColumn = table->columnCount() - 1;
    bool missingNoted = false;
    for (int r = 0; r < 4; ++r)
        missingNoted |= table->item(r, notesColumn)->text().startsWith(QStringLiteral("cannot be read"));
    EXPECT_TRUE(missingNoted);

    platform.SaveAnswers.push_back((scratch.path / "class.csv").string());
    window.SaveCsv();
    ASSERT_EQ(platform.SaveRequests.size(), 1u);
    EXPECT_EQ(platform.SaveRequests[0].DefaultExt, "csv");
    EXPECT_EQ(ReadAll(scratch.path / "class.csv"), SurveyCsv(window.Rows(), TempScale::Celsius));
}
