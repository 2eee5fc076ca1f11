#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <functional>
#include <limits>

#include "charts/emf/EmfPaintDevice.h"
#include "qt/emf/EmfScene.h"
#include "qt/emf/EmfWalker.h"

namespace {

QByteArray paintEmf(QSize size, const std::function<void(QPainter&)>& draw, double dpi = 96.0) {
    EmfPaintDevice device(size, dpi);
    QPainter painter(&device);
    draw(painter);
    painter.end();
    return device.data();
}

EmfWalk walkChecked(const QByteArray& file) {
    EmfWalk walk = walkEmf(file);
    EXPECT_TRUE(walk.error.isEmpty()) << walk.error.toStdString();
    EXPECT_EQ(objectLifetimeFault(walk).toStdString(), "");
    return walk;
}

// The records that draw lines or shapes, with their points.
std::vector<std::pair<size_t, std::vector<QPoint>>> shapes(const EmfWalk& walk, uint32_t type) {
    std::vector<std::pair<size_t, std::vector<QPoint>>> out;
    for (size_t i : walk.indexesOf(type)) out.emplace_back(i, walk.records[i].points());
    return out;
}

uint32_t colorref(QColor c) {
    return uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16;
}

// The pen or brush record selected last before record `at`.
const EmfRecord* selectedBefore(const EmfWalk& walk, size_t at, std::initializer_list<uint32_t> kinds) {
    for (size_t i = at; i-- > 0;) {
        const EmfRecord& select = walk.records[i];
        if (select.type != emr::SelectObject) continue;
        for (size_t j = i; j-- > 0;) {
            const EmfRecord& create = walk.records[j];
            if (std::find(kinds.begin(), kinds.end(), create.type) != kinds.end() &&
                create.u32(8) == select.u32(8))
                return &create;
        }
    }
    return nullptr;
}

}  // namespace

TEST(EmfPaintDevice, HeaderGivesThePictureItsPhysicalSizeAndTheTwoDescriptionStrings) {
    const QByteArray file = paintEmf(QSize(400, 300), [](QPainter& p) { p.fillRect(0, 0, 10, 10, Qt::red); });
    const EmfWalk walk = walkChecked(file);
    const EmfRecord& h = walk.header();
    EXPECT_EQ(h.type, emr::Header);
    EXPECT_EQ(h.u32(40), 0x464D4520u);  // " EMF"
    EXPECT_EQ(h.u32(44), 0x00010000u);
    EXPECT_EQ(h.u32(48), uint32_t(file.size()));
    EXPECT_EQ(h.u32(52), uint32_t(walk.records.size()));
    EXPECT_EQ(walk.sizeSum, size_t(file.size()));
    EXPECT_EQ(h.u16(58), 0);
    EXPECT_EQ(h.rectl(8), (std::vector<int32_t>{0, 0, 399, 299}));
    // 400 px at 96 dpi = 105.83 mm; inclusive right edge in 0.01 mm.
    EXPECT_EQ(h.rectl(24), (std::vector<int32_t>{0, 0, 10582, 7937}));
    EXPECT_EQ(h.utf16(h.u32(64), h.u32(60)), QString::fromUtf16(u"Vendrix\0Strip Chart\0\0", 21));
    // The reference device has our resolution in pixels per millimetre, in both units.
    EXPECT_NEAR(h.i32(72) / double(h.i32(80)), 96 / 25.4, 1e-9);
    EXPECT_NEAR(h.i32(76) / double(h.i32(84)), 96 / 25.4, 1e-9);
    EXPECT_EQ(h.i32(100), h.i32(80) * 1000);
    EXPECT_EQ(h.i32(104), h.i32(84) * 1000);
    EXPECT_EQ(walk.records.back().type, emr::Eof);
    EXPECT_EQ(walk.count(emr::Header), 1u);
    EXPECT_EQ(walk.count(emr::Eof), 1u);
}

TEST(EmfPaintDevice, FrameAndReferenceFollowTheResolution) {
    EmfPaintDevice device(QSize(600, 300), 300.0, QStringLiteral("App"), QStringLiteral("Pic"));
    EXPECT_EQ(device.logicalDpiX(), 300);
    EXPECT_EQ(device.widthMM(), 51);  // 600 px at 300 dpi = 50.8 mm
    const EmfWalk walk = walkChecked(device.data());
    const EmfRecord& h = walk.header();
    EXPECT_EQ(h.rectl(24), (std::vector<int32_t>{0, 0, 5079, 2539}));
    EXPECT_NEAR(h.i32(72) / double(h.i32(80)), 300 / 25.4, 1e-9);
    EXPECT_EQ(h.utf16(h.u32(64), h.u32(60)), QString::fromUtf16(u"App\0Pic\0\0", 9));
}

