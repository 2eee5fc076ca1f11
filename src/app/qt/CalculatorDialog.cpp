#include "app/qt/CalculatorDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "app/TTRecForm.h"
#include "app/qt/ControlBinding.h"
#include "setup/DelayCalculator.h"

namespace {
std::array<ListControl*, 5> ListsOf(TformCalc& calculator) {
    return {&calculator.cboDay, &calculator.cboMonth, &calculator.cboYear, &calculator.cboHour,
            &calculator.cboMin};
}
}  // namespace

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
    const std::array<const char*, 5> names = {"cboDay", "cboMonth", "cboYear", "cboHour", "cboMin"};
    for (int i = 0; i < 5; ++i) {
        lists->addWidget(BindLabel(*captions[i]), 0, i);
        auto* box = new QComboBox(this);
        box->setObjectName(names[i]);
        box->setMaxVisibleItems(12);
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        // activated comes from the user only; FormCreate's own selections stay quiet.
        connect(box, &QComboBox::activated, this, [this, i](int index) {
            ListControl& control = *ListsOf(calculator_)[i];
            control.Select(index);
            lists_[i].ShownRevision = control.Revision;
            calculator_.TimeChange();
            Sync();
        });
        lists->addWidget(box, 1, i);
        lists_[i] = {box, ~std::uint64_t{0}};
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

    ok_ = new QPushButton(this);
    ok_->setObjectName("ButtonOk");
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, [this] {
        calculator_.ButtonOkClick(form_);
        accept();
    });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    Sync();
}

QLabel* CalculatorDialog::BindLabel(const Control& control) {
    auto* label = new QLabel(this);
    label->setTextFormat(Qt::PlainText);
    labels_.emplace_back(label, &control);
    return label;
}

void CalculatorDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        calculator_.FormCreate();
        Sync();
    }
    QDialog::showEvent(event);
}

void CalculatorDialog::Sync() {
    const auto controls = ListsOf(calculator_);
    for (int i = 0; i < 5; ++i) ApplyList(lists_[i].Widget, *controls[i], lists_[i].ShownRevision);
    for (auto& [label, control] : labels_) ApplyCaption(label, *control);
    ApplyCaption(ok_, calculator_.ButtonOk);
}
