#pragma once
// A do-nothing platform with a manual clock for the benchmarks.
#include "app/Platform.h"

class BenchPlatform : public Platform {
public:
    std::uint32_t Tick = 1000000;
    TDateTime Time = 38051.6;  // 05/03/2004 14:24
    int Interval = 50;
    bool TimerOn = false;

    std::uint32_t TickCount() override { return Tick; }
    TDateTime Now() override { return Time; }
    void Sleep(int milliseconds) override { Tick += milliseconds; }
    void Beep() override {}
    MsgResult MessageBox(const std::string&, const std::string&, MsgButtons, MsgIcon, MsgDefault) override {
        return MsgResult::Ok;
    }
    std::optional<FilePath> SaveDialog(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<FilePath> OpenDialog(const FileDialogRequest&) override { return std::nullopt; }
    void SetClipboardText(const std::string&) override {}
    bool PrintLines(const std::vector<std::string>&, std::string&) override { return false; }
    void PrinterSetup() override {}
    bool StartProgram(const FilePath&) override { return false; }
    bool RunProgram(const std::vector<std::string>&) override { return false; }
    bool OpenUrl(const std::string&) override { return false; }
    std::string DefaultOpenCommand(const std::string&) override { return {}; }
    void Terminate() override {}
    FilePath ProgramDir() override { return FilePath(std::string("/nonexistent/")); }
    char DecimalSeparator() override { return '.'; }
    std::string DateTimeText(TDateTime) override { return {}; }
    void SetTimerEnabled(bool enabled) override { TimerOn = enabled; }
    bool TimerEnabled() override { return TimerOn; }
    void SetTimerInterval(int milliseconds) override { Interval = milliseconds; }
    int TimerInterval() override { return Interval; }
    void RefreshNow() override {}
};
