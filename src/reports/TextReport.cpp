#include "app/TTRecForm.h"

void TTRecForm::ExportData([[maybe_unused]] bool toClipboard) {}  // not built yet
std::vector<std::string> TTRecForm::ReportLines() { return {}; }  // not built yet
void TTRecForm::MenuSaveDataClick() {}  // not built yet
void TTRecForm::MenuExportToClipClick() {}  // not built yet
