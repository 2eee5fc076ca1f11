#include "app/TTRecForm.h"

std::int16_t TTRecForm::FindFirstFamily([[maybe_unused]] std::int16_t family, [[maybe_unused]] std::string& romIdText) { return 0; }  // not built yet
std::int16_t TTRecForm::VerifyDevice() { return 0; }  // not built yet
void TTRecForm::NoDevice([[maybe_unused]] bool absent) {}  // not built yet
void TTRecForm::Light([[maybe_unused]] bool on) {}  // not built yet
void TTRecForm::DetectVariantFromRom([[maybe_unused]] const std::string& romIdText) {}  // not built yet
void TTRecForm::ResetToWelcome() {}  // not built yet
