#pragma once
// The port set-up window: adapter type, port number and serial device path,
// a test of the chosen adapter, and saving through PortConfig.
#include <QDialog>

#include "device/tmex/PortConfig.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

class PortSetupDialog : public QDialog {
    Q_OBJECT
public:
    explicit PortSetupDialog(QWidget* parent = nullptr);

private:
    PortSetting Chosen() const;
    void UpdateFields();
    void TestAdapter();
    void Save();

    QComboBox* typeBox;
    QSpinBox* portBox;
    QLineEdit* deviceEdit;
    QLabel* resultLabel;
};
