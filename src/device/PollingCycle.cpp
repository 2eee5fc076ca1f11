#include <algorithm>
#include <array>

#include "app/TTRecForm.h"
#include "device/JobSession.h"

namespace {
constexpr int kFastInterval = 50;
constexpr int kIdleInterval = 500;
constexpr int kLogFirstPage = 128, kLogLastPage = 191;

struct DownloadStep {
    std::int16_t State;
    const char* Label;         // before the read and after a failure
    const char* SuccessLabel;  // after a good read
    const char* BoxMessage;
    int FirstPage, LastPage;    // LastPage of the log depends on the sample count
    void (TTRecForm::*Show)();  // after the last page; none for the log, which ends the download
};

constexpr std::array<DownloadStep, 4> kDownloadSteps{{
    {Poll::AlarmPages, "Read Alarm page: ", "Read Alarm page: ", "Error reading temperature alarm page (", 17,
     19, &TTRecForm::UpdateAlarms},
    {Poll::UserPages, "Read user page: ", "Read User page: ", "Error reading user page (", 0, 15,
     &TTRecForm::UpdateUser},
    {Poll::HistogramPages, "Read Histogram page: ", "Read Histogram page: ", "Error reading histogram page (",
     64, 67, &TTRecForm::UpdateHistogram},
    {Poll::LogPages, "Read Log page: ", "Read Log page: ", "Error reading log page (", kLogFirstPage,
     kLogLastPage, nullptr},
}};

const DownloadStep* FindDownloadStep(std::int16_t state) {
    for (const auto& step : kDownloadSteps)
        if (step.State == state) return &step;
    return nullptr;
}

// Log pages the sample count needs, at most the whole log area.
int LogPagesNeeded(std::int32_t samples) {
    const std::int64_t pages = (static_cast<std::int64_t>(std::max(samples, 0)) + 31) / 32;
    return static_cast<int>(std::min<std::int64_t>(pages, 64));
}

// The download reads one page beyond the count (page 128 + pages), never past the area.
int LogLastPage(std::int32_t samples) {
    return std::min(kLogFirstPage + LogPagesNeeded(samples), kLogLastPage);
}

int LastPageOf(const DownloadStep& step, std::int32_t samples) {
    return step.Show ? step.LastPage : LogLastPage(samples);
}

std::string Code(std::int16_t r) { return std::to_string(r); }

void SetResultCommands(TTRecForm& form, bool enabled, bool withStopMission) {
    for (MenuItem* item :
         {&form.MenuExportToClip, &form.menuSaveHist, &form.MenuSaveData, &form.menuSaveData1,
          &form.Printfullreport1, &form.PrintSummary, &form.MenuSaveCSV})
        item->Enabled = enabled;
    form.EnableGraphButtons(enabled);
    if (withStopMission) form.MenuStopMission.Enabled = enabled;
}

// "Read now!" is only offered while no mission runs.
void ShowForceReading(TTRecForm& form) {
    form.ForceButton.Enabled = !form.MissionRunning;
    form.ForceTempLabel.Visible = !form.MissionRunning;
}

void BeginDownload(TTRecForm& form) {
    form.PollState = kDownloadSteps.front().State;
    form.PageCounter = kDownloadSteps.front().FirstPage;
    form.DownloadTime = form.platform.Now();
    form.ForceButton.Enabled = false;
    form.ForceTempLabel.Visible = false;
}

void ShowNotebook(TTRecForm& form, int page) {
    form.TabChangeByProgram = true;
    form.RecTab.PageIndex = page;
    form.TabChangeByProgram = false;
    form.RecTab.Visible = true;
    form.PanelWelcome.Visible = false;
}
}  // namespace

bool TTRecForm::HandleResult(std::int16_t r, const std::string& errorText, const std::string& boxMessage) {
    if (r == 1) return true;
    if (r == -1) {
        NoDevice(true);
        return false;
    }
    if (r == JobSession::kNoSession || r >= 0) return false;
    SetStatus(errorText);
    if (r == LastError) {
        ++ErrorRepeatCount;
    } else {
        ErrorRepeatCount = 0;
        LastError = r;
    }
    if (ErrorRepeatCount > 10) {
        ErrorRepeatCount = 0;
        platform.Beep();
        platform.MessageBox(boxMessage, AppCaption, MsgButtons::Ok, MsgIcon::Warning);
    }
    return false;
}

