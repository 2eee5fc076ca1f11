// kelvara-manualshots FOLDER: the pictures of the manual, taken from the real
// windows on the offscreen platform against the virtual adapter with a frozen
// clock (KELVARA_VIRTUAL_CLOCK=manual:...), so they show what the program shows.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "ShotPlatform.h"
#include "app/TTRecForm.h"
#include "app/qt/CalculatorDialog.h"
#include "app/qt/MainWindow.h"
#include "app/qt/VirtualAdapterWindow.h"
#include "app/qt/WizardTabView.h"
#include "charts/QtChartWindows.h"
#include "charts/stripchart/ChartPrint.h"
#include "device/LinkFactory.h"
#include "device/tmex/TmexDriver.h"
#include "device/virtual/VirtualAdapter.h"
#include "help/qt/AboutBox.h"
#include "setup/DelayCalculator.h"

namespace {
class Shots {
public:
    Shots(SimClock& clock, VirtualAdapter& adapter, const QString& folder)
        : clock_(clock),
          adapter_(adapter),
          folder_(folder),
          links_(&adapter.Bus()),
          driver_(links_),
          platform_(clock),
          form_(platform_, driver_),
          calculator_(platform_),
          window_(form_) {
        auto* wizard = new WizardTabView(form_, calculator_, [this] { window_.Sync(); });
        window_.SetWizardPage(wizard, [wizard] { wizard->Sync(); });
        platform_.SetView(
            &window_, [this] { window_.Sync(); }, [] {});
    }

    int Run();

private:
    // Ticks as the window's timer gives them, the virtual time moving with them.
    void Tick(int count) {
        for (int i = 0; i < count && platform_.TimerEnabled(); ++i) {
            form_.TRecTimerTimer();
            window_.Sync();
            clock_.Advance(platform_.TimerInterval());
        }
    }
    void TickUntilIdle() {
        for (int i = 0; i < 2000 && form_.PollState != Poll::Idle; ++i) Tick(1);
        Tick(2);
    }
    bool Save(QWidget& widget, const char* name) {
        QApplication::processEvents();
        const QString path = folder_ + "/" + name + ".png";
        if (widget.grab().save(path)) return true;
        std::fprintf(stderr, "kelvara-manualshots: could not write %s\n", qPrintable(path));
        ok_ = false;
        return false;
    }
    void Tab(int page) {
        form_.SelectRecTab(page);
        window_.Sync();
    }

    SimClock& clock_;
    VirtualAdapter& adapter_;
    QString folder_;
    LinkProvider links_;
    TmexDriver driver_;
    ShotPlatform platform_;
    TTRecForm form_;
    TformCalc calculator_;
    MainWindow window_;
    bool ok_ = true;
};

int Shots::Run() {
    const auto demo = adapter_.Devices().front();
    adapter_.RemoveDevice(demo);
    form_.FormCreate({});
    window_.show();
    Tick(40);
    Save(window_, "welcome");

    // The seeded logger, its mission two days old, clipped in and downloaded.
    adapter_.ReinsertDevice(demo);
    TickUntilIdle();
    Tab(2);
    Save(window_, "status");
    Tab(1);
    Save(window_, "results");

    // Its graphs, as "Graph..." and "Chart..." open them, thresholds included.
    {
        QtChartWindows charts(form_, &window_, [] { return std::unique_ptr<ChartPrinter>(); });
        form_.Charts = &charts;
        form_.GraphAlarmsCheck.Checked = true;
        form_.GraphLogButtonClick();
        form_.GraphHistButtonClick();
        if (TChartForm* log = charts.LogChartWindow()) Save(*log, "graph-log");
        else ok_ = false;
        if (TChartForm* histogram = charts.HistogramChartWindow()) Save(*histogram, "graph-histogram");
        else ok_ = false;
        form_.DestroyChartWindows();
        form_.Charts = nullptr;
        form_.GraphAlarmsCheck.Checked = false;
        window_.Sync();
    }

    // A data file of that mission, opened again without the logger.
    const std::filesystem::path dump = std::filesystem::path(folder_.toStdString()) / "class-7b.dmp";
    {
        std::ofstream file(dump, std::ios::binary);
        for (const auto& line : form_.DumpLines()) file << line << "\r\n";
    }

    // A new logger: the wizard, page by page.
    adapter_.RemoveDevice(demo);
    Tick(20);
    adapter_.InsertDevice(Ds1921Variant::Standard);
    TickUntilIdle();
    Tab(0);
    const std::array<std::string, 6> details = {
        "Ada", "Lovelace", "7B", "Hillside School", "Pond week", "Water temperature at the pond's edge"};
    for (int page = 0; page < WizardControls::kPageCount; ++page) {
        if (page == 1)
            for (int i = 0; i < 6; ++i) form_.EditUserChange(i, details[i]);
        window_.Sync();
        Save(window_, ("wizard-" + std::to_string(page)).c_str());
        if (page + 1 < WizardControls::kPageCount) form_.NextButtonClick();
    }

    CalculatorDialog calculatorDialog(form_, calculator_, &window_);
    calculatorDialog.show();
    calculatorDialog.Sync();
    Save(calculatorDialog, "calculator");
    calculatorDialog.hide();

    form_.FinishButtonClick();
    TickUntilIdle();
    Tab(2);
    Save(window_, "mission-programmed");

    VirtualAdapterWindow adapterWindow(adapter_);
    adapterWindow.show();
    adapterWindow.Refresh();
    Save(adapterWindow, "virtual-adapter");
    adapterWindow.hide();

    AboutBox about(driver_, nullptr);
    about.show();
    Save(about, "about");
    about.hide();

    form_.LoadCmd(FilePath(dump));
    window_.Sync();
    Tab(1);
    Save(window_, "offline");
    std::filesystem::remove(dump);
    return ok_ ? 0 : 1;
}

// The offscreen platform warns about every window asked to size itself; that is no news here.
void QuietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QStringLiteral("propagateSizeHints"))) return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}
}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(QuietOffscreen);
    // The virtual adapter, whatever the machine has saved as its default port.
    setenv("KELVARA_PORT", "15:1", 1);
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: kelvara-manualshots FOLDER\n");
        return 2;
    }
    QDir().mkpath(QString::fromLocal8Bit(argv[1]));
    std::string problem;
    const char* clockChoice = std::getenv("KELVARA_VIRTUAL_CLOCK");
    const auto clock = MakeVirtualClock(clockChoice ? clockChoice : "manual:2026-03-09T10:30:00", problem);
    if (!problem.empty()) {
        std::fprintf(stderr, "kelvara-manualshots: %s\n", problem.c_str());
        return 2;
    }
    // No state file: the adapter starts from its seeded demo logger every time.
    VirtualAdapter adapter("", *clock);
    if (const std::string loaded = adapter.Load(); !loaded.empty()) {
        std::fprintf(stderr, "kelvara-manualshots: %s\n", loaded.c_str());
        return 1;
    }
    Shots shots(*clock, adapter, QString::fromLocal8Bit(argv[1]));
    return shots.Run();
}
