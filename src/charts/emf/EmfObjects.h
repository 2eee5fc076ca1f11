#pragma once

#include <QRgb>
#include <QString>
#include <cstdint>

// Descriptions of the GDI objects a metafile creates and selects. Equal descriptions
// share one object, so they compare by value.

enum class EmfLineStyle { Solid, Dash, Dot, DashDot, DashDotDot, Null };
enum class EmfLineCap { Round, Square, Flat };
enum class EmfLineJoin { Round, Bevel, Miter };

struct EmfPen {
    EmfLineStyle style = EmfLineStyle::Solid;
    int width = 1;  // device pixels; a pen wider than 1 is written as a geometric pen
    QRgb color = 0;
    EmfLineCap cap = EmfLineCap::Square;
    EmfLineJoin join = EmfLineJoin::Bevel;
    bool operator==(const EmfPen&) const = default;
};

enum class EmfHatch { None, Horizontal, Vertical, ForwardDiagonal, BackwardDiagonal, Cross, DiagonalCross };

struct EmfBrush {
    bool null = false;
    QRgb color = 0;
    EmfHatch hatch = EmfHatch::None;
    bool operator==(const EmfBrush&) const = default;
};

enum class EmfFontFamily { DontCare, Roman, Swiss, Modern };

struct EmfFont {
    QString face;
    int height = 0;      // negative: character (em) height in device pixels
    int escapement = 0;  // tenths of a degree, counter-clockwise as seen on the page
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool fixedPitch = false;
    EmfFontFamily family = EmfFontFamily::DontCare;
    bool operator==(const EmfFont&) const = default;
};

// The stock objects every device context starts with (EMF stock object indexes).
namespace EmfStock {
constexpr uint32_t WhiteBrush = 0x80000000;
constexpr uint32_t NullBrush = 0x80000005;
constexpr uint32_t BlackPen = 0x80000007;
constexpr uint32_t NullPen = 0x80000008;
constexpr uint32_t SystemFont = 0x8000000D;
}  // namespace EmfStock
