#include "reports/DownloadRun.h"

#include "app/TTRecForm.h"

std::string RunDownloadCycle(TTRecForm& form, int searchMs, int totalMs, const std::function<bool()>& stop) {
    Platform& platform = form.platform;
    const std::uint32_t start = platform.TickCount();
    bool readPressed = false;
    const std::string noDevice = "No DS1921 iButton was found on the adapter.";
    for (;;) {
        const auto elapsed = static_cast<std::int64_t>(platform.TickCount() - start);
        if (elapsed >= totalMs) break;
        if (form.AwaitingDevice && elapsed >= searchMs) return noDevice;
        if (stop()) return "The download was stopped.";
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
    if (form.AwaitingDevice) return noDevice;
    return "The download did not complete in time; last status:" + form.Status.Caption;
}
