#pragma once
// Printing as a plain text stream: each line at the left edge of the printable
// area, lines wider than the page continued on the next printed line, a new
// page when the next line would not fit.
#include <QFontMetrics>
#include <QPrinter>
#include <QStringList>
#include <string>
#include <vector>

// Printed lines per page for the given page size in device pixels.
std::vector<QStringList> PaginateText(const std::vector<std::string>& lines, const QFontMetrics& metrics,
                                      int pageWidth, int pageHeight);

// Prints on a printer already chosen; false with error filled when the
// printer cannot start or reports an error.
bool PrintTextStream(QPrinter& printer, const std::vector<std::string>& lines, std::string& error);
