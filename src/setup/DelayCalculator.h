#pragma once
// The start-delay calculator "Calculate Delay...": the user picks a calendar
// moment and the dialog works out the delay in whole minutes from now, which OK
// hands to the wizard's delay lists.
#include <cstdint>
#include <string>

#include "app/Controls.h"
#include "app/Product.h"

class Platform;
class TTRecForm;

class TformCalc {
public:
    explicit TformCalc(Platform& platform);

    std::string Caption = "Calculate Delay...";
    std::string AppCaption = kProductName;  // caption of the date error box
    Control InfoLabel{true, true, "This calculator will work out the minutes delay for a certain date."};
    Control SelectLabel{true, true, "Select the Date and Time from the lists below:"};
    Control DayLabel{true, true, "Day:"}, MonthLabel{true, true, "Month:"}, YearLabel{true, true, "Year:"},
        HourLabel{true, true, "Hour:"}, MinLabel{true, true, "Min:"};
    ListControl cboDay, cboMonth, cboYear, cboHour, cboMin;
    Control StartDateCaption{true, true, "Start Date/Time:"};
    Control StartDateLabel;
    Control TotalMinutesCaption{true, true, "Delay:"};
    Control TotalMinutesLabel;
    Control ButtonOk{true, true, "OK"};

    // The last computed delay in whole minutes; what OK transfers.
    double HeldMinutes = 0;
    // Year of cboYear's first entry (the current year at the last opening).
    int FirstYear = 0;

    // Runs every time the dialog is shown.
    void FormCreate();
    // Change handler of the five lists.
    void TimeChange();
    void ButtonOkClick(TTRecForm& wizard);

    static constexpr std::int32_t kLargestDelay = 64799;  // 44 days 23:59, what the wizard's lists show

private:
    Platform& platform_;
};
