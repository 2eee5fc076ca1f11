#include "app/TTRecForm.h"
#include "model/Bcd.h"
#include "results/StatusText.h"

void TTRecForm::UpdateStatus() {
    const auto& reg = Image.RegisterPage;
    const std::uint8_t control = reg[Reg::Control], status = reg[Reg::Status];

    MissionRunning = status & Reg::StatusMissionInProgress;
    MissionStatus.Caption = MissionRunning ? "in progress" : "ended";
    const bool rollover = control & Reg::ControlRollover;
    RolloverEnableLabel.Caption = rollover ? "yes" : "no";

    const BcdTime clock =
        BCDTimeToString(&reg[Reg::ClockSeconds], BcdForm::Full, reg[Reg::ClockMonth] & 0x80);
    DeviceClock = clock.Value;
    CurrentTimeLabel.Caption = clock.Text;
    TRecTimeLabel.Caption = clock.Text;

    const TDateTime now = platform.Now();
    PCTimeLabel.Caption = ComputerDateText(now);
    const TDateTime startBase = SetTimeCheck.Checked ? now : DeviceClock;
    StartDateLabel.Caption = ComputerDateText(startBase + DelayMinutes * kMinute);

    const TimeAlarmText alarm = DecodeTimeAlarm(reg);
    AlarmModeLabel.Caption = alarm.Mode;
    TimeAlarmSettingLabel.Caption = alarm.Setting;

    MissionSamples = MissionSampleCount(reg);
    MissionSamplesLabel.Caption = std::to_string(MissionSamples);
    DeviceCountLabel.Caption = std::to_string(DeviceSampleCount(reg));
    SampleRate = reg[Reg::SampleRate];
    SampleRateLabel.Caption = std::to_string(SampleRate);

    const bool century =
        MissionStartCentury(&reg[Reg::StampMinutes], MissionRunning, DeviceClock, SampleRate, MissionSamples);
    const BcdTime start = BCDTimeToString(&reg[Reg::StampMinutes], BcdForm::Short, century);
    MissionStart = start.Value;
    MissionStartLabel.Caption = start.Text;

    RolloverOccuredLabel.Caption = !rollover ? "n/a" : (MissionSamples > 2048 ? "yes" : "no");
    MissionDelayLabel.Caption = std::to_string(StartDelayMinutes(reg));

    const TemperatureOptions options = CurrentTemperatureOptions();
    HighThresholdLabel.Caption = TemperatureText(reg[Reg::HighThreshold], options);
    HighThresholdValue = TemperatureOf(reg[Reg::HighThreshold], options.Variant, options.Scale);
    LowThresholdLabel.Caption = TemperatureText(reg[Reg::LowThreshold], options);
    LowThresholdValue = TemperatureOf(reg[Reg::LowThreshold], options.Variant, options.Scale);

    // Bit 4 marks a conversion still under way: the byte at 0x211 is then stale.
    if (!MissionRunning && !(status & Reg::StatusSampleInProgress) && ForceReadRequested)
        ForceTempLabel.Caption = TemperatureText(reg[Reg::Temperature], options);

    TempAlarmLabel.Caption = TemperatureAlarmText(control, status);
    TimeAlarmLabel.Caption = TimeAlarmFlagsText(control, status);

    if (!MissionGroup.Visible) {
        MissionGroup.Visible = true;
        TempGroup.Visible = true;
        TimeGroup.Visible = true;
    }
}
