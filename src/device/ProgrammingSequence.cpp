#include <algorithm>
#include <cmath>

#include "app/TTRecForm.h"

namespace {
std::string Code(std::int16_t r) { return std::to_string(r); }

// The batch is over: the next tick reads the register page of the device programmed last.
void EndBatch(TTRecForm& form) {
    form.PollState = Poll::StatusRead;
    form.MissionGroup.Visible = false;
    form.TempGroup.Visible = false;
    form.TimeGroup.Visible = false;
    form.TabChangeByProgram = true;
    form.RecTab.PageIndex = 2;
    form.TabChangeByProgram = false;
    form.ReadButton.Enabled = true;
    form.MenuExportToClip.Enabled = false;
    form.ClearResults();
}

// Looks for the next device of the batch. The one just programmed still in
// place, or no device at all, is said, with the choice to look again or stop;
// programming it again unasked would give it a second, later start. True when
// another device was found (or the search failed otherwise, as before: the
// clear job of the next tick then handles it).
bool FindNextDevice(TTRecForm& form) {
    const std::string programmed = form.RomIdText;
    for (;;) {
        form.SetStatus("Waiting for DS1921 iButton...");
        std::string romId;
        const std::int16_t r = form.FindFirstFamily(33, romId);
        if (r == 1 && romId != programmed) {
            form.RomIdText = romId;
            form.SetStatus("DS1921 iButton found, " + form.RomIdText);
            form.Caption = "DS1921 iButton - " + form.RomIdText;
            form.TopPanel.Caption.clear();
            form.AwaitingDevice = false;
            return true;
        }
        if (r != 1 && r != -1) return true;
        const std::string problem =
            r == 1 ? "The device just programmed, " + programmed +
                         ",\ris still in the adapter.\r"
                         "Remove it, insert the new device and click Retry,\r"
                   : "No DS1921 iButton was found in the adapter.\rInsert the new device and click Retry,\r";
        if (form.platform.MessageBox(problem + "or click Cancel to stop programming further devices.",
                                     form.AppCaption, MsgButtons::RetryCancel,
                                     MsgIcon::Warning) != MsgResult::Retry)
            return false;
    }
}
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
        if (!FindNextDevice(*this)) {
            EndBatch(*this);
            return;
        }
        // Whole minutes since Finish, counted in milliseconds so 11:00 is not read as 10:59.999.
        const double elapsedDays = std::max(0.0, platform.Now() - FinishTime);
        const auto elapsedMinutes = static_cast<std::int32_t>(std::llround(elapsedDays * 86400000.0) / 60000);
        DelayMinutes = std::max<std::int32_t>(0, DelayAtFinish - elapsedMinutes);
        PollState = Poll::Clear;
        platform.SetTimerInterval(50);
        return;
    }

    EndBatch(*this);
}
