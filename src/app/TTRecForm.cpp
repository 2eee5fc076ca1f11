#include "app/TTRecForm.h"

#include <cstdio>

#include "app/Product.h"
#include "app/Settings.h"
#include "files/WritableFolder.h"

namespace {
constexpr const char* kPortSetupTool = "kelvara-portsetup";
}

TTRecForm::TTRecForm(Platform& platformPort, TmexApi& driverApi) : platform(platformPort), driver(driverApi) {
    LogRadio.Items = {"Date/Time", "Minute Offset "};
    LogRadio.ItemIndex = 0;
    LogRadio.Enabled = false;
    LogRadio.Caption = "Alarms/Log";
    HistRadio.Items = {"Range", "Start Only", "Bin Number"};
    HistRadio.ItemIndex = 0;
    HistRadio.Enabled = false;
    HistRadio.Caption = "Histogram";
    InitWizardControls();
}

TTRecForm::~TTRecForm() { FormDestroy(); }

void TTRecForm::FormCreate(const std::vector<std::string>& args) {
    DriverState.assign(kDriverStateSize, 0);
    StateBufferAllocated = true;
    AppCaption = kProductName;

    const FilePath programDir = platform.ProgramDir();
    const TitlesSettings settings = ReadTitlesIni(programDir / "Titles.ini", programDir);
    for (int i = 0; i < 6; ++i) {
        lbluser[i].Caption = settings.Titles[i];
        UserDetailCaptions[i] = settings.Titles[i] + " ";
    }
    SavePath = settings.SavePath;
    // An installed program's folder takes no files: the dialogs then start in the user's documents.
    if (!IsWritableFolder(SavePath))
        if (const FilePath documents = platform.DocumentsDir(); !documents.empty()) SavePath = documents;
    if (!settings.Problems.empty()) {
        // The file is only read, so a fault in it costs the default for that key, nothing more.
        std::string text = "Titles.ini has entries that could not be used:";
        for (const auto& problem : settings.Problems) text += "\r" + problem;
        text += "\r\rThe defaults are used instead.";
        platform.MessageBox(text, AppCaption, MsgButtons::Ok, MsgIcon::Warning);
    }

    PollState = Poll::Reset;
    DriverSetupDone = false;
    MissionRunning = false;
    TabChangeByProgram = false;

    if (settings.SerialPort != "0") {
        int type = 0, number = 0;
        ParsePortValue(settings.Adapter, type);
        ParsePortValue(settings.SerialPort, number);
        PortType = static_cast<std::int16_t>(type);
        PortNumber = static_cast<std::int16_t>(number);
    } else if (args.empty()) {
        if (driver.TMReadDefaultPort(&PortNumber, &PortType) != 1) ShowAdapterMissingBox(true);
    }
    BottomPanel.Caption = PortText();

    std::string joined;
    for (const auto& arg : args) joined += (joined.empty() ? "" : " ") + arg;
    const bool loadAttempted = joined.size() > 3;
    if (loadAttempted) LoadCmd(FilePath(joined));

    // A file that could not be loaded leaves the program online, as a failed load from
    // the menu does, on the port a start without parameters would have chosen.
    const bool loadFailed = loadAttempted && !OfflineMode();
    if (loadFailed && settings.SerialPort == "0") {
        if (driver.TMReadDefaultPort(&PortNumber, &PortType) != 1) ShowAdapterMissingBox(true);
        BottomPanel.Caption = PortText();
    }
    if (args.empty() || loadFailed) {
        platform.SetTimerInterval(50);
        platform.SetTimerEnabled(true);
    }
    ForceReadRequested = false;
    SaveDialogInitialDir = SavePath;
}

std::string TTRecForm::PortText() const {
    if (PortType == kPortTypeUsbDs2490) return " Port: USB";
    if (PortType == kPortTypeVirtual) return " Port: Virtual";
    return " Port: COM" + std::to_string(PortNumber) + "   ";
}

void TTRecForm::ShowAdapterMissingBox(bool atStartup) {
    std::string text =
        "Blue-dot adapter not found!\r"
        "Check that the adapter is connected to the computer.\r";
    if (atStartup) text += "and then re-start the software.\r";
    text +=
        "\r"
        "Also check no other equipment/software is already using the port.\r"
        "\r"
        "If the adapter is already connected you may run the\r"
        "\"Port Setup Tool\" to configure the adapter & serial port!\r"
        "(Select adapter type DS9097U on port 1 or 2).\r"
        "\r"
        "Run the \"Port Setup Tool\" now?";
    if (platform.MessageBox(text, AppCaption, MsgButtons::YesNo, MsgIcon::Warning) == MsgResult::Yes)
        platform.StartProgram(platform.ProgramDir() / kPortSetupTool);
    platform.Terminate();
}

void TTRecForm::SetStatus(const std::string& text) {
    const std::string shown = " " + text;
    if (Status.Caption != shown) Status.Caption = shown;
}

void TTRecForm::FormClose() {
    DestroyChartWindows();
    platform.Terminate();
}

void TTRecForm::MenuExitClick() { FormClose(); }

void TTRecForm::FormDestroy() {
    if (StateBufferAllocated) {
        DriverState.clear();
        DriverState.shrink_to_fit();
        StateBufferAllocated = false;
    }
}

std::string TTRecForm::DownloadProgressText() const {
    const auto [read, toRead] = DownloadProgress();
    return toRead > 0 ? std::to_string(read) + " / " + std::to_string(toRead) : std::string();
}
