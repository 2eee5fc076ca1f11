#pragma once
// A Platform that answers everything at once and remembers nothing, so a
// fuzz target can drive the form without a window or files.
#include "app/Platform.h"
#include "reports/ReportLines.h"

class FuzzPlatform : public Platform {
public:
    std::uint32_t TickCount() override { return ++tick; }
    TDateTime Now() override { return 46363.5; }
    void Sleep(int) override {}
    void Beep() override {}
    MsgResult MessageBox(const std::string&, const std::string&, MsgButtons buttons, MsgIcon,
                         MsgDefault) override {
        return buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
    }
    std::optional<FilePath> SaveDialog(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<FilePath> OpenDialog(const FileDialogRequest&) override { return std::nullopt; }
    void SetClipboardText(const std::string& text) override { clipboard = text; }
    bool PrintLines(const std::vector<std::string>& lines, std::string&) override {
        printed = lines.size();
        return true;
    }
    void PrinterSetup() override {}
    bool StartProgram(const FilePath&) override { return false; }
    bool RunProgram(const std::vector<std::string>&) override { return false; }
    bool OpenUrl(const std::string&) override { return false; }
    std::string DefaultOpenCommand(const std::string&) override { return {}; }
    void Terminate() override {}
    FilePath ProgramDir() override { return FilePath("/nonexistent/"); }
    char DecimalSeparator() override { return ','; }
    std::string DateTimeText(TDateTime value) override { return FixedDateTimeText(value); }
    void SetTimerEnabled(bool enabled) override { timer = enabled; }
    bool TimerEnabled() override { return timer; }
    void SetTimerInterval(int) override {}
    int TimerInterval() override { return 50; }
    void RefreshNow() override {}

    std::string clipboard;
    std::size_t printed = 0;

private:
    std::uint32_t tick = 0;
    bool timer = false;
};
