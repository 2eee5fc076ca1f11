#include <iostream>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/DownloadCommand.h"
#include "cli/FileCommands.h"
#include "cli/graph/GraphCommands.h"
#include "files/TemporaryFiles.h"

int main(int argc, char** argv) {
    // A Ctrl+C or a logout during a save leaves no temporary file in the user's folder.
    RemoveTemporaryFilesOnSignals();
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
    if (IsGraphCommand(parsed.Options.Command)) return RunGraphCommands(parsed.Options);
    return RunFileCommands(parsed.Options);
}
