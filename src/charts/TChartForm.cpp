#include "charts/TChartForm.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QVBoxLayout>

#include "app/qt/ControlBinding.h"
#include "charts/GraphPictures.h"
#include "charts/stripchart/ChartPrint.h"
#include "charts/stripchart/StripChart.h"

namespace {
QFrame* Panel(QFrame::Shadow shadow) {
    auto* panel = new QFrame;
    panel->setFrameStyle(QFrame::Panel | shadow);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(shadow == QFrame::Plain ? 0 : 1, 1, 1, 1);
    layout->setSpacing(0);
    return panel;
}
}  // namespace

void ApplyGraphWindowDesign(TStripChart& chart) {
    ApplyGraphDesign(chart);
    chart.SetBackGroundColor(ChartColors::White);
    chart.SetBorderStyle(bsLowered);
    chart.SetUpdateFrameRate(0);
}

TChartForm::TChartForm(Platform& platform, std::function<std::unique_ptr<ChartPrinter>()> makePrinter,
                       QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      makePrinter_(std::move(makePrinter)) {
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    StripChart1 = new TStripChart;
    model_ = std::make_unique<ChartFormModel>(
        *StripChart1, platform, [this] { StripChart1->BeginUpdate(); }, [this] { StripChart1->EndUpdate(); });
    ApplyGraphWindowDesign(*StripChart1);

    BackPanel = Panel(QFrame::Plain);
    BackPanel->setFrameStyle(QFrame::NoFrame);
    CenterPanel = Panel(QFrame::Sunken);
    TitleLabel = new QLabel(QString::fromLatin1(kGraphHint));
    TitleLabel->setAlignment(Qt::AlignCenter);
    TitleLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    StripChart1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    auto* centre = static_cast<QVBoxLayout*>(CenterPanel->layout());
    centre->addWidget(StripChart1, 1);
    centre->addWidget(TitleLabel);
    BackPanel->layout()->addWidget(CenterPanel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    BuildMenus();
    layout->setMenuBar(GraphMenu);
    layout->addWidget(BackPanel);

    ChartFormModel& m = *model_;
    m.SavePicture = [this](const FilePath& path, std::string& error) {
        return SaveGraphPicture(*StripChart1, path, error);
    };
    m.CopyPicture = [this] { StripChart1->CopyToClipboard(); };
    m.PrintPicture = [this] {
        const std::unique_ptr<ChartPrinter> printer = makePrinter_();
        StripChart1->PrintChart(*printer);
    };
    m.Release = [this] {
        hide();
        deleteLater();
    };

    // The chart opens at the size kelvara-cli draws by default, and may then shrink.
    StripChart1->setMinimumSize(kGraphWidth, kGraphHeight);
    adjustSize();
    StripChart1->setMinimumSize(120, 80);
}

TChartForm::~TChartForm() = default;

void TChartForm::BuildMenus() {
    ChartFormModel& m = *model_;
    GraphMenu = new QMenuBar(this);
    auto add = [this](QMenu* menu, const char* text, std::function<void()> handler) {
        QAction* action = menu->addAction(QString::fromLatin1(text));
        connect(action, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
        return action;
    };
    QMenu* file = GraphMenu->addMenu(QStringLiteral("&File"));
    add(file, "&Save Graph...", [&m] { m.menuSaveGraphClick(); });
    add(file, "&Print Graph...", [&m] { m.mnuPrintClick(); });
    file->addSeparator();
    add(file, "&Close", [&m] { m.mnuCloseClick(); });
    QMenu* edit = GraphMenu->addMenu(QStringLiteral("&Edit"));
    add(edit, "&Copy Graph...", [&m] { m.mnuCopyGraphClick(); });
    QMenu* zoom = GraphMenu->addMenu(QStringLiteral("&Zoom"));
    add(zoom, "Zoom In", [&m] { m.ZoomIn1Click(); });
    add(zoom, "Zoom Out", [&m] { m.ZoomOut1Click(); });
    zoom->addSeparator();
    add(zoom, "Zoom In (X axis)", [&m] { m.Zoom2Click(); });
    add(zoom, "Zoom Out (X axis)", [&m] { m.ZoomOutXaxis1Click(); });
    add(zoom, "Zoom In (Y axis)", [&m] { m.ZoomINYaxis1Click(); });
    add(zoom, "Zoom Out (Y axis)", [&m] { m.ZoomOutYaxis1Click(); });

    Popup = new QMenu(this);
    add(Popup, "Zoom In", [&m] { m.ZoomIn2Click(); });
    add(Popup, "Zoom Out", [&m] { m.ZoomOut2Click(); });
    StripChart1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(StripChart1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { Popup->popup(StripChart1->mapToGlobal(at)); });
}

void TChartForm::PlotLog(const LogGraphInput& in, const GraphDetails& details) {
    model_->Details = details;
    model_->PlotLog(in);
    ShowModel();
}

void TChartForm::PlotHistogram(const HistogramGraphInput& in, const GraphDetails& details) {
    model_->Details = details;
    model_->PlotHistogram(in);
    ShowModel();
}

void TChartForm::ShowModel() {
    setWindowTitle(ToQString(model_->WindowTitle()));
    TitleLabel->setText(ToQString(model_->TitleLabel));
}

void TChartForm::closeEvent(QCloseEvent* event) {
    model_->FormClose();
    event->accept();
}
