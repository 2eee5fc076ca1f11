#include "app/TTRecForm.h"

void TTRecForm::MenuFahrenheitClick() {}  // not built yet
void TTRecForm::MenuCelsiusClick() {}  // not built yet
void TTRecForm::ChangeTempScale() {}  // not built yet
void TTRecForm::CreateThresholds() {}  // not built yet
TemperatureOptions TTRecForm::CurrentTemperatureOptions() { return {}; }  // not built yet
std::string TTRecForm::UnitSuffix() { return {}; }  // not built yet
