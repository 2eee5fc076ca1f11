#include "app/TTRecForm.h"

void TTRecForm::TRecTimerTimer() {}  // not built yet
void TTRecForm::ReadButtonClick() {}  // not built yet
void TTRecForm::ForceButtonClick() {}  // not built yet
void TTRecForm::MenuStopMissionClick() {}  // not built yet
std::pair<int, int> TTRecForm::DownloadProgress() const { return {0, 0}; }  // not built yet
bool TTRecForm::HandleResult([[maybe_unused]] std::int16_t r, [[maybe_unused]] const std::string& errorText, [[maybe_unused]] const std::string& boxMessage) { return false; }  // not built yet
void TTRecForm::ResetWindow() {}  // not built yet
