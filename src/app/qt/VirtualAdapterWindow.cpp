#include "app/qt/VirtualAdapterWindow.h"

#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeZone>
#include <QTimer>
#include <QVBoxLayout>

#include "device/virtual/VirtualAdapter.h"

namespace {
constexpr Ds1921Variant kVariants[] = {Ds1921Variant::Standard, Ds1921Variant::HumanBody,
                                       Ds1921Variant::LowTemp};
constexpr double kSpeeds[] = {1.0, 60.0, 3600.0};

QString TwoDigits(int value) { return QString::number(value).rightJustified(2, QLatin1Char('0')); }

QString DeviceLine(Ds1921Device& device) {
    const DeviceClockFields clock = device.ClockFields();
    const QString time = QStringLiteral("%1/%2/%3%4 %5:%6")
                             .arg(TwoDigits(clock.Date), TwoDigits(clock.Month), clock.Century ? "20" : "19",
                                  TwoDigits(clock.Year), TwoDigits(clock.Hour), TwoDigits(clock.Minute));
    const QString mission = device.MissionRunning()
                                ? QStringLiteral("mission running, %1 samples").arg(device.MissionSamples())
                                : QStringLiteral("no mission running");
    return QStringLiteral("%1   %2   clock %3   %4")
        .arg(QString::fromStdString(Ds1921Device::RomText(device.Rom())),
             QString::fromLatin1(Ds1921Device::VariantName(device.Variant())), time, mission);
}
}  // namespace

VirtualAdapterWindow::VirtualAdapterWindow(VirtualAdapter& adapter, QWidget* parent)
    : QWidget(parent, Qt::Window), adapter(adapter) {
    setWindowTitle(tr("Virtual adapter"));
    auto* layout = new QVBoxLayout(this);

    devices = new QListWidget(this);
    devices->setObjectName("virtualDevices");
    devices->setMinimumWidth(560);
    layout->addWidget(new QLabel(tr("Devices on the virtual adapter:"), this));
    layout->addWidget(devices);

    auto* deviceRow = new QHBoxLayout;
    variant = new QComboBox(this);
    for (Ds1921Variant v : kVariants) variant->addItem(QString::fromLatin1(Ds1921Device::VariantName(v)));
    insertButton = new QPushButton(tr("Insert new device"), this);
    removeButton = new QPushButton(tr("Remove selected device"), this);
    deviceRow->addWidget(variant);
    deviceRow->addWidget(insertButton);
    deviceRow->addStretch();
    deviceRow->addWidget(removeButton);
    layout->addLayout(deviceRow);

    auto* timeBox = new QGroupBox(tr("Time"), this);
    auto* timeGrid = new QGridLayout(timeBox);
    clockLine = new QLabel(timeBox);
    timeGrid->addWidget(clockLine, 0, 0, 1, 5);
    auto* hour = new QPushButton(tr("+1 hour"), timeBox);
    auto* day = new QPushButton(tr("+1 day"), timeBox);
    minutes = new QSpinBox(timeBox);
    minutes->setRange(1, 1000000);
    minutes->setValue(10);
    minutes->setSuffix(tr(" minutes"));
    auto* forward = new QPushButton(tr("Fast-forward"), timeBox);
    timeGrid->addWidget(hour, 1, 0);
    timeGrid->addWidget(day, 1, 1);
    timeGrid->addWidget(minutes, 1, 2);
    timeGrid->addWidget(forward, 1, 3);
    speed = new QComboBox(timeBox);
    speed->addItems({tr("Real time (1x)"), tr("1 minute per second (60x)"), tr("1 hour per second (3600x)")});
    // A clock that only moves when told (tests) has no speed to choose.
    speed->setEnabled(adapter.Clock().Speed() > 0);
    for (int i = 0; i < 3; ++i)
        if (adapter.Clock().Speed() == kSpeeds[i]) speed->setCurrentIndex(i);
    timeGrid->addWidget(new QLabel(tr("Speed:"), timeBox), 2, 0);
    timeGrid->addWidget(speed, 2, 1, 1, 3);
    layout->addWidget(timeBox);

    problem = new QLabel(this);
    problem->setWordWrap(true);
    problem->hide();
    layout->addWidget(problem);

    connect(insertButton, &QPushButton::clicked, this, [this] { InsertDevice(variant->currentIndex()); });
    connect(removeButton, &QPushButton::clicked, this, [this] { RemoveSelected(); });
    connect(hour, &QPushButton::clicked, this, [this] { FastForwardMinutes(60); });
    connect(day, &QPushButton::clicked, this, [this] { FastForwardMinutes(1440); });
    connect(forward, &QPushButton::clicked, this, [this] { FastForwardMinutes(minutes->value()); });
    connect(speed, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0 && index < 3) SetSpeed(kSpeeds[index]);
    });
    connect(devices, &QListWidget::currentRowChanged, this,
            [this](int row) { removeButton->setEnabled(row >= 0); });

    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this] { Refresh(); });
    timer->start(1000);
    Refresh();
}

void VirtualAdapterWindow::Refresh() {
    const int selected = devices->currentRow();
    const auto list = adapter.Devices();
    if (devices->count() != static_cast<int>(list.size())) devices->clear();
    for (std::size_t i = 0; i < list.size(); ++i) {
        const QString line = DeviceLine(*list[i]);
        if (static_cast<int>(i) < devices->count()) {
            if (devices->item(static_cast<int>(i))->text() != line)
                devices->item(static_cast<int>(i))->setText(line);
        } else {
            devices->addItem(line);
        }
    }
    if (selected >= 0 && selected < devices->count()) devices->setCurrentRow(selected);
    removeButton->setEnabled(devices->currentRow() >= 0);
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(
        adapter.Clock().NowMs() + adapter.Clock().LocalOffsetMs(), QTimeZone::utc());
    clockLine->setText(tr("Simulated time: %1").arg(local.toString("dd/MM/yyyy  HH:mm:ss")));
}

void VirtualAdapterWindow::InsertDevice(int variantIndex) {
    if (variantIndex < 0 || variantIndex >= 3) return;
    adapter.InsertDevice(kVariants[variantIndex]);
    devices->clear();
    Refresh();
    devices->setCurrentRow(devices->count() - 1);
    Persist();
}

void VirtualAdapterWindow::RemoveSelected() {
    const int row = devices->currentRow();
    const auto list = adapter.Devices();
    if (row < 0 || row >= static_cast<int>(list.size())) return;
    adapter.RemoveDevice(list[static_cast<std::size_t>(row)]);
    devices->clear();
    Refresh();
    Persist();
}

void VirtualAdapterWindow::FastForwardMinutes(qint64 count) {
    adapter.Clock().Advance(count * 60000);
    Refresh();
    Persist();
}

void VirtualAdapterWindow::SetSpeed(double factor) {
    adapter.Clock().SetSpeed(factor);
    Refresh();
}

// Saved at once, so what the user did here survives even an abrupt end.
void VirtualAdapterWindow::Persist() {
    const std::string message = adapter.Save();
    problem->setVisible(!message.empty());
    problem->setText(QString::fromStdString(message));
}
