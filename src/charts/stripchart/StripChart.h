#pragma once
// TStripChart: the strip chart as a widget. Its data, properties and rules are
// the screen-free StripChartModel; this adds the painting through the one
// chart painter, mouse and keys, the picture files, the clipboard and printing.
#include <QByteArray>
#include <QString>

#include "charts/stripchart/ChartControl.h"
#include "charts/stripchart/core/ChartInput.h"
#include "charts/stripchart/core/StripChartModel.h"

class ChartPrinter;
class QPainter;

class TStripChart : public TChartControl, public StripChartModel {
    Q_OBJECT
public:
    explicit TStripChart(QWidget* parent = nullptr);
    ~TStripChart() override;

    // The whole chart at the control's size onto any painter: printers and files use it.
    void PaintToCanvas(QPainter& painter) const;

    // The chart as an enhanced metafile at the control's size; kept until the next call.
    const QByteArray& GetMetafilePicture();
    // Offers the chart as EMF, SVG and PNG at once.
    void CopyToClipboard();
    // Both raise std::runtime_error with the system's message when the file cannot be
    // written; the old file then stays whole.
    void SaveToMetafile(const QString& fileName);
    // The picture type follows the extension: .emf, .svg, .pdf or .png.
    void SaveToFile(const QString& fileName);

    // Prints on the default printer, or on the one given; raises "Could not initialize
    // printer DeviceMode Structure" when the printer has none.
    void PrintChart();
    void PrintChart(ChartPrinter& printer);

    // The layout the last full redraw computed (computed now if none is current).
    const ChartLayout& CurrentLayout();
    const ChartMouse& Mouse() const { return mouse_; }

protected:
    void DrawChart(QPainter& painter, bool fullRedraw) override;
    void FireDataUpdateEvent() override { Fire(OnDataUpdate); }
    void ResizeBuffer() override;

    void RequestRepaint() override { RequestPaint(false); }
    void RequestFullRedraw() override;
    void RequestDataUpdateEvent() override { RequestDataUpdate(); }

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    ChartLayout ComputeCurrentLayout() const;

    ChartLayout layout_;
    bool layoutDirty_ = true;
    ChartMouse mouse_;
    QByteArray metafile_;
};
