#include "app/TTRecForm.h"

void TTRecForm::CreateWriteStatus() {}  // not built yet
void TTRecForm::ComposeUserPages() {}   // not built yet
