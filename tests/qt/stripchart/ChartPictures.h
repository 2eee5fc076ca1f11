#pragma once
// Reading back the chart's picture files with readers of their own: Qt's SVG
// renderer, poppler's pdftoppm, Qt's PNG reader; and comparing two pictures.
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>

inline QImage RasterFromSvg(const QByteArray& svg, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QSvgRenderer renderer(svg);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

// Empty when pdftoppm is not installed.
inline QImage RasterFromPdf(const QString& pdfPath) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (tool.isEmpty()) return {};
    QTemporaryDir dir;
    const QString stem = dir.filePath(QStringLiteral("page"));
    QProcess::execute(tool, {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-png"),
                             QStringLiteral("-singlefile"), pdfPath, stem});
    return QImage(stem + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

// The share of pixels where any colour channel differs by more than tolerance,
// compared at a quarter of the size so that one reader's smoothed edges count
// like the other's sharp ones.
inline double DifferingShare(const QImage& fullA, const QImage& fullB, int tolerance = 40) {
    if (fullA.size() != fullB.size()) return 1.0;
    const QSize quarter = fullA.size() / 4;
    const QImage a = fullA.scaled(quarter, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage b = fullB.scaled(quarter, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    long differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > tolerance || std::abs(qGreen(p) - qGreen(q)) > tolerance ||
                std::abs(qBlue(p) - qBlue(q)) > tolerance)
                ++differing;
        }
    return static_cast<double>(differing) / (a.width() * a.height());
}
