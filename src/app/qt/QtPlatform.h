#pragma once
// The Platform port for the window: Qt's clock, dialogs, clipboard, printer,
// desktop services and the polling timer TRecTimer.
#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/Platform.h"

class QPrinter;
class QWidget;

class QtPlatform : public Platform {
public:
    QtPlatform();
    ~QtPlatform() override;

    // The window shows the form's state through these: syncView before a box
    // or dialog, so the status line is current; refreshView to repaint at once.
    void SetView(QWidget* parent, std::function<void()> syncView, std::function<void()> refreshView);
    // What a TRecTimer tick does (the form's handler, then a sync).
    void SetTimerHandler(std::function<void()> onTick);

    std::uint32_t TickCount() override;
    TDateTime Now() override;
    void Sleep(int milliseconds) override;
    void Beep() override;
    MsgResult MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                         MsgIcon icon, MsgDefault defaultButton = MsgDefault::First) override;
    FilePath DocumentsDir() override;
    std::optional<FilePath> SaveDialog(const FileDialogRequest& request) override;
    std::optional<FilePath> OpenDialog(const FileDialogRequest& request) override;
    void SetClipboardText(const std::string& text) override;
    bool PrintLines(const std::vector<std::string>& lines, std::string& error) override;
    void PrinterSetup() override;
    bool StartProgram(const FilePath& path) override;
    bool RunProgram(const std::vector<std::string>& argv) override;
    bool OpenUrl(const std::string& urlOrFile) override;
    std::string DefaultOpenCommand(const std::string& mimeType) override;
    void Terminate() override;
    FilePath ProgramDir() override;
    char DecimalSeparator() override;
    std::string DateTimeText(TDateTime value) override;
    void SetTimerEnabled(bool enabled) override;
    bool TimerEnabled() override;
    void SetTimerInterval(int milliseconds) override;
    int TimerInterval() override;
    void RefreshNow() override;

    // The program's printer, kept so that the printer chosen in the set-up is
    // the one every print dialog proposes (the chart window's too).
    QPrinter& Printer();

    // True once Terminate was asked for.
    bool TerminateRequested() const { return terminateRequested_; }
    // The session ends (SIGTERM, SIGINT): open boxes and dialogs are closed
    // with their negative answer, later ones answer so at once without
    // showing, and the application quits, also from a box shown before its
    // event loop started.
    void EndSession();
    // The application's event loop, unless Terminate was asked for before it could
    // run: then 0 at once, since a quit delivered inside a box shown before the
    // loop started is lost.
    int RunLoop();

private:
    void Sync();
    QString DialogFolder(const FileDialogRequest& request) const;
    std::optional<FilePath> FileDialog(const FileDialogRequest& request, bool save);

    QElapsedTimer clock_;
    QTimer timer_;
    bool inTick_ = false;
    bool terminateRequested_ = false;
    bool ending_ = false;
    QWidget* parent_ = nullptr;
    std::function<void()> syncView_, refreshView_, onTick_;
    // Kept so the printer chosen in the set-up is the one the print dialog proposes.
    std::unique_ptr<QPrinter> printer_;
};
