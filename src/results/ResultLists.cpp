#include "app/TTRecForm.h"

void TTRecForm::UpdateLog() {}  // not built yet
void TTRecForm::UpdateAlarms() {}  // not built yet
void TTRecForm::UpdateHistogram() {}  // not built yet
void TTRecForm::UpdateUser() {}  // not built yet
void TTRecForm::LogRadioClick() {}  // not built yet
void TTRecForm::HistRadioClick() {}  // not built yet
void TTRecForm::MenuShowFCClick() {}  // not built yet
void TTRecForm::btnDetailsClick() {}  // not built yet
bool TTRecForm::RecTabChange([[maybe_unused]] int newTab) { return true; }  // not built yet
