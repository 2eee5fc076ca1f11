#pragma once
// A strip chart as the chart window sets it up (white, three channels), with a
// log of 200 samples loaded, and helpers to look at what it drew.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>

#include "charts/stripchart/StripChart.h"

inline void LoadThreeChannels(TStripChart& chart, int points = 200) {
    chart.SetBackGroundColor(ChartColors::White);
    chart.SetGridBackGroundColor(ChartColors::White);
    chart.SetAxisGridColor(ChartColors::Black);
    const ChartFont text = StripChartModel::Font(ChartColors::Black);
    for (auto set : {&TStripChart::SetTitleFont, &TStripChart::SetXAxisLabelFont,
                     &TStripChart::SetYAxisLabelFont, &TStripChart::SetLegendFont})
        (chart.*set)(text);
    chart.SetXAxisTitleFont(StripChartModel::Font(ChartColors::Black, "Arial"));
    chart.SetYAxisTitleFont(StripChartModel::Font(ChartColors::Black, "Arial"));
    chart.SetTitleText("Datalogging Results");
    chart.SetXAxisTitle("Sample");
    chart.SetYAxisTitle("Temperature");
    chart.ReadChannels({{"Temp", ChartColor(0, 255, 64), clsSolid, 2},
                        {"High Alarm", ChartColor(255, 0, 0), clsSolid, 1},
                        {"Low Alarm", ChartColor(0, 0, 255), clsSolid, 1}});
    chart.SetXAxisMax(points);
    chart.SetYAxisMin(10);
    chart.SetYAxisMax(30);
    chart.BeginUpdate();
    for (int i = 0; i < points; ++i) {
        const int index = chart.AddTimeIndex(i);
        chart.SetChannelData(0, index, 20 + 8 * std::sin(i / 15.0));
        chart.SetChannelData(1, index, 26);
        chart.SetChannelData(2, index, 14);
    }
    chart.EndUpdate();
    chart.SetToolBarMode(scmScrollXY);
}

inline QRect ToQRect(const ChartRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

// Pixels of exactly this colour inside and outside a rectangle.
struct ColourCount {
    int Inside = 0, Outside = 0;
};
inline ColourCount CountColour(const QImage& image, QRgb colour, const QRect& rect) {
    ColourCount count;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                ++(rect.contains(x, y) ? count.Inside : count.Outside);
    return count;
}

// The smallest rectangle holding every pixel that differs from the background.
inline QRect PaintedArea(const QImage& image, QRgb background) {
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != (background & 0xFFFFFF)) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}