void TTRecForm::ResetWindow() {
    SetStatus("Setup Window");
    platform.SetTimerInterval(kFastInterval);
    ReadButton.Enabled = false;
    SetResultCommands(*this, false, true);
    ClearResults();
    ForceButton.Enabled = false;
    ForceTempLabel.Visible = false;
    WizardReset();
    AwaitingDevice = true;
    for (auto& text : UserTexts) text.clear();
    for (auto& text : NewUserTexts) text.clear();
    PollState = Poll::Search;
}

namespace {
void RunSearch(TTRecForm& form) {
    form.SetStatus("Waiting for DS1921 iButton...");
    std::string romId;
    const std::int16_t r = form.FindFirstFamily(33, romId);
    if (r == 1) {
        form.SetStatus("DS1921 iButton found, " + romId);
        form.RomIdText = romId;
        form.DetectVariantFromRom(romId);
        form.Caption = "DS1921 iButton - " + romId;
        form.TopPanel.Caption.clear();
        form.PollState = Poll::StatusRead;
        form.AwaitingDevice = false;
    } else if (r == -1) {
        form.NoDevice(true);
    }
}

void RunRegisterRead(TTRecForm& form) {
    const bool clock = form.PollState == Poll::ClockRefresh;
    form.SetStatus(clock ? "Read time" : "Read Status page");
    std::array<std::uint8_t, 32> page{};
    const std::int16_t r = form.ReadPage(16, page.data());
    if (!form.HandleResult(r, "Read Status page: error " + Code(r),
                           "Error reading status page (" + Code(r) + ")!"))
        return;
    form.Image.RegisterPage = page;
    form.LastRegisterReadTick = form.platform.TickCount();
    if (clock) {
        form.SetStatus("Read time: Success");
        form.UpdateStatus();
        form.PollState = Poll::Idle;
        form.platform.SetTimerInterval(kIdleInterval);
        ShowForceReading(form);
        return;
    }
    form.SetStatus("Read Status page: Success");
    form.UpdateStatus();
    if (form.MissionRunning) {
        ShowNotebook(form, 2);
        BeginDownload(form);
    } else {
        ShowNotebook(form, 0);
        form.Wizard.PageIndex = 0;
        form.NextButton.Enabled = true;
        form.BackButton.Enabled = false;
        form.FinishButton.Enabled = false;
        form.PollState = Poll::Idle;
        form.platform.SetTimerInterval(kIdleInterval);
        form.ReadButton.Enabled = form.MissionSamples > 0;
        form.ForceButton.Enabled = true;
        form.ForceTempLabel.Visible = true;
    }
}

void CompleteLogDownload(TTRecForm& form) {
    form.LogSampleCount = form.MissionSamples;
    form.DownloadRegisterPage = form.Image.RegisterPage;
    std::array<std::uint8_t, 32> page{};
    if (form.ReadPage(16, page.data()) == 1) {
        form.Image.RegisterPage = page;
        form.SetStatus("Read Status page: Success");
        form.UpdateStatus();
        const std::uint8_t seconds = form.Image.RegisterPage[Reg::ClockSeconds];
        // Near a minute boundary the device may be taking the sample the new count includes,
        // and its log byte may not be in the pages just read.
        const int secondsValue = (seconds & 0x0F) + 10 * (seconds >> 4);
        if (form.MissionSamples != form.LogSampleCount && secondsValue > 1) {
            form.SetStatus("Using new Mission Count");
            form.LogSampleCount = form.MissionSamples;
        }
        if (form.MissionSamples == form.LogSampleCount) form.DownloadRegisterPage = form.Image.RegisterPage;
    }
    form.DownloadUnsaved = true;
    form.UpdateLog();
    form.PollState = Poll::Idle;
    form.platform.SetTimerInterval(kIdleInterval);
    form.ReadButton.Enabled = true;
    SetResultCommands(form, true, true);
    ShowForceReading(form);
}

void RunDownload(TTRecForm& form, const DownloadStep& step) {
    const std::string pageText = std::to_string(form.PageCounter);
    form.SetStatus(step.Label + pageText);
    std::array<std::uint8_t, 32> page{};
    const std::int16_t r = form.ReadPage(form.PageCounter, page.data());
    if (!form.HandleResult(r, step.Label + pageText + " Error " + Code(r), step.BoxMessage + Code(r) + ")!"))
        return;
    form.Image.StorePage(form.PageCounter, page);
    form.SetStatus(step.SuccessLabel + pageText + " Success");
    ++form.PageCounter;
    if (form.PageCounter <= LastPageOf(step, form.MissionSamples)) return;
    if (!step.Show) {
        CompleteLogDownload(form);
        return;
    }
    (form.*step.Show)();
    const DownloadStep& next = kDownloadSteps[static_cast<std::size_t>(&step - kDownloadSteps.data()) + 1];
    form.PollState = next.State;
    form.PageCounter = next.FirstPage;
}

void RunIdle(TTRecForm& form) {
    form.SetStatus("Verify");
    const std::int16_t r = form.VerifyDevice();
    if (r == 1) {
        form.NoDevice(false);
        form.SetStatus("Device Present");
    } else if (r == -1) {
        form.NoDevice(true);
        form.SetStatus("Device NOT Present");
    }
    // Applies also after a reset on this tick: the clock read that follows then fails and
    // resets again, which is how a removal at this moment is reported.
    const std::int64_t sinceRead =
        static_cast<std::uint32_t>(form.platform.TickCount() - form.LastRegisterReadTick);
    if (sinceRead + 2LL * form.platform.TimerInterval() >= 3000) form.PollState = Poll::ClockRefresh;
}

void RunStopMission(TTRecForm& form) {
    form.SetStatus("Stop current mission ");
    const std::int16_t r = form.StopMission();
    if (!form.HandleResult(r, "Stop mission: Error " + Code(r), "Error stopping mission (" + Code(r) + ")!"))
        return;
    form.SetStatus("Stop current mission: Success ");
    form.PollState = Poll::ClockRefresh;
}

void RunForcedReading(TTRecForm& form) {
    form.SetStatus("Send conversion command ");
    const std::int16_t r = form.ForceConversion();
    if (!form.HandleResult(r, "Conversion Error " + Code(r), "Error sending conversion (" + Code(r) + ")!"))
        return;
    form.SetStatus("Send conversion command: Success ");
    form.LastRegisterReadTick = form.platform.TickCount();
    form.PollState = Poll::Idle;
}
}  // namespace

