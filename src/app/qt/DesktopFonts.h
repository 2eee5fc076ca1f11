#pragma once
// The window's fonts are named as Windows faces (Arial 9, MS Sans Serif 8);
// here they become the desktop's own sans family and sizes, so the window
// reads like the dialogs beside it: the 9-point window font is the desktop's
// general size, the 8-point one a point smaller. Bold stays where the layout
// asks for it (captions, headings); what the user types or reads as data (edit
// boxes, lists, the summary, values) is in the regular weight.
#include <QFont>

class QWidget;

// The desktop's family at the size Windows' windowsPoints stands for.
QFont DesktopFont(int windowsPoints, bool bold);
// The main window's own font: "Arial bold 9 point".
QFont WindowFont();
// The status line's "MS Sans Serif 8 point".
QFont StatusLineFont();
// Only the regular weight: the widget keeps the family and size it inherits.
void UseRegularWeight(QWidget* widget);
