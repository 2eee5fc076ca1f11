#pragma once
// The strip chart's plain value types: enumerations (their order is part of the
// stored form data), colours, fonts and rectangles. No Qt here, so the data
// model and the layout test without a display.
#include <cstdint>
#include <stdexcept>
#include <string>

enum TStripChartMode {
    scmPlot,
    scmScrollX,
    scmScrollY,
    scmScrollXY,
    scmCursor,
    scmZoomX,
    scmZoomY,
    scmZoomXY,
    scmZoomBox
};
enum TAutoScroll { asSmooth, asStep, asPage, asSmoothOffset };
enum TAutoScrollFirstStyle { asfsAuto, asfsLeftJustify, asfsRightJustify };
enum TPrecisionStyle { psSignificantDigits, psFixedDecimalPoints };
enum TChannelLineStyle { clsSolid, clsDash, clsDot, clsDashDot, clsDashDotDot };
enum TBevelStyle { bsNone, bsRaised, bsLowered };
enum TPrinterOrientation { poPortrait, poLandscape };

struct ChartColor {
    std::uint8_t R = 0, G = 0, B = 0;
    constexpr ChartColor() = default;
    constexpr ChartColor(int r, int g, int b)
        : R(static_cast<std::uint8_t>(r)), G(static_cast<std::uint8_t>(g)), B(static_cast<std::uint8_t>(b)) {}
    friend constexpr bool operator==(const ChartColor&, const ChartColor&) = default;
};

namespace ChartColors {
constexpr ChartColor Black{0, 0, 0};
constexpr ChartColor White{255, 255, 255};
constexpr ChartColor Lime{0, 255, 0};
constexpr ChartColor Yellow{255, 255, 0};
constexpr ChartColor Aqua{0, 255, 255};
constexpr ChartColor ButtonFace{240, 240, 240};
}  // namespace ChartColors

// A font as the chart's properties describe it; Size is in points at 96 dots
// per inch, so every device draws the same pixel size.
struct ChartFont {
    std::string Family = "MS Sans Serif";
    int Size = 8;
    bool Bold = false;
    bool Italic = false;
    ChartColor Color = ChartColors::Black;
    friend bool operator==(const ChartFont&, const ChartFont&) = default;

    // The height in pixels that a size in points gives on a 96 dpi canvas.
    int PixelSize() const { return (Size * 96 + 36) / 72; }
};

// Inclusive pixel rectangle, as the layout arithmetic counts: Width = Right - Left + 1.
struct ChartRect {
    int Left = 0, Top = 0, Right = -1, Bottom = -1;
    int Width() const { return Right - Left + 1; }
    int Height() const { return Bottom - Top + 1; }
    bool Contains(int x, int y) const { return x >= Left && x <= Right && y >= Top && y <= Bottom; }
    friend bool operator==(const ChartRect&, const ChartRect&) = default;
};

// Every misuse of the chart raises this with one of the fixed messages below.
class EStripChartError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

namespace ChartErrors {
inline constexpr const char* TimeIndexesIncremental = "Time indexes must be incremental";
inline constexpr const char* ChannelIndex = "Channel Index out of Bounds";
inline constexpr const char* LabelChannelIndex = "Label Channel Index out of Bounds";
inline constexpr const char* TimeIndex = "Time Index out of Bounds";
inline constexpr const char* ListIndex = "Index out of Bounds";
inline constexpr const char* DeleteSize = "Delete size out of Range";
inline constexpr const char* MaximumListSize = "Exceed Maximum List Size";
}  // namespace ChartErrors
