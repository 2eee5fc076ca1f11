#include "app/TTRecForm.h"

void TTRecForm::RunClearState() {}  // not built yet
void TTRecForm::RunVerifyClearState() {}  // not built yet
void TTRecForm::RunWriteState() {}  // not built yet
