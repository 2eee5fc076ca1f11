// Every heading, paragraph and caption a user reads on the wizard's pages and in
// the delay calculator, exactly as the program words them.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QStackedWidget>
#include <memory>

#include "WizardViewSupport.h"
#include "app/TTRecForm.h"
#include "app/qt/CalculatorDialog.h"
#include "app/qt/WizardTabView.h"
#include "setup/DelayCalculator.h"
#include "support/ScriptedDriver.h"
#include "support/ScriptedPlatform.h"

namespace {
QStringList TextsOn(const QWidget& page) {
    QStringList texts;
    for (const QLabel* label : page.findChildren<QLabel*>()) texts << label->text();
    for (const QAbstractButton* button : page.findChildren<QAbstractButton*>()) texts << button->text();
    return texts;
}

QStringList ItemsOf(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

QStringList Numbers(int first, int last, bool twoDigits) {
    QStringList items;
    for (int v = first; v <= last; ++v) items << (twoDigits ? QString::asprintf("%.2d", v) : QString::number(v));
    return items;
}

class WizardTexts : public ::testing::Test {
protected:
    WizardTexts() : form(platform, driver), calculator(platform) {
        view = std::make_unique<WizardTabView>(form, calculator, [this] { view->Sync(); });
    }
    ScriptedPlatform platform;
    ScriptedDriver driver;
    TTRecForm form;
    TformCalc calculator;
    std::unique_ptr<WizardTabView> view;
};
}  // namespace

TEST_F(WizardTexts, EveryPageShowsItsHeadingTextsAndCaptions) {
    const std::vector<QStringList> pages = {
        {"Introduction", "Welcome to the DS1921 Kelvara Mission Wizard!",
         "This will take you through the necessary steps to start a temperature datalogging mission.",
         "Press the 'Next >' button to proceed to the next step.  At any time you can press the '< Back' "
         "button to edit the mission options."},
        {"Mission Details",
         "The following information will be stored within the DS1921 iButton during the the mission. This "
         "helps identify the iButton and results when multiple devices are being used.",
         "First Name:", "Surname:", "Class:", "School Name:", "Mission Title:", "Description:",
         "Ignore information (do not store on device)"},
        {"Time Set",
         "Selecting this option will reset the iButton internal clock to use the current computer clock time.",
         "Current DS1921 Time: ", "Current Computer Time: ", "Set Time from Computer Clock"},
        {"Time Alarm",
         "Select time alarm mode. This is an advanced feature not required for most datalogging experiments. "
         "When a time alarm match is detected the DS1921 will respond to a handheld reader or computer "
         "software that is carrying out a conditional search.",
         "Select when the alarm time will occur.", "Day", "Hour", "Minute", "Second",
         "Respond to Conditional Search on Alarm"},
        {"Mission Start Delay",
         "The Mission Start Delay specifies the amount of time to delay before starting a mission (the time "
         "before starting to take temperature readings).",
         "Select the number of Days, Hours, and Minutes to delay.  The total start delay minutes and "
         "approximate start date are shown.",
         "Days", "Hours", "Minutes", "Total Minutes", "0", "Approx. start Date/Time:", "Calculate..."},
        {"Sample Rate",
         "The Sample Rate specifies the number of minutes between temperature readings once the mission "
         "begins.",
         "Minutes"},
        {"Temperature Alarms",
         "The Temperature Alarms are intended for long missions that will rely on the temperature histogram.  "
         "The temperature alarms specify a high and low 'threshold point' that, when exceeded, will trigger a "
         "time stamp to be recorded. ",
         "High Threshold", "Low Threshold", "(Celsius)",
         "Respond to Conditional Search on Alarm (advanced feature)", "High ", "Low"},
        {"Roll-Over",
         "The DS1921 iButton has enough memory to record 2048 time- stamped temperature readings.  Readings "
         "beyond 2048 will still be recorded in the temperature histogram.",
         "With the current sample rate, 2048 time-stamped temperature readings will be finished in the "
         "following number of days.",
         "The readings can optionally roll-over and start writing over the first values.  This should only be "
         "done if the later readings are more important than the early readings.",
         "1.4 Days", "Enable Roll-Over"},
        {"Finish",
         "DS1921 iButton Mission setting selection complete.  If this is correct, click finish to write these "
         "settings to the device and start the mission."},
    };
    auto* notebook = Find<QStackedWidget>(*view, "Wizard");
    ASSERT_EQ(notebook->count(), 9);
    for (int i = 0; i < 9; ++i) {
        const QStringList shown = TextsOn(*notebook->widget(i));
        EXPECT_EQ(notebook->widget(i)->findChild<QLabel*>("Heading")->text(), pages[i][0]);
        for (const QString& text : pages[i]) EXPECT_TRUE(shown.contains(text)) << i << ": " << text.toStdString();
    }
    EXPECT_EQ(Find<QAbstractButton>(*view, "NextButton")->text(), "Next  >");
    EXPECT_EQ(Find<QAbstractButton>(*view, "BackButton")->text(), "<  Back");
    EXPECT_EQ(Find<QAbstractButton>(*view, "FinishButton")->text(), "Finish");
}

TEST_F(WizardTexts, ListsHoldTheirEntriesAndDefaults) {
    const QComboBox* mode = Find<QComboBox>(*view, "AlarmTimeCombo");
    EXPECT_EQ(ItemsOf(mode), (QStringList{"None", "Alarm weekly", "Alarm daily", "Alarm hourly",
                                          "Alarm minutely", "Alarm every second"}));
    EXPECT_EQ(mode->currentIndex(), 0);
    EXPECT_EQ(ItemsOf(Find<QComboBox>(*view, "AlarmDay")),
              (QStringList{"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"}));
    EXPECT_EQ(ItemsOf(Find<QComboBox>(*view, "AlarmHour")), Numbers(0, 23, true));
    EXPECT_EQ(ItemsOf(Find<QComboBox>(*view, "AlarmMinute")), Numbers(0, 59, true));
    EXPECT_EQ(ItemsOf(Find<QComboBox>(*view, "AlarmSecond")), Numbers(0, 59, true));
    EXPECT_EQ(ItemsOf(Find<QComboBox>(*view, "DelayDay")), Numbers(0, 44, false));
    EXPECT_EQ(ItemsOf(Find<QComboBox>(*view, "DelayHour")), Numbers(0, 23, false));
    EXPECT_EQ(ItemsOf(Find<QComboBox>(*view, "DelayMinute")), Numbers(0, 59, false));
    EXPECT_EQ(ItemsOf(Find<QComboBox>(*view, "SampleMinutes")), Numbers(1, 255, false));
    for (const char* name : {"AlarmDay", "AlarmHour", "AlarmMinute", "AlarmSecond", "DelayDay", "DelayHour",
                             "DelayMinute", "SampleMinutes", "LowThreshold"})
        EXPECT_EQ(Find<QComboBox>(*view, name)->currentIndex(), 0) << name;
    const QComboBox* high = Find<QComboBox>(*view, "HighThreshold");
    EXPECT_EQ(high->currentIndex(), high->count() - 1);

    EXPECT_FALSE(Find<QAbstractButton>(*view, "chkIgnore")->isChecked());
    EXPECT_TRUE(Find<QAbstractButton>(*view, "SetTimeCheck")->isChecked());
    EXPECT_TRUE(Find<QAbstractButton>(*view, "ConditionalOnTimeCheck")->isChecked());
    EXPECT_TRUE(Find<QAbstractButton>(*view, "ConditionalOnTempHighCheck")->isChecked());
    EXPECT_TRUE(Find<QAbstractButton>(*view, "ConditionalOnTempLowCheck")->isChecked());
    EXPECT_FALSE(Find<QAbstractButton>(*view, "RolloverCheck")->isChecked());
    EXPECT_TRUE(Find<QWidget>(*view, "HidePanel")->isHidden());
}

TEST_F(WizardTexts, TheCalculatorShowsItsTextsAndLists) {
    CalculatorDialog dialog(form, calculator);
    dialog.show();
    const QStringList shown = TextsOn(dialog);
    for (const char* text :
         {"This calculator will work out the minutes delay for a certain date.",
          "Select the Date and Time from the lists below:", "Day:", "Month:", "Year:", "Hour:", "Min:",
          "Start Date/Time:", "Unuseable Date/Time", "Delay:", "0", "OK"})
        EXPECT_TRUE(shown.contains(text)) << text;
    EXPECT_EQ(ItemsOf(Find<QComboBox>(dialog, "cboDay")), Numbers(1, 31, false));
    EXPECT_EQ(ItemsOf(Find<QComboBox>(dialog, "cboMonth")), Numbers(1, 12, false));
    EXPECT_EQ(ItemsOf(Find<QComboBox>(dialog, "cboHour")), Numbers(0, 23, true));
    EXPECT_EQ(ItemsOf(Find<QComboBox>(dialog, "cboMin")), Numbers(0, 59, true));
}
