#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <memory>

#include "WizardViewSupport.h"
#include "app/TTRecForm.h"
#include "app/qt/CalculatorDialog.h"
#include "app/qt/WizardTabView.h"
#include "setup/DelayCalculator.h"
#include "support/ScriptedDriver.h"
#include "support/ScriptedPlatform.h"

namespace {
class CalculatorDialogTest : public ::testing::Test {
protected:
    CalculatorDialogTest() : form(platform, driver), calculator(platform) {
        TDateTime now = 0;
        // Monday 7 December 2026, 09:59:30: 11:30 is 90 minutes 30 seconds ahead.
        TryEncodeDateTime(2026, 12, 7, 9, 59, 30, 0, now);
        platform.SetNow(now);
        form.WizardReset();
    }
    QString Label(const QWidget& dialog, const char* name) { return Find<QLabel>(dialog, name)->text(); }

    ScriptedPlatform platform;
    ScriptedDriver driver;
    TTRecForm form;
    TformCalc calculator;
};
}  // namespace

TEST_F(CalculatorDialogTest, OpeningShowsNowWithoutComputingAndOkTransfersTheDelay) {
    CalculatorDialog dialog(form, calculator);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Calculate Delay...");
    EXPECT_EQ(Find<QComboBox>(dialog, "cboHour")->currentText(), "09");
    EXPECT_EQ(Find<QComboBox>(dialog, "cboMin")->currentText(), "59");
    EXPECT_EQ(Find<QComboBox>(dialog, "cboDay")->currentText(), "7");
    EXPECT_EQ(Label(dialog, "StartDateLabel"), "Unuseable Date/Time");
    EXPECT_EQ(Label(dialog, "TotalMinutesLabel"), "0");

    Choose(Find<QComboBox>(dialog, "cboHour"), 11);
    Choose(Find<QComboBox>(dialog, "cboMin"), 30);
    EXPECT_EQ(Label(dialog, "TotalMinutesLabel"), "90");
    EXPECT_EQ(Label(dialog, "StartDateLabel"), "Monday  07/12/2026  11:30:00 ");

    QPushButton* ok = Find<QPushButton>(dialog, "ButtonOk");
    EXPECT_TRUE(ok->isDefault());
    ok->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(form.DelayDay.ItemIndex, 0);
    EXPECT_EQ(form.DelayHour.ItemIndex, 1);
    EXPECT_EQ(form.DelayMinute.ItemIndex, 30);
    EXPECT_EQ(form.DelayMinutes, 90);
}

TEST_F(CalculatorDialogTest, TheCloseBoxTransfersNothing) {
    CalculatorDialog dialog(form, calculator);
    dialog.show();
    Choose(Find<QComboBox>(dialog, "cboHour"), 12);
    dialog.close();
    EXPECT_EQ(form.DelayMinutes, 0);
    EXPECT_EQ(form.DelayHour.ItemIndex, 0);
}

TEST_F(CalculatorDialogTest, AnImpossibleDateIsReportedAndTheLabelsKeepTheirValues) {
    CalculatorDialog dialog(form, calculator);
    dialog.show();
    Choose(Find<QComboBox>(dialog, "cboHour"), 11);
    Choose(Find<QComboBox>(dialog, "cboDay"), 30);  // 31 December
    const QString minutes = Label(dialog, "TotalMinutesLabel");
    Choose(Find<QComboBox>(dialog, "cboMonth"), 3);  // 31 April
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Text, "Invalid argument to date encode");
    EXPECT_EQ(Label(dialog, "TotalMinutesLabel"), minutes);
}

TEST_F(CalculatorDialogTest, CalculateOnTheDelayPageOpensTheDialogModallyAndTheWizardShowsTheResult) {
    std::unique_ptr<WizardTabView> view;
    int events = 0;
    view = std::make_unique<WizardTabView>(form, calculator, [&] {
        ++events;
        view->Sync();
    });
    while (form.Wizard.PageIndex < 4) form.NextButtonClick();
    view->Sync();

    bool sawModal = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        sawModal = dialog != nullptr;
        if (dialog == nullptr) return;
        Choose(Find<QComboBox>(*dialog, "cboDay"), 8);  // 9 December, 11:30
        Choose(Find<QComboBox>(*dialog, "cboHour"), 11);
        Choose(Find<QComboBox>(*dialog, "cboMin"), 30);
        Find<QPushButton>(*dialog, "ButtonOk")->click();
    });
    Find<QPushButton>(*view, "cmdCalculate")->click();

    EXPECT_TRUE(sawModal);
    EXPECT_EQ(form.DelayMinutes, 2 * 1440 + 90);
    EXPECT_EQ(Find<QComboBox>(*view, "DelayDay")->currentIndex(), 2);
    EXPECT_EQ(Find<QComboBox>(*view, "DelayHour")->currentIndex(), 1);
    EXPECT_EQ(Find<QComboBox>(*view, "DelayMinute")->currentIndex(), 30);
    EXPECT_EQ(Find<QLabel>(*view, "TotalMinutesLabel")->text(), "2970");
    EXPECT_EQ(events, 1);
}

TEST_F(CalculatorDialogTest, TheDialogUsesTheMainWindowsFont) {
    QWidget window;
    QFont font("Arial", 12);
    font.setBold(true);
    window.setFont(font);
    CalculatorDialog dialog(form, calculator, &window);
    EXPECT_TRUE(dialog.font().bold());
    EXPECT_EQ(dialog.font().pointSize(), 12);
}
