#include "setup/DelayCalculator.h"

#include <cmath>

#include "app/TTRecForm.h"
#include "model/Bcd.h"
#include "model/DateTime.h"

TformCalc::TformCalc(Platform& platform) : platform_(platform) {
    FillNumbers(cboDay, 1, 31, false);
    FillNumbers(cboMonth, 1, 12, false);
    FillNumbers(cboHour, 0, 23, true);
    FillNumbers(cboMin, 0, 59, true);
    FormCreate();
}

void TformCalc::FormCreate() {
    const DateTimeParts now = DecodeDateTime(platform_.Now());
    // Delays reach 45 days at most, so this year and the next cover every useful moment.
    FirstYear = now.Year;
    FillNumbers(cboYear, FirstYear, FirstYear + 1, false);
    cboDay.Select(now.Day - 1);
    cboMonth.Select(now.Month - 1);
    cboYear.Select(0);
    cboHour.Select(now.Hour);
    cboMin.Select(now.Minute);
    StartDateLabel.Caption = "Unuseable Date/Time";
    TotalMinutesLabel.Caption = "0";
    // OK transfers what the dialog shows, and an opened dialog shows 0.
    HeldMinutes = 0;
}

void TformCalc::TimeChange() {
    for (const ListControl* list : {&cboDay, &cboMonth, &cboYear, &cboHour, &cboMin})
        if (list->ItemIndex < 0) return;
    TDateTime moment = 0;
    if (!TryEncodeDateTime(FirstYear + cboYear.ItemIndex, cboMonth.ItemIndex + 1, cboDay.ItemIndex + 1,
                           cboHour.ItemIndex, cboMin.ItemIndex, 0, 0, moment)) {
        platform_.MessageBox("Invalid argument to date encode", AppCaption, MsgButtons::Ok, MsgIcon::Error);
        return;
    }
    // Whole minutes toward zero, counted in milliseconds so an exact minute is not lost to rounding.
    const long long milliseconds = std::llround((moment - platform_.Now()) * 86400000.0);
    long long minutes = milliseconds / 60000;
    if (minutes < 0 || minutes > kLargestDelay) minutes = 0;
    HeldMinutes = static_cast<double>(minutes);
    StartDateLabel.Caption = minutes == 0 ? "Unuseable Date/Time" : ComputerDateText(moment);
    TotalMinutesLabel.Caption = std::to_string(minutes);
}

void TformCalc::ButtonOkClick(TTRecForm& wizard) {
    auto m = static_cast<std::int32_t>(HeldMinutes);
    const std::int32_t days = m / 1440;
    m -= days * 1440;
    const std::int32_t hours = m / 60;
    m -= hours * 60;
    wizard.DelayDay.Select(days);
    wizard.DelayHour.Select(hours);
    wizard.DelayMinute.Select(m);
    wizard.DelayMinutes = static_cast<std::int32_t>(HeldMinutes);
    wizard.TotalMinutesLabel.Caption = std::to_string(wizard.DelayMinutes);
}
