#pragma once
// kelvara-cli download: find a DS1921 on the adapter, download it through the
// window's polling cycle and save the data file as "Save data file..." does.
#include "cli/CliOptions.h"

int RunDownload(const CliOptions& options);
