#pragma once
// Conversions between the core's text and date conventions and Qt's, kept
// apart from the dialogs so they can be tested without showing anything.
#include <QDateTime>
#include <QString>
#include <string>

#include "model/DateTime.h"

// The core separates the lines of a message with a single carriage return.
QString MessageBoxText(const std::string& win1252);

// "Text File (txt)|*.txt|All (*.*)|*.*" -> "Text File (txt) (*.txt);;All (*.*) (*.*)".
QString QtFileFilter(const std::string& filter);
// The FilterIndex'th entry (1-based) of a converted filter, or empty.
QString SelectedQtFilter(const std::string& filter, int filterIndex);

TDateTime ToTDateTime(const QDateTime& local);
QDateTime FromTDateTime(TDateTime value);
