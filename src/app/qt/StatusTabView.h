#pragma once
// The Status tab: mission, temperature and real-time clock groups showing
// what the form decoded from the register page.
#include <QWidget>
#include <functional>

#include "app/qt/ControlBinding.h"

class QGroupBox;
class QPushButton;
class TTRecForm;

class StatusTabView : public QWidget {
    Q_OBJECT
public:
    StatusTabView(TTRecForm& form, std::function<void()> afterEvent, QWidget* parent = nullptr);
    void Sync();

    QPushButton* ForceButton() const { return forceButton_; }
    QLabel* ValueLabel(const Control& control) const;

private:
    TTRecForm& form_;
    std::function<void()> afterEvent_;
    QGroupBox *missionGroup_, *tempGroup_, *timeGroup_;
    QPushButton* forceButton_;
    ControlBindings values_;
};
