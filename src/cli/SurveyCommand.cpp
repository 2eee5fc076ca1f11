#include <sys/stat.h>

#include <iostream>

#include "cli/ClassCommands.h"
#include "cli/CliPlatform.h"
#include "files/FileStore.h"
#include "reports/LogTable.h"
#include "reports/Survey.h"

namespace {
struct SurveyOptions {
    std::vector<FilePath> Files;
    FilePath Output;
    TempScale Scale = TempScale::Celsius;
    bool Text = false;  // survey --format text
    bool Wide = false;  // table --wide
    std::string Error;
};

SurveyOptions ParseSurveyOptions(const std::string& command, const std::vector<std::string>& args) {
    SurveyOptions o;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            o.Files.emplace_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "-o" || arg == "--output") {
            if (i + 1 >= args.size() || args[i + 1].empty())
                o.Error = arg + " needs a path";
            else
                o.Output = FilePath(args[++i]);
        } else if (arg == "--fahrenheit") {
            o.Scale = TempScale::Fahrenheit;
        } else if (arg == "--format" && command == "survey") {
            const std::string format = i + 1 < args.size() ? args[++i] : "";
            if (format == "text")
                o.Text = true;
            else if (format != "csv")
                o.Error = "--format takes csv or text";
        } else if (arg == "--wide" && command == "table") {
            o.Wide = true;
        } else {
            o.Error = "unknown option " + arg + " for " + command;
        }
        if (!o.Error.empty()) return o;
    }
    if (o.Files.empty()) o.Error = command + " needs data files";
    return o;
}

// An output that is one of the data files would lose it.
std::string OutputProblem(const SurveyOptions& o) {
    struct stat target {};
    if (o.Output.empty() || ::stat(o.Output.c_str(), &target) != 0) return {};
    for (const FilePath& file : o.Files)
        if (struct stat data{};
            ::stat(file.c_str(), &data) == 0 && data.st_dev == target.st_dev && data.st_ino == target.st_ino)
            return "the output " + o.Output.Native() + " is the data file " + file.Native() +
                   "; nothing written";
    return {};
}

int Write(const SurveyOptions& o, const std::string& command, const std::string& bytes, std::ostream& out,
          std::ostream& err) {
    if (o.Output.empty()) {
        out << bytes;
        out.flush();
        return out ? 0 : 1;
    }
    std::string error;
    if (!DiskFileStore().Save(o.Output, bytes, error)) {
        err << "kelvara-cli: " << command << ": " << ForTerminal(error) << "\n";
        return 1;
    }
    return 0;
}

int Run(const std::string& command, const std::vector<std::string>& args, std::ostream& out,
        std::ostream& err) {
    const SurveyOptions o = ParseSurveyOptions(command, args);
    if (!o.Error.empty()) {
        err << "kelvara-cli: " << o.Error << "\n\n" << ClassCommandsUsage();
        return 2;
    }
    if (const std::string problem = OutputProblem(o); !problem.empty()) {
        err << "kelvara-cli: " << command << ": " << problem << "\n";
        return 1;
    }
    const bool table = command == "table";
    const std::vector<SurveyRow> rows = SurveyDataFiles(o.Files, table);
    if (!table)
        return Write(o, command, o.Text ? SurveyText(rows, o.Scale) : SurveyCsv(rows, o.Scale), out, err);

    // The table has no notes column: what was left out is said here.
    int status = 0;
    for (const SurveyRow& row : rows) {
        if (row.Readable) continue;
        err << "kelvara-cli: table: " << row.Notes.front() << " (" << row.File << ")\n";
        status = 1;
    }
    const int written =
        Write(o, command, o.Wide ? WideTableCsv(rows, o.Scale) : LongTableCsv(rows, o.Scale), out, err);
    return written != 0 ? written : status;
}
}  // namespace

int RunSurveyCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return Run("survey", args, out, err);
}

int RunTableCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return Run("table", args, out, err);
}
