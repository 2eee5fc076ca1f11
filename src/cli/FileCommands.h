#pragma once
// The commands that turn data files into the window's outputs. Each loads its
// file exactly as the window does for a file named on its command line, sets
// the views as the options say, then runs the window's own menu command.
#include <memory>
#include <string>

#include "cli/CliOptions.h"
#include "files/FilePath.h"

class CliPlatform;
class TTRecForm;

class FileCommand {
public:
    virtual ~FileCommand() = default;
    // The output's name in an output folder, from the data file's name without extension.
    virtual std::string OutputName(const std::string& stem) const = 0;
    // Runs the menu command so that its output lands in target. False on failure;
    // the reason is then among the platform's messages.
    virtual bool Run(TTRecForm& form, CliPlatform& platform, const FilePath& target) const = 0;
};

std::unique_ptr<FileCommand> MakeFileCommand(const std::string& name);

// Converts every data file of the options; returns the exit status.
int RunFileCommands(const CliOptions& options);
// The same with a command made elsewhere (the graph commands, which need Qt).
int RunFileCommands(const CliOptions& options, const FileCommand& command);
