#include "app/TTRecForm.h"

void TTRecForm::ExportDataCSV() {}  // not built yet
void TTRecForm::ExportDataHist() {}  // not built yet
void TTRecForm::MenuSaveCSVClick() {}  // not built yet
void TTRecForm::menuSaveHistClick() {}  // not built yet
