#include "app/TTRecForm.h"

void TTRecForm::ExportDump() {}  // not built yet
std::vector<std::string> TTRecForm::DumpLines() { return {}; }  // not built yet
std::int16_t TTRecForm::LoadDump([[maybe_unused]] const std::string& path) { return 0; }  // not built yet
void TTRecForm::menuOpenClick() {}  // not built yet
void TTRecForm::LoadCmd([[maybe_unused]] const std::string& path) {}  // not built yet
void TTRecForm::menuCloseClick() {}  // not built yet
void TTRecForm::menuSaveData1Click() {}  // not built yet
