#pragma once
// Where a printed chart goes on the page. The printer's units per inch are
// taken from the page as if it were 8.5 inches wide and 11 (legal: 14) inches
// high, whatever the real paper; the image keeps the control's aspect ratio.
#include "charts/stripchart/core/ChartTypes.h"

struct PrintMargins {
    double Left = 0.5, Top = 0.5, Right = 0.5, Bottom = 0.5;  // inches
};

struct PrintGeometry {
    int UnitsPerInchX = 0, UnitsPerInchY = 0;
    double Scale = 0.0;
    int ImageLeft = 0, ImageTop = 0, ImageWidth = 0, ImageHeight = 0;
    int FirstLineTop = 0;  // the print lines start here, one line height apart
};

// pageWidth/pageHeight: the printable page in printer units.
PrintGeometry ComputePrintGeometry(int pageWidth, int pageHeight, bool legalPaper,
                                   const PrintMargins& margins, int controlWidth, int controlHeight);
