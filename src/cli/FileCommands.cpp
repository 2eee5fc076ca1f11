#include "cli/FileCommands.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <set>

#include "app/Settings.h"
#include "app/TTRecForm.h"
#include "cli/CliPlatform.h"
#include "cli/OfflineDriver.h"
#include "files/ReadFile.h"
#include "files/SaveBatch.h"
#include "reports/ReportLines.h"

namespace fs = std::filesystem;

namespace {
// A menu command of the window, and the suffix its output takes in an output folder.
class MenuCommand : public FileCommand {
public:
    MenuCommand(void (TTRecForm::*handler)(), std::string suffix)
        : handler_(handler), suffix_(std::move(suffix)) {}
    std::string OutputName(const std::string& stem) const override { return stem + suffix_; }

protected:
    void (TTRecForm::*handler_)();

private:
    std::string suffix_;
};

// "Save full report as text file...", the two CSV exports.
class SaveCommand : public MenuCommand {
public:
    using MenuCommand::MenuCommand;
    bool Run(TTRecForm& form, CliPlatform& platform, const FilePath& target) const override {
        const auto before = platform.Messages.size();
        platform.SaveTarget = target;
        (form.*handler_)();
        return platform.Messages.size() == before;
    }
};

// "Print summary..." and "Print full report...": the printed lines, one per text line.
class PrintCommand : public MenuCommand {
public:
    using MenuCommand::MenuCommand;
    bool Run(TTRecForm& form, CliPlatform& platform, const FilePath& target) const override {
        platform.PrintedSomething = false;
        (form.*handler_)();
        if (!platform.PrintedSomething) {
            platform.Messages.push_back("Nothing was printed.");
            return false;
        }
        std::string error;
        if (form.Files->Save(target, JoinCrLf(platform.Printed), error)) return true;
        platform.Messages.push_back(error);
        return false;
    }
};

void ReportMessages(const std::string& file, const std::vector<std::string>& messages, const char* kind) {
    for (const auto& message : messages)
        std::cerr << "kelvara-cli: " << file << ": " << kind << ForTerminal(message) << "\n";
}

struct Titles {
    bool Given = false;
    TitlesSettings Settings;
};

void ApplyOptions(TTRecForm& form, const CliOptions& o, const Titles& titles) {
    if (titles.Given) {
        for (std::size_t i = 0; i < 6; ++i) {
            form.lbluser[i].Caption = titles.Settings.Titles[i];
            form.UserDetailCaptions[i] = titles.Settings.Titles[i] + " ";
        }
    }
    // The menu and view handlers, as a user would choose them after loading.
    if (o.Fahrenheit) form.MenuFahrenheitClick();
    if (o.NoUnits) form.MenuShowFCClick();
    if (o.LogView != form.LogRadio.ItemIndex) {
        form.LogRadio.Select(o.LogView);
        form.LogRadioClick();
    }
    if (o.HistogramView != form.HistRadio.ItemIndex) {
        form.HistRadio.Select(o.HistogramView);
        form.HistRadioClick();
    }
}

// The output of a run without -o: each save goes to standard output as it is made.
class StandardOutput : public FileStore {
public:
    bool Save(const FilePath&, std::string_view bytes, std::string& error) override {
        if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0)
            return true;
        error = std::string("Cannot write to standard output.\r") + std::strerror(errno);
        return false;
    }
};

// Loads one data file and runs the command; false with the reason on standard error.
bool ConvertOne(const CliOptions& o, const Titles& titles, const FileCommand& command,
                const std::string& file, const FilePath& target, FileStore& store) {
    CliPlatform platform(o.Now);
    OfflineDriver driver;
    TTRecForm form(platform, driver);
    form.Files = &store;
    // Loaded as "Load old data file..." loads it: the window's rule that a command
    // line of three characters or fewer names no file is the window's alone.
    form.FormCreate({});
    form.LoadCmd(FilePath(file));
    if (!form.OfflineMode()) {
        if (platform.Messages.empty()) platform.Messages.push_back("The file could not be loaded.");
        ReportMessages(file, platform.Messages, "");
        return false;
    }
    ReportMessages(file, platform.Messages, "warning: ");
    platform.Messages.clear();
    ApplyOptions(form, o, titles);
    if (command.Run(form, platform, target)) return true;
    ReportMessages(file, platform.Messages, "");
    return false;
}

// The run's data files by their identity on disk, looked up once: a class of
// hundreds must not cost a look at every data file for every output.
using FileIds = std::map<std::pair<dev_t, ino_t>, std::string>;

