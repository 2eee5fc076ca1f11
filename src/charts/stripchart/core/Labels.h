#pragma once
// Axis label texts: the number of decimals from the precision style, numbers
// with "%.Nf", and date-times with the format letters d, m, y, h, n, s, z, am/pm.
#include <string>

#include "charts/stripchart/core/ChartTypes.h"

// Decimals for an axis spanning axisMin..axisMax. Fixed style: the precision.
// Significant digits: with n the smallest power of ten that gives the span an
// integer part, n + precision - digits of that part, never below 0.
int LabelDecimals(TPrecisionStyle style, int precision, double axisMin, double axisMax);

// The value with that many decimals, blanks trimmed, the given decimal separator.
std::string FormatNumberLabel(double value, int decimals, char decimalSeparator = '.');

// A date-time value (days since 1899-12-30) in the given format. A format that
// starts with J (either case) gives the whole day count, a blank, and the value
// in the rest of the format.
std::string FormatDateTimeLabel(double value, const std::string& format);
