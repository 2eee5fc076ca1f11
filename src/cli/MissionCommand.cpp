#include <cmath>
#include <iostream>
#include <set>

#include "app/TTRecForm.h"
#include "cli/BoxAnsweringPlatform.h"
#include "cli/ClassCommands.h"
#include "cli/CliPlatform.h"
#include "device/tmex/PortConfig.h"
#include "device/tmex/TmexDriver.h"
#include "model/Bcd.h"
#include "reports/SpreadsheetText.h"
#include "reports/Survey.h"
#include "setup/DelayCalculator.h"

namespace {
const char* const kPrefix = "kelvara-cli: mission: ";
constexpr int kSearchTimeoutMs = 5000;
constexpr int kJobTimeoutMs = 120000;
constexpr int kSwapPollMs = 250;

// The threshold list position whose entry is t, or -1.
int ThresholdPosition(double t, DeviceVariant variant, TempScale scale) {
    for (int p = 0; p < kThresholdEntries; ++p)
        if (std::abs(TemperatureOf(static_cast<std::uint8_t>(p), variant, scale) - t) < 0.0005) return p;
    return -1;
}

std::string ThresholdRule(const std::string& option, DeviceVariant variant, TempScale scale) {
    const double first = TemperatureOf(0, variant, scale),
                 last = TemperatureOf(kThresholdEntries - 1, variant, scale);
    const double step = TemperatureOf(1, variant, scale) - first;
    const char* unit = scale == TempScale::Fahrenheit ? " \xC2\xB0"
                                                        "F"
                                                      : " \xC2\xB0"
                                                        "C";
    return option + ": the wizard's threshold list for a " + VariantName(variant) + " DS1921 runs from " +
           DecimalText(first) + " to " + DecimalText(last) + unit + " in steps of " + DecimalText(step) +
           unit;
}

std::string Trimmed(std::string text) {
    text.erase(0, text.find_first_not_of(' '));
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

class MissionRun {
public:
    MissionRun(const MissionOptions& options, TmexDriver& driver, Platform& base, std::ostream& out,
               std::ostream& err, const std::function<void()>& programmed)
        : o(options),
          onProgrammed(programmed),
          driver(driver),
          platform(base, [this](const std::string& text, MsgButtons buttons,
                                MsgIcon icon) { return Answer(text, buttons, icon); }),
          form(platform, driver),
          out(out),
          err(err) {}

    int Run();

private:
    MsgResult Answer(const std::string& text, MsgButtons buttons, MsgIcon icon);
    // Ticks until the first device is found and idle; false when none is, or the adapter fails.
    bool FindFirstDevice();
    // The wizard's pages as a user goes through them; "" or the option the wizard would not take.
    std::string ChooseOnWizard();
    std::string ChooseStartAt();
    void WaitForNextDevice();
    void WaitUntilRemoved();
    int AdapterFailure();

    const MissionOptions& o;
    const std::function<void()>& onProgrammed;
    TmexDriver& driver;
    BoxAnsweringPlatform platform;
    TTRecForm form;
    std::ostream& out;
    std::ostream& err;
    std::vector<std::string> problems;  // boxes that report something, for the terminal
    std::set<std::string> programmed;   // ROMs of this run
    bool done = false;
    std::uint32_t jobStart = 0;
};

MsgResult MissionRun::Answer(const std::string& text, MsgButtons buttons, MsgIcon) {
    if (text.starts_with("Mission programmed!")) {
        programmed.insert(form.RomIdText);
        const auto startMinute =
            static_cast<std::int64_t>(std::floor(platform.Now() * 1440.0 + 1e-9)) + form.DelayMinutes;
        out << form.RomIdText << " " << IsoMinuteText(startMinute) << std::endl;
        if (onProgrammed) onProgrammed();
        done = static_cast<int>(programmed.size()) >= o.Batch;
        return done ? MsgResult::No : MsgResult::Yes;
    }
    if (text.starts_with("Remove the programmed device")) {
        WaitForNextDevice();
        jobStart = platform.TickCount();
        return MsgResult::Ok;
    }
    // Only reached with --force: the running mission was checked before Finish.
    if (text.starts_with("WARNING, a mission is currently running")) return MsgResult::Ok;
    // --force means erase: the command's own look at the device is no download to keep.
    if (text.starts_with("Save the data file before the mission is erased?")) return MsgResult::No;
    problems.push_back(text);
    return buttons == MsgButtons::YesNo      ? MsgResult::No
           : buttons == MsgButtons::OkCancel ? MsgResult::Cancel
                                             : MsgResult::Ok;
}

int MissionRun::AdapterFailure() {
    const std::string reason =
        !driver.LastSetupError().empty() ? driver.LastSetupError() : "it does not answer";
    err << kPrefix << "no adapter answers on port " << form.PortType << ":" << form.PortNumber << ": "
        << ForTerminal(reason) << "\n"
        << kPrefix << "kelvara-portsetup --list shows the adapters found.\n";
    return 1;
}

bool MissionRun::FindFirstDevice() {
    const std::uint32_t start = platform.TickCount();
    for (;;) {
        if (platform.Terminated()) return false;
        const std::uint32_t elapsed = platform.TickCount() - start;
        if ((form.AwaitingDevice && elapsed >= kSearchTimeoutMs) || elapsed >= kJobTimeoutMs) return false;
        form.TRecTimerTimer();
        if (!form.AwaitingDevice && (form.PollState == Poll::Idle || form.PollState == Poll::ClockRefresh))
            return true;
        if (form.PollState == Poll::Search) platform.Sleep(50);
    }
}

std::string MissionRun::ChooseStartAt() {
    TformCalc calculator(platform);
    const auto& m = *o.StartAt;
    const int yearPosition = m.Year - calculator.FirstYear;
    if (yearPosition < 0 || yearPosition >= static_cast<int>(calculator.cboYear.Items.size()) ||
        m.Month < 1 || m.Month > 12 || m.Day < 1 || m.Day > 31 || m.Hour < 0 || m.Hour > 23 || m.Minute < 0 ||
        m.Minute > 59)
        return "--start-at: Unuseable Date/Time: the start must lie within 44 days 23 hours 59 minutes from "
               "now";
    calculator.cboYear.Select(yearPosition);
    calculator.cboMonth.Select(m.Month - 1);
    calculator.cboDay.Select(m.Day - 1);
    calculator.cboHour.Select(m.Hour);
    calculator.cboMin.Select(m.Minute);
    const std::size_t before = problems.size();
    calculator.TimeChange();
    if (problems.size() != before) {
        problems.resize(before);
        return "--start-at: there is no such date";
    }
    if (calculator.HeldMinutes <= 0)
        return "--start-at: Unuseable Date/Time: the start must lie from one minute to 44 days 23 hours 59 "
               "minutes ahead";
    calculator.ButtonOkClick(form);
    return {};
}

std::string MissionRun::ChooseOnWizard() {
    if (o.Fahrenheit && !form.MenuFahrenheit.Checked) form.MenuFahrenheitClick();
    form.SelectRecTab(0);
    while (form.Wizard.PageIndex > 0) form.BackButtonClick();
    form.NextButtonClick();  // 1 "Mission Details"
    for (int k = 0; k < 6; ++k) form.EditUserChange(k, o.Details[k]);
    form.chkIgnore.Checked = o.IgnoreDetails;
    form.NextButtonClick();  // 2 "Time Set"
    form.SetTimeCheck.Checked = o.SetClock;
    form.NextButtonClick();  // 3 "Time Alarm"
    form.AlarmTimeCombo.Select(o.TimeAlarmMode);
    form.AlarmTimeComboChange();
    form.AlarmDay.Select(o.AlarmDay);
    form.AlarmHour.Select(o.AlarmHour);
    form.AlarmMinute.Select(o.AlarmMinute);
    form.AlarmSecond.Select(o.AlarmSecond);
    form.ConditionalOnTimeCheck.Checked = o.AlarmSearch;
    form.NextButtonClick();  // 4 "Mission Start Delay"
    if (o.StartAt) {
        if (std::string problem = ChooseStartAt(); !problem.empty()) return problem;
    } else if (o.StartDelay) {
        form.DelayDay.Select(*o.StartDelay / 1440);
        form.DelayHour.Select(*o.StartDelay % 1440 / 60);
        form.DelayMinute.Select(*o.StartDelay % 60);
        form.DelayDayChange();
    }
    form.NextButtonClick();  // 5 "Sample Rate"
    form.SampleMinutes.Select(o.Rate - 1);
    form.SampleMinutesChange();
    form.NextButtonClick();  // 6 "Temperature Alarms"
    const TemperatureOptions temperature = form.CurrentTemperatureOptions();
    for (const auto& [option, value, list] : {std::tuple{"--high", o.High, &form.HighThreshold},
                                              std::tuple{"--low", o.Low, &form.LowThreshold}}) {
        if (!value) continue;
        const int position = ThresholdPosition(*value, temperature.Variant, temperature.Scale);
        if (position < 0) return ThresholdRule(option, temperature.Variant, temperature.Scale);
        list->Select(position);
    }
    form.ConditionalOnTempHighCheck.Checked = o.AlarmSearch;
    form.ConditionalOnTempLowCheck.Checked = o.AlarmSearch;
    form.NextButtonClick();  // 7 "Roll-Over"
    form.RolloverCheck.Checked = o.Rollover;
    form.NextButtonClick();  // 8 "Finish": the summary
    return {};
}

void MissionRun::WaitUntilRemoved() {
    while (form.VerifyDevice() == 1) platform.Sleep(kSwapPollMs);
}

void MissionRun::WaitForNextDevice() {
    err << kPrefix << "remove " << form.RomIdText << ", then insert the next DS1921 ("
        << programmed.size() + 1 << " of " << o.Batch << ")" << std::endl;
    WaitUntilRemoved();
    for (;;) {
        std::string rom;
        if (form.FindFirstFamily(33, rom) == 1) {
            std::array<std::uint8_t, 32> registers{};
            std::string refusal;
            if (programmed.contains(rom)) {
                refusal = rom + " was programmed in this batch already";
            } else if (form.ReadPage(16, registers.data()) != 1) {
                platform.Sleep(kSwapPollMs);
                continue;
            } else if ((registers[Reg::Status] & Reg::StatusMissionInProgress) && !o.Force) {
                refusal = rom + " has a mission running, which is not cleared without --force";
            }
            if (refusal.empty()) return;
            err << kPrefix << refusal << ": take it out and insert another" << std::endl;
            WaitUntilRemoved();
            continue;
        }
        platform.Sleep(kSwapPollMs);
    }
}

int MissionRun::Run() {
    std::vector<std::string> driverNotes;
    driver.SetDiagnostics([&driverNotes](const std::string& text) { driverNotes.push_back(text); });
    form.FormCreate({});
    if (o.HasPort) {
        // The chosen port replaces the driver's default, found or not.
        platform.ClearTerminated();
        problems.clear();
        form.PortType = static_cast<std::int16_t>(o.PortType);
        form.PortNumber = static_cast<std::int16_t>(o.PortNumber);
    }
    if (platform.Terminated()) {
        err << kPrefix << (driverNotes.empty() ? "no adapter port is set" : driverNotes.back()) << "\n";
        return 1;
    }
    if (!FindFirstDevice()) {
        if (platform.Terminated()) return AdapterFailure();
        err << kPrefix << "no DS1921 was found on the " << PortTypeName(form.PortType) << " (port "
            << form.PortType << ":" << form.PortNumber << "); clip one into the adapter and try again\n";
        for (const auto& problem : problems) err << kPrefix << ForTerminal(problem) << "\n";
        return 1;
    }
    if (form.MissionRunning && !o.Force) {
        const std::string started = Trimmed(form.MissionStartLabel.Caption);
        err << kPrefix << form.RomIdText << " has a mission running ("
            << (started == kNotStartedText ? "waiting out its start delay"
                                           : "started " + ForTerminal(started))
            << "); it is not cleared without --force\n";
        return 1;
    }
    if (const std::string problem = ChooseOnWizard(); !problem.empty()) {
        err << kPrefix << problem << "; nothing was written\n";
        return 2;
    }
    form.FinishButtonClick();
    jobStart = platform.TickCount();
    while (!(done && form.PollState == Poll::StatusRead)) {
        if (!problems.empty()) {
            for (const auto& problem : problems) err << kPrefix << ForTerminal(problem) << "\n";
            return 1;
        }
        if (platform.Terminated()) return AdapterFailure();
        if (form.AwaitingDevice) {
            err << kPrefix << "the DS1921 left the adapter before its mission was written; last status:"
                << form.Status.Caption << "\n";
            return 1;
        }
        if (platform.TickCount() - jobStart >= kJobTimeoutMs) {
            err << kPrefix << "the mission was not written in time; last status:" << form.Status.Caption
                << "\n";
            return 1;
        }
        form.TRecTimerTimer();
    }
    if (o.Batch > 1) err << kPrefix << "programmed " << programmed.size() << " devices\n";
    return 0;
}
}  // namespace

int RunMission(const MissionOptions& options, TmexDriver& driver, Platform& platform, std::ostream& out,
               std::ostream& err, const std::function<void()>& programmed) {
    MissionRun run(options, driver, platform, out, err, programmed);
    return run.Run();
}
