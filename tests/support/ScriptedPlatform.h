#pragma once
// A Platform for tests: message boxes answered from a queue and recorded,
// a manual clock, and a record of beeps, programs, timer, clipboard and prints.
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/Platform.h"

struct ShownBox {
    std::string Text;
    std::string Caption;
    MsgButtons Buttons;
    MsgIcon Icon;
    MsgDefault Default = MsgDefault::First;
};

class ScriptedPlatform : public Platform {
public:
    ScriptedPlatform();

    // Manual clock: both the tick count and local time move together.
    void Advance(int milliseconds);
    void SetNow(TDateTime localTime) { now_ = localTime; }

    // Answers for the next boxes; with none queued a box is answered with
    // its first button (OK or Yes).
    std::deque<MsgResult> BoxAnswers;
    std::vector<ShownBox> Boxes;
    // The chosen files, as the file system names them.
    std::deque<std::optional<std::string>> SaveAnswers, OpenAnswers;
    std::vector<FileDialogRequest> SaveRequests, OpenRequests;
    int Beeps = 0;
    std::vector<std::string> StartedPrograms, OpenedUrls;
    std::vector<std::vector<std::string>> RunCommands;
    bool RunAnswer = true;  // what RunProgram reports
    // The desktop's default application commands by MIME type.
    std::map<std::string, std::string> OpenCommands;
    std::vector<std::string> AskedMimeTypes;
    bool Terminated = false;
    std::string Clipboard;
    std::vector<std::vector<std::string>> Printed;
    std::deque<bool> PrintDialogAnswers;  // true: OK; none queued: OK
    int PrinterSetups = 0;
    int Refreshes = 0;
    char Separator = '.';
    std::string Dir = "/opt/kelvara/";  // the file system's bytes
    std::string Documents = "/home/pupil/Documents";
    std::uint32_t Tick = 1000000;

    std::uint32_t TickCount() override { return Tick; }
    TDateTime Now() override { return now_; }
    void Sleep(int milliseconds) override { Advance(milliseconds); }
    void Beep() override { ++Beeps; }
    MsgResult MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                         MsgIcon icon, MsgDefault defaultButton = MsgDefault::First) override;
    std::optional<FilePath> SaveDialog(const FileDialogRequest& request) override;
    std::optional<FilePath> OpenDialog(const FileDialogRequest& request) override;
    void SetClipboardText(const std::string& text) override { Clipboard = text; }
    bool PrintLines(const std::vector<std::string>& lines, std::string& error) override;
    void PrinterSetup() override { ++PrinterSetups; }
    bool StartProgram(const FilePath& path) override {
        StartedPrograms.push_back(path.Native());
        return true;
    }
    bool RunProgram(const std::vector<std::string>& argv) override {
        RunCommands.push_back(argv);
        return RunAnswer;
    }
    bool OpenUrl(const std::string& url) override {
        OpenedUrls.push_back(url);
        return true;
    }
    std::string DefaultOpenCommand(const std::string& mimeType) override {
        AskedMimeTypes.push_back(mimeType);
        const auto found = OpenCommands.find(mimeType);
        return found == OpenCommands.end() ? std::string() : found->second;
    }
    void Terminate() override { Terminated = true; }
    FilePath ProgramDir() override { return FilePath(Dir); }
    FilePath DocumentsDir() override { return FilePath(Documents); }
    char DecimalSeparator() override { return Separator; }
    std::string DateTimeText(TDateTime value) override;  // dd/mm/yyyy hh:mm:ss
    void SetTimerEnabled(bool enabled) override { TimerOn = enabled; }
    bool TimerEnabled() override { return TimerOn; }
    void SetTimerInterval(int milliseconds) override { Interval = milliseconds; }
    int TimerInterval() override { return Interval; }
    void RefreshNow() override { ++Refreshes; }

    bool TimerOn = false;
    int Interval = 0;

private:
    TDateTime now_;
};
