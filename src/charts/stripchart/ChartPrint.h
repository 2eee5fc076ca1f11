#pragma once
// Printing the chart: the image scaled into the page between the margins,
// keeping its aspect ratio, and the print lines under it. The printer is
// reached through a small port, so tests check the page without one.
#include <QSize>
#include <memory>

#include "charts/stripchart/core/ChartTypes.h"

class QPaintDevice;
class QPrinter;
class QWidget;
class TStripChart;

class ChartPrinter {
public:
    virtual ~ChartPrinter() = default;
    virtual void SetOrientation(TPrinterOrientation orientation) = 0;
    // False when the user cancelled.
    virtual bool ShowPrintDialog(QWidget* parent) = 0;
    // Whether the printer has its settings (the device mode); selecting the
    // current printer again may give them.
    virtual bool HasDeviceMode() = 0;
    virtual void SelectCurrentPrinterAgain() = 0;
    // The printable page in printer units.
    virtual QSize PageSize() = 0;
    virtual bool LegalPaper() = 0;
    // Painting on it runs the print job; ending the painter ends the job.
    virtual QPaintDevice& Device() = 0;
};

// The port over a QPrinter: the system's default printer, or one given (and kept by its owner).
class QtChartPrinter : public ChartPrinter {
public:
    QtChartPrinter();
    explicit QtChartPrinter(QPrinter& printer);
    ~QtChartPrinter() override;

    void SetOrientation(TPrinterOrientation orientation) override;
    bool ShowPrintDialog(QWidget* parent) override;
    bool HasDeviceMode() override;
    void SelectCurrentPrinterAgain() override;
    QSize PageSize() override;
    bool LegalPaper() override;
    QPaintDevice& Device() override;

private:
    std::unique_ptr<QPrinter> own_;
    QPrinter& printer_;
};

inline constexpr const char* kNoDeviceModeMessage = "Could not initialize printer DeviceMode Structure";

// Raises EStripChartError with kNoDeviceModeMessage when the printer has no device
// mode (no job is started then), std::runtime_error when the job cannot start.
void PrintStripChart(TStripChart& chart, ChartPrinter& printer);
