#pragma once
// "Calculate Delay...": the modal view of the start-delay calculator. Opening
// runs the calculator's FormCreate; the user's list choices run TimeChange; OK
// hands the delay to the wizard, the close box hands over nothing.
#include <QDialog>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

struct Control;
class QComboBox;
class QLabel;
class QPushButton;
class TTRecForm;
class TformCalc;

class CalculatorDialog : public QDialog {
    Q_OBJECT
public:
    CalculatorDialog(TTRecForm& form, TformCalc& calculator, QWidget* parent = nullptr);

    void Sync();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* BindLabel(const Control& control);

    struct ListBinding {
        QComboBox* Widget;
        std::uint64_t ShownRevision;
    };

    TTRecForm& form_;
    TformCalc& calculator_;
    std::array<ListBinding, 5> lists_{};
    std::vector<std::pair<QLabel*, const Control*>> labels_;
    QPushButton* ok_ = nullptr;
};
