#pragma once
// The main window as a form: its controls as state objects and its event
// handlers as methods, free of Qt. The handlers are implemented by subsystem:
//   app/TTRecForm.cpp             start-up, settings, status line, shutdown
//   device/Discovery.cpp          search, presence, light, variant detection
//   device/Ds1921Jobs.cpp         page read, scratchpad writes, clear, conversion
//   device/PollingCycle.cpp       the timer tick and the user actions that enter it
//   device/ProgrammingSequence.cpp  clear, verify and write of a new mission
//   setup/Wizard.cpp, setup/MissionComposition.cpp
//   results/StatusTab.cpp, results/ResultLists.cpp, results/TemperatureOptions.cpp
//   reports/*.cpp                 text report, printing, CSV, data file
//   help/HelpMenu.cpp             manual and web links
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "app/Controls.h"
#include "app/MainWindowControls.h"
#include "app/Platform.h"
#include "device/PollingState.h"
#include "device/tmex/TmexApi.h"
#include "files/FilePath.h"
#include "files/FileStore.h"
#include "model/DateTime.h"
#include "model/MemoryImage.h"
#include "model/Temperature.h"
#include "results/GraphInputs.h"
#include "results/ResultControls.h"
#include "results/StatusControls.h"
#include "setup/WizardControls.h"

class ChartWindows;
struct ReportSource;

// Values decoded from the register page by UpdateStatus.
struct MissionValues {
    bool MissionRunning = false;
    TDateTime DeviceClock = 0;
    TDateTime MissionStart = 0;
    std::int32_t MissionSamples = 0;
    std::int16_t SampleRate = 0;
    double HighThresholdValue = 0;
    double LowThresholdValue = 0;
};

