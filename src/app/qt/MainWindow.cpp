#include "app/qt/MainWindow.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>

#include "app/TTRecForm.h"
#include "app/qt/ControlBinding.h"
#include "app/qt/DesktopFonts.h"
#include "app/qt/FramePanels.h"
#include "app/qt/ResultsTabView.h"
#include "app/qt/StatusTabView.h"
#include "app/qt/SurveyWindow.h"
#include "help/HelpLinks.h"
#include "help/qt/AboutBox.h"

static void InitKelvaraResources() { Q_INIT_RESOURCE(kelvara); }

namespace {
constexpr int kPanelHeight = 29;

// The top and bottom strips of the window.
QFrame* RaisedPanel() {
    auto* panel = new QFrame;
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setFixedHeight(kPanelHeight);
    return panel;
}
}  // namespace

MainWindow::MainWindow(TTRecForm& form, QWidget* parent) : QMainWindow(parent), form_(form) {
    InitKelvaraResources();
    // A fixed window with the system menu and close box only: no minimise or maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(WindowFont());
    BuildMenus();
    // Created with the window and kept; its list is rebuilt on every show.
    about_ = new AboutBox(
        form_.driver, [this](const std::string& url) { form_.StartNewBrowserWindow(url); }, this);

    auto* client = new QWidget;
    client->setFixedSize(kClientWidth, kClientHeight);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(BuildTopPanel());

    // The welcome panel and the notebook share the centre; the form shows one of them.
    auto* centre = new QWidget;
    auto* overlap = new QGridLayout(centre);
    overlap->setContentsMargins(0, 0, 0, 0);
    welcome_ = new WelcomePanel;
    overlap->addWidget(welcome_, 0, 0);
    recTab_ = new QTabWidget;
    const auto after = [this] { Sync(); };
    statusView_ = new StatusTabView(form_, after);
    resultsView_ = new ResultsTabView(form_, after);
    recTab_->addTab(new QWidget, QStringLiteral("Wizard"));
    recTab_->addTab(resultsView_, QStringLiteral("Mission Results"));
    recTab_->addTab(statusView_, QStringLiteral("Status"));
    overlap->addWidget(recTab_, 0, 0);
    connect(recTab_, &QTabWidget::currentChanged, this, &MainWindow::OnTabChanged);
    layout->addWidget(centre, 1);

    layout->addWidget(BuildBottomPanel());
    setCentralWidget(client);
    // Fixed size: the client area plus whatever the menu bar needs.
    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    Sync();
}

QAction* MainWindow::AddItem(QMenu* menu, MenuItem& item, std::function<void()> onClick) {
    QAction* action = menu->addAction(ToQString(item.Caption));
    connect(action, &QAction::triggered, this, [this, onClick = std::move(onClick)] {
        onClick();
        Sync();
    });
    actions_.emplace_back(&item, action);
    return action;
}

void MainWindow::BuildMenus() {
    TTRecForm& f = form_;
    fileMenu_ = menuBar()->addMenu(QStringLiteral("&File"));
    AddItem(fileMenu_, f.menuOpen, [this] { form_.menuOpenClick(); });
    AddItem(fileMenu_, f.menuClose, [this] { form_.menuCloseClick(); });
    connect(fileMenu_->addAction(QStringLiteral("Sur&vey of data files...")), &QAction::triggered, this,
            &MainWindow::ShowSurvey);
    AddItem(fileMenu_, f.menuSaveData1, [this] { form_.menuSaveData1Click(); });
    fileMenu_->addSeparator();
    AddItem(fileMenu_, f.MenuSaveData, [this] { form_.MenuSaveDataClick(); });
    AddItem(fileMenu_, f.MenuExportToClip, [this] { form_.MenuExportToClipClick(); });
    fileMenu_->addSeparator();
    AddItem(fileMenu_, f.MenuSaveCSV, [this] { form_.MenuSaveCSVClick(); });
    AddItem(fileMenu_, f.menuSaveHist, [this] { form_.menuSaveHistClick(); });
    fileMenu_->addSeparator();
    AddItem(fileMenu_, f.PrintSummary, [this] { form_.PrintSummaryClick(); });
    AddItem(fileMenu_, f.Printfullreport1, [this] { form_.Printfullreport1Click(); });
    AddItem(fileMenu_, f.PrinterSetup1, [this] { form_.PrinterSetup1Click(); });
    fileMenu_->addSeparator();
    AddItem(fileMenu_, f.MenuItem4, [this] { form_.MenuExitClick(); });

    optionsMenu_ = menuBar()->addMenu(QStringLiteral("&Options"));
    AddItem(optionsMenu_, f.MenuFahrenheit, [this] { form_.MenuFahrenheitClick(); });
    AddItem(optionsMenu_, f.MenuCelsius, [this] { form_.MenuCelsiusClick(); });
    optionsMenu_->addSeparator();
    // The variant items only show what the search detected; they stay disabled.
    AddItem(optionsMenu_, f.menuStandard, [] {});
    AddItem(optionsMenu_, f.menuHuman, [] {});
    AddItem(optionsMenu_, f.menuIce, [] {});
    optionsMenu_->addSeparator();
    AddItem(optionsMenu_, f.MenuShowFC, [this] { form_.MenuShowFCClick(); });
    optionsMenu_->addSeparator();
    AddItem(optionsMenu_, f.MenuStopMission, [this] { form_.MenuStopMissionClick(); });

    helpMenu_ = menuBar()->addMenu(QStringLiteral("&Help"));
    AddItem(helpMenu_, f.Manual1, [this] { form_.Manual1Click(); });
    helpMenu_->addSeparator();
    AddItem(helpMenu_, f.WebPage1, [this] { form_.WebPage1Click(); });
    AddItem(helpMenu_, f.Support1, [this] { form_.Support1Click(); });
    helpMenu_->addSeparator();
    AddItem(helpMenu_, f.About1, [this] { ShowAbout(); });
}

