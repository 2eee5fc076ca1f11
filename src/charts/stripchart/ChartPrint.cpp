#include "charts/stripchart/ChartPrint.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <stdexcept>

#include "charts/stripchart/ChartQt.h"
#include "charts/stripchart/StripChart.h"
#include "charts/stripchart/core/PrintGeometry.h"

QtChartPrinter::QtChartPrinter()
    : own_(std::make_unique<QPrinter>(QPrinter::HighResolution)), printer_(*own_) {}

QtChartPrinter::QtChartPrinter(QPrinter& printer) : printer_(printer) {}

QtChartPrinter::~QtChartPrinter() = default;

void QtChartPrinter::SetOrientation(TPrinterOrientation orientation) {
    printer_.setPageOrientation(orientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

bool QtChartPrinter::ShowPrintDialog(QWidget* parent) {
    QPrintDialog dialog(&printer_, parent);
    return dialog.exec() == QDialog::Accepted;
}

bool QtChartPrinter::HasDeviceMode() { return printer_.isValid(); }

void QtChartPrinter::SelectCurrentPrinterAgain() {
    const QString name =
        printer_.printerName().isEmpty() ? QPrinterInfo::defaultPrinterName() : printer_.printerName();
    printer_.setPrinterName(name);
}

QSize QtChartPrinter::PageSize() { return QSize(printer_.width(), printer_.height()); }

bool QtChartPrinter::LegalPaper() { return printer_.pageLayout().pageSize().id() == QPageSize::Legal; }

QPaintDevice& QtChartPrinter::Device() { return printer_; }

void PrintStripChart(TStripChart& chart, ChartPrinter& printer) {
    printer.SetOrientation(chart.PrinterOrientation());
    if (chart.PrinterShowDialog() && !printer.ShowPrintDialog(&chart)) return;
    if (!printer.HasDeviceMode()) {
        printer.SelectCurrentPrinterAgain();
        if (!printer.HasDeviceMode()) throw EStripChartError(kNoDeviceModeMessage);
    }
    const QSize page = printer.PageSize();
    const PrintMargins margins{chart.PrinterMarginLeft(), chart.PrinterMarginTop(),
                               chart.PrinterMarginRight(), chart.PrinterMarginBottom()};
    const PrintGeometry g = ComputePrintGeometry(page.width(), page.height(), printer.LegalPaper(), margins,
                                                 chart.width(), chart.height());
    QPaintDevice& device = printer.Device();
    QPainter painter;
    if (!painter.begin(&device)) throw std::runtime_error("The printer could not start the print job.");
    if (g.ImageWidth > 0 && g.ImageHeight > 0) {
        // The same picture as the metafile, stretched into its rectangle.
        painter.save();
        painter.translate(g.ImageLeft, g.ImageTop);
        painter.scale(static_cast<double>(g.ImageWidth) / chart.width(),
                      static_cast<double>(g.ImageHeight) / chart.height());
        painter.setClipRect(QRect(0, 0, chart.width(), chart.height()));
        chart.PaintToCanvas(painter);
        painter.restore();
    }
    // The print font is sized in points, so it follows the printer's resolution.
    QFont font(QString::fromStdString(chart.PrintFont.Family));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(std::max(1, chart.PrintFont.Size));
    font.setBold(chart.PrintFont.Bold);
    font.setItalic(chart.PrintFont.Italic);
    painter.setFont(font);
    painter.setPen(ToQColor(chart.PrintFont.Color));
    const QFontMetrics metrics(font, &device);
    const int lineHeight = metrics.height();
    int top = g.FirstLineTop;
    for (const std::string& line : chart.PrintLines()) {
        painter.drawText(QPoint(g.ImageLeft, top + metrics.ascent()), ChartText(line));
        top += lineHeight;
    }
    painter.end();
}
