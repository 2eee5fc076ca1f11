#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <QStringList>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/Product.h"
#include "app/TTRecForm.h"
#include "app/qt/ControlBinding.h"
#include "app/qt/MainWindow.h"
#include "app/qt/QtPlatform.h"
#include "app/qt/VirtualAdapterWindow.h"
#include "app/qt/WizardTabView.h"
#include "device/LinkFactory.h"
#include "device/tmex/TmexDriver.h"
#include "device/virtual/SimClock.h"
#include "device/virtual/VirtualAdapter.h"
#include "setup/DelayCalculator.h"

namespace {
int quitPipe[2] = {-1, -1};

extern "C" void OnQuitSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = write(quitPipe[1], &byte, 1);
}
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(kProductName);

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
    VirtualAdapterWindow* adapterWindow = nullptr;
    window.AddOptionsItem(
        QStringLiteral("Virtual adapter..."),
        [&adapterWindow, &adapter, &window] {
            if (!adapterWindow) adapterWindow = new VirtualAdapterWindow(adapter, &window);
            adapterWindow->show();
            adapterWindow->raise();
            adapterWindow->activateWindow();
        },
        [&form] { return form.PortType == kPortTypeVirtual; });
    platform.SetView(
        &window, [&window] { window.Sync(); }, [&window] { window.RefreshNow(); });
    platform.SetTimerHandler([&form, &window] {
        form.TRecTimerTimer();
        window.Sync();
    });

    // SIGTERM and SIGINT close the window as its close box does, so the
    // virtual adapter's state is saved on a logout or Ctrl+C too.
    std::unique_ptr<QSocketNotifier> quitNotifier;
    if (pipe(quitPipe) == 0) {
        quitNotifier = std::make_unique<QSocketNotifier>(quitPipe[0], QSocketNotifier::Read);
        QObject::connect(quitNotifier.get(), &QSocketNotifier::activated, [&form] { form.FormClose(); });
        std::signal(SIGTERM, OnQuitSignal);
        std::signal(SIGINT, OnQuitSignal);
    }

    std::vector<std::string> args;
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) args.push_back(FromQString(arguments[i]));
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
        std::fprintf(stderr, "kelvara: the virtual adapter's state was not saved: %s\n", problem.c_str());
    return result;
}
