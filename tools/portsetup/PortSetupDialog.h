#pragma once
// The port set-up window: the adapters found, the chosen adapter type, port
// number and serial device path, a test of the chosen adapter, and saving
// through PortConfig.
#include <QDialog>

#include "device/AdapterList.h"
#include "device/tmex/PortConfig.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTreeWidget;

class PortSetupDialog : public QDialog {
    Q_OBJECT
public:
    explicit PortSetupDialog(UsbHost& usb, QWidget* parent = nullptr);

private:
    PortSetting Chosen() const;
    void Show(const PortSetting& setting);
    void FillList();
    void TakeListed();
    void UpdateFields();
    void TestAdapter();
    void Save();

    UsbHost& usb;
    AdapterListing listing;
    QTreeWidget* adapterList;
    QLabel* notesLabel;
    QComboBox* typeBox;
    QSpinBox* portBox;
    QLineEdit* deviceEdit;
    QLabel* resultLabel;
};
