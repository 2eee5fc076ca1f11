#include "support/ScriptedPlatform.h"

#include <utility>

#include "reports/ReportLines.h"

namespace {
// The next scripted answer, or the default when the script has run out.
template <typename T>
T TakeAnswer(std::deque<T>& answers, T otherwise) {
    if (answers.empty()) return otherwise;
    T answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}
}  // namespace

ScriptedPlatform::ScriptedPlatform() { TryEncodeDateTime(2026, 12, 7, 10, 0, 0, 0, now_); }

void ScriptedPlatform::Advance(int milliseconds) {
    Tick += static_cast<std::uint32_t>(milliseconds);
    now_ += milliseconds / 86400000.0;
}

MsgResult ScriptedPlatform::MessageBox(const std::string& text, const std::string& caption,
                                       MsgButtons buttons, MsgIcon icon, MsgDefault defaultButton) {
    Boxes.push_back({text, caption, buttons, icon, defaultButton});
    return TakeAnswer(BoxAnswers, buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok);
}

namespace {
std::optional<FilePath> AsPath(const std::optional<std::string>& answer) {
    if (!answer) return std::nullopt;
    return FilePath(*answer);
}
}  // namespace

std::optional<FilePath> ScriptedPlatform::SaveDialog(const FileDialogRequest& request) {
    SaveRequests.push_back(request);
    return AsPath(TakeAnswer(SaveAnswers, std::optional<std::string>()));
}

std::optional<FilePath> ScriptedPlatform::OpenDialog(const FileDialogRequest& request) {
    OpenRequests.push_back(request);
    return AsPath(TakeAnswer(OpenAnswers, std::optional<std::string>()));
}

bool ScriptedPlatform::PrintLines(const std::vector<std::string>& lines, std::string& /*error*/) {
    const bool ok = TakeAnswer(PrintDialogAnswers, true);
    if (ok) Printed.push_back(lines);
    return ok;
}

std::string ScriptedPlatform::DateTimeText(TDateTime value) { return FixedDateTimeText(value); }
