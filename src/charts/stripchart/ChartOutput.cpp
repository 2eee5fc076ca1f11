#include "charts/stripchart/ChartOutput.h"

#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <stdexcept>

#include "charts/emf/EmfPaintDevice.h"
#include "files/SaveBatch.h"

namespace {
constexpr double kDpi = 96.0;

// One painting on the device, ended before the device's result is read.
void PaintOn(QPaintDevice& device, const ChartPaintRoutine& paint) {
    QPainter painter(&device);
    paint(painter);
}

QByteArray Emf(QSize size, const ChartPaintRoutine& paint) {
    // The header's description: the creator and the picture, as two strings.
    EmfPaintDevice device(size, kDpi, QStringLiteral("Vendrix"), QStringLiteral("Strip Chart"));
    PaintOn(device, paint);
    return device.data();
}

QByteArray Svg(QSize size, const ChartPaintRoutine& paint) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setResolution(static_cast<int>(kDpi));
    generator.setTitle(QStringLiteral("Strip Chart"));
    PaintOn(generator, paint);
    return buffer.data();
}

QByteArray Pdf(QSize size, const ChartPaintRoutine& paint) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    // At 96 dpi one chart pixel is one device unit, and pixel-sized fonts keep their size.
    writer.setResolution(static_cast<int>(kDpi));
    const QSizeF points(size.width() * 72.0 / kDpi, size.height() * 72.0 / kDpi);
    writer.setPageSize(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setTitle(QStringLiteral("Strip Chart"));
    writer.setCreator(QStringLiteral("Vendrix"));
    PaintOn(writer, paint);
    return buffer.data();
}

QImage Raster(QSize size, const ChartPaintRoutine& paint) {
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(3780);  // 96 dpi
    image.setDotsPerMeterY(3780);
    PaintOn(image, paint);
    return image;
}

QByteArray Png(QSize size, const ChartPaintRoutine& paint) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    Raster(size, paint).save(&buffer, "PNG");
    return buffer.data();
}
}  // namespace

ChartPictureFormat PictureFormatFor(const QString& fileName) {
    const QString extension = QFileInfo(fileName).suffix().toLower();
    if (extension == QLatin1String("emf")) return ChartPictureFormat::Emf;
    if (extension == QLatin1String("svg")) return ChartPictureFormat::Svg;
    if (extension == QLatin1String("pdf")) return ChartPictureFormat::Pdf;
    if (extension == QLatin1String("png")) return ChartPictureFormat::Png;
    throw std::runtime_error("Cannot save \"" + fileName.toStdString() +
                             "\".\rThe picture type follows the extension: .emf, .svg, .pdf or .png.");
}

QByteArray RenderChartPicture(QSize size, ChartPictureFormat format, const ChartPaintRoutine& paint) {
    switch (format) {
        case ChartPictureFormat::Emf:
            return Emf(size, paint);
        case ChartPictureFormat::Svg:
            return Svg(size, paint);
        case ChartPictureFormat::Pdf:
            return Pdf(size, paint);
        case ChartPictureFormat::Png:
            return Png(size, paint);
    }
    return {};
}

void WritePictureFile(const QString& fileName, const QByteArray& bytes) {
    // The name as the file system spells it; the message as UTF-8, the name in it shown whole.
    std::string error;
    if (!SaveFile(FilePath(QFile::encodeName(fileName).toStdString()),
                  std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), error))
        throw std::runtime_error(ShownTextToUtf8(error));
}

QStringList EmfMimeTypes() {
    return {QStringLiteral("image/emf"), QStringLiteral("image/x-emf"),
            QStringLiteral("application/x-openoffice-emf;windows_formatname=\"Image EMF\"")};
}

QStringList SvgMimeTypes() {
    return {QStringLiteral("image/svg+xml"),
            QStringLiteral("image/svg+xml;windows_formatname=\"image/svg+xml\"")};
}

QMimeData* ChartMimeData(QSize size, const ChartPaintRoutine& paint) {
    auto* data = new QMimeData;
    const QByteArray emf = Emf(size, paint);
    for (const QString& type : EmfMimeTypes()) data->setData(type, emf);
    const QByteArray svg = Svg(size, paint);
    for (const QString& type : SvgMimeTypes()) data->setData(type, svg);
    data->setImageData(Raster(size, paint));
    return data;
}

void PutChartOnClipboard(QSize size, const ChartPaintRoutine& paint) {
    QGuiApplication::clipboard()->setMimeData(ChartMimeData(size, paint));
}
