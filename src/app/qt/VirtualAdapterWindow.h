#pragma once
// A small control window for the virtual adapter while the program runs on
// it: insert a device of a chosen variant, take one off the adapter (it stays
// "out", still logging) and put it back, discard one for good, fast-forward the
// simulated time and choose its speed. It acts on the adapter directly; the
// program notices inserted and removed devices on its next search or presence check.
#include <QWidget>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTimer;
class VirtualAdapter;

class VirtualAdapterWindow : public QWidget {
    Q_OBJECT

public:
    explicit VirtualAdapterWindow(VirtualAdapter& adapter, QWidget* parent = nullptr);

    // Rebuilds the device lists and the clock line (also every second on a timer).
    void Refresh();

    // The actions behind the buttons, callable by tests.
    void InsertDevice(int variantIndex);  // 0 standard, 1 human body, 2 low temp
    void RemoveSelected();                // the selected device on the adapter goes out
    void PutBackSelected();               // the selected device out goes back on the adapter
    void DiscardSelected();               // the selected device out is thrown away
    void FastForwardMinutes(qint64 minutes);
    void SetSpeed(double factor);

    QListWidget* DeviceList() const { return devices; }
    QListWidget* OutList() const { return outDevices; }
    QPushButton* RemoveButton() const { return removeButton; }
    QPushButton* PutBackButton() const { return putBackButton; }
    QPushButton* DiscardButton() const { return discardButton; }

private:
    void Persist();
    void UpdateButtons();

    VirtualAdapter& adapter;
    QListWidget* devices;
    QListWidget* outDevices;
    QComboBox* variant;
    QPushButton* insertButton;
    QPushButton* removeButton;
    QPushButton* putBackButton;
    QPushButton* discardButton;
    QSpinBox* minutes;
    QComboBox* speed;
    QLabel* clockLine;
    QLabel* problem;
    QTimer* timer;
};
