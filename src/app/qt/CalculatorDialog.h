#pragma once
// "Calculate Delay...": the modal view of the start-delay calculator. Opening
// runs the calculator's FormCreate; the user's list choices run TimeChange; OK
// hands the delay to the wizard, the close box hands over nothing.
#include <QDialog>

#include "app/qt/ControlBinding.h"

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

    TTRecForm& form_;
    TformCalc& calculator_;
    ControlBindings bindings_;
};
