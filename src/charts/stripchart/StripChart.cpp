#include "charts/stripchart/StripChart.h"

#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>

#include "charts/stripchart/ChartOutput.h"
#include "charts/stripchart/ChartPainter.h"
#include "charts/stripchart/ChartPrint.h"
#include "charts/stripchart/ChartQt.h"

namespace {
ChartKey ToChartKey(int key) {
    switch (key) {
        case Qt::Key_PageUp:
            return ChartKey::PageUp;
        case Qt::Key_PageDown:
            return ChartKey::PageDown;
        case Qt::Key_Home:
            return ChartKey::Home;
        case Qt::Key_End:
            return ChartKey::End;
        case Qt::Key_Left:
            return ChartKey::Left;
        case Qt::Key_Right:
            return ChartKey::Right;
        case Qt::Key_Up:
            return ChartKey::Up;
        case Qt::Key_Down:
            return ChartKey::Down;
        default:
            return ChartKey::Other;
    }
}

char LocaleDecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    return point.size() == 1 && point[0].unicode() < 0x80 ? static_cast<char>(point[0].unicode()) : '.';
}
}  // namespace

TStripChart::TStripChart(QWidget* parent) : TChartControl(parent) {
    SetBorderStyle(bsLowered);
    SetBackGroundColor(ChartColors::Black);
    SetDecimalSeparator(LocaleDecimalSeparator());
    resize(500, 250);
}

TStripChart::~TStripChart() = default;

void TStripChart::RequestFullRedraw() {
    layoutDirty_ = true;
    RequestPaint(true);
}

void TStripChart::ResizeBuffer() {
    TChartControl::ResizeBuffer();
    if (layout_.ClientWidth != width() || layout_.ClientHeight != height()) layoutDirty_ = true;
}

ChartLayout TStripChart::ComputeCurrentLayout() const {
    return ComputeLayout(*this, width(), height(), QtTextMeasurer());
}

const ChartLayout& TStripChart::CurrentLayout() {
    if (layoutDirty_) {
        layout_ = ComputeCurrentLayout();
        layoutDirty_ = false;
    }
    return layout_;
}

void TStripChart::DrawChart(QPainter& painter, bool fullRedraw) {
    ChartFrameStyle frame{BackGroundColor(), BorderStyle()};
    if (fullRedraw || layoutDirty_) {
        layoutDirty_ = true;
        ChartPainter(painter, *this, CurrentLayout(), frame).PaintFrame();
    }
    ChartPainter chartPainter(painter, *this, layout_, frame);
    chartPainter.PaintPlot();
    chartPainter.PaintXLabels();
    if (ToolBarMode() == scmZoomBox && mouse_.Dragging) chartPainter.PaintZoomBox(mouse_.Box);
}

void TStripChart::PaintToCanvas(QPainter& painter) const {
    PaintChart(painter, *this, ComputeCurrentLayout(), {BackGroundColor(), BorderStyle()});
}

void TStripChart::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();  // the owner's, e.g. for its popup menu
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const QPoint at = event->position().toPoint();
    ChartMousePress(*this, CurrentLayout(), mouse_, at.x(), at.y());
}

void TStripChart::mouseMoveEvent(QMouseEvent* event) {
    if (!mouse_.Dragging) return;
    const QPoint at = event->position().toPoint();
    ChartMouseMove(*this, CurrentLayout(), mouse_, at.x(), at.y());
}

void TStripChart::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const QPoint at = event->position().toPoint();
    ChartMouseRelease(*this, CurrentLayout(), mouse_, at.x(), at.y());
}

void TStripChart::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (HandleChartKey(*this, ToChartKey(event->key()))) {
            event->accept();
            return;
        }
    }
    TChartControl::keyPressEvent(event);
}

const QByteArray& TStripChart::GetMetafilePicture() {
    metafile_ =
        RenderChartPicture(size(), ChartPictureFormat::Emf, [this](QPainter& p) { PaintToCanvas(p); });
    return metafile_;
}

void TStripChart::CopyToClipboard() {
    PutChartOnClipboard(size(), [this](QPainter& p) { PaintToCanvas(p); });
}

void TStripChart::SaveToMetafile(const QString& fileName) {
    WritePictureFile(fileName, GetMetafilePicture());
}

void TStripChart::SaveToFile(const QString& fileName) {
    const ChartPictureFormat format = PictureFormatFor(fileName);
    if (format == ChartPictureFormat::Emf) return SaveToMetafile(fileName);
    WritePictureFile(fileName, RenderChartPicture(size(), format, [this](QPainter& p) { PaintToCanvas(p); }));
}

void TStripChart::PrintChart() {
    QtChartPrinter printer;
    PrintChart(printer);
}

void TStripChart::PrintChart(ChartPrinter& printer) { PrintStripChart(*this, printer); }
