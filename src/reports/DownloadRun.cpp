#include "reports/DownloadRun.h"

#include "app/TTRecForm.h"

std::string RunDownloadCycle(TTRecForm& form, int timeoutMs) {
    Platform& platform = form.platform;
    const std::uint32_t start = platform.TickCount();
    bool readPressed = false;
    while (static_cast<int>(platform.TickCount() - start) < timeoutMs) {
        form.TRecTimerTimer();
        if (form.menuSaveData1.Enabled) return {};
        const bool waiting = form.PollState == Poll::Search || form.PollState == Poll::Idle ||
                             form.PollState == Poll::ClockRefresh;
        if (form.PollState == Poll::Idle && form.RecTab.PageIndex == 0 && !form.MissionRunning) {
            // An ended mission waits for "Read Data"; without samples there is nothing to read.
            if (!form.ReadButton.Enabled) return "The DS1921 holds no mission samples to download.";
            if (readPressed) return "The download did not complete.";
            form.ReadButtonClick();
            readPressed = true;
            continue;
        }
        if (waiting) platform.Sleep(form.PollState == Poll::Search ? 50 : 1);
    }
    if (form.AwaitingDevice) return "No DS1921 iButton was found on the adapter.";
    return "The download did not complete in time; last status:" + form.Status.Caption;
}
