#include "help/HelpLinks.h"

#include <array>

#include "device/tmex/TmexApi.h"
#include "help/ProgramAssociation.h"

std::string HomePageUrl() { return std::string(kWebServer) + "/"; }
std::string ProductPageUrl() { return std::string(kWebServer) + "/detail.asp?prodname=Kelvara&quick=1"; }
std::string SupportPageUrl() { return std::string(kWebServer) + "/forum/"; }

FilePath ManualPath(const FilePath& programDir) { return programDir / kManualFileName; }

std::vector<std::string> ManualCommand(const std::string& viewer, const FilePath& programDir) {
    const std::string manual = ManualPath(programDir).Native();
    if (viewer.empty()) return {manual};
    return ProgramCommand(viewer, {manual});
}

namespace {
// The driver fills a zero-terminated text; a missing terminator must not run past the buffer.
std::string BufferText(const std::array<char, 257>& buffer) {
    std::size_t length = 0;
    while (length + 1 < buffer.size() && buffer[length] != '\0') ++length;
    return std::string(buffer.data(), length);
}
}  // namespace

std::vector<std::string> DriverVersionLines(TmexApi& driver) {
    std::vector<std::string> lines;
    std::array<char, 257> buffer{};
    driver.Get_Version(buffer.data());
    lines.push_back("Main Driver: " + BufferText(buffer));
    for (std::int16_t type = 0; type <= 15; ++type) {
        buffer.fill('\0');
        if (driver.TMGetTypeVersion(type, buffer.data()) > 0)
            lines.push_back("Type " + std::to_string(type) + ": " + BufferText(buffer));
    }
    return lines;
}
