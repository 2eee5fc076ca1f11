#include "help/ProgramAssociation.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>

#include "app/Platform.h"

std::vector<std::string> MimeTypesForExtension(const std::string& extension) {
    std::string upper = extension;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return std::toupper(c); });
    // A browser is the handler of web addresses first; text/html may be an editor's.
    if (upper == "HTM" || upper == "HTML") return {"x-scheme-handler/https", "text/html"};
    if (upper == "PDF") return {"application/pdf"};
    if (upper == "TXT") return {"text/plain"};
    if (upper == "CSV") return {"text/csv"};
    if (upper == "DMP") return {"application/x-kelvara-data"};
    return {};
}

std::string CleanOpenCommand(std::string command) {
    if (const auto percent = command.find('%'); percent != std::string::npos) command.erase(percent);
    if (!command.empty() && command.front() == '"') command.erase(0, 1);
    if (const auto quote = command.find('"'); quote != std::string::npos) command.erase(quote);
    while (!command.empty() && command.back() == ' ') command.pop_back();
    return command;
}

std::string GetProgramAssociation(Platform& platform, const std::string& extension) {
    for (const std::string& mimeType : MimeTypesForExtension(extension)) {
        const std::string program = CleanOpenCommand(platform.DefaultOpenCommand(mimeType));
        if (!program.empty()) return program;
    }
    return {};
}

std::vector<std::string> ProgramCommand(const std::string& program,
                                        const std::vector<std::string>& arguments) {
    std::vector<std::string> argv;
    std::error_code error;
    if (program.find(' ') == std::string::npos || std::filesystem::is_regular_file(program, error)) {
        argv.push_back(program);
    } else {
        std::istringstream words(program);
        for (std::string word; words >> word;) argv.push_back(word);
    }
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return argv;
}
