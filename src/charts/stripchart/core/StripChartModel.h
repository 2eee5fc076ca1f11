#pragma once
// Everything of the strip chart that needs no screen: its published properties
// with their defaults, the time indexes and channels, the visible range, the
// cursor, auto-scroll, auto-scale, zoom and scroll. The widget derives from it
// and answers the three requests (repaint, full redraw, data-update event).
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "charts/stripchart/core/Channels.h"
#include "charts/stripchart/core/Scaling.h"

// A channel as the stored form data lists it.
struct TChannelDefinition {
    std::string Name;
    ChartColor Color = ChartColors::White;
    TChannelLineStyle LineStyle = clsSolid;
    int LineWidth = 1;
    friend bool operator==(const TChannelDefinition&, const TChannelDefinition&) = default;
};

// A property whose setter ignores an equal value and otherwise requests a full redraw.
#define STRIPCHART_PROPERTY(Type, Name, ...)     \
public:                                          \
    const Type& Name() const { return Name##_; } \
    void Set##Name(const Type& value) {          \
        if (Name##_ == value) return;            \
        Name##_ = value;                         \
        RequestFullRedraw();                     \
    }                                            \
                                                 \
private:                                         \
    Type Name##_ = __VA_ARGS__;

class StripChartModel {
public:
    using Event = std::function<void()>;

    StripChartModel() = default;
    virtual ~StripChartModel() = default;
    StripChartModel(const StripChartModel&) = delete;
    StripChartModel& operator=(const StripChartModel&) = delete;

    // Data.
    int AddTimeIndex(double x);
    void SetChannelData(int channel, int index, double value);
    void ClearAllData();
    int FindTimeIndex(double x) const;
    int TimeIndexCount() const { return times_.Count(); }
    double TimeIndex(int index) const { return times_.Get(index); }
    const TDoubleList& TimeIndexes() const { return times_; }

    // Channels; a channel's number is its position.
    int AddChannel(const std::string& name, ChartColor color, TChannelLineStyle lineStyle = clsSolid,
                   int lineWidth = 1);
    int ChannelCount() const { return static_cast<int>(channels_.size()); }
    TStripChartChannel& GetChannel(int index);
    const TStripChartChannel& GetChannel(int index) const;
    int AddLabelChannel();
    int LabelChannelCount() const { return static_cast<int>(labelChannels_.size()); }
    TStripChartLabelChannel& GetLabelChannel(int index);
    const TStripChartLabelChannel& GetLabelChannel(int index) const;
    // The stored form data "Channels": reading clears all data and channels first.
    std::vector<TChannelDefinition> WriteChannels() const;
    void ReadChannels(const std::vector<TChannelDefinition>& channels);
    // While loading from form data OnModeChange and OnCursorChange stay silent.
    void BeginLoading() { loading_ = true; }
    void EndLoading() { loading_ = false; }

    // Axis windows.
    void ZoomX(double factor);
    void ZoomY(double factor);
    void ScrollX(double delta);
    void ScrollY(double delta);
    int FirstVisibleIndex() const { return firstVisibleIndex_; }
    int LastVisibleIndex() const { return lastVisibleIndex_; }

    // The cursor: moving it clamps to the time indexes, brings the point into
    // view and fires OnCursorChange; an unchanged index does nothing.
    int CursorIndex() const { return cursorIndex_; }
    void MoveCursor(int index);

    // DataMin and DataMax of every value set since ClearAllData; DataSet() is
    // false before the first.
    bool DataSet() const { return dataSet_; }
    double DataMin() const { return dataMin_; }
    double DataMax() const { return dataMax_; }

    // Labels as the axes show them.
    int XLabelDecimals() const;
    int YLabelDecimals() const;
    std::string XLabelText(double value) const;
    std::string YLabelText(double value) const;
    // The toolbar's readout of the cursor channel at the cursor, empty when there is none.
    std::string CursorReadout() const;
    char DecimalSeparator() const { return decimalSeparator_; }
    void SetDecimalSeparator(char separator);

    // Printing: the lines printed under the chart.
    void AddPrintLine(const std::string& line) { printLines_.push_back(line); }
    void ClearPrintLines() { printLines_.clear(); }
    const std::vector<std::string>& PrintLines() const { return printLines_; }
    ChartFont PrintFont;

    // Redraws everything, e.g. after a channel's colour was changed directly.
    void Refresh() { RequestFullRedraw(); }

    Event OnModeChange, OnDataUpdate, OnCursorChange, OnCursorIndexChange;
    Event OnXAxisMaxChange, OnXAxisMinChange, OnYAxisMaxChange, OnYAxisMinChange;

    // Properties with rules of their own.
    double XAxisMin() const { return xAxisMin_; }
    double XAxisMax() const { return xAxisMax_; }
    double YAxisMin() const { return yAxisMin_; }
    double YAxisMax() const { return yAxisMax_; }
    void SetXAxisMin(double value);
    void SetXAxisMax(double value);
    void SetYAxisMin(double value);
    void SetYAxisMax(double value);
    AxisWindow XWindow() const { return {xAxisMin_, xAxisMax_}; }
    AxisWindow YWindow() const { return {yAxisMin_, yAxisMax_}; }
    int XAxisTickMajorCount() const { return xAxisTickMajorCount_; }
    int YAxisTickMajorCount() const { return yAxisTickMajorCount_; }
    void SetXAxisTickMajorCount(int count);  // at least 2
    void SetYAxisTickMajorCount(int count);
    TStripChartMode ToolBarMode() const { return toolBarMode_; }
    void SetToolBarMode(TStripChartMode mode);
    int CursorChannel() const { return cursorChannel_; }
    void SetCursorChannel(int channel);  // lowered to the last channel
    bool DiscontinuousDataEnabled() const { return discontinuousDataEnabled_; }
    void SetDiscontinuousDataEnabled(bool enabled);  // clears the data, rebuilds the channels

    static ChartFont Font(ChartColor color, const char* family = "MS Sans Serif", bool bold = false) {
        ChartFont font;
        font.Family = family;
        font.Color = color;
        font.Bold = bold;
        return font;
    }

    // The published properties in their order, with the constructor's defaults.
    STRIPCHART_PROPERTY(ChartColor, AxisGridColor, ChartColors::Lime)
    STRIPCHART_PROPERTY(std::string, TitleText, "")
    STRIPCHART_PROPERTY(int, TitleMargin, 0)
    STRIPCHART_PROPERTY(ChartFont, TitleFont, Font(ChartColors::White))
    STRIPCHART_PROPERTY(bool, XAxisShow, true)
    STRIPCHART_PROPERTY(bool, XAxisDateTimeEnabled, false)
    STRIPCHART_PROPERTY(std::string, XAxisDateTimeFormatString, "hh:nn:ssam/pm")
    STRIPCHART_PROPERTY(int, XAxisMargin, 5)
    STRIPCHART_PROPERTY(int, XAxisLabelMargin, 5)
    STRIPCHART_PROPERTY(ChartFont, XAxisLabelFont, Font(ChartColors::White))
    STRIPCHART_PROPERTY(int, XAxisLabelPrecision, 1)
    STRIPCHART_PROPERTY(std::string, XAxisTitle, "")
    STRIPCHART_PROPERTY(int, XAxisTitleMargin, 0)
    STRIPCHART_PROPERTY(ChartFont, XAxisTitleFont, Font(ChartColors::White, "Arial"))
    STRIPCHART_PROPERTY(int, XAxisTickMajorLength, 7)
    STRIPCHART_PROPERTY(ChartColor, XAxisTickMajorColor, ChartColors::White)
    STRIPCHART_PROPERTY(int, XAxisTickMinorCount, 4)
    STRIPCHART_PROPERTY(int, XAxisTickMinorLength, 3)
    STRIPCHART_PROPERTY(ChartColor, XAxisTickMinorColor, ChartColors::White)
    STRIPCHART_PROPERTY(bool, YAxisShow, true)
    STRIPCHART_PROPERTY(int, YAxisMargin, 5)
    STRIPCHART_PROPERTY(int, YAxisLabelMargin, 5)
    STRIPCHART_PROPERTY(ChartFont, YAxisLabelFont, Font(ChartColors::White))
    STRIPCHART_PROPERTY(int, YAxisLabelPrecision, 1)
    STRIPCHART_PROPERTY(std::string, YAxisTitle, "")
    STRIPCHART_PROPERTY(int, YAxisTitleMargin, 0)
    STRIPCHART_PROPERTY(ChartFont, YAxisTitleFont, Font(ChartColors::White, "Arial"))
    STRIPCHART_PROPERTY(int, YAxisTickMajorLength, 7)
    STRIPCHART_PROPERTY(ChartColor, YAxisTickMajorColor, ChartColors::White)
    STRIPCHART_PROPERTY(int, YAxisTickMinorCount, 4)
    STRIPCHART_PROPERTY(int, YAxisTickMinorLength, 3)
    STRIPCHART_PROPERTY(ChartColor, YAxisTickMinorColor, ChartColors::White)
    STRIPCHART_PROPERTY(int, YAxisLabelWidth, 20)
    STRIPCHART_PROPERTY(bool, YAxisLabelWidthFixed, false)
    STRIPCHART_PROPERTY(bool, YAxisReverseScale, false)
    STRIPCHART_PROPERTY(TChannelLineStyle, GridLineStyle, clsSolid)
    STRIPCHART_PROPERTY(ChartColor, GridBackGroundColor, ChartColors::Black)
    STRIPCHART_PROPERTY(int, OuterMarginLeft, 10)
    STRIPCHART_PROPERTY(int, OuterMarginTop, 10)
    STRIPCHART_PROPERTY(int, OuterMarginRight, 10)
    STRIPCHART_PROPERTY(int, OuterMarginBottom, 10)
    STRIPCHART_PROPERTY(int, LegendWidth, 80)
    STRIPCHART_PROPERTY(int, LegendMargin, 10)
    STRIPCHART_PROPERTY(ChartFont, LegendFont, Font(ChartColors::White))
    STRIPCHART_PROPERTY(bool, ShowGrid, true)
    STRIPCHART_PROPERTY(bool, ShowLegend, true)
    STRIPCHART_PROPERTY(bool, ShowToolBar, false)
    STRIPCHART_PROPERTY(bool, AutoScrollEnabled, true)
    STRIPCHART_PROPERTY(TAutoScroll, AutoScrollType, asSmooth)
    STRIPCHART_PROPERTY(double, AutoScrollStepSize, 0.0)
    STRIPCHART_PROPERTY(TAutoScrollFirstStyle, AutoScrollFirstStyle, asfsAuto)
    STRIPCHART_PROPERTY(bool, AutoScaleEnabled, true)
    STRIPCHART_PROPERTY(double, AutoScaleHysterisis, 0.0)
    STRIPCHART_PROPERTY(bool, AutoScaleMinAdjustEnabled, true)
    STRIPCHART_PROPERTY(bool, AutoScaleMaxAdjustEnabled, true)
    STRIPCHART_PROPERTY(ChartFont, ToolBarActiveModeFont, Font(ChartColors::Yellow, "MS Sans Serif", true))
    STRIPCHART_PROPERTY(ChartFont, ToolBarInactiveModeFont, Font(ChartColors::Aqua, "MS Sans Serif", true))
    STRIPCHART_PROPERTY(ChartColor, CursorColor, ChartColors::Yellow)
    STRIPCHART_PROPERTY(ChartColor, CursorChannelBackGroundColor, ChartColors::Yellow)
    STRIPCHART_PROPERTY(ChartColor, CursorChannelFontColor, ChartColors::Black)
    STRIPCHART_PROPERTY(bool, CursorHideAllOtherChannels, false)
    STRIPCHART_PROPERTY(TPrinterOrientation, PrinterOrientation, poPortrait)
    STRIPCHART_PROPERTY(double, PrinterMarginLeft, 0.5)
    STRIPCHART_PROPERTY(double, PrinterMarginTop, 0.5)
    STRIPCHART_PROPERTY(double, PrinterMarginRight, 0.5)
    STRIPCHART_PROPERTY(double, PrinterMarginBottom, 0.5)
    STRIPCHART_PROPERTY(bool, PrinterShowDialog, true)
    STRIPCHART_PROPERTY(int, MaxBufferSize, 0)
    STRIPCHART_PROPERTY(int, MinBufferSize, 0)
    STRIPCHART_PROPERTY(bool, RestoreXYAxisOnPlotMode, true)
    STRIPCHART_PROPERTY(bool, EnableDataDrawMinMax, false)
    STRIPCHART_PROPERTY(TPrecisionStyle, PrecisionStyle, psSignificantDigits)
    STRIPCHART_PROPERTY(bool, InterpolateMissingDataPoints, true)

protected:
    // What the widget does on a change: repaint the plot and the X labels, redraw
    // everything, and fire OnDataUpdate now or at EndUpdate.
    virtual void RequestRepaint() = 0;
    virtual void RequestFullRedraw() = 0;
    virtual void RequestDataUpdateEvent() = 0;

    void Fire(const Event& event) const {
        if (event) event();
    }

private:
    std::unique_ptr<TStripChartChannel> MakeChannel(const TChannelDefinition& definition) const;
    void CheckChannel(int channel) const;
    void TrimBuffer();
    void UpdateVisibleRange();
    void SetXWindow(const AxisWindow& window);
    void SetYWindow(const AxisWindow& window);
    void WriteValue(TStripChartChannel& channel, int index, double value);
    void AutoScale();
    void BringCursorIntoView();

    TDoubleList times_;
    std::vector<std::unique_ptr<TStripChartChannel>> channels_;
    std::vector<std::unique_ptr<TStripChartLabelChannel>> labelChannels_;
    double xAxisMin_ = 0.0, xAxisMax_ = 10.0;
    double yAxisMin_ = 0.0, yAxisMax_ = 100.0;
    int xAxisTickMajorCount_ = 11;
    int yAxisTickMajorCount_ = 6;
    TStripChartMode toolBarMode_ = scmPlot;
    int cursorChannel_ = -1;
    bool discontinuousDataEnabled_ = false;
    int firstVisibleIndex_ = -1, lastVisibleIndex_ = -1;
    int cursorIndex_ = 0;
    bool dataSet_ = false;
    double dataMin_ = 0.0, dataMax_ = 0.0;
    // The windows saved when leaving scmPlot.
    AxisWindow savedX_{0.0, 10.0}, savedY_{0.0, 100.0};
    // The inputs of the last auto-scale that changed nothing: the same inputs give
    // the same answer, so a bulk load skips the arithmetic once the axis is settled.
    struct AutoScaleInputs {
        AxisWindow Y;
        AutoScaleRule Rule;
        double DataMin = 0, DataMax = 0;
        friend bool operator==(const AutoScaleInputs&, const AutoScaleInputs&) = default;
    };
    std::optional<AutoScaleInputs> settledAutoScale_;
    bool loading_ = false;
    char decimalSeparator_ = '.';
    std::vector<std::string> printLines_;
};

#undef STRIPCHART_PROPERTY
