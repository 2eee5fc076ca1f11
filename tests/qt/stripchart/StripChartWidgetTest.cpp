#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <stdexcept>

#include "ChartRig.h"

namespace {
// Throws from its draw routine once when asked to; counts its draws.
class FailingChart : public TStripChart {
public:
    bool failNext = false;
    int draws = 0;

protected:
    void DrawChart(QPainter& painter, bool fullRedraw) override {
        ++draws;
        if (failNext) {
            failNext = false;
            throw EStripChartError("drawing failed");
        }
        TStripChart::DrawChart(painter, fullRedraw);
    }
};

QImage Shown(TStripChart& chart) { return chart.grab().toImage().convertToFormat(QImage::Format_RGB32); }

QImage Canvas(const TStripChart& chart, qreal ratio = 1.0) {
    QImage canvas(chart.size() * ratio, QImage::Format_RGB32);
    canvas.setDevicePixelRatio(ratio);
    QPainter painter(&canvas);
    chart.PaintToCanvas(painter);
    return canvas;
}
}  // namespace

TEST(StripChartWidgetTest, ConstructorDefaultsOfTheControl) {
    TStripChart chart;
    EXPECT_EQ(chart.size(), QSize(500, 250));
    EXPECT_EQ(chart.BorderStyle(), bsLowered);
    EXPECT_EQ(chart.BackGroundColor(), ChartColors::Black);
    EXPECT_EQ(chart.UpdateFrameRate(), 0);
    EXPECT_TRUE(chart.testAttribute(Qt::WA_OpaquePaintEvent));
    EXPECT_EQ(chart.focusPolicy(), Qt::StrongFocus);
}

TEST(StripChartWidgetTest, PaintsTheLinesInsideThePlotOnly) {
    TStripChart chart;
    LoadThreeChannels(chart);
    chart.SetYAxisMax(27);  // the temperature (12 to 28) now leaves the axis at the top
    const QImage image = Shown(chart);
    const QRect plot = ToQRect(chart.CurrentLayout().Plot);
    const ColourCount temp = CountColour(image, qRgb(0, 255, 64), plot);
    EXPECT_GT(temp.Inside, 300);
    // Only the legend's sample line has the channel's colour outside the plot.
    const QRect legend = ToQRect(chart.CurrentLayout().Legend);
    EXPECT_EQ(CountColour(image, qRgb(0, 255, 64), plot.united(legend)).Outside, 0);
    EXPECT_GT(CountColour(image, qRgb(255, 0, 0), plot).Inside, 100);
    EXPECT_EQ(image.pixel(plot.left() + 3, plot.top() + 3) & 0xFFFFFF, 0xFFFFFFu);  // grid background
    EXPECT_EQ(image.pixel(plot.left(), plot.bottom() - 3) & 0xFFFFFF, 0u);          // the axis line
}

TEST(StripChartWidgetTest, ScreenAndPaintToCanvasDrawTheSamePictureAlsoAfterAScroll) {
    TStripChart chart;
    LoadThreeChannels(chart);
    EXPECT_EQ(Shown(chart), Canvas(chart));
    const QImage before = Shown(chart);
    chart.ScrollX(10);  // repaints only the plot and X labels on the kept frame
    const QImage after = Shown(chart);
    EXPECT_NE(before, after);
    EXPECT_EQ(after, Canvas(chart));
}

TEST(StripChartWidgetTest, AnExceptionWhileDrawingBeepsAndTheNextPaintTriesAgain) {
    FailingChart chart;
    LoadThreeChannels(chart);
    int beeps = 0;
    chart.Beep = [&] { ++beeps; };
    chart.failNext = true;
    EXPECT_NO_THROW(Shown(chart));
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(Shown(chart), Canvas(chart));
    EXPECT_EQ(beeps, 1);
}

TEST(StripChartWidgetTest, AFrameRatePaintsDuringALongUpdate) {
    FailingChart chart;
    LoadThreeChannels(chart);
    chart.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    chart.SetUpdateFrameRate(50);  // at most every 20 ms
    chart.BeginUpdate();
    const int before = chart.draws;
    for (int i = 0; i < 3; ++i) {
        QTest::qSleep(30);
        chart.SetChannelData(0, -1, 20 + i);
    }
    EXPECT_TRUE(chart.Updating());
    EXPECT_EQ(chart.draws - before, 3);  // painted at once, in the middle of the update
    chart.SetUpdateFrameRate(0);
    chart.SetChannelData(0, -1, 25);
    EXPECT_EQ(chart.draws - before, 3);
    chart.EndUpdate();
    EXPECT_EQ(chart.draws - before, 4);
}

TEST(StripChartWidgetTest, TheBitmapHasTheScreensDensity) {
    TOffscreenBitmap bitmap;
    EXPECT_TRUE(bitmap.Resize(QSize(300, 120), 2.0));
    EXPECT_EQ(bitmap.Image().size(), QSize(600, 240));
    EXPECT_EQ(bitmap.Image().devicePixelRatio(), 2.0);
    EXPECT_FALSE(bitmap.Resize(QSize(300, 120), 2.0));
    // Drawn in the control's pixels, a double-density chart has its lines in twice the detail.
    TStripChart chart;
    LoadThreeChannels(chart);
    const QRect plot = ToQRect(chart.CurrentLayout().Plot);
    const ColourCount dense =
        CountColour(Canvas(chart, 2.0), qRgb(0, 255, 64), QRect(plot.topLeft() * 2, plot.size() * 2));
    EXPECT_GT(dense.Inside, 3 * CountColour(Shown(chart), qRgb(0, 255, 64), plot).Inside);
}

TEST(StripChartWidgetTest, LeftDragScrollsAndTheRightButtonIsLeftToTheOwner) {
    TStripChart chart;
    LoadThreeChannels(chart);
    chart.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    const ChartRect plot = chart.CurrentLayout().Plot;
    const QPoint start((plot.Left + plot.Right) / 2, (plot.Top + plot.Bottom) / 2);
    QTest::mousePress(&chart, Qt::RightButton, Qt::NoModifier, start);
    QTest::mouseRelease(&chart, Qt::RightButton, Qt::NoModifier, start);
    EXPECT_EQ(chart.XWindow(), (AxisWindow{0, 200}));
    QTest::mousePress(&chart, Qt::LeftButton, Qt::NoModifier, start);
    EXPECT_TRUE(chart.hasFocus());
    QMouseEvent move(QEvent::MouseMove, start + QPoint(40, 0), chart.mapToGlobal(start + QPoint(40, 0)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&chart, &move);
    QTest::mouseRelease(&chart, Qt::LeftButton, Qt::NoModifier, start + QPoint(40, 0));
    EXPECT_DOUBLE_EQ(chart.XAxisMin(), -40.0 / (plot.Right - plot.Left) * 200);
    EXPECT_FALSE(chart.Mouse().Dragging);
}

TEST(StripChartWidgetTest, KeysTheModeUsesAreConsumed) {
    TStripChart chart;
    LoadThreeChannels(chart);
    chart.SetXAxisMax(50);
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
    QApplication::sendEvent(&chart, &end);
    EXPECT_TRUE(end.isAccepted());
    EXPECT_EQ(chart.CursorIndex(), 199);
    EXPECT_GT(chart.XAxisMax(), 199);
    chart.SetToolBarMode(scmScrollY);
    QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    QApplication::sendEvent(&chart, &left);
    EXPECT_FALSE(left.isAccepted());  // passed on
}
