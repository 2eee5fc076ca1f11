#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "app/qt/QtPlatform.h"

namespace {
struct SeenBox {
    QString title, text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Answers the next message box with `answer` once it is up, recording what it showed.
void AnswerNextBox(SeenBox& seen, QMessageBox::StandardButton answer) {
    QTimer::singleShot(0, [&seen, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = {box->windowTitle(), box->text(), box->standardButtons(), box->icon()};
        box->button(answer)->click();
    });
}
}  // namespace

TEST(QtPlatform, MessageBoxShowsCaptionLinesButtonsAndIconAndReturnsTheAnswer) {
    QtPlatform platform;
    int syncs = 0;
    platform.SetView(
        nullptr, [&syncs] { ++syncs; }, nullptr);
    SeenBox seen;
    AnswerNextBox(seen, QMessageBox::No);
    EXPECT_EQ(platform.MessageBox("Do you want to stop the current mission?\r\rStop the mission now?",
                                  "Kelvara", MsgButtons::YesNo, MsgIcon::Warning),
              MsgResult::No);
    EXPECT_EQ(syncs, 1);  // the status line is brought up to date first
    EXPECT_EQ(seen.title, QStringLiteral("Kelvara"));
    EXPECT_EQ(seen.text, QStringLiteral("Do you want to stop the current mission?\n\nStop the mission now?"));
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(seen.icon, QMessageBox::Warning);

    AnswerNextBox(seen, QMessageBox::Cancel);
    EXPECT_EQ(platform.MessageBox("Abandon?", "Kelvara", MsgButtons::OkCancel, MsgIcon::Exclamation),
              MsgResult::Cancel);
    AnswerNextBox(seen, QMessageBox::Ok);
    EXPECT_EQ(platform.MessageBox("Saved", "Kelvara", MsgButtons::Ok, MsgIcon::Error), MsgResult::Ok);
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
}

TEST(QtPlatform, ABoxIsModalToTheMainWindowOnlyAndEnterTakesTheDefaultAnswer) {
    QtPlatform platform;
    QWidget main;
    platform.SetView(&main, nullptr, nullptr);
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        // Not application-modal: a window of its own (the virtual adapter's) stays usable.
        EXPECT_EQ(box->windowModality(), Qt::WindowModal);
        defaultButton = box->standardButton(box->defaultButton());
        box->defaultButton()->click();
    });
    EXPECT_EQ(platform.MessageBox("Stop the mission now?", "Kelvara", MsgButtons::YesNo, MsgIcon::Warning,
                                  MsgDefault::Second),
              MsgResult::No);
    EXPECT_EQ(defaultButton, QMessageBox::No);

    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Retry | QMessageBox::Cancel);
        defaultButton = box->standardButton(box->defaultButton());
        box->defaultButton()->click();
    });
    EXPECT_EQ(platform.MessageBox("Still in place", "Kelvara", MsgButtons::RetryCancel, MsgIcon::Warning),
              MsgResult::Retry);
    EXPECT_EQ(defaultButton, QMessageBox::Retry);
}

TEST(QtPlatform, TimerTicksRunTheHandlerUntilItStopsTheTimer) {
    QtPlatform platform;
    int ticks = 0;
    QEventLoop loop;
    platform.SetTimerHandler([&] {
        if (++ticks == 3) {
            platform.SetTimerEnabled(false);
            loop.quit();
        }
    });
    platform.SetTimerInterval(5);
    EXPECT_EQ(platform.TimerInterval(), 5);
    platform.SetTimerEnabled(true);
    EXPECT_TRUE(platform.TimerEnabled());
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(platform.TimerEnabled());
}

TEST(QtPlatform, TerminateAskedBeforeTheLoopRunsEndsItAtOnce) {
    QtPlatform platform;
    platform.Terminate();
    bool timedOut = false;
    QTimer guard;  // destroyed with the test, so it cannot end a later test's loop
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&timedOut] {
        timedOut = true;
        QCoreApplication::exit(1);
    });
    guard.start(5000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(timedOut);
}

// A box shown before the loop runs delivers the queued quit to its own loop, where
// it is lost; the program must end all the same.
TEST(QtPlatform, TerminateAskedBeforeABoxAndTheLoopStillEndsTheProgram) {
    QtPlatform platform;
    EXPECT_FALSE(platform.TerminateRequested());
    platform.Terminate();
    EXPECT_TRUE(platform.TerminateRequested());
    {
        QEventLoop box;
        QTimer::singleShot(50, &box, &QEventLoop::quit);
        box.exec();
    }
    bool timedOut = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&timedOut] {
        timedOut = true;
        QCoreApplication::exit(1);
    });
    guard.start(2000);
    EXPECT_EQ(platform.RunLoop(), 0);
    EXPECT_FALSE(timedOut);
}

TEST(QtPlatform, ClipboardTicksAndProgramFolder) {
    QtPlatform platform;
    platform.SetClipboardText(
        "23.500\xB0"
        "C");
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("23.500\u00B0C"));
    const std::uint32_t first = platform.TickCount();
    platform.Sleep(20);
    EXPECT_GE(platform.TickCount() - first, 20u);
    EXPECT_EQ(platform.ProgramDir().Native().back(), '/');
    EXPECT_GT(platform.Now(), 40000.0);
}

// The end of the session (SIGTERM, SIGINT) closes a box shown before the event
// loop ran, with its negative answer, and no later box or dialog holds the end up.
TEST(QtPlatform, TheEndOfTheSessionClosesOpenBoxesAndAnswersLaterOnesAtOnce) {
    QtPlatform platform;
    bool closedByEnd = false;
    QTimer::singleShot(100, [&] {
        closedByEnd = QApplication::activeModalWidget() != nullptr;
        platform.EndSession();
    });
    EXPECT_EQ(platform.MessageBox("Titles.ini has entries that could not be used:", "Kelvara",
                                  MsgButtons::YesNo, MsgIcon::Warning),
              MsgResult::No);
    EXPECT_TRUE(closedByEnd);
    EXPECT_TRUE(platform.TerminateRequested());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(platform.MessageBox("later", "Kelvara", MsgButtons::Ok, MsgIcon::Error), MsgResult::Ok);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(platform.SaveDialog(FileDialogRequest{}).has_value());
    EXPECT_FALSE(platform.OpenDialog(FileDialogRequest{}).has_value());
    EXPECT_EQ(platform.RunLoop(), 0);
}

TEST(QtPlatform, RunProgramPassesEachArgumentWholeWithoutAShell) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("kelvara-run-" + std::to_string(::getpid()));
    fs::create_directories(dir / "My Folder");
    const fs::path out = dir / "My Folder" / "argument";
    QtPlatform platform;
    // A shell would split the blanks and expand the $ and the quote; a program gets them as they stand.
    const std::string odd = "/opt/Kelvara Data/QRT417.pdf 'x' $HOME";
    ASSERT_TRUE(platform.RunProgram({"/bin/sh", "-c", "printf %s \"$1\" > \"$2\"", "sh", odd, out.string()}));
    for (int i = 0; i < 200 && !fs::exists(out); ++i) QThread::msleep(10);
    QThread::msleep(50);
    std::ifstream file(out);
    const std::string written((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(written, odd);
    EXPECT_FALSE(platform.RunProgram({(dir / "no such viewer").string(), "x"}));
    EXPECT_FALSE(platform.RunProgram({}));
    fs::remove_all(dir);
}
