#include "app/TTRecForm.h"
#include "reports/ReportLines.h"

ReportSource TTRecForm::CurrentReportSource() {
    ReportSource s;
    s.Caption = Caption;
    s.RomText = ReportRomText();
    s.DownloadText = platform.DateTimeText(DownloadTime);
    s.UserDetailCaptions = UserDetailCaptions;
    s.UserTexts = UserTexts;
    s.MissionStatus = MissionStatus.Caption;
    s.SampleRate = SampleRateLabel.Caption;
    s.RolloverEnable = RolloverEnableLabel.Caption;
    s.RolloverOccured = RolloverOccuredLabel.Caption;
    s.MissionStart = MissionStartLabel.Caption;
    s.MissionDelay = MissionDelayLabel.Caption;
    s.MissionSamples = MissionSamplesLabel.Caption;
    s.DeviceCount = DeviceCountLabel.Caption;
    s.Degree = DegreeLabel.Caption;
    s.HighThreshold = HighThresholdLabel.Caption;
    s.LowThreshold = LowThresholdLabel.Caption;
    s.TempAlarm = TempAlarmLabel.Caption;
    s.DeviceTime = TRecTimeLabel.Caption;
    s.PCTime = PCTimeLabel.Caption;
    s.AlarmMode = AlarmModeLabel.Caption;
    s.TimeAlarmSetting = TimeAlarmSettingLabel.Caption;
    s.TimeAlarm = TimeAlarmLabel.Caption;
    s.MinuteOffsetView = LogRadio.ItemIndex == 1;
    s.LogSyntax = LogSyntax.Caption;
    s.HistSyntax = HistSyntax.Caption;
    s.AlarmLines = AlarmList.Items;
    s.HistLines = HistList.Items;
    s.LogLines = LogList.Items;
    return s;
}

std::string TTRecForm::ReportRomText() const { return OfflineMode() ? RomTextOfCaption(Caption) : RomIdText; }

std::optional<FilePath> TTRecForm::AskSavePath(const std::string& defaultExt, const std::string& filter) {
    FileDialogRequest request;
    request.Title = "Save iButton Data";
    request.FileName = ProposedFileName(UserTexts[5], ReportRomText());
    request.DefaultExt = defaultExt;
    request.Filter = filter;
    request.FilterIndex = 1;
    request.InitialDir = SaveDialogInitialDir;
    request.OverwritePrompt = true;
    request.PathMustExist = true;
    auto path = platform.SaveDialog(request);
    SaveDialogInitialDir = SavePath;
    return path;
}

bool TTRecForm::SaveText(const FilePath& path, const std::string& text) {
    std::string error;
    if (Files->Save(path, text, error)) return true;
    platform.MessageBox(error, AppCaption, MsgButtons::Ok, MsgIcon::Error);
    return false;
}
