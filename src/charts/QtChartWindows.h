#pragma once
// The main window's two chart windows: at most one log graph and one
// histogram, children of the main window, so they close and die with it.
#include <QPointer>
#include <functional>
#include <memory>

#include "app/ChartWindows.h"
#include "charts/TChartForm.h"

class ChartPrinter;
class Platform;
class QWidget;
class TTRecForm;

class QtChartWindows : public ChartWindows {
public:
    QtChartWindows(TTRecForm& form, QWidget* owner,
                   std::function<std::unique_ptr<ChartPrinter>()> makePrinter);
    ~QtChartWindows() override;

    void DestroyChartWindow(ChartKind kind) override;
    void ShowLogGraph(const LogGraphInput& input, const GraphDetails& details) override;
    void ShowHistogramGraph(const HistogramGraphInput& input, const GraphDetails& details) override;

    TChartForm* LogChartWindow() const { return log_; }
    TChartForm* HistogramChartWindow() const { return histogram_; }

private:
    TChartForm* Create(QPointer<TChartForm>& slot);
    void Show(TChartForm* window, QPointer<TChartForm>& slot, bool isHistogram,
              const std::function<void(TChartForm&)>& plot);

    TTRecForm& form_;
    QWidget* owner_;
    std::function<std::unique_ptr<ChartPrinter>()> makePrinter_;
    QPointer<TChartForm> log_, histogram_;
};
