#include "charts/stripchart/core/Labels.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "model/DateTime.h"

namespace {
// Beyond this many decimals a double carries nothing more to show.
constexpr int kMaxDecimals = 20;
// Day counts of 0001-01-01 and 9999-12-31: the calendar the labels can show.
constexpr double kFirstDay = -693593.0;
constexpr double kLastDay = 2958466.0;

int IntegerDigits(double wholePart) {
    int digits = 1;
    for (double limit = 10.0; wholePart >= limit && digits < 400; limit *= 10.0) ++digits;
    return digits;
}

const char* const kShortMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kLongMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
const char* const kShortDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kLongDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};

std::string Padded(int value, int width) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", width, value);
    return text;
}

bool StartsWithNoCase(const std::string& text, std::size_t at, const char* word) {
    for (std::size_t i = 0; word[i]; ++i) {
        if (at + i >= text.size() ||
            std::tolower(static_cast<unsigned char>(text[at + i])) != static_cast<unsigned char>(word[i]))
            return false;
    }
    return true;
}

// The am/pm markers switch every hour of the format to the 12-hour clock.
bool HasHalfDayMarker(const std::string& format) {
    for (std::size_t i = 0; i < format.size(); ++i)
        if (StartsWithNoCase(format, i, "am/pm") || StartsWithNoCase(format, i, "a/p")) return true;
    return false;
}

// Copies the marker in the case it was written: "AM/PM" gives "PM", "am/pm" gives "pm".
std::string HalfDayText(const std::string& format, std::size_t at, std::size_t length, bool pm) {
    const bool shortForm = length == 3;
    const std::size_t pick = pm ? (shortForm ? 2 : 3) : 0;
    return format.substr(at + pick, shortForm ? 1 : 2);
}

class DateTimeFormatter {
public:
    DateTimeFormatter(double value, const std::string& format)
        : parts_(DecodeDateTime(value)), format_(format), twelveHour_(HasHalfDayMarker(format)) {}

    std::string Run() {
        std::size_t i = 0;
        while (i < format_.size()) i = Step(i);
        return out_;
    }

private:
    std::size_t Run(char letter, std::size_t at) const {
        std::size_t n = 0;
        while (at + n < format_.size() && std::tolower(static_cast<unsigned char>(format_[at + n])) == letter)
            ++n;
        return n;
    }

    std::size_t Step(std::size_t i) {
        const char c = format_[i];
        const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (c == '"' || c == '\'') {
            const std::size_t close = format_.find(c, i + 1);
            const std::size_t end = close == std::string::npos ? format_.size() : close;
            out_ += format_.substr(i + 1, end - i - 1);
            return end == format_.size() ? end : end + 1;
        }
        if (lower == 'a') {
            if (StartsWithNoCase(format_, i, "am/pm")) return HalfDay(i, 5);
            if (StartsWithNoCase(format_, i, "a/p")) return HalfDay(i, 3);
        }
        const std::size_t n = Run(lower, i);
        switch (lower) {
            case 'd':
                Day(n);
                break;
            case 'm':
                Month(n);
                break;
            case 'y':
                out_ += n <= 2 ? Padded(parts_.Year % 100, 2) : Padded(parts_.Year, 4);
                break;
            case 'h':
                Hour(n);
                break;
            case 'n':
                Minute(n);
                break;
            case 's':
                out_ += Padded(parts_.Second, n >= 2 ? 2 : 1);
                break;
            case 'z':
                out_ += Padded(parts_.Millisecond, n >= 3 ? 3 : 1);
                break;
            default:
                out_ += c;
                afterHour_ = afterHour_ && (c == ':' || c == ' ');
                return i + 1;
        }
        return i + n;
    }

    std::size_t HalfDay(std::size_t at, std::size_t length) {
        out_ += HalfDayText(format_, at, length, parts_.Hour >= 12);
        afterHour_ = false;
        return at + length;
    }
    void Day(std::size_t n) {
        if (n >= 5)
            out_ += Padded(parts_.Day, 2) + "/" + Padded(parts_.Month, 2) + "/" + Padded(parts_.Year, 4);
        else if (n == 4)
            out_ += kLongDays[parts_.DayOfWeek - 1];
        else if (n == 3)
            out_ += kShortDays[parts_.DayOfWeek - 1];
        else
            out_ += Padded(parts_.Day, static_cast<int>(n));
        afterHour_ = false;
    }
    void Month(std::size_t n) {
        // m right after an hour means minutes.
        if (afterHour_ && n <= 2) return Minute(n);
        if (n >= 4)
            out_ += kLongMonths[parts_.Month - 1];
        else if (n == 3)
            out_ += kShortMonths[parts_.Month - 1];
        else
            out_ += Padded(parts_.Month, static_cast<int>(n));
        afterHour_ = false;
    }
    void Hour(std::size_t n) {
        int hour = parts_.Hour;
        if (twelveHour_) hour = hour % 12 == 0 ? 12 : hour % 12;
        out_ += Padded(hour, n >= 2 ? 2 : 1);
        afterHour_ = true;
    }
    void Minute(std::size_t n) {
        out_ += Padded(parts_.Minute, n >= 2 ? 2 : 1);
        afterHour_ = false;
    }

    DateTimeParts parts_;
    const std::string& format_;
    bool twelveHour_;
    bool afterHour_ = false;
    std::string out_;
};
}  // namespace

int LabelDecimals(TPrecisionStyle style, int precision, double axisMin, double axisMax) {
    if (style == psFixedDecimalPoints) return std::clamp(precision, 0, kMaxDecimals);
    if (precision < 1) return 0;
    double span = std::fabs(axisMax - axisMin);
    if (!std::isfinite(span)) span = 0.0;
    int n = 0;
    double whole = 0.0;
    if (span != 0.0) {
        while ((whole = std::trunc(span * std::pow(10.0, n))) == 0.0 && n < kMaxDecimals) ++n;
    }
    return std::clamp(n + precision - IntegerDigits(whole), 0, kMaxDecimals);
}

std::string FormatNumberLabel(double value, int decimals, char decimalSeparator) {
    char text[512];
    std::snprintf(text, sizeof text, "%.*f", std::clamp(decimals, 0, kMaxDecimals), value);
    std::string label = text;
    const auto first = label.find_first_not_of(' ');
    label = first == std::string::npos ? std::string()
                                       : label.substr(first, label.find_last_not_of(' ') - first + 1);
    if (decimalSeparator != '.') {
        const auto point = label.find('.');
        if (point != std::string::npos) label[point] = decimalSeparator;
    }
    return label;
}

std::string FormatDateTimeLabel(double value, const std::string& format) {
    if (!(value >= kFirstDay && value < kLastDay)) return std::string();
    if (!format.empty() && (format[0] == 'J' || format[0] == 'j')) {
        char day[32];
        std::snprintf(day, sizeof day, "%.0f", std::trunc(value));
        return std::string(day) + " " + DateTimeFormatter(value, format.substr(1)).Run();
    }
    return DateTimeFormatter(value, format).Run();
}
