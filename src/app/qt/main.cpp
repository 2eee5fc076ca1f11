#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QIcon>
#include <QSocketNotifier>
#include <QStyle>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/Product.h"
#include "app/TTRecForm.h"
#include "app/qt/ControlBinding.h"
#include "app/qt/DropDownLists.h"
#include "app/qt/MainWindow.h"
#include "app/qt/QtPlatform.h"
#include "app/qt/VirtualAdapterWindow.h"
#include "app/qt/WizardTabView.h"
#include "charts/QtChartWindows.h"
#include "charts/stripchart/ChartPrint.h"
#include "device/LinkFactory.h"
#include "device/tmex/TmexDriver.h"
#include "device/virtual/SimClock.h"
#include "device/virtual/VirtualAdapter.h"
#include "files/FilePath.h"
#include "setup/DelayCalculator.h"

namespace {
int quitPipe[2] = {-1, -1};

extern "C" void OnQuitSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = write(quitPipe[1], &byte, 1);
}

// SIGTERM and SIGINT end the window as its close box does, so the virtual
// adapter's state is saved on a logout or Ctrl+C too. Installed before
// anything else: a signal that comes early waits in the pipe until the first
// event loop, which may be a box shown at start-up.
bool CatchQuitSignals() {
    if (pipe2(quitPipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    const bool catchingSignals = CatchQuitSignals();
    QApplication app(argc, argv);
    QApplication::setApplicationName(kProductName);
    QApplication::setStyle(new DropDownStyle(QApplication::style()->name()));
    // Ties the window to the desktop entry: its icon and name in the task bar.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kelvara.Kelvara"));
    // The installed icon, where the package put it; nothing when run from a build.
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.kelvara.Kelvara")));

    // Port type 15: the in-process virtual adapter, kept between runs in its state file.
    // KELVARA_VIRTUAL_CLOCK=manual freezes the virtual devices' time (demonstrations, screenshots).
    std::string clockProblem;
    const std::unique_ptr<SimClock> clock =
        MakeVirtualClock(std::getenv("KELVARA_VIRTUAL_CLOCK"), clockProblem);
    if (!clockProblem.empty()) std::fprintf(stderr, "kelvara: %s\n", clockProblem.c_str());
    VirtualAdapter adapter(VirtualAdapter::DefaultStatePath(), *clock);
    const std::string adapterProblem = adapter.Load();
    // Saved every minute as well as at the end, so a killed session loses little.
    QTimer adapterSaver;
    QObject::connect(&adapterSaver, &QTimer::timeout, [&adapter] { adapter.Save(); });
    adapterSaver.start(60000);
    LinkProvider links(&adapter.Bus());
    TmexDriver driver(links);

    QtPlatform platform;
    TTRecForm form(platform, driver);
    TformCalc calculator(platform);
    MainWindow window(form);
    auto* wizard = new WizardTabView(form, calculator, [&window] { window.Sync(); });
    window.SetWizardPage(wizard, [wizard] { wizard->Sync(); });
    // A window of its own, not a child of the main window: a box the main window
    // shows (such as "Remove the programmed device") then leaves it usable.
    std::unique_ptr<VirtualAdapterWindow> adapterWindow;
    window.AddOptionsItem(
        QStringLiteral("Virtual adapter..."),
        [&adapterWindow, &adapter] {
            if (!adapterWindow) adapterWindow = std::make_unique<VirtualAdapterWindow>(adapter);
            adapterWindow->show();
            adapterWindow->raise();
            adapterWindow->activateWindow();
        },
        [&form] { return form.PortType == kPortTypeVirtual; });
    QtChartWindows charts(form, &window,
                          [&platform] { return std::make_unique<QtChartPrinter>(platform.Printer()); });
    form.Charts = &charts;
    platform.SetView(
        &window, [&window] { window.Sync(); }, [&window] { window.RefreshNow(); });
    platform.SetTimerHandler([&form, &window] {
        form.TRecTimerTimer();
        window.Sync();
    });

    std::unique_ptr<QSocketNotifier> quitNotifier;
    if (catchingSignals) {
        quitNotifier = std::make_unique<QSocketNotifier>(quitPipe[0], QSocketNotifier::Read);
        QObject::connect(quitNotifier.get(), &QSocketNotifier::activated, [&form, &platform] {
            char drained[16];
            while (read(quitPipe[0], drained, sizeof drained) > 0) {
            }
            form.FormClose();
            platform.EndSession();
        });
    }

    // The arguments as the system gave them: a data file's name in the file
    // system's own bytes (QApplication has taken out its own options).
    const std::vector<std::string> args(argv + 1, argv + argc);
    form.FormCreate(args);
    // The adapter-missing box at start-up ends the program before its window shows.
    if (!platform.TerminateRequested()) {
        window.Sync();
        window.show();
        if (!adapterProblem.empty())
            platform.MessageBox(adapterProblem, form.AppCaption, MsgButtons::Ok, MsgIcon::Warning);
    }
    const int result = platform.RunLoop();

    platform.SetTimerEnabled(false);
    if (const std::string problem = adapter.Save(); !problem.empty())
        std::fprintf(stderr, "kelvara: the virtual adapter's state was not saved: %s\n",
                     ShownTextToUtf8(problem).c_str());
    return result;
}