TEST(EmfPaintDevice, ClippedLineComesAfterItsSavedIntersectClipAndTheClipIsUndoneAfterwards) {
    const EmfWalk walk = walkChecked(paintEmf(emfscene::kSize, emfscene::paint));
    const QPolygon zigzag = emfscene::overflowingLine();
    const auto lines = shapes(walk, emr::Polyline16);
    const auto it = std::find_if(lines.begin(), lines.end(), [&](const auto& l) {
        return l.second == std::vector<QPoint>(zigzag.begin(), zigzag.end());
    });
    ASSERT_NE(it, lines.end());
    const size_t line = it->first;
    const size_t clip = walk.lastBefore(emr::IntersectClipRect, line);
    ASSERT_NE(clip, std::numeric_limits<size_t>::max());
    EXPECT_EQ(walk.records[clip].rectl(8),
              (std::vector<int32_t>{50, 30, 350, 230}));  // right, bottom excluded
    EXPECT_EQ(walk.lastBefore(emr::SaveDc, clip), clip - 1);
    EXPECT_LT(walk.lastBefore(emr::RestoreDc, line), clip);
    // After clipping is switched off, the text is clipped only to the picture itself.
    const size_t text = walk.indexesOf(emr::ExtTextOutW).front();
    const size_t unclip = walk.lastBefore(emr::IntersectClipRect, text);
    EXPECT_GT(unclip, line);
    EXPECT_EQ(walk.records[unclip].rectl(8), (std::vector<int32_t>{0, 0, 400, 300}));
    EXPECT_EQ(walk.lastBefore(emr::RestoreDc, unclip), unclip - 2);
}

TEST(EmfPaintDevice, ClipOperationsReplaceIntersectAndComeBackWithSaveAndRestore) {
    auto lastClipBeforeLastLine = [](const std::function<void(QPainter&)>& setClip) {
        const EmfWalk walk = walkChecked(paintEmf(QSize(200, 200), [&](QPainter& p) {
            setClip(p);
            p.drawLine(0, 0, 199, 199);
        }));
        const size_t line = walk.indexesOf(emr::Polyline16).back();
        return walk.records[walk.lastBefore(emr::IntersectClipRect, line)].rectl(8);
    };
    using R = std::vector<int32_t>;
    EXPECT_EQ(lastClipBeforeLastLine([](QPainter& p) {
                  p.setClipRect(QRect(10, 10, 100, 100));
                  p.setClipRect(QRect(50, 60, 100, 100), Qt::IntersectClip);
              }),
              (R{50, 60, 110, 110}));
    EXPECT_EQ(lastClipBeforeLastLine([](QPainter& p) {
                  p.setClipRect(QRect(10, 10, 100, 100));
                  p.setClipRect(QRect(50, 60, 100, 100), Qt::ReplaceClip);
              }),
              (R{50, 60, 150, 160}));
    EXPECT_EQ(lastClipBeforeLastLine([](QPainter& p) {
                  p.setClipRect(QRect(10, 10, 20, 20));
                  p.save();
                  p.setClipRect(QRect(100, 100, 50, 50));
                  p.restore();
              }),
              (R{10, 10, 30, 30}));
    EXPECT_EQ(lastClipBeforeLastLine([](QPainter& p) {
                  p.setClipRect(QRect(10, 10, 20, 20));
                  p.setClipping(false);
                  p.setClipping(true);
              }),
              (R{10, 10, 30, 30}));
    // A clip set under a transform is fixed in device pixels; the picture bounds it.
    EXPECT_EQ(lastClipBeforeLastLine([](QPainter& p) {
                  p.translate(100, 50);
                  p.setClipRect(QRectF(0, 0, 500, 20.5));
                  p.resetTransform();
              }),
              (R{100, 50, 200, 70}));
    EXPECT_EQ(lastClipBeforeLastLine([](QPainter& p) {
                  p.setClipRect(QRect(10, 10, 20, 20));
                  p.setClipping(false);
              }),
              (R{0, 0, 200, 200}));
}

