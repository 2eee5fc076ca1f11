// Other programs read our metafiles and draw what the screen draws: emf2svg (rendered
// by librsvg, since Qt's SVG renderer ignores clip paths) and, where installed,
// LibreOffice.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <functional>

#include "charts/emf/EmfPaintDevice.h"
#include "qt/emf/EmfScene.h"

namespace {

QString runOrError(const QString& program, const QStringList& arguments) {
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty()) return program + QStringLiteral(" is not installed");
    QProcess process;
    process.start(path, arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        return program + QStringLiteral(" failed: ") + QString::fromLocal8Bit(process.readAllStandardError());
    return {};
}

QByteArray sceneEmf() {
    EmfPaintDevice device(emfscene::kSize);
    QPainter painter(&device);
    emfscene::paint(painter);
    painter.end();
    return device.data();
}

// The scene's metafile as a file in `dir`.
QString writeSceneEmf(const QTemporaryDir& dir) {
    QFile emf(dir.filePath(QStringLiteral("chart.emf")));
    if (!emf.open(QIODevice::WriteOnly) || emf.write(sceneEmf()) <= 0) return {};
    return emf.fileName();
}

QImage sceneImage() {
    QImage image(emfscene::kSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    emfscene::paint(painter);
    return image;
}

bool isRed(QRgb c) { return qRed(c) > 170 && qGreen(c) < 100 && qBlue(c) < 100; }
bool isBlue(QRgb c) { return qBlue(c) > 170 && qRed(c) < 100 && qGreen(c) < 100; }
bool isDark(QRgb c) { return qRed(c) < 110 && qGreen(c) < 110 && qBlue(c) < 110; }

// Pixels of `picture` (placed at `offset` in `image`) that pass `test`, in picture coordinates.
std::vector<QPoint> pixels(const QImage& image, QPoint offset, const std::function<bool(QRgb)>& test) {
    std::vector<QPoint> out;
    for (int y = 0; y < emfscene::kSize.height(); ++y)
        for (int x = 0; x < emfscene::kSize.width(); ++x) {
            const QPoint at = QPoint(x, y) + offset;
            if (image.rect().contains(at) && test(image.pixel(at))) out.emplace_back(x, y);
        }
    return out;
}

// Share of `wanted` that has a pixel of `found` within two pixels.
double matched(const std::vector<QPoint>& wanted, const std::vector<QPoint>& found) {
    if (wanted.empty()) return 0;
    QImage mask(emfscene::kSize, QImage::Format_Mono);
    mask.fill(0);
    for (QPoint p : found) mask.setPixel(p, 1);
    int hits = 0;
    for (QPoint p : wanted) {
        bool hit = false;
        for (int dy = -2; dy <= 2 && !hit; ++dy)
            for (int dx = -2; dx <= 2 && !hit; ++dx)
                hit = mask.rect().contains(p + QPoint(dx, dy)) && mask.pixelIndex(p + QPoint(dx, dy));
        hits += hit;
    }
    return double(hits) / double(wanted.size());
}

size_t outside(const std::vector<QPoint>& points, const QRect& rect) {
    return size_t(std::count_if(points.begin(), points.end(), [&](QPoint p) { return !rect.contains(p); }));
}

// The reader's picture, placed at `offset`, shows the scene as painted here.
void expectLooksLikeTheScene(const QImage& rendered, QPoint offset) {
    const QImage expected = sceneImage();
    const QRect plot = emfscene::kPlot;
    const auto redHere = pixels(expected, {}, isRed);
    const auto redThere = pixels(rendered, offset, isRed);
    ASSERT_GT(redHere.size(), 1000u);
    EXPECT_EQ(outside(redHere, plot), 0u);
    // The lines are there, clipped to the plot (one pixel of anti-aliasing aside).
    EXPECT_EQ(outside(redThere, plot.adjusted(-1, -1, 1, 1)), 0u);
    EXPECT_GT(matched(redHere, redThere), 0.9);
    EXPECT_GT(matched(redThere, redHere), 0.9);
    const auto blueThere = pixels(rendered, offset, isBlue);
    EXPECT_GT(blueThere.size(), 300u);
    EXPECT_EQ(outside(blueThere, plot.adjusted(-1, -1, 1, 1)), 0u);
    // Labels: the value, the title, and the Y title reading upwards (taller than wide).
    for (const QRect& label : {QRect(55, 250, 50, 25), QRect(100, 0, 200, 30)}) {
        auto inLabel = [&](QPoint p) { return label.contains(p); };
        const auto here = pixels(expected, {}, isDark), there = pixels(rendered, offset, isDark);
        EXPECT_GT(std::count_if(there.begin(), there.end(), inLabel), 20) << label.x();
        EXPECT_GT(std::count_if(here.begin(), here.end(), inLabel), 20) << label.x();
    }
    QRect title;
    for (QPoint p : pixels(rendered, offset, isDark))
        if (QRect(0, 60, 45, 170).contains(p)) title |= QRect(p, QSize(1, 1));
    EXPECT_GT(title.height(), 2 * title.width()) << title.width() << "x" << title.height();
    const QRgb paper = rendered.pixel(QPoint(10, 290) + offset);
    EXPECT_NEAR(qRed(paper), 240, 3);
    EXPECT_NEAR(qBlue(paper), 220, 3);
}

}  // namespace

TEST(EmfReaders, Emf2SvgDrawsTheClippedLinesAndLabelsAsTheScreenDoes) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString emf = writeSceneEmf(dir);
    ASSERT_FALSE(emf.isEmpty());
    const QString svg = dir.filePath(QStringLiteral("chart.svg")),
                  png = dir.filePath(QStringLiteral("chart.png"));
    const QString converted = runOrError(QStringLiteral("emf2svg-conv"), {"-i", emf, "-o", svg});
    ASSERT_TRUE(converted.isEmpty()) << converted.toStdString();
    const QString rendered = runOrError(QStringLiteral("rsvg-convert"), {"-b", "white", "-o", png, svg});
    ASSERT_TRUE(rendered.isEmpty()) << rendered.toStdString();
    const QImage image(png);
    ASSERT_FALSE(image.isNull());
    EXPECT_NEAR(image.width(), emfscene::kSize.width(), 1);
    EXPECT_NEAR(image.height(), emfscene::kSize.height(), 1);
    expectLooksLikeTheScene(image, {});
}

TEST(EmfReaders, LibreOfficePlacesThePictureAtItsPhysicalSize) {
    if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString emf = writeSceneEmf(dir);
    ASSERT_FALSE(emf.isEmpty());
    const QString profile = QUrl::fromLocalFile(dir.filePath(QStringLiteral("profile"))).toString();
    const QString converted =
        runOrError(QStringLiteral("soffice"), {"--headless", "-env:UserInstallation=" + profile,
                                               "--convert-to", "png", "--outdir", dir.path(), emf});
    ASSERT_TRUE(converted.isEmpty()) << converted.toStdString();
    // The picture sits on a page drawn at 96 dpi, so it keeps its pixel size there.
    const QImage page(dir.filePath(QStringLiteral("chart.png")));
    ASSERT_FALSE(page.isNull());
    QRect picture;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if ((page.pixel(x, y) & 0xffffff) != 0xffffff) picture |= QRect(x, y, 1, 1);
    EXPECT_NEAR(picture.width(), emfscene::kSize.width(), 2);
    EXPECT_NEAR(picture.height(), emfscene::kSize.height(), 2);
    expectLooksLikeTheScene(page, picture.topLeft());
}
