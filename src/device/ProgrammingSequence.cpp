#include <algorithm>
#include <cmath>

#include "app/TTRecForm.h"

namespace {
std::string Code(std::int16_t r) { return std::to_string(r); }
}  // namespace

void TTRecForm::RunClearState() {
    SetStatus("Clear memory ");
    const std::int16_t r = ClearMemory();
    if (!HandleResult(r, "Clear memory: Error " + Code(r), "Error clearing memory (" + Code(r) + ")!"))
        return;
    SetStatus("Clear memory: Success");
    PollState = Poll::VerifyClear;
}

void TTRecForm::RunVerifyClearState() {
    SetStatus("Verify clear memory ");
    const std::int16_t r = ReadPage(16, Image.RegisterPage.data());
    if (!HandleResult(r, "Clear memory: Error " + Code(r), "Error reading status page (" + Code(r) + ")!"))
        return;
    if (Image.RegisterPage[Reg::Status] & Reg::StatusMemoryCleared) {
        SetStatus("Verify clear memory: Success");
        PollState = Poll::Write;
        WriteStep = 0;
    } else {
        SetStatus("ERROR, memory is not clear!");
        PollState = Poll::Clear;
    }
}

void TTRecForm::RunWriteState() {
    SetStatus("Write the mission");
    CreateWriteStatus();
    const std::int16_t r = WriteMission();
    if (!HandleResult(
            r, "Write mission: Error " + Code(r),
            "Error writing status page (" + Code(r) + "), on step (" + std::to_string(WriteStep) + ")"))
        return;
    switch (WriteStep) {
        case 0:
            SetStatus("Time, time alarm, thresholds set");
            WriteStep = 1;
            return;
        case 1:
            SetStatus("Control, start delay set");
            WriteStep = 2;
            return;
        case 2:
            SetStatus("Sample rate set");
            WriteStep = 3;
            return;
        default:
            break;
    }

    ComposeUserPages();
    if (chkIgnore.Checked) {
        SetStatus("User data ignored.");
    } else {
        SetStatus("User data set.");
        // A device pulled (or failing) here must not be reported as programmed:
        // the step stays at 3 and the next tick writes the user pages again.
        for (int page = 0; page < 16; ++page) {
            const std::int16_t w = WriteUser(page);
            if (!HandleResult(w, "Write user page: Error " + Code(w),
                              "Error writing user page (" + Code(w) + ")!"))
                return;
        }
    }

    if (platform.MessageBox("Mission programmed!\rDo you wish to program another device?", AppCaption,
                            MsgButtons::YesNo, MsgIcon::Question) == MsgResult::Yes) {
        platform.MessageBox(
            "Remove the programmed device,\rinsert the new device and\rthen click OK to continue.",
            AppCaption, MsgButtons::Ok, MsgIcon::Warning);
        SetStatus("Waiting for DS1921 iButton...");
        std::string romId;
        if (FindFirstFamily(33, romId) == 1) {
            RomIdText = romId;
            SetStatus("DS1921 iButton found, " + RomIdText);
            Caption = "DS1921 iButton - " + RomIdText;
            TopPanel.Caption.clear();
            AwaitingDevice = false;
        }
        // Whole minutes since Finish, counted in milliseconds so 11:00 is not read as 10:59.999.
        const double elapsedDays = std::max(0.0, platform.Now() - FinishTime);
        const auto elapsedMinutes = static_cast<std::int32_t>(std::llround(elapsedDays * 86400000.0) / 60000);
        DelayMinutes = std::max<std::int32_t>(0, DelayAtFinish - elapsedMinutes);
        PollState = Poll::Clear;
        platform.SetTimerInterval(50);
        return;
    }

    PollState = Poll::StatusRead;
    MissionGroup.Visible = false;
    TempGroup.Visible = false;
    TimeGroup.Visible = false;
    TabChangeByProgram = true;
    RecTab.PageIndex = 2;
    TabChangeByProgram = false;
    ReadButton.Enabled = true;
    MenuExportToClip.Enabled = false;
    ClearResults();
}
