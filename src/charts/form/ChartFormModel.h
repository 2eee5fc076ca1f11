#pragma once
// TChartForm's decisions without a screen: the strip chart's design settings,
// PlotLog and PlotHistogram, the zoom handlers, the save dialog, the printed
// block of lines and closing. The Qt window and kelvara-cli's graph commands
// run this same code, so both draw the same picture.
#include <functional>
#include <string>
#include <vector>

#include "app/Platform.h"
#include "charts/stripchart/core/StripChartModel.h"
#include "results/GraphInputs.h"

// The default size of the chart in a new window, and of kelvara-cli's pictures.
inline constexpr int kGraphWidth = 760;
inline constexpr int kGraphHeight = 480;

inline constexpr const char* kGraphHint =
    "Click and drag the mouse to scroll the graph. Right click the mouse to zoom in and out.";

// StripChart1's settings as the window's form gives them, channels included.
void ApplyGraphDesign(StripChartModel& chart);

class ChartFormModel {
public:
    // beginUpdate/endUpdate: the chart's own, so that a load paints once.
    ChartFormModel(StripChartModel& chart, Platform& platform, std::function<void()> beginUpdate,
                   std::function<void()> endUpdate);

    StripChartModel& StripChart1;
    Platform& platform;
    std::string Caption;  // the window's caption
    std::string TitleLabel = kGraphHint;
    bool IsHistogram = false;
    GraphDetails Details;  // the mission the graph belongs to
    FileDialogRequest SaveGraph1;

    // What the front end does for the handlers: write the picture (by the
    // file's extension; false with the reason as program text), print the chart
    // with its lines (may throw), copy it, and release the window after the
    // current message. A failure reaches the user; the window stays usable.
    std::function<bool(const FilePath&, std::string& error)> SavePicture;
    std::function<void()> PrintPicture;
    std::function<void()> CopyPicture;
    std::function<void()> Release;
    // The owner's flags (the main window's LogChartOpen/HistogramChartOpen).
    std::function<void(bool isHistogram)> OnClosed;

    void PlotLog(const LogGraphInput& in);
    void PlotHistogram(const HistogramGraphInput& in);
    // The graph's title, the mission title and the device before the caption.
    std::string WindowTitle() const;

    void ZoomIn1Click() { Zoom(0.5, 0.5); }
    void ZoomIn2Click() { Zoom(0.5, 0.5); }
    void ZoomOut1Click() { Zoom(2, 2); }
    void ZoomOut2Click() { Zoom(2, 2); }
    void Zoom2Click() { Zoom(0.5, 0); }
    void ZoomOutXaxis1Click() { Zoom(2, 0); }
    void ZoomINYaxis1Click() { Zoom(0, 0.5); }
    void ZoomOutYaxis1Click() { Zoom(0, 2); }

    void mnuCopyGraphClick();
    void menuSaveGraphClick();
    // The lines printed under the graph.
    std::vector<std::string> GraphPrintLines() const;
    void mnuPrintClick();
    void mnuCloseClick();
    void FormClose();

private:
    void Zoom(double x, double y);
    void ShowError(const std::exception& error);

    std::function<void()> beginUpdate_, endUpdate_;
    bool closed_ = false;
};
