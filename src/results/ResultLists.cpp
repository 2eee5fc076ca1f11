#include "app/TTRecForm.h"
#include "results/ResultLines.h"
#include "results/UserDetails.h"

namespace {
// A list's items are replaced whole, so a view sees one revision per rebuild.
void ReplaceItems(ListControl& list, std::vector<std::string>& lines) {
    list.Items.swap(lines);
    list.ItemIndex = -1;
    ++list.Revision;
}
}  // namespace

void TTRecForm::UpdateLog() {
    const LogLayout layout =
        ComputeLogLayout(LogSampleCount, Image.RegisterPage[Reg::Control] & Reg::ControlRollover);
    std::vector<std::string> lines;
    BuildLogLines(Image.LogArea, layout, MissionStart, SampleRate,
                  static_cast<LogView>(LogRadio.ItemIndex == 1), CurrentTemperatureOptions(), lines,
                  LogTemperatures);
    ReplaceItems(LogList, lines);
    btnDetails.Visible = true;
    LogBox.Visible = true;
    LogRadio.Enabled = true;
}

void TTRecForm::UpdateAlarms() {
    std::vector<std::string> lines;
    BuildAlarmLines(Image.AlarmArea, MissionStart, SampleRate, static_cast<LogView>(LogRadio.ItemIndex == 1),
                    lines);
    ReplaceItems(AlarmList, lines);
    AlarmBox.Visible = true;
}

void TTRecForm::UpdateHistogram() {
    std::vector<std::string> lines;
    const int item = HistRadio.ItemIndex;
    const HistogramView view = item == 1   ? HistogramView::StartOnly
                               : item == 2 ? HistogramView::BinNumber
                                           : HistogramView::Range;
    BuildHistogramLines(Image.HistogramArea, view, CurrentTemperatureOptions(), lines, HistogramCounts);
    ReplaceItems(HistList, lines);
    if (!HistogramBox.Visible) {
        HistogramBox.Visible = true;
        HistRadio.Enabled = true;
    }
}

void TTRecForm::UpdateUser() {
    DecodeUserTexts(Image, UserTexts);
    btnDetails.Visible = true;
}

void TTRecForm::ClearResults() {
    // Results no longer shown are no longer the window's to save.
    DownloadUnsaved = false;
    LogList.Clear();
    HistList.Clear();
    AlarmList.Clear();
    LogBox.Visible = false;
    HistogramBox.Visible = false;
    AlarmBox.Visible = false;
    btnDetails.Visible = false;
    LogRadio.Enabled = false;
    HistRadio.Enabled = false;
    EnableGraphButtons(false);
}

void TTRecForm::LogRadioClick() {
    if (TabChangeByProgram) return;
    LogSyntax.Caption = LogRadio.ItemIndex == 1 ? "Minute Offset , Temperature" : "Date, Time, Temperature";
    UpdateLog();
    UpdateAlarms();
}

void TTRecForm::HistRadioClick() {
    if (TabChangeByProgram) return;
    static const char* const kSyntax[] = {"Temp Range , Count", "Start Temp , Count", "Bin Number , Count"};
    const int item = HistRadio.ItemIndex;
    HistSyntax.Caption = kSyntax[item >= 0 && item <= 2 ? item : 0];
    UpdateHistogram();
}

void TTRecForm::MenuShowFCClick() {
    MenuShowFC.Checked = !MenuShowFC.Checked;
    RefreshTemperatureTexts();
}

void TTRecForm::btnDetailsClick() {
    platform.Beep();
    std::string text;
    for (int k = 0; k < 6; ++k) {
        if (k > 0) text += '\r';
        text += UserDetailCaptions[k] + ShownUserDetail(UserTexts, k);
    }
    platform.MessageBox(text, AppCaption, MsgButtons::Ok, MsgIcon::Information);
}

bool TTRecForm::RecTabChange(int newTab) {
    if (TabChangeByProgram) return true;
    if (newTab == 0) {
        if (OfflineMode()) {
            platform.MessageBox("Wizard is not available offline", AppCaption, MsgButtons::Ok,
                                MsgIcon::Exclamation);
            return false;
        }
        platform.SetTimerEnabled(false);
        bool allow = true;
        if (PollState != Poll::Idle && PollState != Poll::ClockRefresh) {
            allow = platform.MessageBox(
                        "Temperature Recorder data currently being downloaded.\r"
                        "Abandon the download to begin a new mission?",
                        AppCaption, MsgButtons::OkCancel, MsgIcon::Exclamation) == MsgResult::Ok;
            if (allow) {
                ReadButton.Enabled = true;
                MenuExportToClip.Enabled = false;
                ClearResults();
                PollState = Poll::Idle;
                platform.SetTimerInterval(500);
            }
        }
        Wizard.PageIndex = 0;
        NextButton.Enabled = true;
        BackButton.Enabled = false;
        FinishButton.Enabled = false;
        platform.SetTimerEnabled(true);
        return allow;
    }
    if (PollState != Poll::Clear && PollState != Poll::VerifyClear && PollState != Poll::Write) return true;
    platform.SetTimerEnabled(false);
    const bool allow =
        platform.MessageBox("Temperature Recorder mission currently being written.\rAbandon the new mission?",
                            AppCaption, MsgButtons::OkCancel, MsgIcon::Exclamation) == MsgResult::Ok;
    if (allow) {
        PollState = Poll::StatusRead;
        MissionGroup.Visible = false;
        TempGroup.Visible = false;
        TimeGroup.Visible = false;
        ReadButton.Enabled = true;
        MenuExportToClip.Enabled = false;
        ClearResults();
    }
    platform.SetTimerEnabled(true);
    return allow;
}

void TTRecForm::SelectRecTab(int newTab) {
    if (RecTabChange(newTab)) RecTab.PageIndex = newTab;
}
