#include "app/TTRecForm.h"
#include "reports/ReportLines.h"

void TTRecForm::ExportData(bool toClipboard) {
    std::optional<FilePath> path;
    if (!toClipboard) {
        path = AskSavePath("txt", "Text File (txt)|*.txt");
        if (!path) return;
    }
    const std::string text = JoinCrLf(ReportLines());
    if (toClipboard)
        platform.SetClipboardText(text);
    else
        SaveText(*path, text);
}

std::vector<std::string> TTRecForm::ReportLines() { return FullReportLines(CurrentReportSource()); }

void TTRecForm::MenuSaveDataClick() { ExportData(false); }

void TTRecForm::MenuExportToClipClick() { ExportData(true); }