TEST(EmfPaintDevice, PenStylesWidthsAndColoursBecomeCosmeticOrGeometricPens) {
    struct Case {
        QPen pen;
        uint32_t type;
        uint32_t style;
        int width;
    };
    const std::vector<Case> cases = {
        {QPen(Qt::red, 1, Qt::SolidLine), emr::CreatePen, 0, 1},
        {QPen(Qt::red, 0, Qt::DashLine), emr::CreatePen, 1, 1},
        {QPen(Qt::red, 1, Qt::DotLine), emr::CreatePen, 2, 1},
        {QPen(Qt::red, 1, Qt::DashDotLine), emr::CreatePen, 3, 1},
        {QPen(Qt::red, 1, Qt::DashDotDotLine), emr::CreatePen, 4, 1},
        // geometric (0x10000), square cap (0x100), bevel join (0x1000)
        {QPen(Qt::blue, 3, Qt::DashLine), emr::ExtCreatePen, 0x11101, 3},
        {QPen(Qt::blue, 2, Qt::DotLine, Qt::FlatCap, Qt::RoundJoin), emr::ExtCreatePen, 0x10202, 2},
        {QPen(Qt::blue, 4, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin), emr::ExtCreatePen, 0x12000, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        const EmfWalk walk = walkChecked(paintEmf(QSize(100, 100), [&](QPainter& p) {
            p.setPen(c.pen);
            p.drawLine(10, 10, 90, 90);
        }));
        const size_t line = walk.indexesOf(emr::Polyline16).front();
        const EmfRecord* pen = selectedBefore(walk, line, {emr::CreatePen, emr::ExtCreatePen});
        ASSERT_NE(pen, nullptr);
        ASSERT_EQ(pen->type, c.type);
        if (c.type == emr::CreatePen) {
            EXPECT_EQ(pen->u32(12), c.style);
            EXPECT_EQ(pen->i32(16), c.width);
            EXPECT_EQ(pen->u32(24), colorref(c.pen.color()));
        } else {
            EXPECT_EQ(pen->u32(28), c.style);
            EXPECT_EQ(pen->i32(32), c.width);
            EXPECT_EQ(pen->u32(36), 0u);  // solid brush
            EXPECT_EQ(pen->u32(40), colorref(c.pen.color()));
        }
    }
}

TEST(EmfPaintDevice, PenWidthScalesWithTheTransformUnlessCosmetic) {
    auto widthOf = [](QPen pen) {
        const EmfWalk walk = walkChecked(paintEmf(QSize(100, 100), [&](QPainter& p) {
            p.scale(2, 2);
            p.setPen(pen);
            p.drawLine(1, 1, 40, 40);
        }));
        const EmfRecord* r = selectedBefore(walk, walk.indexesOf(emr::Polyline16).front(),
                                            {emr::CreatePen, emr::ExtCreatePen});
        return r->type == emr::CreatePen ? r->i32(16) : r->i32(32);
    };
    EXPECT_EQ(widthOf(QPen(Qt::black, 2)), 4);
    QPen cosmetic(Qt::black, 2);
    cosmetic.setCosmetic(true);
    EXPECT_EQ(widthOf(cosmetic), 2);
    EXPECT_EQ(widthOf(QPen(Qt::black, 0)), 1);
}

TEST(EmfPaintDevice, TransformIsMappedIntoDevicePixels) {
    auto linePoints = [](const std::function<void(QPainter&)>& setTransform) {
        const EmfWalk walk = walkChecked(paintEmf(QSize(300, 300), [&](QPainter& p) {
            setTransform(p);
            p.drawLine(QPointF(0, 0), QPointF(10, 20));
        }));
        return walk.records[walk.indexesOf(emr::Polyline16).front()].points();
    };
    using P = std::vector<QPoint>;
    EXPECT_EQ(linePoints([](QPainter& p) {
                  p.translate(100, 50);
                  p.scale(2, 3);
              }),
              (P{{100, 50}, {120, 110}}));
    EXPECT_EQ(linePoints([](QPainter& p) {
                  p.translate(100, 100);
                  p.rotate(-90);
              }),
              (P{{100, 100}, {120, 90}}));
    EXPECT_EQ(linePoints([](QPainter& p) {
                  p.setWindow(0, 0, 30, 30);  // 10 device pixels per unit
              }),
              (P{{0, 0}, {100, 200}}));
    // A dot is a line one pixel long, as GDI leaves out a line's last pixel.
    const EmfWalk dot = walkChecked(paintEmf(QSize(20, 20), [](QPainter& p) { p.drawPoint(5, 7); }));
    EXPECT_EQ(dot.records[dot.indexesOf(emr::Polyline16).front()].points(), (P{{5, 7}, {6, 7}}));
}

TEST(EmfPaintDevice, FillsArePolygonsWithASolidBrushAndNoPen) {
    const EmfWalk walk = walkChecked(paintEmf(
        QSize(100, 100), [](QPainter& p) { p.fillRect(QRect(10, 20, 30, 40), QColor(200, 10, 20)); }));
    const auto polygons = shapes(walk, emr::Polygon16);
    ASSERT_EQ(polygons.size(), 1u);
    EXPECT_EQ(polygons[0].second, (std::vector<QPoint>{{10, 20}, {40, 20}, {40, 60}, {10, 60}}));
    const EmfRecord* brush = selectedBefore(walk, polygons[0].first, {emr::CreateBrushIndirect});
    ASSERT_NE(brush, nullptr);
    EXPECT_EQ(brush->u32(12), 0u);  // BS_SOLID
    EXPECT_EQ(brush->u32(16), colorref(QColor(200, 10, 20)));
    // The null pen is a stock object selected after the last pen created.
    const size_t lastSelect = walk.lastBefore(emr::SelectObject, polygons[0].first);
    bool nullPen = false;
    for (size_t i = 0; i <= lastSelect; ++i)
        if (walk.records[i].type == emr::SelectObject && walk.records[i].u32(8) == 0x80000008u)
            nullPen = true;
    EXPECT_TRUE(nullPen);
}

TEST(EmfPaintDevice, RotatedBoldTextIsUtf16WithEscapementHeightAndAdvances) {
    const QString label = QStringLiteral("Temp \u00b0C");
    QFont font = emfscene::labelFont(14, true);
    font.setItalic(true);
    const EmfWalk walk = walkChecked(paintEmf(QSize(200, 200), [&](QPainter& p) {
        p.setPen(QColor(0, 0, 128));
        p.setFont(font);
        p.translate(25, 150);
        p.rotate(-90);
        p.drawText(QPointF(0, 0), label);
    }));
    ASSERT_EQ(walk.count(emr::ExtTextOutW), 1u);
    const size_t at = walk.indexesOf(emr::ExtTextOutW).front();
    const EmfRecord& text = walk.records[at];
    EXPECT_EQ(text.i32(36), 25);
    EXPECT_EQ(text.i32(40), 150);
    const int chars = text.i32(44);
    EXPECT_EQ(text.utf16(text.u32(48), chars), label);
    int advance = 0;
    for (int i = 0; i < chars; ++i) advance += text.i32(text.u32(72) + 4 * i);
    QFont measured(font);
    EXPECT_NEAR(advance, QFontMetricsF(measured).horizontalAdvance(label), 2.0);

    const EmfRecord* f = selectedBefore(walk, at, {emr::ExtCreateFontIndirectW});
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->i32(12), -14);
    EXPECT_EQ(f->i32(20), 900);  // escapement: reading upwards
    EXPECT_EQ(f->i32(24), 900);
    EXPECT_EQ(f->i32(28), 700);
    EXPECT_EQ(f->u8(32), 1);
    const QString face = f->utf16(40, 32).section(QChar(0), 0, 0);
    EXPECT_TRUE(QFontDatabase::families().contains(face)) << face.toStdString();

    const size_t color = walk.lastBefore(emr::SetTextColor, at);
    ASSERT_NE(color, std::numeric_limits<size_t>::max());
    EXPECT_EQ(walk.records[color].u32(8), colorref(QColor(0, 0, 128)));
    const size_t mode = walk.lastBefore(emr::SetBkMode, at);
    ASSERT_NE(mode, std::numeric_limits<size_t>::max());
    EXPECT_EQ(walk.records[mode].u32(8), 1u);  // transparent
    const size_t align = walk.lastBefore(emr::SetTextAlign, at);
    ASSERT_NE(align, std::numeric_limits<size_t>::max());
    EXPECT_EQ(walk.records[align].u32(8), 0x18u);  // baseline, left
}

