#include "app/TTRecForm.h"
#include "reports/ReportLines.h"

namespace {
const char* const kCsvFilter = "Comma Separated Variable File (csv)|*.csv";

// Units in the rows break a spreadsheet's numbers, so the user is asked first.
bool ConfirmUnits(TTRecForm& form) {
    if (!form.MenuShowFC.Checked) return true;
    const std::string question =
        "Temperatures on display currently include the unit (\xB0"
        "F or \xB0"
        "C).\r"
        "It is recommended that the units are removed before exporting the CSV file.\r"
        "To do this, uncheck \"Show F/C on Temperatures\" within the \"Options\" menu.\r"
        "\r"
        "Continue (including the units) anyway?";
    return form.platform.MessageBox(question, form.AppCaption, MsgButtons::YesNo, MsgIcon::Exclamation) ==
           MsgResult::Yes;
}

void ExportList(TTRecForm& form, const std::string& formatLabel, const ListControl& list) {
    const auto path = form.AskSavePath("csv", kCsvFilter);
    if (!path) return;
    form.SaveText(*path, JoinCrLf(CsvLines(form.CurrentReportSource(), formatLabel, list.Items)));
}
}  // namespace

void TTRecForm::ExportDataCSV() { ExportList(*this, LogSyntax.Caption, LogList); }

void TTRecForm::ExportDataHist() { ExportList(*this, HistSyntax.Caption, HistList); }

void TTRecForm::MenuSaveCSVClick() {
    if (ConfirmUnits(*this)) ExportDataCSV();
}

void TTRecForm::menuSaveHistClick() {
    if (ConfirmUnits(*this)) ExportDataHist();
}
