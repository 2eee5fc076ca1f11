#include "PortSetupDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "device/tmex/TmexApi.h"

namespace {
QString Text(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

PortSetupDialog::PortSetupDialog(UsbHost& usbHost, QWidget* parent) : QDialog(parent), usb(usbHost) {
    setWindowTitle("Kelvara Port Setup");
    adapterList = new QTreeWidget(this);
    adapterList->setHeaderLabels({"Type", "Port", "Where", "What"});
    adapterList->setRootIsDecorated(false);
    adapterList->setMinimumSize(640, 160);
    adapterList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    notesLabel = new QLabel(this);
    notesLabel->setWordWrap(true);
    typeBox = new QComboBox(this);
    typeBox->addItem("Virtual adapter (demonstration device)", int(kPortTypeVirtual));
    typeBox->addItem("DS9097U serial adapter", int(kPortTypeSerialDs2480));
    typeBox->addItem("DS9490 USB adapter", int(kPortTypeUsbDs2490));
    portBox = new QSpinBox(this);
    portBox->setRange(1, 255);
    deviceEdit = new QLineEdit(this);
    resultLabel = new QLabel(this);
    resultLabel->setWordWrap(true);
    resultLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    resultLabel->setMinimumHeight(90);
    resultLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* form = new QFormLayout;
    form->addRow("Adapter type:", typeBox);
    form->addRow("Port number:", portBox);
    form->addRow("Serial device (optional):", deviceEdit);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    QPushButton* refresh = buttons->addButton("Look again", QDialogButtonBox::ActionRole);
    QPushButton* test = buttons->addButton("Test adapter", QDialogButtonBox::ActionRole);
    connect(refresh, &QPushButton::clicked, this, &PortSetupDialog::FillList);
    connect(test, &QPushButton::clicked, this, &PortSetupDialog::TestAdapter);
    connect(buttons, &QDialogButtonBox::accepted, this, &PortSetupDialog::Save);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Adapters found (choose one, test it, then save):", this));
    layout->addWidget(adapterList);
    layout->addWidget(notesLabel);
    layout->addLayout(form);
    layout->addWidget(resultLabel);
    layout->addWidget(buttons);

    PortSetting current;
    std::string error;
    if (const auto status = LoadPortConfig(PortConfigPath(), current, error);
        status == PortConfigStatus::Damaged || status == PortConfigStatus::Unreadable) {
        resultLabel->setText(Text("The saved port was unreadable and is shown as new: " + error));
        current = PortSetting{};
    }
    Show(current);
    connect(typeBox, &QComboBox::currentIndexChanged, this, &PortSetupDialog::UpdateFields);
    connect(portBox, &QSpinBox::valueChanged, this, &PortSetupDialog::UpdateFields);
    connect(adapterList, &QTreeWidget::itemSelectionChanged, this, &PortSetupDialog::TakeListed);
    FillList();
    UpdateFields();
}

void PortSetupDialog::FillList() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    listing = ListAdapters(usb);
    QApplication::restoreOverrideCursor();
    adapterList->clear();
    for (const AdapterEntry& entry : listing.Adapters) {
        auto* item = new QTreeWidgetItem(adapterList);
        item->setText(0, QString::number(entry.Type));
        item->setText(1, QString::number(entry.Number));
        item->setText(2, Text(entry.Where));
        item->setText(3, Text(entry.Problem.empty() ? entry.What : entry.What + " - " + entry.Problem));
    }
    std::string notes;
    for (const std::string& note : listing.Notes) notes += (notes.empty() ? "" : "\n") + note;
    notesLabel->setText(Text(notes));
    notesLabel->setVisible(!notes.empty());
}

void PortSetupDialog::TakeListed() {
    const int row = adapterList->indexOfTopLevelItem(adapterList->currentItem());
    if (row < 0 || row >= static_cast<int>(listing.Adapters.size())) return;
    Show(listing.Adapters[static_cast<std::size_t>(row)].Setting());
    resultLabel->clear();
}

void PortSetupDialog::Show(const PortSetting& setting) {
    typeBox->setCurrentIndex(std::max(0, typeBox->findData(int(setting.Type))));
    portBox->setValue(setting.Number);
    deviceEdit->setText(Text(setting.Device));
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
    const int type = typeBox->currentData().toInt();
    portBox->setEnabled(type != kPortTypeVirtual);
    deviceEdit->setEnabled(type == kPortTypeSerialDs2480);
    deviceEdit->setPlaceholderText(
        type == kPortTypeSerialDs2480
            ? Text(SerialDevicePath(static_cast<std::int16_t>(portBox->value()), nullptr))
            : QString());
}

void PortSetupDialog::TestAdapter() {
    const PortSetting setting = Chosen();
    const std::unique_ptr<Link> link = MakeAdapterLink(setting, usb);
    if (!link) {
        resultLabel->setText("The virtual adapter is built into Kelvara and always answers.");
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const AdapterTest test = ::TestAdapter(*link);
    QApplication::restoreOverrideCursor();
    std::string text;
    for (const std::string& line : test.Lines) text += (text.empty() ? "" : "\n") + line;
    resultLabel->setText(Text(text));
}

void PortSetupDialog::Save() {
    std::string error;
    const std::string path = PortConfigPath();
    if (!SavePortConfig(path, Chosen(), error)) {
        QMessageBox::warning(this, "Kelvara Port Setup", Text(error));
        return;
    }
    accept();
}