void TTRecForm::TRecTimerTimer() {
    if (TickRunning) return;
    TickRunning = true;
    platform.SetTimerEnabled(false);
    switch (PollState) {
        case Poll::Reset:
            ResetWindow();
            break;
        case Poll::Search:
            RunSearch(*this);
            break;
        case Poll::StatusRead:
        case Poll::ClockRefresh:
            RunRegisterRead(*this);
            break;
        case Poll::AlarmPages:
        case Poll::UserPages:
        case Poll::HistogramPages:
        case Poll::LogPages:
            RunDownload(*this, *FindDownloadStep(PollState));
            break;
        case Poll::Idle:
            RunIdle(*this);
            break;
        case Poll::Clear:
            RunClearState();
            break;
        case Poll::VerifyClear:
            RunVerifyClearState();
            break;
        case Poll::Write:
            RunWriteState();
            break;
        case Poll::StopMission:
            RunStopMission(*this);
            break;
        case Poll::ForcedReading:
            RunForcedReading(*this);
            break;
        default:
            break;
    }
    // Offline mode keeps the timer stopped; a tick already queued must not restart it.
    if (PollState != Poll::Offline) platform.SetTimerEnabled(true);
    TickRunning = false;
}

void TTRecForm::ReadButtonClick() {
    if (!ReadButton.Enabled) return;
    ReadButton.Enabled = false;
    SetResultCommands(*this, false, false);
    ClearResults();
    platform.SetTimerInterval(kFastInterval);
    BeginDownload(*this);
}

void TTRecForm::ForceButtonClick() {
    if (!ForceButton.Enabled || (PollState != Poll::Idle && PollState != Poll::ClockRefresh)) return;
    PollState = Poll::ForcedReading;
    ForceTempLabel.Caption.clear();
    ForceTempLabel.Visible = true;
    ForceReadRequested = true;
}

void TTRecForm::MenuStopMissionClick() {
    if (PollState != Poll::Idle && PollState != Poll::ClockRefresh) return;
    const MsgResult answer = platform.MessageBox(
        "Do you want to stop the current mission?\rThis will stop data being recorded.\r\rStop the mission "
        "now?",
        AppCaption, MsgButtons::YesNo, MsgIcon::Warning, MsgDefault::Second);
    if (answer == MsgResult::Yes) PollState = Poll::StopMission;
}

std::pair<int, int> TTRecForm::DownloadProgress() const {
    const DownloadStep* current = FindDownloadStep(PollState);
    if (!current) return {0, 0};
    int done = 0, total = 0;
    for (const auto& step : kDownloadSteps) {
        if (&step == current) done = total + PageCounter - step.FirstPage;
        total += LastPageOf(step, MissionSamples) - step.FirstPage + 1;
    }
    return {done, total};
}
