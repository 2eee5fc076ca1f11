#pragma once
// A platform that hands everything to another one except the message boxes,
// which a command answers itself: it is told each box and says the answer.
#include <functional>
#include <string>

#include "app/Platform.h"

class BoxAnsweringPlatform : public Platform {
public:
    using Answer = std::function<MsgResult(const std::string& text, MsgButtons buttons, MsgIcon icon)>;
    BoxAnsweringPlatform(Platform& inner, Answer answer) : inner_(inner), answer_(std::move(answer)) {}

    MsgResult MessageBox(const std::string& text, const std::string&, MsgButtons buttons, MsgIcon icon,
                         MsgDefault) override {
        return answer_(text, buttons, icon);
    }
    std::uint32_t TickCount() override { return inner_.TickCount(); }
    TDateTime Now() override { return inner_.Now(); }
    void Sleep(int milliseconds) override { inner_.Sleep(milliseconds); }
    void Beep() override {}
    std::optional<FilePath> SaveDialog(const FileDialogRequest& r) override { return inner_.SaveDialog(r); }
    std::optional<FilePath> OpenDialog(const FileDialogRequest& r) override { return inner_.OpenDialog(r); }
    void SetClipboardText(const std::string& text) override { inner_.SetClipboardText(text); }
    bool PrintLines(const std::vector<std::string>& lines, std::string& error) override {
        return inner_.PrintLines(lines, error);
    }
    void PrinterSetup() override { inner_.PrinterSetup(); }
    bool StartProgram(const FilePath& path) override { return inner_.StartProgram(path); }
    bool RunProgram(const std::vector<std::string>& argv) override { return inner_.RunProgram(argv); }
    bool OpenUrl(const std::string& url) override { return inner_.OpenUrl(url); }
    std::string DefaultOpenCommand(const std::string& mimeType) override {
        return inner_.DefaultOpenCommand(mimeType);
    }
    void Terminate() override {
        terminated_ = true;
        inner_.Terminate();
    }
    bool Terminated() const { return terminated_; }
    void ClearTerminated() { terminated_ = false; }
    FilePath ProgramDir() override { return inner_.ProgramDir(); }
    FilePath DocumentsDir() override { return inner_.DocumentsDir(); }
    char DecimalSeparator() override { return inner_.DecimalSeparator(); }
    std::string DateTimeText(TDateTime value) override { return inner_.DateTimeText(value); }
    void SetTimerEnabled(bool enabled) override { inner_.SetTimerEnabled(enabled); }
    bool TimerEnabled() override { return inner_.TimerEnabled(); }
    void SetTimerInterval(int milliseconds) override { inner_.SetTimerInterval(milliseconds); }
    int TimerInterval() override { return inner_.TimerInterval(); }
    void RefreshNow() override { inner_.RefreshNow(); }

private:
    Platform& inner_;
    Answer answer_;
    bool terminated_ = false;
};
