#pragma once
// The Mission Results tab: log, alarm and histogram lists with their view
// options, "Read Data" and "Mission Details".
#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QVBoxLayout;
class TTRecForm;
struct RadioGroupControl;

class ResultsTabView : public QWidget {
    Q_OBJECT
public:
    ResultsTabView(TTRecForm& form, std::function<void()> afterEvent, QWidget* parent = nullptr);
    void Sync();

    QListWidget* LogList() const { return logList_; }
    QListWidget* AlarmList() const { return alarmList_; }
    QListWidget* HistList() const { return histList_; }
    QGroupBox* LogRadio() const { return logRadio_.box; }
    QGroupBox* HistRadio() const { return histRadio_.box; }
    QPushButton* ReadButton() const { return readButton_; }
    QPushButton* GraphLogButton() const { return graphLogButton_; }
    QPushButton* GraphHistButton() const { return graphHistButton_; }
    QCheckBox* GraphAlarmsCheck() const { return graphAlarmsCheck_; }

private:
    // A radio group built from the control's items; a click sets the
    // control's ItemIndex, then calls the form's handler.
    struct RadioGroup {
        QGroupBox* box = nullptr;
        QVBoxLayout* layout = nullptr;
        QButtonGroup* buttons = nullptr;
        std::vector<QRadioButton*> items;
    };
    void BuildRadio(RadioGroup& group, RadioGroupControl& control, std::function<void()> handler);
    void SyncRadio(RadioGroup& group, const RadioGroupControl& control);

    TTRecForm& form_;
    std::function<void()> afterEvent_;
    QGroupBox *logBox_, *alarmBox_, *histBox_, *optionsBox_;
    QLabel *logSyntax_, *histSyntax_;
    QListWidget *logList_, *alarmList_, *histList_;
    RadioGroup logRadio_, histRadio_;
    QPushButton *readButton_, *detailsButton_;
    QPushButton *graphLogButton_, *graphHistButton_;
    QCheckBox* graphAlarmsCheck_;
    std::uint64_t logRevision_ = ~0ull, alarmRevision_ = ~0ull, histRevision_ = ~0ull;
};
