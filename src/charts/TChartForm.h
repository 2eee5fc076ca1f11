#pragma once
// TChartForm: the chart window. It builds the panels, the menus and the strip
// chart, and forwards every menu command to ChartFormModel, which decides.
#include <QWidget>
#include <functional>
#include <memory>

#include "charts/form/ChartFormModel.h"

class ChartPrinter;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class TStripChart;

// StripChart1's whole design: the form's settings and the control's own (white, lowered).
void ApplyGraphWindowDesign(TStripChart& chart);

class TChartForm : public QWidget {
    Q_OBJECT
public:
    // makePrinter: the printer "Print Graph..." prints on (the program's own).
    TChartForm(Platform& platform, std::function<std::unique_ptr<ChartPrinter>()> makePrinter,
               QWidget* owner = nullptr);
    ~TChartForm() override;

    void PlotLog(const LogGraphInput& in, const GraphDetails& details);
    void PlotHistogram(const HistogramGraphInput& in, const GraphDetails& details);

    ChartFormModel& Model() { return *model_; }
    TStripChart* StripChart1 = nullptr;
    QFrame *BackPanel = nullptr, *CenterPanel = nullptr;
    QLabel* TitleLabel = nullptr;
    QMenuBar* GraphMenu = nullptr;
    QMenu* Popup = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void ShowModel();

    std::unique_ptr<ChartFormModel> model_;
    std::function<std::unique_ptr<ChartPrinter>()> makePrinter_;
};
