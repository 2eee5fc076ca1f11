#include <QApplication>
#include <QImage>
#include <QTest>
#include <stdexcept>

#include "ChartRig.h"
#include "charts/stripchart/ChartPainter.h"

namespace {
// Throws from its draw routine once when asked to.
class FailingChart : public TStripChart {
public:
    bool failNext = false;

protected:
    void DrawChart(QPainter& painter, bool fullRedraw) override {
        if (failNext) {
            failNext = false;
            throw EStripChartError("drawing failed");
        }
        TStripChart::DrawChart(painter, fullRedraw);
    }
};

QImage Shown(TStripChart& chart) { return chart.grab().toImage().convertToFormat(QImage::Format_RGB32); }
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

TEST(StripChartWidgetTest, ScreenAndPaintToCanvasDrawTheSamePicture) {
    TStripChart chart;
    LoadThreeChannels(chart);
    const QImage screen = Shown(chart);
    QImage canvas(chart.size(), QImage::Format_RGB32);
    QPainter painter(&canvas);
    chart.PaintToCanvas(painter);
    painter.end();
    EXPECT_EQ(screen, canvas);
}

TEST(StripChartWidgetTest, ScrollingRepaintsThePlotAndLabelsOnTheKeptFrame) {
    TStripChart chart;
    LoadThreeChannels(chart);
    const QImage before = Shown(chart);
    chart.ScrollX(10);
    const QImage after = Shown(chart);
    QImage canvas(chart.size(), QImage::Format_RGB32);
    QPainter painter(&canvas);
    chart.PaintToCanvas(painter);
    painter.end();
    EXPECT_NE(before, after);
    EXPECT_EQ(after, canvas);
}

TEST(StripChartWidgetTest, AnExceptionWhileDrawingBeepsAndTheNextPaintTriesAgain) {
    FailingChart chart;
    LoadThreeChannels(chart);
    int beeps = 0;
    chart.Beep = [&] { ++beeps; };
    chart.failNext = true;
    EXPECT_NO_THROW(Shown(chart));
    EXPECT_EQ(beeps, 1);
    QImage canvas(chart.size(), QImage::Format_RGB32);
    QPainter painter(&canvas);
    chart.PaintToCanvas(painter);
    painter.end();
    EXPECT_EQ(Shown(chart), canvas);
    EXPECT_EQ(beeps, 1);
}

TEST(StripChartWidgetTest, TheBitmapHasTheScreensDensity) {
    TOffscreenBitmap bitmap;
    EXPECT_TRUE(bitmap.Resize(QSize(300, 120), 2.0));
    EXPECT_EQ(bitmap.Image().size(), QSize(600, 240));
    EXPECT_EQ(bitmap.Image().devicePixelRatio(), 2.0);
    EXPECT_FALSE(bitmap.Resize(QSize(300, 120), 2.0));
    EXPECT_TRUE(bitmap.Resize(QSize(300, 120), 1.0));
    // Drawn in the control's pixels, a chart on a double-density bitmap has twice the detail.
    TStripChart chart;
    LoadThreeChannels(chart);
    QImage dense(chart.size() * 2, QImage::Format_RGB32);
    dense.setDevicePixelRatio(2.0);
    QPainter painter(&dense);
    chart.PaintToCanvas(painter);
    painter.end();
    const QRect plot = ToQRect(chart.CurrentLayout().Plot);
    const QRect densePlot(plot.topLeft() * 2, plot.size() * 2);
    EXPECT_EQ(CountColour(dense, qRgb(0, 255, 64),
                          densePlot.united(ToQRect(chart.CurrentLayout().Legend).adjusted(0, 0, 500, 500)))
                  .Outside,
              0);
    const ColourCount lines = CountColour(dense, qRgb(0, 255, 64), densePlot);
    const ColourCount single = CountColour(Shown(chart), qRgb(0, 255, 64), plot);
    EXPECT_GT(lines.Inside, 3 * single.Inside);
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

TEST(StripChartWidgetTest, ToolBarClickSelectsTheMode) {
    TStripChart chart;
    LoadThreeChannels(chart);
    chart.SetShowToolBar(true);
    int changes = 0;
    chart.OnModeChange = [&] { ++changes; };
    const ChartLayout& layout = chart.CurrentLayout();
    QRect cursor;
    for (const ToolBarButton& button : layout.Buttons)
        if (button.Mode == scmCursor) cursor = ToQRect(button.Rect);
    QTest::mouseClick(&chart, Qt::LeftButton, Qt::NoModifier, cursor.center());
    EXPECT_EQ(chart.ToolBarMode(), scmCursor);
    EXPECT_EQ(changes, 1);
    EXPECT_NE(chart.CursorReadout().find("X = "), std::string::npos);
}