TEST(EmfPaintDevice, PointSizedFontsTakeTheDeviceResolution) {
    const EmfWalk walk = walkChecked(paintEmf(
        QSize(400, 400),
        [](QPainter& p) {
            QFont font(QStringLiteral("DejaVu Sans"));
            font.setPointSize(9);
            p.setFont(font);
            p.drawText(QPoint(10, 100), QStringLiteral("9 pt"));
        },
        192.0));
    const EmfRecord* f =
        selectedBefore(walk, walk.indexesOf(emr::ExtTextOutW).front(), {emr::ExtCreateFontIndirectW});
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->i32(12), -24);  // 9 pt at 192 dpi
}

TEST(EmfPaintDevice, CoordinatesBeyondSixteenBitsUseWideRecordsAndHugeOnesAreClamped) {
    const EmfWalk walk = walkChecked(paintEmf(QSize(100, 100), [](QPainter& p) {
        p.drawLine(0, 0, 40, 10);
        p.drawLine(QPointF(0, 0), QPointF(40000, 10));
        p.drawLine(QPointF(0, 0), QPointF(1e15, -1e15));
    }));
    EXPECT_EQ(shapes(walk, emr::Polyline16).size(), 1u);
    const auto wide = shapes(walk, emr::Polyline);
    ASSERT_EQ(wide.size(), 2u);
    EXPECT_EQ(wide[0].second, (std::vector<QPoint>{{0, 0}, {40000, 10}}));
    EXPECT_EQ(wide[1].second, (std::vector<QPoint>{{0, 0}, {(1 << 27) - 1, -((1 << 27) - 1)}}));
}

