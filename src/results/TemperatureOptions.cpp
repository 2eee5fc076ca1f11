#include <algorithm>

#include "app/TTRecForm.h"

// Each click inverts the item clicked, so clicking the checked scale switches too.
void TTRecForm::MenuFahrenheitClick() {
    MenuFahrenheit.Checked = !MenuFahrenheit.Checked;
    MenuCelsius.Checked = !MenuFahrenheit.Checked;
    ChangeTempScale();
}

void TTRecForm::MenuCelsiusClick() {
    MenuCelsius.Checked = !MenuCelsius.Checked;
    MenuFahrenheit.Checked = !MenuCelsius.Checked;
    ChangeTempScale();
}

void TTRecForm::ChangeTempScale() {
    DegreeLabel.Caption = MenuFahrenheit.Checked ? "(Fahrenheit)" : "(Celsius)";
    CreateThresholds();
    RefreshTemperatureTexts();
}

void TTRecForm::RefreshTemperatureTexts() {
    if (LogBox.Visible) UpdateLog();
    if (HistogramBox.Visible) UpdateHistogram();
    if (AlarmBox.Visible) UpdateAlarms();
    UpdateStatus();
}

// A list position is the threshold byte itself, so positions survive a rebuild.
void TTRecForm::CreateThresholds() {
    const auto keep = [](const ListControl& list) {
        return std::clamp(list.ItemIndex, 0, kThresholdEntries - 1);
    };
    const int high = keep(HighThreshold), low = keep(LowThreshold);
    const TemperatureOptions options = CurrentTemperatureOptions();
    const auto texts = ThresholdTexts(options.Variant, options.Scale, options.DecimalSeparator);
    for (ListControl* list : {&HighThreshold, &LowThreshold}) {
        list->Clear();
        for (const auto& text : texts) list->Add(text);
    }
    HighThreshold.Select(high);
    LowThreshold.Select(low);
}

TemperatureOptions TTRecForm::CurrentTemperatureOptions() {
    TemperatureOptions options;
    options.Variant = menuHuman.Checked ? DeviceVariant::HumanBody
                      : menuIce.Checked ? DeviceVariant::LowTemp
                                        : DeviceVariant::Standard;
    options.Scale = MenuFahrenheit.Checked ? TempScale::Fahrenheit : TempScale::Celsius;
    options.ShowUnit = MenuShowFC.Checked;
    options.DecimalSeparator = platform.DecimalSeparator();
    return options;
}

std::string TTRecForm::UnitSuffix() { return ::UnitSuffix(CurrentTemperatureOptions()); }
