#include "app/qt/PlatformText.h"

#include <QStringList>

#include "app/qt/ControlBinding.h"

QString MessageBoxText(const std::string& win1252) {
    QString text = ToQString(win1252);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

namespace {
QStringList FilterEntries(const std::string& filter) {
    const QStringList parts = ToQString(filter).split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        // Windows lists several patterns with ';', Qt with blanks.
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        entries << QStringLiteral("%1 (%2)").arg(parts[i], patterns.simplified());
    }
    return entries;
}
}  // namespace

QString QtFileFilter(const std::string& filter) { return FilterEntries(filter).join(QStringLiteral(";;")); }

QString SelectedQtFilter(const std::string& filter, int filterIndex) {
    const QStringList entries = FilterEntries(filter);
    return filterIndex >= 1 && filterIndex <= entries.size() ? entries[filterIndex - 1] : QString();
}

TDateTime ToTDateTime(const QDateTime& local) {
    const QDate date = local.date();
    const QTime time = local.time();
    TDateTime value = 0;
    if (!TryEncodeDateTime(date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second(),
                           time.msec(), value))
        return 0;
    return value;
}

QDateTime FromTDateTime(TDateTime value) {
    const DateTimeParts parts = DecodeDateTime(value);
    return QDateTime(QDate(parts.Year, parts.Month, parts.Day),
                     QTime(parts.Hour, parts.Minute, parts.Second, parts.Millisecond));
}
