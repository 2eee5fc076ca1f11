#include "charts/stripchart/core/PrintGeometry.h"

#include <algorithm>
#include <cmath>

PrintGeometry ComputePrintGeometry(int pageWidth, int pageHeight, bool legalPaper,
                                   const PrintMargins& margins, int controlWidth, int controlHeight) {
    PrintGeometry g;
    g.UnitsPerInchX = static_cast<int>(std::nearbyint(pageWidth * 2.0 / 17.0));
    g.UnitsPerInchY = static_cast<int>(std::nearbyint(pageHeight / (legalPaper ? 14.0 : 11.0)));
    if (controlWidth > 0 && controlHeight > 0) {
        const double across = (pageWidth - (margins.Left + margins.Right) * g.UnitsPerInchX) / controlWidth;
        const double down = (pageHeight - (margins.Top + margins.Bottom) * g.UnitsPerInchY) / controlHeight;
        // Margins wider than the page leave no room for the image, not a mirrored one.
        g.Scale = std::max(0.0, std::min(across, down));
    }
    g.ImageLeft = static_cast<int>(std::nearbyint(margins.Left * g.UnitsPerInchX));
    g.ImageTop = static_cast<int>(std::nearbyint(margins.Top * g.UnitsPerInchY));
    g.ImageWidth = static_cast<int>(std::nearbyint(controlWidth * g.Scale));
    g.ImageHeight = static_cast<int>(std::nearbyint(controlHeight * g.Scale));
    g.FirstLineTop = g.ImageTop + g.ImageHeight;
    return g;
}
