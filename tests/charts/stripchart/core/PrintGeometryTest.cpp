#include <gtest/gtest.h>

#include "charts/stripchart/core/PrintGeometry.h"

TEST(PrintGeometryTest, TheImageKeepsTheControlsAspectRatio) {
    // Letter at 600 dpi: 5100 x 6600 units; the width between the margins decides.
    const PrintGeometry g = ComputePrintGeometry(5100, 6600, false, {}, 442, 281);
    EXPECT_EQ(g.UnitsPerInchX, 600);
    EXPECT_EQ(g.UnitsPerInchY, 600);
    EXPECT_EQ(g.ImageLeft, 300);
    EXPECT_EQ(g.ImageTop, 300);
    EXPECT_EQ(g.ImageWidth, 4500);
    EXPECT_NEAR(static_cast<double>(g.ImageWidth) / g.ImageHeight, 442.0 / 281.0, 0.001);
    EXPECT_EQ(g.FirstLineTop, 300 + g.ImageHeight);
    // Landscape: still the width, which now leaves room below.
    const PrintGeometry wide = ComputePrintGeometry(6600, 5100, false, {}, 442, 281);
    EXPECT_EQ(wide.UnitsPerInchX, 776);  // round(6600 * 2 / 17)
    EXPECT_EQ(wide.UnitsPerInchY, 464);  // round(5100 / 11)
    EXPECT_EQ(wide.ImageWidth, 6600 - 776);
    EXPECT_LE(wide.ImageHeight, 5100 - 464);
    // A short, wide page: the height decides.
    const PrintGeometry flat = ComputePrintGeometry(5100, 2200, false, {}, 442, 281);
    EXPECT_EQ(flat.ImageHeight, 2200 - 2 * flat.ImageTop);
    EXPECT_NEAR(static_cast<double>(flat.ImageWidth) / flat.ImageHeight, 442.0 / 281.0, 0.002);
}

TEST(PrintGeometryTest, UnitsAssumeLetterOrLegalWhateverThePaper) {
    const PrintGeometry a4 = ComputePrintGeometry(4961, 7016, false, {}, 100, 100);  // A4 at 600 dpi
    EXPECT_EQ(a4.UnitsPerInchX, 584);
    EXPECT_EQ(a4.UnitsPerInchY, 638);
    const PrintGeometry legal = ComputePrintGeometry(5100, 8400, true, {1, 2, 0, 0}, 100, 100);
    EXPECT_EQ(legal.UnitsPerInchY, 600);
    EXPECT_EQ(legal.ImageLeft, 600);
    EXPECT_EQ(legal.ImageTop, 1200);
}

TEST(PrintGeometryTest, MarginsWiderThanThePageLeaveNoImage) {
    const PrintGeometry g = ComputePrintGeometry(5100, 6600, false, {5, 0.5, 5, 0.5}, 442, 281);
    EXPECT_EQ(g.Scale, 0.0);
    EXPECT_EQ(g.ImageWidth, 0);
    EXPECT_EQ(g.FirstLineTop, g.ImageTop);
}
