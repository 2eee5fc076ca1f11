// The chart windows on a loaded data file: one of each kind, closing, the
// menus, copy, print to a PDF, and kelvara-cli drawing the very same picture.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <filesystem>

#include "app/TTRecForm.h"
#include "charts/QtChartWindows.h"
#include "charts/TChartForm.h"
#include "charts/stripchart/ChartPrint.h"
#include "charts/stripchart/ChartQt.h"
#include "charts/stripchart/StripChart.h"
#include "cli/CliOptions.h"
#include "cli/graph/GraphCommands.h"
#include "support/PerTestPath.h"
#include "support/ReadFile.h"
#include "support/ScriptedDriver.h"
#include "support/ScriptedPlatform.h"

namespace fs = std::filesystem;

namespace {
const fs::path kDemo = fs::path(KELVARA_TEST_DATA_DIR) / "demo-mission.dmp";

// The system's printer port over a PDF file, with the print dialog answered OK.
class PdfPrinter : public QtChartPrinter {
public:
    explicit PdfPrinter(QPrinter& printer) : QtChartPrinter(printer) {}
    bool ShowPrintDialog(QWidget*) override { return true; }
};

class ChartWindow : public ::testing::Test {
protected:
    void SetUp() override {
        form.FormCreate({});
        form.LoadCmd(FilePath(kDemo.string()));
        ASSERT_TRUE(form.OfflineMode());
        form.Charts = &charts;
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(QString::fromStdString((folder.path / "print.pdf").string()));
    }
    void Flush() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    std::string Saved(TChartForm& window, const std::string& name) {
        const std::string path = (folder.path / name).string();
        platform.SaveAnswers.push_back(path);
        window.Model().menuSaveGraphClick();
        return ReadAll(path);
    }
    std::string FromCli(const std::string& command, const std::string& name,
                        std::vector<std::string> more = {}) {
        std::vector<std::string> args{command, kDemo.string(), "-o", (folder.path / name).string()};
        args.insert(args.end(), more.begin(), more.end());
        const ParsedOptions parsed = ParseCliOptions(args);
        EXPECT_EQ(parsed.Error, "");
        EXPECT_EQ(RunGraphCommands(parsed.Options), 0);
        return ReadAll((folder.path / name).string());
    }

    ScratchFolder folder{"kelvara-chartwindow"};
    ScriptedPlatform platform;
    ScriptedDriver driver;
    TTRecForm form{platform, driver};
    QPrinter pdf{QPrinter::HighResolution};
    QtChartWindows charts{form, nullptr, [this] { return std::make_unique<PdfPrinter>(pdf); }};
};

QStringList MenuTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions()) texts << (action->isSeparator() ? "-" : action->text());
    return texts;
}
}  // namespace

TEST_F(ChartWindow, GraphOpensOneWindowWithTheChartAtItsDefaultSize) {
    form.GraphLogButtonClick();
    TChartForm* window = charts.LogChartWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->StripChart1->size(), QSize(kGraphWidth, kGraphHeight));
    EXPECT_EQ(window->windowTitle().toStdString(), window->Model().WindowTitle());
    EXPECT_NE(window->windowTitle().indexOf("6774F5A09E15EA21"), -1);
    EXPECT_EQ(window->TitleLabel->text().toStdString(), kGraphHint);
    EXPECT_EQ(window->StripChart1->TimeIndexCount(), 288);
    // The legend's names are whole: the legend keeps 25 pixels for the line before a name.
    const QFontMetrics legend(ToQFont(window->StripChart1->LegendFont()));
    for (const char* name : {"Temp", "High Alarm", "Low Alarm"})
        EXPECT_LE(legend.horizontalAdvance(QLatin1String(name)), window->StripChart1->LegendWidth() - 25)
            << name;

    form.GraphLogButtonClick();
    EXPECT_NE(charts.LogChartWindow(), nullptr);
    const QWidgetList windows = QApplication::topLevelWidgets();
    EXPECT_EQ(std::count_if(windows.begin(), windows.end(),
                            [](QWidget* w) { return qobject_cast<TChartForm*>(w) && w->isVisible(); }),
              1);
}

TEST_F(ChartWindow, ClosingTheWindowClearsItsFlagAndDeletesIt) {
    form.GraphHistButtonClick();
    form.GraphLogButtonClick();
    ASSERT_TRUE(form.HistogramChartOpen);
    charts.HistogramChartWindow()->close();
    Flush();
    EXPECT_FALSE(form.HistogramChartOpen);
    EXPECT_TRUE(form.LogChartOpen);
    EXPECT_EQ(charts.HistogramChartWindow(), nullptr);
    EXPECT_NE(charts.LogChartWindow(), nullptr);
    form.FormClose();
    EXPECT_EQ(charts.LogChartWindow(), nullptr);
}

