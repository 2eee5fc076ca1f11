#include <iostream>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/DownloadCommand.h"
#include "cli/FileCommands.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ParsedOptions parsed = ParseCliOptions(args);
    if (parsed.Options.Help) {
        std::cout << CliUsage();
        return 0;
    }
    if (!parsed.Error.empty()) {
        std::cerr << "kelvara-cli: " << parsed.Error << "\n\n" << CliUsage();
        return 2;
    }
    if (parsed.Options.Command == "download") return RunDownload(parsed.Options);
    return RunFileCommands(parsed.Options);
}
