#include <cmath>

#include "TestChart.h"
#include "charts/stripchart/core/Labels.h"

TEST(LabelsTest, SignificantDigitsFollowTheSpan) {
    EXPECT_EQ(LabelDecimals(psSignificantDigits, 3, 0, 5.375), 2);
    EXPECT_EQ(LabelDecimals(psSignificantDigits, 3, 20.0, 20.05), 4);
    EXPECT_EQ(LabelDecimals(psSignificantDigits, 1, -26, 500), 0);
    EXPECT_EQ(LabelDecimals(psSignificantDigits, 3, 5.375, 0), 2);  // a reversed axis counts alike
    EXPECT_EQ(LabelDecimals(psSignificantDigits, 0, 0, 0.001), 0);
    EXPECT_EQ(LabelDecimals(psSignificantDigits, 3, 7, 7), 2);  // no span: n = 0, one digit
}

TEST(LabelsTest, FixedDecimalsAreThePrecision) {
    EXPECT_EQ(LabelDecimals(psFixedDecimalPoints, 3, 0, 1000), 3);
    EXPECT_EQ(LabelDecimals(psFixedDecimalPoints, -2, 0, 1), 0);
}

TEST(LabelsTest, SpansWithoutAnIntegerPartNeverHang) {
    EXPECT_EQ(LabelDecimals(psSignificantDigits, 2, 0, 1e-300), 20);
    EXPECT_EQ(LabelDecimals(psSignificantDigits, 2, 0, std::nan("")), 1);
    EXPECT_EQ(LabelDecimals(psSignificantDigits, 2, -INFINITY, INFINITY), 1);
    EXPECT_EQ(LabelDecimals(psSignificantDigits, 2, 0, 1e300), 0);
}

TEST(LabelsTest, NumbersUseTheDecimalsAndSeparator) {
    EXPECT_EQ(FormatNumberLabel(21.5, 2), "21.50");
    EXPECT_EQ(FormatNumberLabel(-4.975, 0), "-5");
    EXPECT_EQ(FormatNumberLabel(3.14159, 3, ','), "3,142");
}

TEST(LabelsTest, JFormatGivesTheDayNumberAndTheRest) {
    EXPECT_EQ(FormatDateTimeLabel(38000.5, "Jhh:nn"), "38000 12:00");
    EXPECT_EQ(FormatDateTimeLabel(38000.75, "jhh:nn"), "38000 18:00");
}

TEST(LabelsTest, DateTimeFormatLetters) {
    // 38000 is Wednesday 14 January 2004.
    EXPECT_EQ(FormatDateTimeLabel(38000.5, "d mmm hh:nn"), "14 Jan 12:00");
    EXPECT_EQ(FormatDateTimeLabel(38000.25, "dd/mm/yyyy hh:nn:ss"), "14/01/2004 06:00:00");
    EXPECT_EQ(FormatDateTimeLabel(38000.0, "dddd d mmmm yy"), "Wednesday 14 January 04");
    EXPECT_EQ(FormatDateTimeLabel(38000.0 + 1.0 / 1440 * 7, "h:mm"), "0:07");  // m after h is minutes
    EXPECT_EQ(FormatDateTimeLabel(38000.5, "'at' hh\"h\""), "at 12h");
}

TEST(LabelsTest, HalfDayMarkersUseTheTwelveHourClock) {
    EXPECT_EQ(FormatDateTimeLabel(38000.5, "hh:nn:ssam/pm"), "12:00:00pm");
    EXPECT_EQ(FormatDateTimeLabel(38000.0, "hh:nn:ssam/pm"), "12:00:00am");
    EXPECT_EQ(FormatDateTimeLabel(38000.75, "h:nn AM/PM"), "6:00 PM");
    EXPECT_EQ(FormatDateTimeLabel(38000.25, "h a/p"), "6 a");
}

TEST(LabelsTest, DatesOutsideTheCalendarGiveNoLabel) {
    EXPECT_EQ(FormatDateTimeLabel(1e12, "d mmm"), "");
    EXPECT_EQ(FormatDateTimeLabel(std::nan(""), "d mmm"), "");
}

TEST(LabelsTest, TheChartFormatsItsAxes) {
    TestChart chart;
    chart.SetYAxisLabelPrecision(3);
    chart.SetYAxisMin(18.8125);
    chart.SetYAxisMax(24.19);  // span 5.3775: 2 decimals
    EXPECT_EQ(chart.YLabelText(chart.YAxisMax()), "24.19");
    chart.SetXAxisDateTimeEnabled(true);
    chart.SetXAxisDateTimeFormatString("Jhh:nn");
    EXPECT_EQ(chart.XLabelText(38000.5), "38000 12:00");
    chart.SetXAxisDateTimeEnabled(false);
    EXPECT_EQ(chart.XLabelText(2.25), "2");
}

TEST(LabelsTest, CursorReadoutShowsNullForMissingValues) {
    TestChart chart;
    chart.SetDiscontinuousDataEnabled(true);
    chart.AddChannel("A", ChartColors::White);
    AddTimes(chart, 3);
    chart.SetChannelData(0, 1, 42.0);
    chart.SetToolBarMode(scmCursor);  // the middle of [0, 10] is past the data: the last index
    EXPECT_EQ(chart.CursorReadout(), "X = 2 Y = Null");
    chart.MoveCursor(1);
    EXPECT_EQ(chart.CursorReadout(), "X = 1  Y = 42");
}
