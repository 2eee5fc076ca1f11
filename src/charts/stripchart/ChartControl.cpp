#include "charts/stripchart/ChartControl.h"

#include <QApplication>
#include <QPainter>
#include <QResizeEvent>
#include <exception>

TChartControl::TChartControl(QWidget* parent)
    : QWidget(parent),
      Beep([] { QApplication::beep(); }),
      // The gate reads the clock once while being made, before the body starts it.
      gate_(*this, [this] { return clock_.isValid() ? clock_.elapsed() : 0; }) {
    clock_.start();
    // The bitmap covers every pixel: no background erasing, no flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

TChartControl::~TChartControl() = default;

void TChartControl::SetBackGroundColor(ChartColor color) {
    if (color == backGroundColor_) return;
    backGroundColor_ = color;
    RequestPaint(true);
}

void TChartControl::SetBorderStyle(TBevelStyle style) {
    if (style == borderStyle_) return;
    borderStyle_ = style;
    RequestPaint(true);
}

void TChartControl::RequestPaint(bool fullRedraw) {
    if (fullRedraw)
        gate_.RequestFullRedraw();
    else
        gate_.RequestRepaint();
}

void TChartControl::Paint(bool fullRedraw, bool immediately) {
    if (fullRedraw) fullRedrawPending_ = true;
    if (immediately)
        repaint();
    else
        update();
}

void TChartControl::ResizeBuffer() {
    if (bitmap_.Resize(size(), devicePixelRatioF())) fullRedrawPending_ = true;
}

void TChartControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ResizeBuffer();
}

void TChartControl::paintEvent(QPaintEvent*) {
    if (painting_) return;
    painting_ = true;
    ResizeBuffer();  // a move to a screen of another density changes the ratio
    try {
        QPainter painter(&bitmap_.Image());
        DrawChart(painter, fullRedrawPending_);
        fullRedrawPending_ = false;
    } catch (const std::exception&) {
        fullRedrawPending_ = true;  // the next paint tries all of it again
        if (Beep) Beep();
    }
    QPainter screen(this);
    screen.setCompositionMode(QPainter::CompositionMode_Source);
    screen.drawImage(0, 0, bitmap_.Image());
    painting_ = false;
}