FileIds IdsOf(const std::vector<std::string>& files) {
    FileIds ids;
    for (const auto& file : files)
        if (struct stat info{}; ::stat(file.c_str(), &info) == 0)
            ids.emplace(std::pair(info.st_dev, info.st_ino), file);
    return ids;
}

// Why target must not be written: a data file of this run (also through a
// link), or an output this run already wrote (two data files of the same name
// from different folders).
std::string OutputClash(const FilePath& target, const FileIds& dataFiles, std::set<std::string>& written) {
    if (struct stat info{}; ::stat(target.c_str(), &info) == 0)
        if (const auto found = dataFiles.find({info.st_dev, info.st_ino}); found != dataFiles.end())
            return "the output " + target.Native() + " would replace the data file " + found->second +
                   "; nothing written";
    std::error_code ec;
    const std::string key = fs::weakly_canonical(target.Fs(), ec).native();
    if (!written.insert(ec ? target.Native() : key).second)
        return "the output " + target.Native() +
               " is already taken by an earlier data file of this run; nothing written";
    return {};
}
}  // namespace

std::unique_ptr<FileCommand> MakeFileCommand(const std::string& name) {
    if (name == "report") return std::make_unique<SaveCommand>(&TTRecForm::MenuSaveDataClick, ".txt");
    if (name == "csv") return std::make_unique<SaveCommand>(&TTRecForm::MenuSaveCSVClick, ".csv");
    if (name == "histogram-csv")
        return std::make_unique<SaveCommand>(&TTRecForm::menuSaveHistClick, "-histogram.csv");
    if (name == "summary")
        return std::make_unique<PrintCommand>(&TTRecForm::PrintSummaryClick, "-summary.txt");
    if (name == "full-print")
        return std::make_unique<PrintCommand>(&TTRecForm::Printfullreport1Click, "-print.txt");
    return nullptr;
}

int RunFileCommands(const CliOptions& o) { return RunFileCommands(o, *MakeFileCommand(o.Command)); }

int RunFileCommands(const CliOptions& o, const FileCommand& command) {
    std::error_code ec;
    const bool toFolder = !o.Output.empty() && fs::is_directory(fs::path(o.Output), ec);
    if (o.Files.size() > 1 && !toFolder) {
        std::cerr << "kelvara-cli: " << o.Files.size() << " data files need -o naming an existing folder"
                  << (o.Output.empty() ? std::string(" for their outputs") : ", and " + o.Output + " is none")
                  << "\n";
        return 2;
    }
    Titles titles;
    if (!o.Titles.empty()) {
        std::string text, error;
        const FilePath path(o.Titles);
        if (!ReadWholeFile(path, text, error)) {
            std::cerr << "kelvara-cli: --titles: " << ForTerminal(error) << "\n";
            return 1;
        }
        titles.Given = true;
        titles.Settings = ParseTitlesIni(text, FilePath(path.Folder().Native() + "/"));
        for (const auto& problem : titles.Settings.Problems)
            std::cerr << "kelvara-cli: " << o.Titles << ": warning: " << ForTerminal(problem) << "\n";
    }

    // Without -o the output goes to standard output; files are written as one
    // batch, flushed to disk together at the end.
    StandardOutput standardOutput;
    SaveBatch batch;
    FileStore& store = o.Output.empty() ? static_cast<FileStore&>(standardOutput) : batch;
    int status = 0;
    std::set<std::string> written;
    const FileIds dataFiles = IdsOf(o.Files);
    std::map<std::string, std::string> fileOfTarget;
    for (const auto& file : o.Files) {
        // Standard output takes what the save dialog's answer would have named.
        FilePath target(o.Output.empty() ? std::string("/dev/stdout") : o.Output);
        if (toFolder) target = FilePath(o.Output) / command.OutputName(fs::path(file).stem().native());
        if (!o.Output.empty()) {
            if (const std::string clash = OutputClash(target, dataFiles, written); !clash.empty()) {
                std::cerr << "kelvara-cli: " << file << ": " << clash << "\n";
                status = 1;
                continue;
            }
            fileOfTarget[target.Native()] = file;
        }
        if (!ConvertOne(o, titles, command, file, target, store)) status = 1;
    }
    for (const auto& failure : batch.Commit()) {
        const auto found = fileOfTarget.find(failure.Path.Native());
        std::cerr << "kelvara-cli: " << (found != fileOfTarget.end() ? found->second : failure.Path.Native())
                  << ": " << ForTerminal(failure.Error) << "\n";
        status = 1;
    }
    return status;
}
