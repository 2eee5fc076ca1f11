#include "cli/FileCommands.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <set>

#include "app/Settings.h"
#include "app/TTRecForm.h"
#include "cli/CliPlatform.h"
#include "cli/OfflineDriver.h"
#include "model/Win1252.h"
#include "reports/AtomicFile.h"
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
    bool Run(TTRecForm& form, CliPlatform& platform, const std::string& target) const override {
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
    bool Run(TTRecForm& form, CliPlatform& platform, const std::string& target) const override {
        platform.PrintedSomething = false;
        (form.*handler_)();
        if (!platform.PrintedSomething) {
            platform.Messages.push_back("Nothing was printed.");
            return false;
        }
        std::string error;
        if (WriteFileAtomically(target, JoinCrLf(platform.Printed), error)) return true;
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

// Loads one data file and runs the command; false with the reason on standard error.
bool ConvertOne(const CliOptions& o, const Titles& titles, const FileCommand& command,
                const std::string& file, const std::string& target) {
    CliPlatform platform(o.Now);
    OfflineDriver driver;
    TTRecForm form(platform, driver);
    // The window takes a command line of three characters or fewer for no file at all.
    const std::string path = file.size() <= 3 && fs::path(file).is_relative() ? "./" + file : file;
    form.FormCreate({Utf8ToWin1252(path)});
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

// Why target must not be written: a data file of this run, or an output this run
// already wrote (two data files of the same name from different folders).
std::string OutputClash(const std::string& target, const std::vector<std::string>& files,
                        std::set<std::string>& written) {
    std::error_code ec;
    for (const auto& file : files)
        if (fs::equivalent(target, file, ec))
            return "the output " + target + " would replace the data file " + file;
    const std::string key = fs::weakly_canonical(target, ec).string();
    if (!written.insert(ec ? target : key).second)
        return "the output " + target +
               " is already taken by an earlier data file of this run; nothing written";
    return {};
}

bool CopyToStandardOutput(const std::string& path) {
    std::string bytes, error;
    if (!ReadWholeFile(path, bytes, error)) {
        std::cerr << "kelvara-cli: " << ForTerminal(error) << "\n";
        return false;
    }
    return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0;
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

int RunFileCommands(const CliOptions& o) {
    const auto command = MakeFileCommand(o.Command);
    std::error_code ec;
    const bool toFolder = !o.Output.empty() && fs::is_directory(o.Output, ec);
    if (o.Files.size() > 1 && !toFolder) {
        std::cerr << "kelvara-cli: several data files need -o naming an existing folder\n";
        return 2;
    }
    Titles titles;
    if (!o.Titles.empty()) {
        std::string text, error;
        if (!ReadWholeFile(o.Titles, text, error)) {
            std::cerr << "kelvara-cli: " << ForTerminal(error) << "\n";
            return 1;
        }
        titles.Given = true;
        titles.Settings = ParseTitlesIni(text, fs::path(o.Titles).parent_path().string() + "/");
        for (const auto& problem : titles.Settings.Problems)
            std::cerr << "kelvara-cli: " << o.Titles << ": warning: " << problem << "\n";
    }

    // Standard output gets the bytes of a file saved in a private folder.
    std::string scratch;
    if (o.Output.empty()) {
        std::string pattern = (fs::temp_directory_path() / "kelvara-cli.XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            std::perror("kelvara-cli: temporary folder");
            return 1;
        }
        scratch = pattern;
    }
    int status = 0;
    std::set<std::string> written;
    for (const auto& file : o.Files) {
        std::string target = o.Output;
        if (toFolder)
            target = (fs::path(o.Output) / command->OutputName(fs::path(file).stem().string())).string();
        if (!scratch.empty()) {
            target = scratch + "/output";
        } else if (const std::string clash = OutputClash(target, o.Files, written); !clash.empty()) {
            std::cerr << "kelvara-cli: " << file << ": " << clash << "\n";
            status = 1;
            continue;
        }
        if (!ConvertOne(o, titles, *command, file, target) ||
            (!scratch.empty() && !CopyToStandardOutput(target)))
            status = 1;
    }
    if (!scratch.empty()) fs::remove_all(scratch, ec);
    return status;
}
