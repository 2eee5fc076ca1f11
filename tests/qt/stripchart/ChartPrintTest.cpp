#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <filesystem>

#include "ChartRig.h"
#include "charts/stripchart/ChartPrint.h"
#include "support/PerTestPath.h"

namespace {
// A letter page at 100 dots per inch, printed into an image.
class PageOnImage : public ChartPrinter {
public:
    QImage page{850, 1100, QImage::Format_RGB32};
    bool cancelDialog = false;
    int missingDeviceModes = 0;  // answers "no device mode" this many times
    int dialogs = 0, reselections = 0, jobs = 0;
    TPrinterOrientation orientation = poPortrait;

    PageOnImage() { page.fill(Qt::white); }
    void SetOrientation(TPrinterOrientation o) override { orientation = o; }
    bool ShowPrintDialog(QWidget*) override {
        ++dialogs;
        return !cancelDialog;
    }
    bool HasDeviceMode() override { return missingDeviceModes-- <= 0; }
    void SelectCurrentPrinterAgain() override { ++reselections; }
    QSize PageSize() override { return page.size(); }
    bool LegalPaper() override { return false; }
    QPaintDevice& Device() override {
        ++jobs;
        return page;
    }
};

// A black chart of 442 x 281 with data and the chart window's print lines.
void SetUpChart(TStripChart& chart) {
    chart.resize(442, 281);
    chart.AddChannel("Temp", ChartColor(0, 255, 64), clsSolid, 2);
    for (int i = 0; i < 20; ++i) chart.SetChannelData(0, chart.AddTimeIndex(i * 0.5), 40 + i);
    chart.SetPrinterShowDialog(false);
    chart.ClearPrintLines();
    for (const char* line : {"", "Kelvara Graph", "Mission Start time: 14/01/2004  12:00", ""})
        chart.AddPrintLine(line);
}

bool RowsHaveInk(const QImage& image, int top, int bottom) {
    for (int y = std::max(0, top); y < std::min(bottom, image.height()); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) return true;
    return false;
}
}  // namespace

TEST(ChartPrintTest, TheImageFillsTheWidthBetweenTheMarginsAndKeepsItsAspectRatio) {
    TStripChart chart;
    SetUpChart(chart);
    PageOnImage printer;
    chart.PrintChart(printer);
    // 100 units an inch: half-inch margins of 50; 750 wide leaves 750 * 281 / 442 = 477 high.
    const QRect image = PaintedArea(printer.page.copy(0, 0, 850, 527), qRgb(255, 255, 255));
    EXPECT_EQ(image, QRect(50, 50, 750, 477));
    EXPECT_EQ(printer.page.pixel(425, 300) & 0xFFFFFF, 0u);  // the chart's black background
    EXPECT_EQ(printer.jobs, 1);
    EXPECT_EQ(printer.dialogs, 0);
}

TEST(ChartPrintTest, PrintLinesFollowUnderTheImageOneLineApart) {
    TStripChart chart;
    SetUpChart(chart);
    PageOnImage printer;
    chart.PrintChart(printer);
    QFont font(QString::fromStdString(chart.PrintFont.Family));
    font.setPointSize(chart.PrintFont.Size);
    const int h = QFontMetrics(font, &printer.page).height();
    const int top = 50 + 477;
    EXPECT_FALSE(RowsHaveInk(printer.page, top, top + h));         // the empty first line
    EXPECT_TRUE(RowsHaveInk(printer.page, top + h, top + 2 * h));  // "Kelvara Graph"
    EXPECT_TRUE(RowsHaveInk(printer.page, top + 2 * h, top + 3 * h));
    EXPECT_FALSE(RowsHaveInk(printer.page, top + 3 * h + 2, 1100));
    // Every line starts at the left margin.
    EXPECT_TRUE(PaintedArea(printer.page.copy(0, top, 850, 3 * h), qRgb(255, 255, 255)).left() >= 50);
    EXPECT_LE(PaintedArea(printer.page.copy(0, top, 850, 3 * h), qRgb(255, 255, 255)).left(), 52);
}

TEST(ChartPrintTest, ACancelledDialogPrintsNothing) {
    TStripChart chart;
    SetUpChart(chart);
    chart.SetPrinterShowDialog(true);
    chart.SetPrinterOrientation(poLandscape);
    PageOnImage printer;
    printer.cancelDialog = true;
    chart.PrintChart(printer);
    EXPECT_EQ(printer.orientation, poLandscape);
    EXPECT_EQ(printer.dialogs, 1);
    EXPECT_EQ(printer.jobs, 0);
    EXPECT_TRUE(PaintedArea(printer.page, qRgb(255, 255, 255)).isNull());
}

TEST(ChartPrintTest, NoDeviceModeEvenAfterSelectingThePrinterAgainIsAnError) {
    TStripChart chart;
    SetUpChart(chart);
    PageOnImage printer;
    printer.missingDeviceModes = 2;
    try {
        chart.PrintChart(printer);
        ADD_FAILURE() << "no error";
    } catch (const EStripChartError& error) {
        EXPECT_STREQ(error.what(), "Could not initialize printer DeviceMode Structure");
    }
    EXPECT_EQ(printer.reselections, 1);
    EXPECT_EQ(printer.jobs, 0);
    PageOnImage second;
    second.missingDeviceModes = 1;  // selecting it again helps
    chart.PrintChart(second);
    EXPECT_EQ(second.reselections, 1);
    EXPECT_EQ(second.jobs, 1);
}

TEST(ChartPrintTest, APrinterWritingAPdfGetsTheChartAndTheLines) {
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (pdftotext.isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
    const std::filesystem::path path = PerTestPath("chart-print").replace_extension(".pdf");
    TStripChart chart;
    SetUpChart(chart);
    chart.SetXAxisTitle("Date/Time");
    QPrinter qprinter(QPrinter::HighResolution);
    qprinter.setOutputFormat(QPrinter::PdfFormat);
    qprinter.setOutputFileName(QString::fromStdString(path.string()));
    QtChartPrinter printer(qprinter);
    chart.PrintChart(printer);
    QProcess process;
    process.start(pdftotext, {QString::fromStdString(path.string()), "-"});
    ASSERT_TRUE(process.waitForFinished());
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    std::filesystem::remove(path);
    EXPECT_TRUE(text.contains("Kelvara Graph"));
    EXPECT_TRUE(text.contains("Mission Start time: 14/01/2004 12:00") ||
                text.contains("Mission Start time: 14/01/2004  12:00"));
    EXPECT_TRUE(text.contains("Date/Time"));
}
