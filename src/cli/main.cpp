#include <iostream>
#include <string>
#include <vector>

#include "cli/ClassCommands.h"
#include "cli/CliOptions.h"
#include "cli/DownloadCommand.h"
#include "cli/FileCommands.h"
#include "cli/graph/GraphCommands.h"
#include "files/TemporaryFiles.h"

int main(int argc, char** argv) {
    // A Ctrl+C or a logout during a save leaves no temporary file in the user's folder.
    RemoveTemporaryFilesOnSignals();
    const std::vector<std::string> args(argv + 1, argv + argc);
    // The class commands parse options of their own.
    if (!args.empty() && IsClassCommand(args[0]))
        return RunClassCommand(args[0], std::vector<std::string>(args.begin() + 1, args.end()));
    const ParsedOptions parsed = ParseCliOptions(args);
    if (parsed.Options.Help) {
        std::cout << CliUsage() << "\n" << ClassCommandsUsage();
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