TEST(EmfPaintDevice, OddInputLeavesAWellFormedFile) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const EmfWalk walk = walkChecked(paintEmf(QSize(100, 100), [&](QPainter& p) {
        p.drawPolyline(QPolygonF());
        const QPointF withNan[] = {{1, 1}, {nan, 5}, {20, 20}, {30, nan}};
        p.drawPolyline(withNan, 4);
        const QPointF allNan[] = {{nan, nan}, {nan, 1}};
        p.drawPolyline(allNan, 2);
        p.drawText(QPoint(10, 10), QString());
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(0, 0, 50, 50);
        p.setPen(QColor(0, 0, 0, 0));
        p.drawLine(0, 0, 5, 5);
        p.setPen(Qt::black);
        p.scale(0, 0);
        p.drawText(QPoint(10, 10), QStringLiteral("gone"));
    }));
    const auto lines = shapes(walk, emr::Polyline16);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].second, (std::vector<QPoint>{{1, 1}, {20, 20}}));
    EXPECT_EQ(walk.count(emr::Polygon16), 0u);
    EXPECT_EQ(walk.count(emr::ExtTextOutW), 0u);

    for (QSize size : {QSize(0, 0), QSize(-5, -10)}) {
        const EmfWalk empty = walkChecked(paintEmf(size, [](QPainter& p) {
            p.drawLine(0, 0, 10, 10);
            p.drawText(QPoint(1, 1), QStringLiteral("x"));
        }));
        EXPECT_EQ(empty.header().rectl(24), (std::vector<int32_t>{0, 0, -1, -1}));
        EXPECT_GT(empty.header().i32(80), 0);  // a real reference device even so
    }
    EmfPaintDevice unpainted(QSize(10, 10), nan);
    const EmfWalk blank = walkChecked(unpainted.data());
    EXPECT_EQ(blank.records.back().type, emr::Eof);
    EXPECT_EQ(unpainted.logicalDpiY(), 96);
}

TEST(EmfPaintDevice, PaintersInTurnDrawOnOnePictureAndEachCleansUp) {
    EmfPaintDevice device(QSize(100, 100));
    for (QColor color : {QColor(Qt::red), QColor(Qt::green)}) {
        QPainter p(&device);
        p.setPen(QPen(color, 3, Qt::DashLine));
        p.drawLine(0, 0, 50, 50);
    }
    const EmfWalk walk = walkChecked(device.data());
    EXPECT_EQ(walk.count(emr::Polyline16), 2u);
    EXPECT_EQ(walk.count(emr::ExtCreatePen), 2u);
    EXPECT_EQ(walk.count(emr::SaveDc), walk.count(emr::RestoreDc));
}

