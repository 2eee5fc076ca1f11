#pragma once
// The one interface through which the core reaches the outside world. Qt
// implements it for the window, tests script it, the CLI answers from options.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "files/FilePath.h"
#include "model/DateTime.h"

enum class MsgButtons { Ok, OkCancel, YesNo, RetryCancel };
enum class MsgIcon { None, Information, Warning, Exclamation, Error, Question };
enum class MsgResult { Ok, Cancel, Yes, No, Retry };
// The button Enter presses. A box whose first answer destroys data makes the
// second (No, Cancel) the default, so a stray Enter loses nothing.
enum class MsgDefault { First, Second };

// The shared save dialog and the open dialog take one request each.
struct FileDialogRequest {
    std::string Title;
    std::string FileName;    // proposed name, without folder
    std::string DefaultExt;  // without the dot
    std::string Filter;      // "Text File (txt)|*.txt"
    int FilterIndex = 1;
    FilePath InitialDir;
    bool OverwritePrompt = false;
    bool PathMustExist = false;
};

class Platform {
public:
    virtual ~Platform() = default;

    virtual std::uint32_t TickCount() = 0;  // milliseconds, wraps like a 32-bit tick
    virtual TDateTime Now() = 0;            // local time
    virtual void Sleep(int milliseconds) = 0;
    virtual void Beep() = 0;

    // Lines inside text are separated by a single carriage return.
    virtual MsgResult MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                                 MsgIcon icon, MsgDefault defaultButton = MsgDefault::First) = 0;
    // The chosen file as the file system names it; nothing when cancelled.
    virtual std::optional<FilePath> SaveDialog(const FileDialogRequest& request) = 0;
    virtual std::optional<FilePath> OpenDialog(const FileDialogRequest& request) = 0;

    virtual void SetClipboardText(const std::string& text) = 0;
    // Shows the print dialog and prints the lines as a plain text stream.
    // Returns false when the user cancelled; a printer error fills error.
    virtual bool PrintLines(const std::vector<std::string>& lines, std::string& error) = 0;
    virtual void PrinterSetup() = 0;

    virtual bool StartProgram(const FilePath& path) = 0;
    // Starts argv[0] with the rest as its arguments, each passed as it stands
    // (no shell, so blanks and quotes in a path need no quoting).
    virtual bool RunProgram(const std::vector<std::string>& argv) = 0;
    // The desktop's launcher: a web address in the browser, a file in its viewer.
    virtual bool OpenUrl(const std::string& urlOrFile) = 0;
    // The command line (Exec) of the desktop's default application for the MIME
    // type, as its entry writes it; empty when none is set or it cannot be read.
    virtual std::string DefaultOpenCommand(const std::string& mimeType) = 0;
    virtual void Terminate() = 0;       // ask the application to end after the current handler
    virtual FilePath ProgramDir() = 0;  // folder of the program, with trailing separator
    // The user's documents folder as the desktop names it; empty where there is none.
    virtual FilePath DocumentsDir() { return {}; }

    virtual char DecimalSeparator() = 0;
    virtual std::string DateTimeText(TDateTime value) = 0;  // short date + long time

    // The polling timer TRecTimer.
    virtual void SetTimerEnabled(bool enabled) = 0;
    virtual bool TimerEnabled() = 0;
    virtual void SetTimerInterval(int milliseconds) = 0;
    virtual int TimerInterval() = 0;

    // Show the current control state at once, while a blocking call runs
    // (the adapter light during a driver session).
    virtual void RefreshNow() = 0;
};
