#include <cstdio>

#include "app/Settings.h"
#include "app/TTRecForm.h"
#include "model/Bcd.h"
#include "model/Win1252.h"

namespace {
const char* const kAlarmModes[] = {"None",         "Alarm weekly",   "Alarm daily",
                                   "Alarm hourly", "Alarm minutely", "Alarm every second"};
const std::string kIndent(11, ' ');

int Position(const ListControl& list) { return list.ItemIndex < 0 ? 0 : list.ItemIndex; }

void Show(ListControl& list, Control& label, bool visible) {
    list.Visible = visible;
    label.Visible = visible;
}

// The widest span: the highest byte as the high threshold, the lowest as the low one.
void SelectWidestThresholds(ListControl& high, ListControl& low) {
    high.Select(static_cast<int>(high.Items.size()) - 1);
    low.Select(low.Items.empty() ? -1 : 0);
}
}  // namespace

void FillNumbers(ListControl& list, int first, int last, bool twoDigits) {
    list.Clear();
    for (int v = first; v <= last; ++v) {
        char text[8];
        std::snprintf(text, sizeof text, twoDigits ? "%.2d" : "%d", v);
        list.Add(text);
    }
}

std::string RolloverDaysText(int sampleMinutes, char decimalSeparator) {
    char text[32];
    std::snprintf(text, sizeof text, "%3.1f", sampleMinutes * 2048.0 / 1440.0);
    std::string result = text;
    for (auto& c : result)
        if (c == '.') c = decimalSeparator;
    return result + " Days";
}

