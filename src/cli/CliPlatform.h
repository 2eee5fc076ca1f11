#pragma once
// The Platform for the command line: no windows. Questions are answered Yes
// (the unit question included), the save dialog by the chosen target, prints
// are collected as lines, and messages meant for the user are kept so the
// command can report them on standard error.
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "app/Platform.h"

class CliPlatform : public Platform {
public:
    explicit CliPlatform(std::optional<TDateTime> fixedNow = std::nullopt);

    FilePath SaveTarget;                // what the save dialog answers; empty: cancel
    std::vector<std::string> Messages;  // texts of the boxes that report something
    std::vector<std::string> Printed;   // lines of the last print
    bool PrintedSomething = false;
    std::string Clipboard;
    bool Terminated = false;

    std::uint32_t TickCount() override;
    TDateTime Now() override;
    void Sleep(int milliseconds) override;
    void Beep() override {}
    MsgResult MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                         MsgIcon icon, MsgDefault defaultButton = MsgDefault::First) override;
    std::optional<FilePath> SaveDialog(const FileDialogRequest& request) override;
    std::optional<FilePath> OpenDialog(const FileDialogRequest&) override { return std::nullopt; }
    void SetClipboardText(const std::string& text) override { Clipboard = text; }
    bool PrintLines(const std::vector<std::string>& lines, std::string& error) override;
    void PrinterSetup() override {}
    bool StartProgram(const FilePath&) override { return false; }
    bool RunProgram(const std::vector<std::string>&) override { return false; }
    bool OpenUrl(const std::string&) override { return false; }
    std::string DefaultOpenCommand(const std::string&) override { return {}; }
    void Terminate() override { Terminated = true; }
    FilePath ProgramDir() override;
    char DecimalSeparator() override { return decimalSeparator_; }
    std::string DateTimeText(TDateTime value) override;
    void SetTimerEnabled(bool enabled) override { timerEnabled_ = enabled; }
    bool TimerEnabled() override { return timerEnabled_; }
    void SetTimerInterval(int milliseconds) override { timerInterval_ = milliseconds; }
    int TimerInterval() override { return timerInterval_; }
    void RefreshNow() override {}

private:
    std::optional<TDateTime> fixedNow_;
    std::chrono::steady_clock::time_point start_;
    char decimalSeparator_ = '.';
    bool timerEnabled_ = false;
    int timerInterval_ = 50;
};

// A message box text for a terminal, in one line: its lines joined, shown
// paths as the file system names them, the rest converted to UTF-8.
std::string ForTerminal(const std::string& text);
