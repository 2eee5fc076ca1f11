#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <memory>

#include "WizardViewSupport.h"
#include "app/TTRecForm.h"
#include "app/qt/DesktopFonts.h"
#include "app/qt/WizardTabView.h"
#include "setup/DelayCalculator.h"
#include "support/ScriptedDriver.h"
#include "support/ScriptedPlatform.h"

namespace {
class WizardTabViewTest : public ::testing::Test {
protected:
    WizardTabViewTest() : form(platform, driver), calculator(platform) {
        form.WizardReset();
        view = std::make_unique<WizardTabView>(form, calculator, [this] {
            ++events;
            view->Sync();
        });
    }

    QWidget* Page() const { return Find<QStackedWidget>(*view, "Wizard")->currentWidget(); }
    QString Heading() const { return Page()->findChild<QLabel*>("Heading")->text(); }
    void Click(const char* button) { Find<QPushButton>(*view, button)->click(); }
    void GoToPage(int page) {
        while (form.Wizard.PageIndex < page) Click("NextButton");
    }

    ScriptedPlatform platform;
    ScriptedDriver driver;
    TTRecForm form;
    TformCalc calculator;
    std::unique_ptr<WizardTabView> view;
    int events = 0;
};
}  // namespace

TEST_F(WizardTabViewTest, NextAndBackMoveThePagesAndTheButtonsFollowTheForm) {
    EXPECT_EQ(Heading(), "Introduction");
    EXPECT_FALSE(Find<QPushButton>(*view, "BackButton")->isEnabled());
    EXPECT_EQ(Find<QPushButton>(*view, "NextButton")->text(), "Next  >");

    Click("NextButton");
    EXPECT_EQ(form.Wizard.PageIndex, 1);
    EXPECT_EQ(Heading(), "Mission Details");
    EXPECT_TRUE(Find<QPushButton>(*view, "BackButton")->isEnabled());
    EXPECT_EQ(events, 1);

    GoToPage(8);
    EXPECT_EQ(Heading(), "Finish");
    EXPECT_FALSE(Find<QPushButton>(*view, "NextButton")->isEnabled());
    EXPECT_TRUE(Find<QPushButton>(*view, "FinishButton")->isEnabled());
    const QString summary = Find<QPlainTextEdit>(*view, "FinishMemo")->toPlainText();
    EXPECT_TRUE(summary.contains("Sample Rate:\n           1 Minute(s)")) << summary.toStdString();
    EXPECT_TRUE(Find<QPlainTextEdit>(*view, "FinishMemo")->isReadOnly());

    Click("BackButton");
    EXPECT_EQ(Heading(), "Roll-Over");
    EXPECT_TRUE(Find<QPushButton>(*view, "NextButton")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(*view, "FinishButton")->isEnabled());
}

TEST_F(WizardTabViewTest, AReaderShowsTheFormsStateAfterAReset) {
    GoToPage(8);
    form.edituser[2].Text = "5\xB0 Class";  // degree sign, as the core holds it
    form.WizardReset();
    form.lbluser[2].Caption = "Form:";
    view->Sync();
    EXPECT_EQ(Heading(), "Introduction");
    EXPECT_EQ(Find<QLineEdit>(*view, "edituser3")->text(), "");
    EXPECT_EQ(Find<QLabel>(*view, "lbluser2")->text(), "Form:");
    EXPECT_FALSE(Find<QPushButton>(*view, "FinishButton")->isEnabled());

    form.edituser[2].Text = "5\xB0 Class";
    view->Sync();
    EXPECT_EQ(Find<QLineEdit>(*view, "edituser3")->text(), QString::fromUtf8("5\u00B0 Class"));
}

TEST_F(WizardTabViewTest, TypedTextIsStoredAsWindows1252AndTheEditShowsWhatIsStored) {
    GoToPage(1);
    QLineEdit* first = Find<QLineEdit>(*view, "edituser1");
    Type(first, QString::fromUtf8("Zo\u00EB \u2603!"));
    EXPECT_EQ(form.edituser[0].Text, "Zo\xEB ?!");
    EXPECT_EQ(first->text(), QString::fromUtf8("Zo\u00EB ?!"));

    EXPECT_EQ(first->maxLength(), 32);
    EXPECT_EQ(Find<QLineEdit>(*view, "edituser6")->maxLength(), 64);
    Type(first, QString(40, 'x'));
    EXPECT_EQ(form.edituser[0].Text.size(), 32u);
}

