// The data-file reader: any bytes as a data file, loaded as offline mode
// loads one, then every view and output the loaded image feeds.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzPlatform.h"
#include "app/TTRecForm.h"
#include "cli/OfflineDriver.h"
#include "reports/DumpFormat.h"
#include "reports/LogTable.h"
#include "reports/ReportLines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    MemoryImage image;
    if (ReadDump(text, image).Ok) {
        // The survey and the class table decode the image on their own.
        const std::vector<SurveyRow> rows{
            SurveyRowOf(FilePath("fuzz.dmp"), DigestMission(image, std::string(FirstDumpLine(text))), true)};
        SurveyCsv(rows, TempScale::Celsius);
        SurveyText(rows, TempScale::Fahrenheit);
        LongTableCsv(rows, TempScale::Celsius);
        WideTableCsv(rows, TempScale::Fahrenheit);
    }

    FuzzPlatform platform;
    OfflineDriver driver;
    TTRecForm form(platform, driver);
    if (form.LoadDumpText(text, FilePath("fuzz.dmp")) != 1) return 0;
    form.EnterOfflineMode();
    // The first byte picks the views, so the corpus reaches all of them.
    const unsigned views = size > 0 ? data[0] : 0;
    if (views & 1) form.MenuFahrenheitClick();
    if (views & 2) form.MenuShowFCClick();
    form.LogRadio.Select((views >> 2) & 1);
    form.LogRadioClick();
    form.HistRadio.Select(static_cast<int>((views >> 3) % 3));
    form.HistRadioClick();
    form.ExportData(true);
    CsvLines(form.CurrentReportSource(), form.LogSyntax.Caption, form.LogList.Items);
    CsvLines(form.CurrentReportSource(), form.HistSyntax.Caption, form.HistList.Items);
    form.PrintedReportLines(true);
    form.PrintedReportLines(false);
    form.DumpLines();
    return 0;
}
