#include "PortSetupDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "device/serial/Ds2480Link.h"
#include "device/serial/TermiosSerialPort.h"
#include "device/tmex/TmexApi.h"

PortSetupDialog::PortSetupDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Kelvara Port Setup");
    typeBox = new QComboBox(this);
    typeBox->addItem("Virtual adapter (demonstration device)", int(kPortTypeVirtual));
    typeBox->addItem("DS9097U serial adapter", int(kPortTypeSerialDs2480));
    portBox = new QSpinBox(this);
    portBox->setRange(1, 255);
    deviceEdit = new QLineEdit(this);
    resultLabel = new QLabel(this);
    resultLabel->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow("Adapter type:", typeBox);
    form->addRow("Port number:", portBox);
    form->addRow("Serial device (optional):", deviceEdit);
    auto* note = new QLabel("The USB adapter is not supported yet.", this);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    QPushButton* test = buttons->addButton("Test adapter", QDialogButtonBox::ActionRole);
    connect(test, &QPushButton::clicked, this, &PortSetupDialog::TestAdapter);
    connect(buttons, &QDialogButtonBox::accepted, this, &PortSetupDialog::Save);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(resultLabel);
    layout->addWidget(buttons);

    PortSetting current;
    std::string error;
    if (LoadPortConfig(PortConfigPath(), current, error) == PortConfigStatus::Damaged) {
        resultLabel->setText(
            QString::fromStdString("The saved port was unreadable and is shown as new: " + error));
        current = PortSetting{};
    }
    typeBox->setCurrentIndex(std::max(0, typeBox->findData(int(current.Type))));
    portBox->setValue(current.Number);
    deviceEdit->setText(QString::fromStdString(current.Device));
    connect(typeBox, &QComboBox::currentIndexChanged, this, &PortSetupDialog::UpdateFields);
    connect(portBox, &QSpinBox::valueChanged, this, &PortSetupDialog::UpdateFields);
    UpdateFields();
}

PortSetting PortSetupDialog::Chosen() const {
    PortSetting setting;
    setting.Type = static_cast<std::int16_t>(typeBox->currentData().toInt());
    setting.Number = static_cast<std::int16_t>(portBox->value());
    if (setting.Type == kPortTypeSerialDs2480) setting.Device = deviceEdit->text().trimmed().toStdString();
    return setting;
}

void PortSetupDialog::UpdateFields() {
    const bool serial = typeBox->currentData().toInt() == kPortTypeSerialDs2480;
    portBox->setEnabled(serial);
    deviceEdit->setEnabled(serial);
    deviceEdit->setPlaceholderText(
        QString::fromStdString(SerialDevicePath(static_cast<std::int16_t>(portBox->value()), nullptr)));
}

void PortSetupDialog::TestAdapter() {
    const PortSetting setting = Chosen();
    if (setting.Type != kPortTypeSerialDs2480) {
        resultLabel->setText("The virtual adapter is built into Kelvara and always answers.");
        return;
    }
    const std::string path = SerialDevicePath(setting.Number, &setting);
    Ds2480Link link(std::make_unique<TermiosSerialPort>(path));
    std::string error;
    if (!link.Open(error)) {
        resultLabel->setText(QString::fromStdString("No adapter: " + error));
        return;
    }
    const ResetResult reset = link.Reset();
    link.Close();
    const char* bus = DevicePresent(reset)          ? "a device answers on the 1-Wire bus."
                      : reset == ResetResult::Short ? "the 1-Wire bus is shorted."
                                                    : "no device is clipped in.";
    resultLabel->setText(QString::fromStdString("Adapter found on " + path + "; " + bus));
}

void PortSetupDialog::Save() {
    std::string error;
    const std::string path = PortConfigPath();
    if (!SavePortConfig(path, Chosen(), error)) {
        QMessageBox::warning(this, "Kelvara Port Setup", QString::fromStdString(error));
        return;
    }
    accept();
}
