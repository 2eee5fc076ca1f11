#include "app/TTRecForm.h"

void TTRecForm::PrintSummaryClick() {}  // not built yet
void TTRecForm::Printfullreport1Click() {}  // not built yet
void TTRecForm::PrinterSetup1Click() {}  // not built yet
void TTRecForm::PrintData() {}  // not built yet
void TTRecForm::PrintDataShort() {}  // not built yet
