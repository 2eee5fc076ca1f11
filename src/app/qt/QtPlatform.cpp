#include "app/qt/QtPlatform.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPrintDialog>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>
#include <cstdio>

#include "app/qt/ControlBinding.h"
#include "app/qt/PlatformText.h"
#include "app/qt/PrinterSetupDialog.h"
#include "app/qt/TextPrinting.h"
#include "help/XdgAssociations.h"
#include "reports/ReportLines.h"

QtPlatform::QtPlatform() {
    clock_.start();
    timer_.setInterval(50);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        // A tick stops the timer itself, so this only guards against a box
        // inside a tick letting a second tick in.
        if (inTick_ || !onTick_) return;
        inTick_ = true;
        onTick_();
        inTick_ = false;
    });
}

QtPlatform::~QtPlatform() = default;

void QtPlatform::SetView(QWidget* parent, std::function<void()> syncView, std::function<void()> refreshView) {
    parent_ = parent;
    syncView_ = std::move(syncView);
    refreshView_ = std::move(refreshView);
}

void QtPlatform::SetTimerHandler(std::function<void()> onTick) { onTick_ = std::move(onTick); }

void QtPlatform::Sync() {
    if (syncView_) syncView_();
}

std::uint32_t QtPlatform::TickCount() { return static_cast<std::uint32_t>(clock_.elapsed()); }

TDateTime QtPlatform::Now() { return ToTDateTime(QDateTime::currentDateTime()); }

void QtPlatform::Sleep(int milliseconds) {
    QThread::msleep(static_cast<unsigned long>(std::max(0, milliseconds)));
}

void QtPlatform::Beep() { QApplication::beep(); }

namespace {
// The answer of a box closed without a choice (Escape, its close box, the end of the session).
MsgResult NegativeAnswer(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::YesNo:
            return MsgResult::No;
        case MsgButtons::Ok:
            return MsgResult::Ok;
        case MsgButtons::OkCancel:
        case MsgButtons::RetryCancel:
            break;
    }
    return MsgResult::Cancel;
}

// The desktop's documents folder, or the home folder where it has none yet.
QString DocumentsFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

QMessageBox::Icon QtIcon(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::None:
            return QMessageBox::NoIcon;
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::Warning:
        case MsgIcon::Exclamation:
            return QMessageBox::Warning;
        case MsgIcon::Error:
            return QMessageBox::Critical;
        case MsgIcon::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// The buttons in order; the first is the usual default.
std::pair<QMessageBox::StandardButton, QMessageBox::StandardButton> QtButtons(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::Ok:
            return {QMessageBox::Ok, QMessageBox::NoButton};
        case MsgButtons::OkCancel:
            return {QMessageBox::Ok, QMessageBox::Cancel};
        case MsgButtons::YesNo:
            return {QMessageBox::Yes, QMessageBox::No};
        case MsgButtons::RetryCancel:
            return {QMessageBox::Retry, QMessageBox::Cancel};
    }
    return {QMessageBox::Ok, QMessageBox::NoButton};
}
}  // namespace

MsgResult QtPlatform::MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                                 MsgIcon icon, MsgDefault defaultButton) {
    // The session is ending: no box may hold it up any more.
    if (ending_) return NegativeAnswer(buttons);
    Sync();
    QMessageBox box(parent_);
    // Modal to the main window only: the virtual adapter window stays usable, so
    // a device can be swapped while "Remove the programmed device" is up. It
    // changes the bus, never the form, and the tick that shows the box has
    // stopped the timer, so ticks still never nest.
    if (parent_ != nullptr) box.setWindowModality(Qt::WindowModal);
    box.setWindowTitle(ToQString(caption));
    box.setText(MessageBoxText(text));
    box.setIcon(QtIcon(icon));
    const auto [first, second] = QtButtons(buttons);
    box.setStandardButtons(second == QMessageBox::NoButton ? QMessageBox::StandardButtons(first)
                                                           : first | second);
    box.setDefaultButton(defaultButton == MsgDefault::Second && second != QMessageBox::NoButton ? second
                                                                                                : first);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return MsgResult::Yes;
        case QMessageBox::No:
            return MsgResult::No;
        case QMessageBox::Cancel:
            return MsgResult::Cancel;
        case QMessageBox::Ok:
            return MsgResult::Ok;
        case QMessageBox::Retry:
            return MsgResult::Retry;
        default:
            return NegativeAnswer(buttons);
    }
}

QString QtPlatform::DialogFolder(const FileDialogRequest& request) const {
    const QString folder = PathToQString(request.InitialDir);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) return DocumentsFolder();
    return folder;
}