class TTRecForm : public MainWindowControls,
                  public WizardControls,
                  public StatusControls,
                  public ResultControls,
                  public DeviceSessionState,
                  public PollingCycleState,
                  public MissionValues {
public:
    TTRecForm(Platform& platform, TmexApi& driver);
    TTRecForm(const TTRecForm&) = delete;
    TTRecForm& operator=(const TTRecForm&) = delete;
    ~TTRecForm();

    Platform& platform;
    TmexApi& driver;

    std::string AppCaption;
    std::array<std::string, 6> UserDetailCaptions;
    FilePath SavePath;
    FilePath SaveDialogInitialDir;
    // Where the saves of the menu commands go: to disk at once, unless a
    // front end collects them (kelvara-cli's batches).
    FileStore* Files = &DiskFileStore();
    // The chart windows of the front end; none: the buttons build nothing.
    ChartWindows* Charts = nullptr;
    MemoryImage Image;
    // Line 2 of the data file last loaded, when this program's own date-time form.
    std::optional<TDateTime> LoadedDownloadTime;
    std::array<std::string, 16> UserTexts;
    std::array<std::string, 16> NewUserTexts;
    bool OfflineMode() const { return PollState == Poll::Offline; }

    // ---- app: start-up, status line, shutdown ------------------------------
    // args: the command-line parameters after the program name, as the system
    // gave them (a data file's name in the file system's own bytes).
    void FormCreate(const std::vector<std::string>& args);
    void SetStatus(const std::string& text);
    void FormClose();
    void MenuExitClick();
    void FormDestroy();
    // The Yes/No box offering the port set-up tool; ends the application.
    void ShowAdapterMissingBox(bool atStartup);
    std::string PortText() const;

    // ---- device: discovery and presence ------------------------------------
    std::int16_t FindFirstFamily(std::int16_t family, std::string& romIdText);
    std::int16_t VerifyDevice();
    void NoDevice(bool absent);
    void Light(bool on);
    void DetectVariantFromRom(const std::string& romIdText);
    // NoDevice's reset to the welcome view.
    void ResetToWelcome();

    // ---- device: DS1921 jobs (each its own session) ------------------------
    std::int16_t ReadPage(std::int16_t page, std::uint8_t* destination);
    std::int16_t WriteScratch(const std::uint8_t* data, int length, std::uint16_t address);
    std::int16_t CopyScratch(int length, std::uint16_t address);
    std::int16_t WriteMission();
    std::int16_t WriteUser(int page);
    std::int16_t StopMission();
    std::int16_t ClearMemory();
    std::int16_t ForceConversion();

    // ---- device: polling cycle ---------------------------------------------
    void TRecTimerTimer();
    void ReadButtonClick();
    void ForceButtonClick();
    void MenuStopMissionClick();
    // Pages read and pages to read of the running download (0/0 when none).
    std::pair<int, int> DownloadProgress() const;
    // "read / to read" while a download runs, else empty.
    std::string DownloadProgressText() const;
    // The common handling of a job's result: true when r is 1; -1 reports the
    // device missing; -200, 0 and positives are retried silently; other negatives
    // put errorText in the status line and are counted, the twelfth identical one
    // in a row beeps and shows boxMessage. Both texts are shown as given: callers
    // build them with the code in, e.g. "Read Status page: error -5".
    bool HandleResult(std::int16_t r, const std::string& errorText, const std::string& boxMessage);
    // The reset of state 0 (controls, wizard, texts), then the search.
    void ResetWindow();
    bool TickRunning = false;  // guards against a tick starting inside another

    // ---- device: programming sequence (states 8, 9, 10) --------------------
    void RunClearState();
    void RunVerifyClearState();
    void RunWriteState();

    // ---- setup: wizard and mission composition -----------------------------
    void InitWizardControls();  // fills the fixed lists once, at construction
    void WizardReset();
    void NextButtonClick();
    void BackButtonClick();
    void AlarmTimeComboChange();
    void ShowTimeAlarm();
    void DelayDayChange();
    void SampleMinutesChange();
    void UpdateFinishStatement();
    void FinishButtonClick();
    // Finish over a running mission: the warning (Cancel by default), then, for results
    // downloaded and not saved, the offer to save the data file first. True: erase it.
    bool ConfirmEraseRunningMission();
    // A user field typed in the view (UTF-8), stored as Windows-1252 within its length.
    void EditUserChange(int index, const std::string& utf8Text);
    void CreateWriteStatus();
    void ComposeUserPages();

    // ---- results: Status tab, lists, options -------------------------------
    void UpdateStatus();
    void UpdateLog();
    void UpdateAlarms();
    void UpdateHistogram();
    void UpdateUser();
    // Empties the three lists, hides their groups and btnDetails, disables both radio groups.
    void ClearResults();
    void LogRadioClick();
    void HistRadioClick();
    void MenuShowFCClick();
    void btnDetailsClick();
    // NewTab: 0 "Wizard", 1 "Mission Results", 2 "Status". Returns AllowChange.
    bool RecTabChange(int newTab);
    // A page change asked for by the user: the page moves only when RecTabChange allows it.
    void SelectRecTab(int newTab);
    void MenuFahrenheitClick();
    void MenuCelsiusClick();
    void ChangeTempScale();
    // Rebuilds the shown lists and the Status tab after the scale or the unit display changed.
    void RefreshTemperatureTexts();
    void CreateThresholds();
    TemperatureOptions CurrentTemperatureOptions();
    std::string UnitSuffix();

    // ---- reports: data file, report, CSV, printing -------------------------
    void ExportData(bool toClipboard);
    std::vector<std::string> ReportLines();
    void ExportDataCSV();
    void ExportDataHist();
    // Asks for a file and saves the data file; true when it was saved.
    bool ExportDump();
    std::vector<std::string> DumpLines();
    std::int16_t LoadDump(const FilePath& path);
    // Step 1 to 3 of LoadDump: the results, the wizard and the texts reset.
    void ResetForLoad();
    // The part of LoadDump after the file was read: text is the file's start
    // (its first 184 lines at most), path only names it in messages.
    std::int16_t LoadDumpText(const std::string& text, const FilePath& path);
    void menuOpenClick();
    void LoadCmd(const FilePath& path);
    // Steps 3 to 5 of entering offline mode, after a successful LoadDump.
    void EnterOfflineMode();
    void menuCloseClick();
    void menuSaveData1Click();
    void MenuSaveDataClick();
    void MenuExportToClipClick();
    void MenuSaveCSVClick();
    void menuSaveHistClick();
    void PrintSummaryClick();
    void Printfullreport1Click();
    void PrinterSetup1Click();
    void PrintData();
    void PrintDataShort();
    // What the report, prints and CSV exports copy, as the window shows it now.
    ReportSource CurrentReportSource();
    // The device the shown data belongs to: in offline mode the one named by
    // the loaded caption, not the device seen last.
    std::string ReportRomText() const;
    // The shared save dialog: proposes the mission title or the ROM text, then
    // resets its folder to SavePath. Empty when cancelled.
    std::optional<FilePath> AskSavePath(const std::string& defaultExt, const std::string& filter);
    // Saves through Files; a failure shows the system's message.
    bool SaveText(const FilePath& path, const std::string& text);
    std::vector<std::string> PrintedReportLines(bool full);

    // ---- charts: the buttons that open the chart windows ------------------
    void GraphLogButtonClick();
    void GraphHistButtonClick();
    // What the buttons hand over, as the window shows the results now.
    LogGraphInput LogGraphArguments();
    HistogramGraphInput HistogramGraphArguments();
    GraphDetails CurrentGraphDetails();
    // A chart window closed by its user: its kind's flag is cleared.
    void ChartWindowClosed(bool isHistogram);
    void DestroyChartWindows();
    void EnableGraphButtons(bool enabled);

    // ---- help: manual and web links ----------------------------------------
    void Manual1Click();
    void WebPage1Click();
    void Support1Click();
    void PortLabelClick();
    void StartNewBrowserWindow(const std::string& url);
};
