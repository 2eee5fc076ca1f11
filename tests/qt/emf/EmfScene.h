#pragma once
// A small chart-like scene, painted the same way onto the metafile and onto an image.
#include <QFont>
#include <QPainter>
#include <QPolygon>
#include <QRect>

namespace emfscene {

inline const QSize kSize(400, 300);
inline const QRect kPlot(50, 30, 300, 200);  // the clip: pixels 50..349, 30..229

// A zigzag that leaves the plot at every turn.
inline QPolygon overflowingLine() {
    QPolygon line;
    for (int i = 0; i <= 40; ++i) line << QPoint(20 + i * 9, i % 2 ? -40 : 280);
    return line;
}

inline QFont labelFont(int pixels, bool bold = false) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

inline void paint(QPainter& p) {
    p.fillRect(QRect(QPoint(0, 0), kSize), QColor(240, 240, 220));
    p.fillRect(kPlot, Qt::white);
    p.setClipRect(kPlot);
    p.setPen(QPen(Qt::red, 2));
    p.drawPolyline(overflowingLine());
    p.setPen(QPen(Qt::blue, 3, Qt::DashLine));
    p.drawLine(50, 100, 350, 180);
    p.setClipping(false);
    p.setPen(Qt::black);
    p.setFont(labelFont(14));
    p.drawText(QPoint(60, 270), QStringLiteral("12.5"));
    p.save();
    p.translate(25, 200);
    p.rotate(-90);
    p.drawText(QPoint(0, 0), QStringLiteral("Temperature"));
    p.restore();
    p.setFont(labelFont(18, true));
    p.drawText(QRect(50, 0, 300, 28), Qt::AlignCenter, QStringLiteral("Strip Chart"));
}

}  // namespace emfscene
