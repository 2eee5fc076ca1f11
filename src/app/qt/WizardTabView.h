#pragma once
// The "Wizard" tab: nine pages that mirror the form's wizard controls and hand
// every user event to the form's handlers. Widgets carry the controls' names as
// object names, so tests and tools can find them.
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "app/TTRecForm.h"
#include "app/qt/ControlBinding.h"

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class TformCalc;

class WizardTabView : public QWidget {
    Q_OBJECT
public:
    // afterEvent runs after every forwarded event; the main window syncs all its views there.
    WizardTabView(TTRecForm& form, TformCalc& calculator, std::function<void()> afterEvent,
                  QWidget* parent = nullptr);

    void Sync();

protected:
    void changeEvent(QEvent* event) override;

private:
    QWidget* AddPage(int index);
    void StyleHeading(QLabel* heading) const;
    // One of the page's explanatory paragraphs, word-wrapped.
    QLabel* AddText(QWidget* page, int index, int paragraph);
    QLabel* BindLabel(const Control& control, const char* name);
    QCheckBox* BindCheck(CheckControl& control, const char* name);
    QComboBox* BindList(ListControl& control, const char* name, std::function<void()> onChange);
    QPushButton* BindButton(Control& control, const char* name, std::function<void()> onClick);
    void BuildDetailsPage();
    void BuildTimeSetPage();
    void BuildTimeAlarmPage();
    void BuildDelayPage();
    void BuildSampleRatePage();
    void BuildThresholdPage();
    void BuildRolloverPage();
    void BuildFinishPage();
    void UserEdited(int index, const QString& text);
    void Forward(const std::function<void()>& change);
    void OpenCalculator();

    TTRecForm& form_;
    TformCalc& calculator_;
    std::function<void()> afterEvent_;

    QStackedWidget* pages_ = nullptr;
    std::array<QLineEdit*, 6> userEdits_{};
    QWidget* hidePanel_ = nullptr;
    QPlainTextEdit* finishMemo_ = nullptr;
    std::uint64_t shownMemoRevision_ = ~std::uint64_t{0};
    std::vector<QLabel*> headings_;
    ControlBindings bindings_;
};
