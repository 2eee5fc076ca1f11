#pragma once
// The chart's plain types as Qt sees them: colours, pixel-sized fonts, pen
// styles, Windows-1252 texts, and text measured with Qt's font metrics.
#include <QColor>
#include <QFont>
#include <QString>

#include "charts/stripchart/core/Layout.h"

QColor ToQColor(ChartColor color);
// Pixel-sized, so a chart measures and draws alike on the screen, printers and files.
QFont ToQFont(const ChartFont& font);
Qt::PenStyle ToPenStyle(TChannelLineStyle style);
QString ChartText(const std::string& win1252);

class QtTextMeasurer : public TextMeasurer {
public:
    TextSize Measure(const ChartFont& font, const std::string& text) const override;
};
