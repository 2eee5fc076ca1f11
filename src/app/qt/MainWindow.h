#pragma once
// The main window as a view of TTRecForm: builds the widgets, forwards the
// user's actions to the form and mirrors the form's state after each one.
#include <QMainWindow>
#include <functional>
#include <utility>
#include <vector>

#include "app/Controls.h"

class AboutBox;
class AdapterLight;
class LinkLabel;
class QAction;
class QLabel;
class QMenu;
class QStackedWidget;
class QTabWidget;
class ResultsTabView;
class StatusTabView;
class TTRecForm;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 477;
    static constexpr int kClientHeight = 345;

    MainWindow(TTRecForm& form, QWidget* parent = nullptr);

    // Mirrors the whole form into the widgets.
    void Sync();
    // Sync, and repaint the light at once (it must show during a blocking driver call).
    void RefreshNow();
    // Puts a page in place of the empty Wizard tab page; sync is called by Sync().
    void SetWizardPage(QWidget* page, std::function<void()> sync);
    // An item at the end of the Options menu, after a separator; visible() decides each sync.
    void AddOptionsItem(const QString& text, std::function<void()> onClick, std::function<bool()> visible);

    QAction* Action(const MenuItem& item) const;
    QMenu* FileMenu() const { return fileMenu_; }
    QMenu* OptionsMenu() const { return optionsMenu_; }
    QMenu* HelpMenu() const { return helpMenu_; }
    QTabWidget* RecTab() const { return recTab_; }
    QWidget* Client() const { return centralWidget(); }
    QLabel* StatusLabel() const { return status_; }
    QLabel* TopCaption() const { return topCaption_; }
    QLabel* PortText() const { return portText_; }
    QLabel* ProgressLabel() const { return progress_; }
    AdapterLight* Light() const { return light_; }
    QWidget* WelcomePanelWidget() const { return welcome_; }
    StatusTabView* StatusView() const { return statusView_; }
    ResultsTabView* ResultsView() const { return resultsView_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    QAction* AddItem(QMenu* menu, MenuItem& item, std::function<void()> onClick);
    QWidget* BuildTopPanel();
    QWidget* BuildBottomPanel();
    void OnTabChanged(int index);
    void ShowAbout();
    // File > "Survey of data files...": asks for the files, then shows their survey.
    void ShowSurvey();

    TTRecForm& form_;
    QMenu *fileMenu_ = nullptr, *optionsMenu_ = nullptr, *helpMenu_ = nullptr;
    std::vector<std::pair<const MenuItem*, QAction*>> actions_;
    std::vector<std::pair<QAction*, std::function<bool()>>> extraItems_;
    AdapterLight* light_ = nullptr;
    QLabel *adapterLabel_ = nullptr, *topCaption_ = nullptr;
    LinkLabel* link_ = nullptr;
    QLabel *status_ = nullptr, *progress_ = nullptr, *portText_ = nullptr;
    QWidget* welcome_ = nullptr;
    QStackedWidget* centre_ = nullptr;
    QTabWidget* recTab_ = nullptr;
    StatusTabView* statusView_ = nullptr;
    ResultsTabView* resultsView_ = nullptr;
    std::function<void()> syncWizard_;
    AboutBox* about_ = nullptr;
    bool syncing_ = false;
};