std::optional<FilePath> QtPlatform::FileDialog(const FileDialogRequest& request, bool save) {
    if (ending_) return std::nullopt;
    Sync();
    QFileDialog dialog(parent_, ToQString(request.Title), DialogFolder(request),
                       QtFileFilter(request.Filter));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(ToQString(request.DefaultExt));
    if (const QString selected = SelectedQtFilter(request.Filter, request.FilterIndex); !selected.isEmpty())
        dialog.selectNameFilter(selected);
    if (save && !request.OverwritePrompt) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.FileName.empty()) dialog.selectFile(ToQString(request.FileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    if (ending_) return std::nullopt;
    return PathFromQString(QDir::toNativeSeparators(dialog.selectedFiles().first()));
}

std::optional<FilePath> QtPlatform::SaveDialog(const FileDialogRequest& request) {
    return FileDialog(request, true);
}

std::optional<FilePath> QtPlatform::OpenDialog(const FileDialogRequest& request) {
    return FileDialog(request, false);
}

void QtPlatform::SetClipboardText(const std::string& text) {
    QApplication::clipboard()->setText(ToQString(text));
}

bool QtPlatform::PrintLines(const std::vector<std::string>& lines, std::string& error) {
    if (ending_) return false;
    Sync();
    if (!printer_) printer_ = std::make_unique<QPrinter>();
    QPrintDialog dialog(printer_.get(), parent_);
    if (dialog.exec() != QDialog::Accepted) return false;
    return PrintTextStream(*printer_, lines, error);
}

QPrinter& QtPlatform::Printer() {
    if (!printer_) printer_ = std::make_unique<QPrinter>();
    return *printer_;
}

void QtPlatform::PrinterSetup() {
    if (ending_) return;
    Sync();
    if (!printer_) printer_ = std::make_unique<QPrinter>();
    // One dialog for the printer and the page (Qt's page set-up dialog refuses every
    // printer but a native one, and its print dialog says "Print").
    PrinterSetupDialog setup(*printer_, parent_);
    setup.exec();
}

bool QtPlatform::StartProgram(const FilePath& path) {
    return QProcess::startDetached(PathToQString(path), QStringList());
}

bool QtPlatform::RunProgram(const std::vector<std::string>& argv) {
    if (argv.empty()) return false;
    // File system bytes both ways: a path argument keeps whatever name it has.
    QStringList arguments;
    for (std::size_t i = 1; i < argv.size(); ++i) arguments << QString::fromLocal8Bit(argv[i]);
    if (QProcess::startDetached(QString::fromLocal8Bit(argv[0]), arguments)) return true;
    std::fprintf(stderr, "kelvara: could not start %s\n", argv[0].c_str());
    return false;
}

bool QtPlatform::OpenUrl(const std::string& urlOrFile) {
    const QString text = QString::fromLocal8Bit(urlOrFile);
    const QUrl url = text.startsWith('/') ? QUrl::fromLocalFile(text) : QUrl(text);
    if (QDesktopServices::openUrl(url)) return true;
    std::fprintf(stderr, "kelvara: the desktop could not open %s\n", urlOrFile.c_str());
    return false;
}

std::string QtPlatform::DefaultOpenCommand(const std::string& mimeType) {
    std::string problem;
    const std::string command = XdgAssociations::ForThisDesktop().DefaultOpenCommand(mimeType, problem);
    if (!problem.empty()) std::fprintf(stderr, "kelvara: %s\n", problem.c_str());
    return command;
}

void QtPlatform::Terminate() {
    terminateRequested_ = true;
    // Queued, so the handler that asked runs to its end.
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

void QtPlatform::EndSession() {
    ending_ = true;
    terminateRequested_ = true;
    // Every box and dialog open now gives its negative answer; the code that
    // opened it goes on and, with no more boxes, reaches the end.
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible()) dialog->reject();
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

int QtPlatform::RunLoop() { return terminateRequested_ ? 0 : QApplication::exec(); }

FilePath QtPlatform::DocumentsDir() { return PathFromQString(DocumentsFolder() + "/"); }

FilePath QtPlatform::ProgramDir() { return PathFromQString(QCoreApplication::applicationDirPath() + "/"); }

char QtPlatform::DecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 && point[0].unicode() < 0x80 ? static_cast<char>(point[0].unicode()) : '.';
}

// The fixed form kelvara-cli writes too, so a report or data file saved from the
// window matches the CLI's byte for byte whatever the desktop's locale.
std::string QtPlatform::DateTimeText(TDateTime value) { return FixedDateTimeText(value); }

void QtPlatform::SetTimerEnabled(bool enabled) {
    if (enabled)
        timer_.start();
    else
        timer_.stop();
}

bool QtPlatform::TimerEnabled() { return timer_.isActive(); }

void QtPlatform::SetTimerInterval(int milliseconds) { timer_.setInterval(std::max(1, milliseconds)); }

int QtPlatform::TimerInterval() { return timer_.interval(); }

void QtPlatform::RefreshNow() {
    if (refreshView_) refreshView_();
}