std::string UserEntryText(const std::string& utf8, int maxLength) {
    std::string text = Utf8ToWin1252(utf8, '?');
    // Line breaks and other control bytes would split report and data-file lines.
    for (auto& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    if (maxLength > 0 && static_cast<int>(text.size()) > maxLength) text.resize(maxLength);
    return text;
}

void TTRecForm::InitWizardControls() {
    AlarmTimeCombo.Clear();
    for (const char* mode : kAlarmModes) AlarmTimeCombo.Add(mode);
    AlarmDay.Clear();
    // Position + 1 is the device's day number (1 = Sunday).
    for (int day = 1; day <= 7; ++day) AlarmDay.Add(DayName(day));
    FillNumbers(AlarmHour, 0, 23, true);
    FillNumbers(AlarmMinute, 0, 59, true);
    FillNumbers(AlarmSecond, 0, 59, true);
    FillNumbers(DelayDay, 0, 44, false);
    FillNumbers(DelayHour, 0, 23, false);
    FillNumbers(DelayMinute, 0, 59, false);
    FillNumbers(SampleMinutes, 1, 255, false);
    // FormCreate replaces these with the settings file's titles.
    const TitlesSettings defaults;
    for (int i = 0; i < 6; ++i) lbluser[i].Caption = defaults.Titles[i];
    FinishMemo.Enabled = true;
    WizardReset();
}

void TTRecForm::WizardReset() {
    for (ListControl* list : {&AlarmTimeCombo, &AlarmDay, &AlarmHour, &AlarmMinute, &AlarmSecond, &DelayDay,
                              &DelayHour, &DelayMinute, &SampleMinutes})
        list->Select(0);
    ShowTimeAlarm();
    DelayMinutes = 0;
    TotalMinutesLabel.Caption = "0";
    TRecTimeLabel.Caption.clear();
    PCTimeLabel.Caption.clear();
    RolloverCheck.Checked = false;
    CreateThresholds();
    SelectWidestThresholds(HighThreshold, LowThreshold);
    Wizard.PageIndex = 0;
    NextButton.Enabled = true;
    // A reset after Finish would otherwise leave Back live on the first page.
    BackButton.Enabled = false;
    FinishButton.Enabled = false;
    RolloverDays.Caption = RolloverDaysText(1, platform.DecimalSeparator());
    for (auto& edit : edituser) edit.Text.clear();
}

void TTRecForm::NextButtonClick() {
    const int page = Wizard.PageIndex;
    if (!NextButton.Enabled || page >= kPageCount - 1) return;
    if (page == kPageCount - 2) {
        NextButton.Enabled = false;
        FinishButton.Enabled = true;
        UpdateFinishStatement();
    }
    if (page == kPageCount - 3) SampleMinutesChange();
    if (page == kPageCount - 6) {
        CreateThresholds();
        SelectWidestThresholds(HighThreshold, LowThreshold);
    }
    Wizard.PageIndex = page + 1;
    BackButton.Enabled = true;
}

void TTRecForm::BackButtonClick() {
    const int page = Wizard.PageIndex;
    if (!BackButton.Enabled) return;
    if (page > 0) Wizard.PageIndex = page - 1;
    NextButton.Enabled = true;
    FinishButton.Enabled = false;
    if (Wizard.PageIndex == 0) BackButton.Enabled = false;
}

void TTRecForm::AlarmTimeComboChange() { ShowTimeAlarm(); }

void TTRecForm::ShowTimeAlarm() {
    const int mode = Position(AlarmTimeCombo);
    const bool panel = mode != AlarmMode::None && mode != AlarmMode::EverySecond;
    HidePanel.Visible = panel;
    AlarmSelectLabel.Visible = panel;
    if (!panel) return;
    Show(AlarmDay, AlarmDayLabel, mode == AlarmMode::Weekly);
    Show(AlarmHour, AlarmHourLabel, mode <= AlarmMode::Daily);
    Show(AlarmMinute, AlarmMinuteLabel, mode <= AlarmMode::Hourly);
    Show(AlarmSecond, AlarmSecondLabel, true);
}

void TTRecForm::DelayDayChange() {
    DelayMinutes = Position(DelayDay) * 1440 + Position(DelayHour) * 60 + Position(DelayMinute);
    TotalMinutesLabel.Caption = std::to_string(DelayMinutes);
    UpdateStatus();  // brings the approximate start date up to date
}

void TTRecForm::SampleMinutesChange() {
    RolloverDays.Caption = RolloverDaysText(Position(SampleMinutes) + 1, platform.DecimalSeparator());
}

void TTRecForm::UpdateFinishStatement() {
    FinishMemo.Clear();
    for (int k = 1; k <= 6; ++k) {
        FinishMemo.Add(UserDetailCaptions[k - 1]);
        FinishMemo.Add(kIndent + edituser[k - 1].Text);
        NewUserTexts[k] = edituser[k - 1].Text;
    }
    FinishMemo.Add("Set device clock from PC clock:");
    FinishMemo.Add(kIndent + (SetTimeCheck.Checked ? "Yes" : "No"));
    FinishMemo.Add("Time Alarm mode:");
    FinishMemo.Add(kIndent + AlarmTimeCombo.SelectedText());
    const int mode = Position(AlarmTimeCombo);
    if (mode != AlarmMode::None && mode != AlarmMode::EverySecond) {
        FinishMemo.Add("Time to Alarm:");
        std::string line = kIndent;
        if (AlarmDay.Visible) line += AlarmDay.SelectedText() + ",";
        if (AlarmHour.Visible) line += " Hour " + AlarmHour.SelectedText();
        if (AlarmMinute.Visible) line += " Minute " + AlarmMinute.SelectedText();
        if (AlarmSecond.Visible) line += " Second " + AlarmSecond.SelectedText();
        if (ConditionalOnTimeCheck.Checked) line += " (search)";
        FinishMemo.Add(line);
    }
    FinishMemo.Add("Mission Start Delay:");
    if (Position(DelayDay) != 0 || Position(DelayHour) != 0 || Position(DelayMinute) != 0) {
        std::string line = kIndent;
        if (Position(DelayDay) != 0) line += DelayDay.SelectedText() + " Day(s) ";
        if (Position(DelayHour) != 0) line += DelayHour.SelectedText() + " Hour(s) ";
        if (Position(DelayMinute) != 0) line += DelayMinute.SelectedText() + " Minute(s) ";
        FinishMemo.Add(line);
    } else {
        FinishMemo.Add(kIndent + "0 Minutes");
    }
    FinishMemo.Add("Sample Rate:");
    FinishMemo.Add(kIndent + SampleMinutes.SelectedText() + " Minute(s)");
    FinishMemo.Add("Temperature Alarms:");
    const std::string suffix = UnitSuffix();
    FinishMemo.Add(kIndent + "High: " + HighThreshold.SelectedText() + suffix +
                   (ConditionalOnTempHighCheck.Checked ? " (search)" : "") +
                   " Low: " + LowThreshold.SelectedText() + suffix +
                   (ConditionalOnTempLowCheck.Checked ? " (search)" : ""));
    FinishMemo.Add("Roll-Over:");
    FinishMemo.Add(kIndent + (RolloverCheck.Checked ? "Enabled" : "Disabled"));
}

bool TTRecForm::ConfirmEraseRunningMission() {
    platform.Beep();
    std::string warning = "WARNING, a mission is currently running.\rErase this mission and start a new one?";
    if (DownloadUnsaved)
        warning += "\r\rThe results downloaded from this mission have not been saved as a data file.";
    if (platform.MessageBox(warning, AppCaption, MsgButtons::OkCancel, MsgIcon::Warning,
                            MsgDefault::Second) != MsgResult::Ok)
        return false;
    if (!DownloadUnsaved) return true;
    const MsgResult save = platform.MessageBox("Save the data file before the mission is erased?", AppCaption,
                                               MsgButtons::YesNo, MsgIcon::Question);
    // A save dialog cancelled, or a save that failed, erases nothing.
    return save == MsgResult::No || ExportDump();
}

void TTRecForm::FinishButtonClick() {
    if (!FinishButton.Enabled) return;
    if (MissionRunning && !ConfirmEraseRunningMission()) return;
    NextButton.Enabled = false;
    BackButton.Enabled = false;
    FinishButton.Enabled = false;
    FinishTime = platform.Now();
    DelayAtFinish = DelayMinutes;
    PollState = Poll::Clear;
    platform.SetTimerInterval(50);
}

void TTRecForm::EditUserChange(int index, const std::string& utf8Text) {
    if (index < 0 || index >= static_cast<int>(edituser.size())) return;
    edituser[index].Text = UserEntryText(utf8Text, edituser[index].MaxLength);
}