TEST_F(ChartWindow, TheMenusAndThePopupOfferTheirCommands) {
    form.GraphLogButtonClick();
    TChartForm& window = *charts.LogChartWindow();
    const QList<QAction*> top = window.GraphMenu->actions();
    ASSERT_EQ(top.size(), 3);
    EXPECT_EQ(MenuTexts(top[0]->menu()), QStringList({"&Save Graph...", "&Print Graph...", "-", "&Close"}));
    EXPECT_EQ(MenuTexts(top[1]->menu()), QStringList({"&Copy Graph..."}));
    EXPECT_EQ(MenuTexts(top[2]->menu()),
              QStringList({"Zoom In", "Zoom Out", "-", "Zoom In (X axis)", "Zoom Out (X axis)",
                           "Zoom In (Y axis)", "Zoom Out (Y axis)"}));
    EXPECT_EQ(MenuTexts(window.Popup), QStringList({"Zoom In", "Zoom Out"}));
    const double span = window.StripChart1->XAxisMax() - window.StripChart1->XAxisMin();
    window.Popup->actions()[0]->trigger();
    EXPECT_NEAR(window.StripChart1->XAxisMax() - window.StripChart1->XAxisMin(), span / 2, 1e-9);
    top[0]->menu()->actions()[3]->trigger();  // &Close
    Flush();
    EXPECT_EQ(charts.LogChartWindow(), nullptr);
    EXPECT_FALSE(form.LogChartOpen);
}

TEST_F(ChartWindow, CopyPutsTheGraphOnTheClipboardAsAMetafile) {
    form.GraphHistButtonClick();
    charts.HistogramChartWindow()->Model().mnuCopyGraphClick();
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    const QByteArray emf = data->data(QStringLiteral("image/emf"));
    ASSERT_GT(emf.size(), 88);
    EXPECT_EQ(emf.mid(40, 4), QByteArray(" EMF"));
}

TEST_F(ChartWindow, TheCliDrawsTheWindowsSavedPictureByteForByte) {
    form.GraphAlarmsCheck.Checked = true;
    form.GraphLogButtonClick();
    form.GraphHistButtonClick();
    const std::string logSvg = Saved(*charts.LogChartWindow(), "window-log.svg");
    const std::string histogramSvg = Saved(*charts.HistogramChartWindow(), "window-histogram.svg");
    ASSERT_GT(logSvg.size(), 1000u);
    EXPECT_EQ(FromCli("graph", "cli-log.svg", {"--thresholds"}), logSvg);
    EXPECT_EQ(FromCli("histogram-graph", "cli-histogram.svg"), histogramSvg);
    EXPECT_NE(FromCli("graph", "cli-plain.svg"), logSvg);  // without the thresholds

    // PNG pixel for pixel.
    Saved(*charts.HistogramChartWindow(), "w.png");
    FromCli("histogram-graph", "c.png");
    const QImage a(QString::fromStdString((folder.path / "w.png").string()));
    const QImage b(QString::fromStdString((folder.path / "c.png").string()));
    ASSERT_EQ(a.size(), QSize(kGraphWidth, kGraphHeight));
    EXPECT_EQ(a, b);
}

TEST_F(ChartWindow, AFailedSaveNamesTheFileAsTheFileSystemSpellsIt) {
    form.GraphLogButtonClick();
    const FilePath missing(
        (folder.path / "\xD0\xBD\xD0\xB5\xD1\x82" / "\xD0\xB3\xD1\x80\xD0\xB0\xD1\x84.emf").string());
    platform.SaveAnswers.push_back(missing.Native());
    charts.LogChartWindow()->Model().menuSaveGraphClick();
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_NE(platform.Boxes[0].Text.find(ShownPath(missing)), std::string::npos) << platform.Boxes[0].Text;
    EXPECT_EQ(platform.Boxes[0].Icon, MsgIcon::Error);
    EXPECT_NE(charts.LogChartWindow(), nullptr);
}

TEST_F(ChartWindow, PrintingWritesTheGraphAndItsBlockOfLines) {
    form.UserTexts[1] = "Ada";
    form.GraphLogButtonClick();
    charts.LogChartWindow()->Model().mnuPrintClick();
    EXPECT_TRUE(platform.Boxes.empty()) << platform.Boxes[0].Text;
    const fs::path pdfFile = folder.path / "print.pdf";
    ASSERT_TRUE(fs::exists(pdfFile));
    EXPECT_EQ(ReadAll(pdfFile.string()).substr(0, 5), "%PDF-");
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) GTEST_SKIP() << "no pdftotext";
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QString::fromStdString(pdfFile.string()), QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString page = QString::fromUtf8(text.readAllStandardOutput());
    for (const char* line : {"Datalogging Results", "Kelvara Graph", "iButton: 6774F5A09E15EA21", "Ada",
                             "Mission Start time:", "Sample rate: 10 minute(s)", "Low Alarm Threshold:"})
        EXPECT_TRUE(page.contains(QString::fromLatin1(line))) << line;
    if (const char* dir = std::getenv("KELVARA_SHOT_DIR"))
        fs::copy_file(pdfFile, fs::path(dir) / "chart-print.pdf", fs::copy_options::overwrite_existing);
}

TEST_F(ChartWindow, ASampleRateOfZeroStillDraws) {
    form.SampleRate = 0;  // a damaged file: every sample at the same time
    form.GraphLogButtonClick();
    ASSERT_NE(charts.LogChartWindow(), nullptr);
    EXPECT_FALSE(charts.LogChartWindow()->grab().isNull());
    EXPECT_TRUE(platform.Boxes.empty());
}
