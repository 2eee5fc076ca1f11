#include "cli/CliPlatform.h"

#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <ctime>
#include <filesystem>
#include <string_view>
#include <thread>

#include "files/FilePath.h"
#include "reports/ReportLines.h"

CliPlatform::CliPlatform(std::optional<TDateTime> fixedNow)
    : fixedNow_(fixedNow), start_(std::chrono::steady_clock::now()) {
    // The user's numeric locale chooses the separator, as it does for the window;
    // formatting itself stays in the C locale.
    if (const char* previous = std::setlocale(LC_NUMERIC, nullptr)) {
        const std::string keep = previous;
        if (std::setlocale(LC_NUMERIC, "")) {
            const char* point = std::localeconv()->decimal_point;
            if (point && point[0] && !point[1]) decimalSeparator_ = point[0];
        }
        std::setlocale(LC_NUMERIC, keep.c_str());
    }
}

std::uint32_t CliPlatform::TickCount() {
    const auto elapsed = std::chrono::steady_clock::now() - start_;
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

TDateTime CliPlatform::Now() {
    if (fixedNow_) return *fixedNow_;
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    TDateTime value = 0;
    TryEncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                      local.tm_sec > 59 ? 59 : local.tm_sec, static_cast<int>(ms), value);
    return value;
}

void CliPlatform::Sleep(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

MsgResult CliPlatform::MessageBox(const std::string& text, const std::string&, MsgButtons buttons,
                                  MsgIcon icon, MsgDefault) {
    // Questions are answered as a user going on would; what reports a problem is kept.
    if (buttons == MsgButtons::Ok || icon == MsgIcon::Error || icon == MsgIcon::Warning)
        Messages.push_back(text);
    return buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
}

std::optional<FilePath> CliPlatform::SaveDialog(const FileDialogRequest&) {
    if (SaveTarget.empty()) return std::nullopt;
    return SaveTarget;
}

bool CliPlatform::PrintLines(const std::vector<std::string>& lines, std::string&) {
    Printed = lines;
    PrintedSomething = true;
    return true;
}

FilePath CliPlatform::ProgramDir() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return FilePath(std::string("./"));
    return FilePath(exe.parent_path().native() + "/");
}

std::string CliPlatform::DateTimeText(TDateTime value) { return FixedDateTimeText(value); }

std::string ForTerminal(const std::string& text) {
    std::string line;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find('\r', start), text.size());
        const std::string part = text.substr(start, end - start);
        start = end + 1;
        if (part.empty()) continue;
        if (!line.empty())
            line += std::string_view(".:!?").find(line.back()) != std::string_view::npos ? " " : ". ";
        line += part;
    }
    return ShownTextToUtf8(line);
}
