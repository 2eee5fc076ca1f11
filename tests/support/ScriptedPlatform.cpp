#include "support/ScriptedPlatform.h"

#include <cstdio>

ScriptedPlatform::ScriptedPlatform() { TryEncodeDateTime(2026, 12, 7, 10, 0, 0, 0, now_); }

void ScriptedPlatform::Advance(int milliseconds) {
    Tick += static_cast<std::uint32_t>(milliseconds);
    now_ += milliseconds / 86400000.0;
}

MsgResult ScriptedPlatform::MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                                       MsgIcon icon) {
    Boxes.push_back({text, caption, buttons, icon});
    if (!BoxAnswers.empty()) {
        const MsgResult answer = BoxAnswers.front();
        BoxAnswers.pop_front();
        return answer;
    }
    return buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
}

std::optional<std::string> ScriptedPlatform::SaveDialog(const FileDialogRequest& request) {
    SaveRequests.push_back(request);
    if (SaveAnswers.empty()) return std::nullopt;
    auto answer = SaveAnswers.front();
    SaveAnswers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedPlatform::OpenDialog(const FileDialogRequest& request) {
    OpenRequests.push_back(request);
    if (OpenAnswers.empty()) return std::nullopt;
    auto answer = OpenAnswers.front();
    OpenAnswers.pop_front();
    return answer;
}

bool ScriptedPlatform::PrintLines(const std::vector<std::string>& lines, std::string& /*error*/) {
    bool ok = true;
    if (!PrintDialogAnswers.empty()) {
        ok = PrintDialogAnswers.front();
        PrintDialogAnswers.pop_front();
    }
    if (ok) Printed.push_back(lines);
    return ok;
}

std::string ScriptedPlatform::DateTimeText(TDateTime value) {
    const DateTimeParts p = DecodeDateTime(value);
    char text[32];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d %02d:%02d:%02d", p.Day, p.Month, p.Year, p.Hour, p.Minute,
                  p.Second);
    return text;
}
