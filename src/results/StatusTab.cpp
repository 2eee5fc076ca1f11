#include "app/TTRecForm.h"

void TTRecForm::UpdateStatus() {}  // not built yet