TEST_F(WizardTabViewTest, TheAlarmPanelShowsTheListsOfTheChosenMode) {
    GoToPage(3);
    QWidget* panel = Find<QWidget>(*view, "HidePanel");
    QComboBox* mode = Find<QComboBox>(*view, "AlarmTimeCombo");
    ASSERT_EQ(mode->count(), 6);
    EXPECT_TRUE(panel->isHidden());

    Choose(mode, 2);  // "Alarm daily"
    EXPECT_FALSE(panel->isHidden());
    EXPECT_TRUE(Find<QComboBox>(*view, "AlarmDay")->isHidden());
    EXPECT_TRUE(Find<QLabel>(*view, "AlarmDayLabel")->isHidden());
    EXPECT_FALSE(Find<QComboBox>(*view, "AlarmHour")->isHidden());
    EXPECT_FALSE(Find<QLabel>(*view, "AlarmSelectLabel")->isHidden());

    Choose(mode, 5);  // "Alarm every second"
    EXPECT_TRUE(panel->isHidden());
    EXPECT_EQ(form.AlarmTimeCombo.ItemIndex, 5);
}

TEST_F(WizardTabViewTest, DelayListsRunTheDelayHandlerButSyncingDoesNot) {
    GoToPage(4);
    Choose(Find<QComboBox>(*view, "DelayDay"), 2);
    Choose(Find<QComboBox>(*view, "DelayHour"), 3);
    Choose(Find<QComboBox>(*view, "DelayMinute"), 15);
    EXPECT_EQ(form.DelayMinutes, 3075);
    EXPECT_EQ(Find<QLabel>(*view, "TotalMinutesLabel")->text(), "3075");

    const int before = events;
    form.DelayDay.Select(7);
    view->Sync();
    EXPECT_EQ(Find<QComboBox>(*view, "DelayDay")->currentIndex(), 7);
    EXPECT_EQ(form.DelayMinutes, 3075);
    EXPECT_EQ(events, before);
}

TEST_F(WizardTabViewTest, SampleRateAndCheckBoxesReachTheForm) {
    GoToPage(5);
    Choose(Find<QComboBox>(*view, "SampleMinutes"), 9);
    EXPECT_EQ(Find<QLabel>(*view, "RolloverDays")->text(), "14.2 Days");

    QCheckBox* rollover = Find<QCheckBox>(*view, "RolloverCheck");
    rollover->click();
    EXPECT_TRUE(form.RolloverCheck.Checked);
    QCheckBox* setTime = Find<QCheckBox>(*view, "SetTimeCheck");
    EXPECT_TRUE(setTime->isChecked());
    setTime->click();
    EXPECT_FALSE(form.SetTimeCheck.Checked);

    // Mirroring a state the core set must not count as the user's click.
    const int before = events;
    form.RolloverCheck.Checked = false;
    view->Sync();
    EXPECT_FALSE(rollover->isChecked());
    EXPECT_EQ(events, before);
}

TEST_F(WizardTabViewTest, HeadingsStayBoldAndLargerWhenTheWindowFontChanges) {
    QFont font("Arial", 12);
    font.setBold(true);
    view->setFont(font);
    const QFont heading = Page()->findChild<QLabel*>("Heading")->font();
    EXPECT_TRUE(heading.bold());
    EXPECT_EQ(heading.pointSize(), 14);
}

TEST_F(WizardTabViewTest, WhatTheUserTypesOrChoosesIsInTheRegularWeightUnderBoldCaptions) {
    QFont font = WindowFont();
    view->setFont(font);
    EXPECT_TRUE(font.bold());
    EXPECT_EQ(font.family(), QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    EXPECT_FALSE(Find<QLineEdit>(*view, "edituser6")->font().bold());
    EXPECT_FALSE(Find<QComboBox>(*view, "SampleMinutes")->font().bold());
    EXPECT_FALSE(Find<QPlainTextEdit>(*view, "FinishMemo")->font().bold());
    EXPECT_EQ(Find<QLineEdit>(*view, "edituser6")->font().family(), font.family());
    EXPECT_TRUE(Find<QLabel>(*view, "lbluser0")->font().bold());
}

TEST_F(WizardTabViewTest, TypingANumberOnASampleRateListChoosesThatRate) {
    GoToPage(5);
    auto* rate = Find<QComboBox>(*view, "SampleMinutes");
    QTest::keyClicks(rate, "11");
    EXPECT_EQ(rate->currentText(), "11");
    EXPECT_EQ(form.SampleMinutes.ItemIndex, 10) << "the choice reaches the form as the user's";
    QTest::qWait(1100);  // a pause starts a new number
    QTest::keyClicks(rate, "255");
    EXPECT_EQ(form.SampleMinutes.ItemIndex, 254);
    QTest::qWait(1100);
    QTest::keyClicks(rate, "2x");
    EXPECT_EQ(rate->currentText(), "2") << "a character no entry continues is ignored";
}

TEST_F(WizardTabViewTest, FinishHandsTheMissionToThePollingCycleAndLocksTheButtons) {
    GoToPage(8);
    Click("FinishButton");
    EXPECT_EQ(form.PollState, Poll::Clear);
    EXPECT_FALSE(Find<QPushButton>(*view, "FinishButton")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(*view, "BackButton")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(*view, "NextButton")->isEnabled());
}
