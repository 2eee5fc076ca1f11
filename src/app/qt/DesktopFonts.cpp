#include "app/qt/DesktopFonts.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace {
constexpr int kWindowsWindowPoints = 9;

// The size at which the desktop's face takes the room Arial takes at `points`: the
// window keeps its fixed size, so a wider face must not push its texts out of it.
qreal SameRoomPoints(const QFont& desktop, qreal points, bool bold) {
    const QString sample = QStringLiteral("Mission Start delay: Sample rate (minutes) 0123456789");
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSizeF(points);
    arial.setBold(bold);
    QFont probe = desktop;
    probe.setPointSizeF(points);
    probe.setBold(bold);
    const qreal desktopWidth = QFontMetricsF(probe).horizontalAdvance(sample);
    if (desktopWidth <= 0) return points;
    return points * QFontMetricsF(arial).horizontalAdvance(sample) / desktopWidth;
}
}  // namespace

QFont DesktopFont(int windowsPoints, bool bold) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    const qreal desktopPoints = font.pointSizeF() > 0 ? font.pointSizeF() : 9.0;
    const qreal wanted = desktopPoints + (windowsPoints - kWindowsWindowPoints);
    // Half points, never larger than the room the layout has.
    const qreal points = std::floor(2 * std::min(wanted, SameRoomPoints(font, windowsPoints, bold))) / 2;
    font.setPointSizeF(std::max<qreal>(6.0, points));
    font.setBold(bold);
    return font;
}

QFont WindowFont() { return DesktopFont(kWindowsWindowPoints, true); }

QFont StatusLineFont() { return DesktopFont(8, false); }

void UseRegularWeight(QWidget* widget) {
    // A font with only the weight set: family and size still come from the parent.
    QFont regular;
    regular.setBold(false);
    widget->setFont(regular);
}
