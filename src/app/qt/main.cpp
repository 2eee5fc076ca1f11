#include <QApplication>
#include <QStringList>

#include "app/TTRecForm.h"
#include "app/qt/ControlBinding.h"
#include "app/qt/MainWindow.h"
#include "app/qt/QtPlatform.h"
#include "app/qt/WizardTabView.h"
#include "device/LinkFactory.h"
#include "device/tmex/TmexDriver.h"
#include "device/virtual/Ds1921Device.h"
#include "device/virtual/SimClock.h"
#include "device/virtual/VirtualBus.h"
#include "setup/DelayCalculator.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Kelvara");

    // Port type 15 is the in-process virtual adapter on real time.
    ScaledClock clock;
    VirtualBus bus;
    const auto rom = Ds1921Device::MakeRom(Ds1921Variant::Standard, 1);
    bus.Insert(std::make_shared<Ds1921Device>(rom, clock, Ds1921Device::DefaultProfile(Ds1921Variant::Standard, 1)));
    LinkProvider links(&bus);
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
    const int result = app.exec();
    platform.SetTimerEnabled(false);
    return result;
}
