#include "app/TTRecForm.h"
#include "reports/ReportLines.h"

namespace {
void Print(TTRecForm& form, bool full) {
    std::string error;
    form.platform.PrintLines(form.PrintedReportLines(full), error);
    if (!error.empty()) form.platform.MessageBox(error, form.AppCaption, MsgButtons::Ok, MsgIcon::Error);
}
}  // namespace

std::vector<std::string> TTRecForm::PrintedReportLines(bool full) {
    return PrintedLines(CurrentReportSource(), full);
}

void TTRecForm::PrintSummaryClick() { PrintDataShort(); }

void TTRecForm::Printfullreport1Click() {
    if (platform.MessageBox("Printing a full report may take over 20 pages!\r\rContinue anyway?", AppCaption,
                            MsgButtons::YesNo, MsgIcon::Exclamation) == MsgResult::Yes)
        PrintData();
}

void TTRecForm::PrinterSetup1Click() { platform.PrinterSetup(); }

void TTRecForm::PrintData() { Print(*this, true); }

void TTRecForm::PrintDataShort() { Print(*this, false); }
