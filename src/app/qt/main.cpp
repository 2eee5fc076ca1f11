#include <QApplication>
#include <QStringList>
#include <QTimer>

#include "app/TTRecForm.h"
#include "app/qt/ControlBinding.h"
#include "app/qt/MainWindow.h"
#include "app/qt/QtPlatform.h"
#include "app/qt/WizardTabView.h"
#include "device/LinkFactory.h"
#include "device/tmex/TmexDriver.h"
#include "device/virtual/VirtualAdapter.h"
#include "setup/DelayCalculator.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Kelvara");

    // Port type 15 is the in-process virtual adapter on real time; its devices
    // are kept between runs, and the first run gets a demo device.
    ScaledClock clock;
    VirtualAdapter adapter(VirtualAdapter::DefaultStatePath(), clock);
    const std::string adapterProblem = adapter.Load();
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
    platform.SetView(&window, [&window] { window.Sync(); }, [&window] { window.RefreshNow(); });
    platform.SetTimerHandler([&form, &window] {
        form.TRecTimerTimer();
        window.Sync();
    });

    std::vector<std::string> args;
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) args.push_back(FromQString(arguments[i]));
    form.FormCreate(args);
    window.Sync();
    window.show();
    if (!adapterProblem.empty())
        platform.MessageBox(adapterProblem, form.AppCaption, MsgButtons::Ok, MsgIcon::Warning);
    const int result = app.exec();
    platform.SetTimerEnabled(false);
    adapter.Save();
    return result;
}
