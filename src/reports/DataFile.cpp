#include "app/TTRecForm.h"
#include "files/ReadFile.h"
#include "reports/DumpFormat.h"
#include "reports/ReportLines.h"

namespace {
const char* const kDumpFilter = "Data File (dmp)|*.dmp";
}  // namespace

std::vector<std::string> TTRecForm::DumpLines() {
    MemoryImage shown = Image;
    shown.RegisterPage = DownloadRegisterPage;
    return ::DumpLines(Caption, platform.DateTimeText(DownloadTime), shown);
}

bool TTRecForm::ExportDump() {
    const auto path = AskSavePath("dmp", kDumpFilter);
    if (!path || !SaveText(*path, JoinCrLf(DumpLines()))) return false;
    DownloadUnsaved = false;
    return true;
}

void TTRecForm::menuSaveData1Click() { ExportDump(); }

void TTRecForm::ResetForLoad() {
    ReadButton.Enabled = false;
    for (MenuItem* item : {&MenuExportToClip, &menuSaveHist, &MenuSaveData, &menuSaveData1, &MenuStopMission,
                           &Printfullreport1, &PrintSummary, &MenuSaveCSV})
        item->Enabled = false;
    ClearResults();
    ForceButton.Enabled = false;
    ForceTempLabel.Visible = false;

    WizardReset();
    AwaitingDevice = true;
    UserTexts.fill({});
    NewUserTexts.fill({});
}

std::int16_t TTRecForm::LoadDump(const FilePath& path) {
    std::string text, error;
    if (!ReadLeadingLines(path, kDumpDataLines, kMaxDumpBytes, text, error)) {
        ResetForLoad();
        platform.MessageBox(error, AppCaption, MsgButtons::Ok, MsgIcon::Error);
        return 0;
    }
    return LoadDumpText(text, path);
}

std::int16_t TTRecForm::LoadDumpText(const std::string& text, const FilePath& path) {
    const std::string failed = "Cannot load data file \"" + ShownPath(path) + "\".\r";
    // Anything else (a README, a CSV export, an empty file) would show as a
    // device of 1900; it is refused before the window changes at all.
    if (const std::string problem = DataFileCaptionProblem(FirstDumpLine(text)); !problem.empty()) {
        platform.MessageBox(failed + problem, AppCaption, MsgButtons::Ok, MsgIcon::Error);
        return 0;
    }
    ResetForLoad();
    const DumpReadResult result = ReadDump(text, Image);
    if (!result.Ok) {
        platform.MessageBox(failed + result.Error, AppCaption, MsgButtons::Ok, MsgIcon::Error);
        return 0;
    }
    LoadedDownloadTime.reset();
    if (TDateTime at = 0; ParseDownloadLine(result.DownloadLine, at)) LoadedDownloadTime = at;
    if (result.HasCaption) {
        // Characters 20-22 of the caption are characters 3-5 of the ROM text behind the usual prefix.
        DetectVariantFromRom(RomDigitsOfCaption(result.Caption));
        Caption = result.Caption;
    }
    return 1;
}

void TTRecForm::menuOpenClick() {
    FileDialogRequest request;
    request.DefaultExt = "dmp";
    request.Filter = kDumpFilter;
    request.FilterIndex = 1;
    request.InitialDir = SavePath;
    const auto path = platform.OpenDialog(request);
    if (path) LoadCmd(*path);
}

void TTRecForm::LoadCmd(const FilePath& path) {
    if (LoadDump(path) == 1) EnterOfflineMode();
}

void TTRecForm::EnterOfflineMode() {
    PanelWelcome.Visible = false;
    RecTab.Visible = true;
    PollState = Poll::Offline;
    platform.SetTimerEnabled(false);
    menuClose.Enabled = true;
    TopPanel.Caption = "Close old data file to go back online!  ";
    SetStatus("Offline mode (old data file) ...");

    UpdateStatus();
    UpdateUser();
    UpdateAlarms();
    UpdateHistogram();
    LogSampleCount = MissionSamples;
    // The time this program wrote in line 2 is when the download began, as the saving
    // window showed it; a file without it (another program's form) keeps the device clock.
    DownloadTime = LoadedDownloadTime.value_or(DeviceClock);
    DownloadRegisterPage = Image.RegisterPage;
    UpdateLog();

    TabChangeByProgram = true;
    RecTab.PageIndex = 1;
    TabChangeByProgram = false;
    for (MenuItem* item :
         {&MenuExportToClip, &menuSaveHist, &MenuSaveData, &Printfullreport1, &PrintSummary, &MenuSaveCSV})
        item->Enabled = true;
    EnableGraphButtons(true);
}

void TTRecForm::menuCloseClick() {
    TopPanel.Caption.clear();
    PollState = Poll::Reset;
    AwaitingDevice = true;
    RecTab.Visible = false;
    PanelWelcome.Visible = true;
    Caption = "No iButton found!  ";
    // A start with a data file chose no port; without the driver's default the
    // search would never reach the adapter.
    std::int16_t number = 0, type = 0;
    if (PortType == 0 && PortNumber == 0 && driver.TMReadDefaultPort(&number, &type) == 1) {
        PortNumber = number;
        PortType = type;
        BottomPanel.Caption = PortText();
    }
    platform.SetTimerInterval(50);
    platform.SetTimerEnabled(true);
    menuClose.Enabled = false;
}
