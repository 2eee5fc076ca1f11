// The chart's metafile read back by readers of their own: emf2svg (drawn by
// librsvg) and, where installed, LibreOffice.
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include "ChartRig.h"
#include "charts/stripchart/ChartOutput.h"
#include "support/ReadFile.h"

namespace {
QString RunReader(const QString& program, const QStringList& arguments) {
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty()) return program + " is not installed";
    QProcess process;
    process.start(path, arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        return program + " failed: " + QString::fromLocal8Bit(process.readAllStandardError());
    return {};
}

class ChartEmfTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        LoadThreeChannels(chart);
        chart.SetYAxisMax(27);  // the temperature leaves the plot at the top
        emf = dir.filePath("chart.emf");
        chart.SaveToMetafile(emf);
    }
    // Channel pixels of the reader's picture (placed at offset) outside the plot and legend.
    void ExpectLinesInThePlot(const QImage& picture, QPoint offset) {
        const QRect plot = ToQRect(chart.CurrentLayout().Plot).translated(offset);
        const QRect legend = ToQRect(chart.CurrentLayout().Legend).translated(offset);
        int inside = 0, outside = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb c = picture.pixel(x, y);
                const bool green = qGreen(c) > 200 && qRed(c) < 120 && qBlue(c) < 150;
                if (!green) continue;
                if (plot.adjusted(-1, -1, 1, 1).contains(x, y))
                    ++inside;
                else if (!legend.contains(x, y))
                    ++outside;
            }
        EXPECT_GT(inside, 300);
        EXPECT_EQ(outside, 0);
    }

    QTemporaryDir dir;
    TStripChart chart;
    QString emf;
};
}  // namespace

TEST_F(ChartEmfTest, TheMetafileNamesItsCreatorAndPicture) {
    const QByteArray bytes = QByteArray::fromStdString(ReadAll(emf.toStdString()));
    ASSERT_GT(bytes.size(), 88);
    EXPECT_EQ(bytes.mid(40, 4), QByteArray(" EMF"));
    const QByteArray description = QByteArray(reinterpret_cast<const char*>(u"Vendrix\0Strip Chart\0"), 40);
    EXPECT_TRUE(bytes.contains(description));
    EXPECT_EQ(chart.GetMetafilePicture(), bytes);
    chart.SaveToFile(dir.filePath("same.EMF"));
    EXPECT_EQ(QByteArray::fromStdString(ReadAll(dir.filePath("same.EMF").toStdString())), bytes);
}

TEST_F(ChartEmfTest, Emf2SvgShowsTheLinesInsideThePlotAndTheLabels) {
    const QString svg = dir.filePath("chart.svg"), png = dir.filePath("chart.png");
    const QString converted = RunReader("emf2svg-conv", {"-i", emf, "-o", svg});
    ASSERT_TRUE(converted.isEmpty()) << converted.toStdString();
    const QString text = QString::fromStdString(ReadAll(svg.toStdString()));
    for (const char* label :
         {"Datalogging Results", "Temperature", "Sample", "Temp", "High Al", "30.0", "200"})
        EXPECT_TRUE(text.contains(label)) << label;
    const QString rendered = RunReader("rsvg-convert", {"-b", "white", "-o", png, svg});
    ASSERT_TRUE(rendered.isEmpty()) << rendered.toStdString();
    const QImage picture(png);
    ASSERT_FALSE(picture.isNull());
    EXPECT_NEAR(picture.width(), chart.width(), 1);
    ExpectLinesInThePlot(picture, {});
}

TEST_F(ChartEmfTest, LibreOfficeShowsTheLinesInsideThePlot) {
    if (QStandardPaths::findExecutable("soffice").isEmpty()) GTEST_SKIP() << "LibreOffice is not installed";
    const QString profile = QUrl::fromLocalFile(dir.filePath("profile")).toString();
    const QString converted = RunReader("soffice", {"--headless", "-env:UserInstallation=" + profile,
                                                    "--convert-to", "png", "--outdir", dir.path(), emf});
    ASSERT_TRUE(converted.isEmpty()) << converted.toStdString();
    const QImage page(dir.filePath("chart.png"));
    ASSERT_FALSE(page.isNull());
    // The picture sits somewhere on a page drawn at 96 dpi: find it by its border.
    const QRect picture = PaintedArea(page, qRgb(255, 255, 255));
    EXPECT_NEAR(picture.width(), chart.width(), 2);
    EXPECT_NEAR(picture.height(), chart.height(), 2);
    ExpectLinesInThePlot(page, picture.topLeft());
}

TEST_F(ChartEmfTest, TheClipboardOffersTheMetafileUnderEveryName) {
    chart.CopyToClipboard();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    for (const QString& type : EmfMimeTypes()) {
        EXPECT_TRUE(data->hasFormat(type)) << type.toStdString();
        EXPECT_TRUE(data->data(type).mid(40, 4) == " EMF") << type.toStdString();
    }
    for (const QString& type : SvgMimeTypes())
        EXPECT_TRUE(data->data(type).contains("<svg")) << type.toStdString();
    EXPECT_TRUE(data->hasImage());
}
