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

#include "app/qt/ControlBinding.h"
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

// Updates the lines in place so the selection and scrolling survive the timer.
void FillList(QListWidget* list, const std::vector<std::shared_ptr<Ds1921Device>>& devices) {
    const int selected = list->currentRow();
    if (list->count() != static_cast<int>(devices.size())) list->clear();
    for (std::size_t i = 0; i < devices.size(); ++i) {
        const QString line = DeviceLine(*devices[i]);
        if (static_cast<int>(i) < list->count()) {
            if (list->item(static_cast<int>(i))->text() != line)
                list->item(static_cast<int>(i))->setText(line);
        } else {
            list->addItem(line);
        }
    }
    if (selected >= 0 && selected < list->count()) list->setCurrentRow(selected);
}

std::shared_ptr<Ds1921Device> Selected(QListWidget* list,
                                       const std::vector<std::shared_ptr<Ds1921Device>>& devices) {
    const int row = list->currentRow();
    if (row < 0 || row >= static_cast<int>(devices.size())) return nullptr;
    return devices[static_cast<std::size_t>(row)];
}

void SelectLast(QListWidget* list) { list->setCurrentRow(list->count() - 1); }
}  // namespace

VirtualAdapterWindow::VirtualAdapterWindow(VirtualAdapter& adapter, QWidget* parent)
    : QWidget(parent, Qt::Window), adapter(adapter) {
    setWindowTitle(tr("Virtual adapter"));
    auto* layout = new QVBoxLayout(this);

    // A few lines each: the window sits beside the program, not over it.
    const auto smallList = [this](const char* name) {
        auto* list = new QListWidget(this);
        list->setObjectName(name);
        list->setMinimumWidth(560);
        list->setMaximumHeight(list->fontMetrics().height() * 5 + 8);
        return list;
    };
    devices = smallList("virtualDevices");
    layout->addWidget(new QLabel(tr("On the adapter:"), this));
    layout->addWidget(devices);

    auto* deviceRow = new QHBoxLayout;
    variant = new QComboBox(this);
    for (Ds1921Variant v : kVariants) variant->addItem(QString::fromLatin1(Ds1921Device::VariantName(v)));
    insertButton = new QPushButton(tr("Insert new device"), this);
    removeButton = new QPushButton(tr("Remove"), this);
    removeButton->setToolTip(tr("Takes the device off the adapter; it keeps logging and can be put back"));
    deviceRow->addWidget(variant);
    deviceRow->addWidget(insertButton);
    deviceRow->addStretch();
    deviceRow->addWidget(removeButton);
    layout->addLayout(deviceRow);

    outDevices = smallList("virtualDevicesOut");
    layout->addWidget(new QLabel(tr("Out of the adapter:"), this));
    layout->addWidget(outDevices);
    auto* outRow = new QHBoxLayout;
    putBackButton = new QPushButton(tr("Put back"), this);
    discardButton = new QPushButton(tr("Discard"), this);
    discardButton->setToolTip(tr("Throws the device and its data away for good"));
    outRow->addStretch();
    outRow->addWidget(putBackButton);
    outRow->addWidget(discardButton);
    layout->addLayout(outRow);

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
    connect(putBackButton, &QPushButton::clicked, this, [this] { PutBackSelected(); });
    connect(discardButton, &QPushButton::clicked, this, [this] { DiscardSelected(); });
    connect(hour, &QPushButton::clicked, this, [this] { FastForwardMinutes(60); });
    connect(day, &QPushButton::clicked, this, [this] { FastForwardMinutes(1440); });
    connect(forward, &QPushButton::clicked, this, [this] { FastForwardMinutes(minutes->value()); });
    connect(speed, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0 && index < 3) SetSpeed(kSpeeds[index]);
    });
    connect(devices, &QListWidget::currentRowChanged, this, [this] { UpdateButtons(); });
    connect(outDevices, &QListWidget::currentRowChanged, this, [this] { UpdateButtons(); });

    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this] { Refresh(); });
    timer->start(1000);
    Refresh();
}

void VirtualAdapterWindow::Refresh() {
    FillList(devices, adapter.Devices());
    FillList(outDevices, adapter.DevicesOut());
    UpdateButtons();
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(
        adapter.Clock().NowMs() + adapter.Clock().LocalOffsetMs(), QTimeZone::utc());
    clockLine->setText(tr("Simulated time: %1").arg(local.toString("dd/MM/yyyy  HH:mm:ss")));
}

void VirtualAdapterWindow::InsertDevice(int variantIndex) {
    if (variantIndex < 0 || variantIndex >= 3) return;
    adapter.InsertDevice(kVariants[variantIndex]);
    devices->clear();
    Refresh();
    SelectLast(devices);
    Persist();
}

void VirtualAdapterWindow::RemoveSelected() {
    const auto device = Selected(devices, adapter.Devices());
    if (!device || !adapter.RemoveDevice(device)) return;
    devices->clear();
    Refresh();
    SelectLast(outDevices);
    Persist();
}

void VirtualAdapterWindow::PutBackSelected() {
    const auto device = Selected(outDevices, adapter.DevicesOut());
    if (!device || !adapter.ReinsertDevice(device)) return;
    outDevices->clear();
    Refresh();
    SelectLast(devices);
    Persist();
}

void VirtualAdapterWindow::DiscardSelected() {
    const auto device = Selected(outDevices, adapter.DevicesOut());
    if (!device || !adapter.DiscardDevice(device)) return;
    outDevices->clear();
    Refresh();
    Persist();
}

void VirtualAdapterWindow::UpdateButtons() {
    removeButton->setEnabled(devices->currentRow() >= 0);
    putBackButton->setEnabled(outDevices->currentRow() >= 0);
    discardButton->setEnabled(outDevices->currentRow() >= 0);
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
    problem->setText(ToQString(message));
}
