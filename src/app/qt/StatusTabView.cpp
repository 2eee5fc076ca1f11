#include "app/qt/StatusTabView.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/TTRecForm.h"
#include "app/qt/ControlBinding.h"

namespace {
QFont ValueFont(const QFont& base) {
    QFont font = base;
    font.setBold(false);
    return font;
}
}  // namespace

StatusTabView::StatusTabView(TTRecForm& form, std::function<void()> afterEvent, QWidget* parent)
    : QWidget(parent),
      form_(form),
      afterEvent_(std::move(afterEvent)),
      missionGroup_(new QGroupBox),
      tempGroup_(new QGroupBox),
      timeGroup_(new QGroupBox),
      forceButton_(new QPushButton) {
    // Captions bold as the window, values in the plain face so long dates fit.
    const auto addRow = [this](QGridLayout* grid, int row, int column, const char* caption,
                               const Control& value, int span = 1) {
        if (caption) grid->addWidget(new QLabel(QString::fromLatin1(caption)), row, column);
        auto* label = new QLabel;
        label->setFont(ValueFont(font()));
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(label, row, caption ? column + 1 : column, 1, caption ? span : span + 1);
        values_.Add(label, value);
    };
    const auto makeGrid = [](QGroupBox* group) {
        auto* grid = new QGridLayout(group);
        grid->setContentsMargins(6, 2, 6, 4);
        grid->setHorizontalSpacing(4);
        grid->setVerticalSpacing(1);
        return grid;
    };

    QGridLayout* mission = makeGrid(missionGroup_);
    addRow(mission, 0, 0, "Mission Status: ", form.MissionStatus);
    addRow(mission, 1, 0, "Mission Start: ", form.MissionStartLabel);
    addRow(mission, 2, 0, "Start Delay (minutes): ", form.MissionDelayLabel);
    addRow(mission, 3, 0, "Mission Samples: ", form.MissionSamplesLabel);
    addRow(mission, 4, 0, "Total Samples: ", form.DeviceCountLabel);
    addRow(mission, 5, 0, "Sample rate (minutes) :", form.SampleRateLabel);
    addRow(mission, 6, 0, "Roll-Over Enable: ", form.RolloverEnableLabel);
    addRow(mission, 7, 0, "Roll-Over Occurred: ", form.RolloverOccuredLabel);
    mission->setColumnStretch(1, 1);

    QGridLayout* temp = makeGrid(tempGroup_);
    addRow(temp, 0, 0, "High Threshold: ", form.HighThresholdLabel);
    addRow(temp, 1, 0, "Low Threshold: ", form.LowThresholdLabel);
    addRow(temp, 2, 0, nullptr, form.TempAlarmLabel);
    temp->setRowStretch(3, 1);
    addRow(temp, 4, 0, nullptr, form.ForceTempLabel);
    temp->addWidget(forceButton_, 5, 0, 1, 2, Qt::AlignLeft);
    temp->setColumnStretch(1, 1);
    connect(forceButton_, &QPushButton::clicked, this, [this] {
        form_.ForceButtonClick();
        afterEvent_();
    });

    QGridLayout* time = makeGrid(timeGroup_);
    addRow(time, 0, 0, "Time: ", form.CurrentTimeLabel, 3);
    addRow(time, 1, 0, "Alarm Mode: ", form.AlarmModeLabel);
    addRow(time, 1, 2, "Alarm Time:", form.TimeAlarmSettingLabel);
    addRow(time, 2, 0, nullptr, form.TimeAlarmLabel, 3);
    time->setColumnStretch(1, 1);
    time->setColumnStretch(3, 1);

    auto* top = new QHBoxLayout;
    top->setSpacing(4);
    top->addWidget(missionGroup_, 5);
    top->addWidget(tempGroup_, 4);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(2);
    layout->addLayout(top);
    layout->addWidget(timeGroup_);
    Sync();
}

QLabel* StatusTabView::ValueLabel(const Control& control) const { return values_.LabelOf(control); }

void StatusTabView::Sync() {
    ApplyCaption(missionGroup_, form_.MissionGroup);
    ApplyCaption(tempGroup_, form_.TempGroup);
    ApplyCaption(timeGroup_, form_.TimeGroup);
    values_.Apply();
    ApplyCaption(forceButton_, form_.ForceButton);
}
