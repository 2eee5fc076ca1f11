#include "charts/stripchart/ChartQt.h"

#include <QFontMetrics>

#include "model/Win1252.h"

QColor ToQColor(ChartColor color) { return QColor(color.R, color.G, color.B); }

QFont ToQFont(const ChartFont& font) {
    QFont qfont(QString::fromStdString(font.Family));
    qfont.setStyleHint(QFont::SansSerif);
    qfont.setPixelSize(std::max(1, font.PixelSize()));
    qfont.setBold(font.Bold);
    qfont.setItalic(font.Italic);
    return qfont;
}

Qt::PenStyle ToPenStyle(TChannelLineStyle style) {
    switch (style) {
        case clsSolid:
            return Qt::SolidLine;
        case clsDash:
            return Qt::DashLine;
        case clsDot:
            return Qt::DotLine;
        case clsDashDot:
            return Qt::DashDotLine;
        case clsDashDotDot:
            return Qt::DashDotDotLine;
    }
    return Qt::SolidLine;
}

QString ChartText(const std::string& win1252) { return QString::fromStdString(Win1252ToUtf8(win1252)); }

TextSize QtTextMeasurer::Measure(const ChartFont& font, const std::string& text) const {
    const QFontMetrics metrics(ToQFont(font));
    return {metrics.horizontalAdvance(ChartText(text)), metrics.height()};
}