QWidget* MainWindow::BuildTopPanel() {
    QFrame* panel = RaisedPanel();
    light_ = new AdapterLight;
    adapterLabel_ = new QLabel;
    topCaption_ = new QLabel;
    topCaption_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(6, 0, 2, 0);
    row->setSpacing(6);
    row->addWidget(light_);
    row->addWidget(adapterLabel_);
    row->addWidget(topCaption_, 1);
    return panel;
}

QWidget* MainWindow::BuildBottomPanel() {
    QFrame* panel = RaisedPanel();
    link_ = new LinkLabel(QString::fromLatin1(kWebServerText), [this] { form_.PortLabelClick(); });
    link_->setToolTip(QString::fromStdString(ProductPageUrl()));

    status_ = new QLabel;
    status_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    status_->setAutoFillBackground(true);
    QPalette white = status_->palette();
    white.setColor(QPalette::Window, Qt::white);
    status_->setPalette(white);
    const QFont small = StatusLineFont();
    status_->setFont(small);
    status_->setMinimumWidth(60);
    status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    progress_ = new QLabel;
    progress_->setFont(small);
    progress_->setToolTip(QStringLiteral("Pages read / pages to read"));
    portText_ = new QLabel;
    portText_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(4, 3, 2, 3);
    row->setSpacing(5);
    row->addWidget(link_);
    row->addWidget(status_, 1);
    row->addWidget(progress_);
    row->addWidget(portText_);
    return panel;
}

QAction* MainWindow::Action(const MenuItem& item) const {
    for (const auto& [bound, action] : actions_)
        if (bound == &item) return action;
    return nullptr;
}

void MainWindow::SetWizardPage(QWidget* page, std::function<void()> sync) {
    const bool wasSyncing = syncing_;
    syncing_ = true;
    const int current = recTab_->currentIndex();
    QWidget* old = recTab_->widget(0);
    recTab_->removeTab(0);
    delete old;
    recTab_->insertTab(0, page, QStringLiteral("Wizard"));
    recTab_->setCurrentIndex(current);
    syncing_ = wasSyncing;
    syncWizard_ = std::move(sync);
    Sync();
}

void MainWindow::AddOptionsItem(const QString& text, std::function<void()> onClick,
                                std::function<bool()> visible) {
    QAction* separator = optionsMenu_->addSeparator();
    QAction* action = optionsMenu_->addAction(text);
    connect(action, &QAction::triggered, this, [this, onClick = std::move(onClick)] {
        onClick();
        Sync();
    });
    extraItems_.emplace_back(separator, visible);
    extraItems_.emplace_back(action, std::move(visible));
}

void MainWindow::OnTabChanged(int index) {
    if (syncing_) return;
    // A refused change puts the page back at the next sync.
    form_.SelectRecTab(index);
    Sync();
}

void MainWindow::Sync() {
    if (syncing_) return;
    syncing_ = true;
    TTRecForm& f = form_;
    const QString caption = ToQString(f.Caption);
    if (windowTitle() != caption) setWindowTitle(caption);

    light_->SetOn(f.GreenLight.On);
    ApplyState(light_, f.GreenLight);
    ApplyCaption(adapterLabel_, f.AdapterLabel);
    ApplyCaption(topCaption_, f.TopPanel);

    ApplyState(link_, f.PortLabel);
    ApplyCaption(status_, f.Status);
    const QString progress = ToQString(f.DownloadProgressText());
    if (progress_->text() != progress) progress_->setText(progress);
    progress_->setVisible(!progress.isEmpty());
    ApplyCaption(portText_, f.BottomPanel);

    ApplyState(welcome_, f.PanelWelcome);
    ApplyState(recTab_, f.RecTab);
    if (f.RecTab.PageIndex >= 0 && f.RecTab.PageIndex < recTab_->count() &&
        recTab_->currentIndex() != f.RecTab.PageIndex)
        recTab_->setCurrentIndex(f.RecTab.PageIndex);

    for (const auto& [item, action] : actions_) ApplyMenu(action, *item);
    for (const auto& [action, visible] : extraItems_) action->setVisible(visible());

    statusView_->Sync();
    resultsView_->Sync();
    if (syncWizard_) syncWizard_();
    syncing_ = false;
}

void MainWindow::RefreshNow() {
    Sync();
    light_->repaint();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    form_.FormClose();
    event->accept();
}

void MainWindow::ShowAbout() { about_->exec(); }

void MainWindow::ShowSurvey() {
    const QStringList names =
        QFileDialog::getOpenFileNames(this, QStringLiteral("Survey of data files"), PathToQString(form_.SavePath),
                                      QStringLiteral("Data File (dmp) (*.dmp);;All files (*)"));
    if (names.isEmpty()) return;
    std::vector<FilePath> files;
    for (const QString& name : names) files.push_back(PathFromQString(QDir::toNativeSeparators(name)));
    const TempScale scale = form_.MenuFahrenheit.Checked ? TempScale::Fahrenheit : TempScale::Celsius;
    auto* survey = new SurveyWindow(files, scale, form_.platform, form_.SavePath,
                                    [this](const FilePath& path) {
                                        form_.LoadCmd(path);
                                        Sync();
                                        // The opened file is what the user wants to see now.
                                        if (form_.OfflineMode()) {
                                            raise();
                                            activateWindow();
                                        }
                                    },
                                    this);
    // A window of its own, not a dialog over this one, so the opened file can come to the front.
    survey->setWindowFlags(Qt::Window);
    survey->setAttribute(Qt::WA_DeleteOnClose);
    survey->show();
}
