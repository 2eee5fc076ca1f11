#include "charts/GraphPictures.h"

#include <QPainter>
#include <exception>

#include "app/qt/ControlBinding.h"
#include "charts/stripchart/StripChart.h"
#include "files/SaveBatch.h"

std::optional<ChartPictureFormat> GraphPictureFormat(const FilePath& path) {
    try {
        return PictureFormatFor(PathToQString(path));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::string UnknownGraphPictureMessage(const FilePath& path) {
    return "Cannot save " + ShownPath(path) +
           ".\rThe picture type follows the extension: .emf, .svg, .pdf or .png.";
}

QByteArray GraphPicture(const TStripChart& chart, ChartPictureFormat format) {
    return RenderChartPicture(chart.size(), format, [&chart](QPainter& p) { chart.PaintToCanvas(p); });
}

bool SaveGraphPicture(const TStripChart& chart, const FilePath& path, std::string& error) {
    const auto format = GraphPictureFormat(path);
    if (!format) {
        error = UnknownGraphPictureMessage(path);
        return false;
    }
    const QByteArray bytes = GraphPicture(chart, *format);
    return SaveFile(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), error);
}
