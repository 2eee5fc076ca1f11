#pragma once
// File > "Survey of data files...": the survey of the chosen data files in a
// sortable table with its notes. "Save as CSV..." writes what kelvara-cli
// survey writes; double-clicking a row opens that file in offline mode.
#include <QDialog>
#include <functional>
#include <vector>

#include "files/FilePath.h"
#include "model/Temperature.h"
#include "reports/Survey.h"

class Platform;
class QLabel;
class QPushButton;
class QTableWidget;

class SurveyWindow : public QDialog {
    Q_OBJECT

public:
    // openFile loads a data file in offline mode (the main window's load).
    SurveyWindow(const std::vector<FilePath>& files, TempScale scale, Platform& platform, FilePath saveFolder,
                 std::function<void(const FilePath&)> openFile, QWidget* parent = nullptr);

    // The actions behind the buttons and the double-click, callable by tests.
    void SaveCsv();
    void OpenRow(int row);  // a row as the table shows it now (after sorting)

    QTableWidget* Table() const { return table_; }
    QLabel* Summary() const { return summary_; }
    const std::vector<SurveyRow>& Rows() const { return rows_; }

private:
    void Fill();

    std::vector<SurveyRow> rows_;
    TempScale scale_;
    Platform& platform_;
    FilePath saveFolder_;
    std::function<void(const FilePath&)> openFile_;
    QTableWidget* table_ = nullptr;
    QLabel* summary_ = nullptr;
};
