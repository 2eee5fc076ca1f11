#include "app/qt/TextPrinting.h"

#include <QPainter>
#include <algorithm>

#include "app/qt/ControlBinding.h"

namespace {
// Splits one line into pieces that fit the width, breaking between characters
// as a text stream does; every piece holds at least one character.
QStringList WrapLine(const QString& line, const QFontMetrics& metrics, int width) {
    if (line.isEmpty()) return {QString()};
    QStringList pieces;
    int start = 0;
    while (start < line.size()) {
        int end = start + 1;
        while (end < line.size() && metrics.horizontalAdvance(line.mid(start, end + 1 - start)) <= width)
            ++end;
        pieces << line.mid(start, end - start);
        start = end;
    }
    return pieces;
}
}  // namespace

std::vector<QStringList> PaginateText(const std::vector<std::string>& lines, const QFontMetrics& metrics,
                                      int pageWidth, int pageHeight) {
    const int lineHeight = std::max(1, metrics.lineSpacing());
    const int linesPerPage = std::max(1, pageHeight / lineHeight);
    std::vector<QStringList> pages(1);
    for (const auto& line : lines) {
        for (const QString& piece : WrapLine(ToQString(line), metrics, pageWidth)) {
            if (pages.back().size() >= linesPerPage) pages.emplace_back();
            pages.back() << piece;
        }
    }
    return pages;
}

bool PrintTextStream(QPrinter& printer, const std::vector<std::string>& lines, std::string& error) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        error = "The printer could not be started.";
        return false;
    }
    // The printer's own default font, at the printer's resolution.
    const QFont font(painter.font(), &printer);
    painter.setFont(font);
    const QFontMetrics metrics(font, &printer);
    const QRect area = printer.pageLayout().paintRectPixels(printer.resolution());
    const auto pages = PaginateText(lines, metrics, area.width(), area.height());
    for (std::size_t p = 0; p < pages.size(); ++p) {
        if (p > 0 && !printer.newPage()) {
            painter.end();
            error = "The printer refused a new page.";
            return false;
        }
        int y = metrics.ascent();
        for (const QString& piece : pages[p]) {
            painter.drawText(0, y, piece);
            y += metrics.lineSpacing();
        }
    }
    painter.end();
    if (printer.printerState() == QPrinter::Error) {
        error = "The printer reported an error; the document may be incomplete.";
        return false;
    }
    return true;
}
