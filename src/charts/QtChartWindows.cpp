#include "charts/QtChartWindows.h"

#include <exception>

#include "app/TTRecForm.h"
#include "charts/TChartForm.h"

QtChartWindows::QtChartWindows(TTRecForm& form, QWidget* owner,
                               std::function<std::unique_ptr<ChartPrinter>()> makePrinter)
    : form_(form), owner_(owner), makePrinter_(std::move(makePrinter)) {}

QtChartWindows::~QtChartWindows() {
    delete log_;
    delete histogram_;
}

void QtChartWindows::DestroyChartWindow(ChartKind kind) {
    QPointer<TChartForm>& slot = kind == ChartKind::Log ? log_ : histogram_;
    delete slot;
    slot = nullptr;
}

void QtChartWindows::Show(TChartForm* window, QPointer<TChartForm>& slot, bool isHistogram,
                          const std::function<void(TChartForm&)>& plot) {
    slot = window;
    window->Model().OnClosed = [this](bool histogram) { form_.ChartWindowClosed(histogram); };
    try {
        plot(*window);
    } catch (const std::exception& error) {
        // Data the chart refuses (such as a sample rate of 0 against time) leaves no half-built window.
        DestroyChartWindow(isHistogram ? ChartKind::Histogram : ChartKind::Log);
        form_.ChartWindowClosed(isHistogram);
        form_.platform.MessageBox(std::string("The graph cannot be drawn.\r") + error.what(),
                                  form_.AppCaption, MsgButtons::Ok, MsgIcon::Error);
        return;
    }
    window->show();
    window->raise();
    window->activateWindow();
}

void QtChartWindows::ShowLogGraph(const LogGraphInput& input, const GraphDetails& details) {
    Show(new TChartForm(form_.platform, makePrinter_, owner_), log_, false,
         [&](TChartForm& window) { window.PlotLog(input, details); });
}

void QtChartWindows::ShowHistogramGraph(const HistogramGraphInput& input, const GraphDetails& details) {
    Show(new TChartForm(form_.platform, makePrinter_, owner_), histogram_, true,
         [&](TChartForm& window) { window.PlotHistogram(input, details); });
}
