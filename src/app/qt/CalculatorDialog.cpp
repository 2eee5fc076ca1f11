#include "app/qt/CalculatorDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <array>

#include "app/TTRecForm.h"
#include "app/qt/ControlBinding.h"
#include "app/qt/DesktopFonts.h"
#include "app/qt/DropDownLists.h"
#include "setup/DelayCalculator.h"

CalculatorDialog::CalculatorDialog(TTRecForm& form, TformCalc& calculator, QWidget* parent)
    : QDialog(parent), form_(form), calculator_(calculator) {
    setObjectName("formCalc");
    setWindowTitle(ToQString(calculator_.Caption));
    setModal(true);
    // A dialog is a window of its own and would not inherit the main window's font.
    if (parent != nullptr) setFont(parent->window()->font());

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->setSpacing(6);
    layout->addWidget(BindLabel(calculator_.InfoLabel));
    layout->addWidget(BindLabel(calculator_.SelectLabel));

    auto* lists = new QGridLayout;
    lists->setHorizontalSpacing(8);
    lists->setVerticalSpacing(1);
    const std::array<const Control*, 5> captions = {&calculator_.DayLabel, &calculator_.MonthLabel,
                                                    &calculator_.YearLabel, &calculator_.HourLabel,
                                                    &calculator_.MinLabel};
    const std::array<ListControl*, 5> controls = {&calculator_.cboDay, &calculator_.cboMonth,
                                                  &calculator_.cboYear, &calculator_.cboHour,
                                                  &calculator_.cboMin};
    const std::array<const char*, 5> names = {"cboDay", "cboMonth", "cboYear", "cboHour", "cboMin"};
    for (int i = 0; i < 5; ++i) {
        lists->addWidget(BindLabel(*captions[i]), 0, i);
        auto* box = new QComboBox(this);
        box->setObjectName(names[i]);
        box->setMaxVisibleItems(12);
        EnableTypedChoice(box);
        UseRegularWeight(box);
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        // activated comes from the user only; FormCreate's own selections stay quiet.
        ListControl& control = *controls[i];
        connect(box, &QComboBox::activated, this, [this, &control](int index) {
            control.Select(index);
            bindings_.ChoiceShown(control);
            calculator_.TimeChange();
            Sync();
        });
        lists->addWidget(box, 1, i);
        bindings_.Add(box, control);
    }
    layout->addLayout(lists);

    auto* results = new QGridLayout;
    results->setHorizontalSpacing(8);
    results->addWidget(BindLabel(calculator_.StartDateCaption), 0, 0);
    QLabel* startDate = BindLabel(calculator_.StartDateLabel);
    startDate->setObjectName("StartDateLabel");
    results->addWidget(startDate, 0, 1);
    results->addWidget(BindLabel(calculator_.TotalMinutesCaption), 1, 0);
    QLabel* totalMinutes = BindLabel(calculator_.TotalMinutesLabel);
    totalMinutes->setObjectName("TotalMinutesLabel");
    results->addWidget(totalMinutes, 1, 1);
    results->setColumnStretch(1, 1);
    // Room for the longest date text, so the dialog does not jump while choosing.
    startDate->setMinimumWidth(
        startDate->fontMetrics().horizontalAdvance("Wednesday  30/09/2013  23:59:00 ") + 4);
    layout->addLayout(results);

    auto* ok = new QPushButton(this);
    ok->setObjectName("ButtonOk");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] {
        calculator_.ButtonOkClick(form_);
        accept();
    });
    bindings_.Add(ok, calculator_.ButtonOk);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    Sync();
}

QLabel* CalculatorDialog::BindLabel(const Control& control) {
    auto* label = new QLabel(this);
    label->setTextFormat(Qt::PlainText);
    bindings_.Add(label, control);
    return label;
}

void CalculatorDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        calculator_.FormCreate();
        Sync();
    }
    QDialog::showEvent(event);
}

void CalculatorDialog::Sync() { bindings_.Apply(); }
