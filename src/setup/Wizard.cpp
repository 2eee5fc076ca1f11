#include "app/TTRecForm.h"

void TTRecForm::InitWizardControls() {}  // not built yet
void TTRecForm::WizardReset() {}  // not built yet
void TTRecForm::NextButtonClick() {}  // not built yet
void TTRecForm::BackButtonClick() {}  // not built yet
void TTRecForm::AlarmTimeComboChange() {}  // not built yet
void TTRecForm::ShowTimeAlarm() {}  // not built yet
void TTRecForm::DelayDayChange() {}  // not built yet
void TTRecForm::SampleMinutesChange() {}  // not built yet
void TTRecForm::UpdateFinishStatement() {}  // not built yet
void TTRecForm::FinishButtonClick() {}  // not built yet
