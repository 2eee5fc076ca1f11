#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <filesystem>
#include <stdexcept>

#include "ChartPictures.h"
#include "ChartRig.h"
#include "charts/stripchart/ChartOutput.h"
#include "support/PerTestPath.h"
#include "support/ReadFile.h"

namespace {
class ChartOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = PerTestPath("chart-output");
        std::filesystem::create_directories(folder);
        LoadThreeChannels(chart);
        chart.SetYAxisMax(24);  // the lines leave the plot at the top
        chart.SetYAxisMax(27);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    QString PathOf(const char* name) const { return QString::fromStdString((folder / name).string()); }
    QImage Screen() { return chart.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    std::filesystem::path folder;
    TStripChart chart;
};

// Every point of the SVG's polylines drawn in this stroke colour.
std::vector<QPointF> SvgPoints(const QByteArray& svg, const QString& stroke) {
    std::vector<QPointF> points;
    QXmlStreamReader xml(svg);
    QStringList strokes{QString()};
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("g"))
            strokes.push_back(xml.attributes().value("stroke").toString());
        else if (xml.isEndElement() && xml.name() == QLatin1String("g"))
            strokes.pop_back();
        else if (xml.isStartElement() && xml.name() == QLatin1String("polyline") &&
                 strokes.back() == stroke) {
            const QStringList pairs =
                xml.attributes().value("points").toString().split(QLatin1Char(' '), Qt::SkipEmptyParts);
            for (const QString& pair : pairs) {
                const QStringList xy = pair.split(QLatin1Char(','));
                points.emplace_back(xy[0].toDouble(), xy[1].toDouble());
            }
        }
    }
    return points;
}
}  // namespace

TEST_F(ChartOutputTest, TheExtensionChoosesThePicture) {
    EXPECT_EQ(PictureFormatFor("a.emf"), ChartPictureFormat::Emf);
    EXPECT_EQ(PictureFormatFor("/x/b.SVG"), ChartPictureFormat::Svg);
    EXPECT_EQ(PictureFormatFor("c.Pdf"), ChartPictureFormat::Pdf);
    EXPECT_EQ(PictureFormatFor("d.png"), ChartPictureFormat::Png);
    try {
        chart.SaveToFile(PathOf("chart.bmp"));
        ADD_FAILURE() << "a .bmp was accepted";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find(".emf, .svg, .pdf or .png"), std::string::npos);
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

TEST_F(ChartOutputTest, AFolderThatIsNotThereGivesTheSystemsMessage) {
    try {
        chart.SaveToFile(PathOf("missing/chart.svg"));
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("No such file or directory"), std::string::npos)
            << error.what();
    }
}

TEST_F(ChartOutputTest, SvgLinesAreClippedToThePlotInTheChartsOwnCode) {
    chart.SaveToFile(PathOf("chart.svg"));
    const QByteArray svg = QByteArray::fromStdString(ReadAll(folder / "chart.svg"));
    ASSERT_TRUE(svg.startsWith("<?xml"));
    const QRectF plot = QRectF(ToQRect(chart.CurrentLayout().Plot)).adjusted(-0.01, -0.01, 0.01, 0.01);
    const QRectF legend = ToQRect(chart.CurrentLayout().Legend);
    const std::vector<QPointF> points = SvgPoints(svg, "#00ff40");
    ASSERT_GT(points.size(), 100u);
    for (const QPointF& p : points)
        EXPECT_TRUE(plot.contains(p) || legend.contains(p)) << p.x() << "," << p.y();
    EXPECT_TRUE(svg.contains("Datalogging Results"));
    EXPECT_TRUE(svg.contains(">Temp<"));
    EXPECT_TRUE(svg.contains(">Temperature<"));
}

TEST_F(ChartOutputTest, SvgPdfAndPngLookLikeTheScreen) {
    chart.SaveToFile(PathOf("chart.png"));
    chart.SaveToFile(PathOf("chart.svg"));
    chart.SaveToFile(PathOf("chart.pdf"));
    const QImage screen = Screen();
    const QImage png(PathOf("chart.png"));
    ASSERT_EQ(png.size(), chart.size());
    EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32), screen);
    const QImage svg = RasterFromSvg(QByteArray::fromStdString(ReadAll(folder / "chart.svg")), chart.size());
    EXPECT_LT(DifferingShare(svg, screen), 0.01);
    const QByteArray pdf = QByteArray::fromStdString(ReadAll(folder / "chart.pdf"));
    ASSERT_TRUE(pdf.startsWith("%PDF"));
    const QImage fromPdf = RasterFromPdf(PathOf("chart.pdf"));
    if (fromPdf.isNull()) GTEST_SKIP() << "pdftoppm is not installed";
    // The page is 187.5 points high: the reader may give it one more row.
    ASSERT_LE(std::abs(fromPdf.height() - chart.height()), 1);
    EXPECT_LT(DifferingShare(fromPdf.copy(QRect(QPoint(0, 0), chart.size())), screen), 0.01);
    // The channel lines stay inside the plot in every reader's picture.
    const QRect plotAndLegend =
        ToQRect(chart.CurrentLayout().Plot).united(ToQRect(chart.CurrentLayout().Legend));
    for (const QImage* image : {&svg, &fromPdf, &png})
        EXPECT_EQ(CountColour(*image, qRgb(0, 255, 64), plotAndLegend.adjusted(-1, -1, 1, 1)).Outside, 0);
}