TEST(EmfPaintDevice, ManyDistinctPensShareASmallHandleTable) {
    const EmfWalk walk = walkChecked(paintEmf(QSize(300, 300), [](QPainter& p) {
        for (int i = 0; i < 200; ++i) {
            p.setPen(QColor::fromHsv(i, 255, 255));
            p.drawLine(i, 0, i, 100);
            p.setPen(Qt::black);  // reused throughout
            p.drawLine(0, i, 10, i);
        }
    }));
    EXPECT_EQ(walk.count(emr::CreatePen), 201u);
    EXPECT_LE(walk.header().u16(56), 40);
}

TEST(EmfPaintDevice, PathsFillAsPolyPolygonsWithTheirFillRule) {
    const EmfWalk walk = walkChecked(paintEmf(QSize(100, 100), [](QPainter& p) {
        QPainterPath ring;
        ring.addRect(10, 10, 80, 80);
        ring.addEllipse(30, 30, 40, 40);
        ring.setFillRule(Qt::WindingFill);
        p.setBrush(Qt::yellow);
        p.setPen(Qt::NoPen);
        p.drawPath(ring);
    }));
    ASSERT_EQ(walk.count(emr::PolyPolygon16), 1u);
    const size_t at = walk.indexesOf(emr::PolyPolygon16).front();
    EXPECT_EQ(walk.records[at].u32(24), 2u);
    const size_t mode = walk.lastBefore(emr::SetPolyFillMode, at);
    ASSERT_NE(mode, std::numeric_limits<size_t>::max());
    EXPECT_EQ(walk.records[mode].u32(8), 2u);  // WINDING
}

TEST(EmfPaintDevice, ImagesBecomeBottomUpDibs) {
    QImage image(2, 2, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(1, 0, qRgb(0, 255, 0));
    image.setPixel(0, 1, qRgb(0, 0, 255));
    image.setPixel(1, 1, qRgb(255, 255, 255));
    const EmfWalk walk = walkChecked(
        paintEmf(QSize(100, 100), [&](QPainter& p) { p.drawImage(QRect(10, 20, 40, 30), image); }));
    ASSERT_EQ(walk.count(emr::StretchDiBits), 1u);
    const EmfRecord& r = walk.records[walk.indexesOf(emr::StretchDiBits).front()];
    EXPECT_EQ(r.i32(24), 10);  // xDest, yDest
    EXPECT_EQ(r.i32(28), 20);
    EXPECT_EQ(r.i32(72), 40);  // cxDest, cyDest
    EXPECT_EQ(r.i32(76), 30);
    const uint32_t bmi = r.u32(48);
    EXPECT_EQ(r.i32(bmi + 4), 2);
    EXPECT_EQ(r.i32(bmi + 8), 2);
    EXPECT_EQ(r.u16(bmi + 14), 24);
    const uint32_t bits = r.u32(56);
    // Bottom row first, blue-green-red: blue then white; then red then green.
    const QByteArray px = r.bytes.mid(bits, 16);
    EXPECT_EQ(px.toHex().toStdString(),
              "ff0000ffffff0000"
              "0000ff00ff000000");
}

TEST(EmfPaintDevice, ShapedClipsBecomeRegionsCutToThePicture) {
    const EmfWalk walk = walkChecked(paintEmf(QSize(100, 100), [](QPainter& p) {
        QPainterPath round;
        round.addEllipse(QRectF(0, 0, 100, 100));
        p.setClipPath(round);
        p.drawLine(0, 0, 99, 99);
        p.rotate(45);
        p.setClipRect(QRect(0, -100000000, 100000000, 100000000));  // one edge along the diagonal
        p.drawLine(0, 0, 99, 99);
    }));
    const auto regions = walk.indexesOf(emr::ExtSelectClipRgn);
    ASSERT_EQ(regions.size(), 2u);
    for (size_t at : regions) {
        const EmfRecord& r = walk.records[at];
        EXPECT_EQ(r.u32(12), 1u);  // RGN_AND
        const int rects = r.i32(16 + 8);
        EXPECT_GT(rects, 1);
        const QRect bound(QPoint(r.i32(16 + 16), r.i32(16 + 20)),
                          QPoint(r.i32(16 + 24) - 1, r.i32(16 + 28) - 1));
        EXPECT_TRUE(QRect(0, 0, 100, 100).contains(bound))
            << bound.x() << "," << bound.y() << " " << bound.width();
    }
}
