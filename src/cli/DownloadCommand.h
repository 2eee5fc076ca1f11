#pragma once
// kelvara-cli download: find a DS1921 on the adapter, download it through the
// window's polling cycle and save the data file as "Save data file..." does.
#include <ostream>

#include "cli/CliOptions.h"

class TmexDriver;

int RunDownload(const CliOptions& options);

// The download on a driver the caller has built (the tests put emulated adapters
// behind it); messages go to `err`. The exit status: 0 saved, 1 failed.
int DownloadThroughDriver(const CliOptions& options, TmexDriver& driver, std::ostream& err);
