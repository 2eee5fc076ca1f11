#include "charts/stripchart/core/StripChartModel.h"

#include <algorithm>
#include <cmath>

#include "charts/stripchart/core/Labels.h"
#include "charts/stripchart/core/TimeAxis.h"

int StripChartModel::AddTimeIndex(double x) {
    const int count = times_.Count();
    // A NaN is not incremental either: it would break every search of the list.
    if (std::isnan(x) || (count > 0 && times_.Get(count - 1) > x))
        throw EStripChartError(ChartErrors::TimeIndexesIncremental);
    // Every channel holds as many values as there are time indexes, so the time
    // list answers for all of them and nothing is appended when one cannot be.
    if (!times_.CanAppend()) throw EStripChartError(ChartErrors::MaximumListSize);
    TrimBuffer();
    times_.Append(x);
    for (auto& channel : channels_) channel->AppendEmpty();
    for (auto& labels : labelChannels_) labels->AppendEmpty();
    UpdateVisibleRange();
    if (AutoScrollEnabled() && toolBarMode_ == scmPlot) {
        const AutoScrollRule rule{AutoScrollType(), AutoScrollStepSize(), AutoScrollFirstStyle()};
        if (auto window =
                AutoScrollWindow(XWindow(), rule, x, firstVisibleIndex_, lastVisibleIndex_, times_.Count()))
            SetXWindow(*window);
    }
    return times_.Count() - 1;
}

// Only a sound pair of sizes trims: 0 < MinBufferSize < MaxBufferSize.
void StripChartModel::TrimBuffer() {
    const int max = MaxBufferSize(), min = MinBufferSize();
    if (min <= 0 || max <= 0 || min >= max || times_.Count() <= max) return;
    const int n = max - min;
    times_.DeleteFirst(n);
    for (auto& channel : channels_) channel->DeleteFirst(n);
    for (auto& labels : labelChannels_) labels->DeleteFirst(n);
    cursorIndex_ = std::max(0, cursorIndex_ - n);
    RequestFullRedraw();
}

void StripChartModel::SetChannelData(int channel, int index, double value) {
    CheckChannel(channel);
    if (index == -1) index = times_.Count() - 1;
    if (index < 0 || index >= times_.Count()) throw EStripChartError(ChartErrors::TimeIndex);
    TStripChartChannel& target = *channels_[static_cast<std::size_t>(channel)];
    const int last = target.LastDataIndex();
    bool lastIsNull = true;
    const double previous = last >= 0 ? target.GetValue(last, lastIsNull) : 0.0;
    if (InterpolateMissingDataPoints() && last >= 0 && !lastIsNull && last < index) {
        for (int k = last + 1; k < index; ++k)
            target.SetValue(k, previous + (k - last) * (value - previous) / (index - last));
    }
    target.SetValue(index, value);
    // Interpolated values lie between two set ones and cannot widen the range;
    // a NaN would stop every later value from widening it.
    if (std::isfinite(value)) {
        dataMin_ = dataSet_ ? std::min(dataMin_, value) : value;
        dataMax_ = dataSet_ ? std::max(dataMax_, value) : value;
        dataSet_ = true;
    }
    if (AutoScaleEnabled() && toolBarMode_ == scmPlot && dataSet_) AutoScale();
    RequestRepaint();
    RequestDataUpdateEvent();
}

void StripChartModel::AutoScale() {
    const AutoScaleRule rule{yAxisTickMajorCount_, YAxisTickMinorCount(), AutoScaleHysterisis(),
                             AutoScaleMinAdjustEnabled(), AutoScaleMaxAdjustEnabled()};
    const AutoScaleInputs inputs{YWindow(), rule, dataMin_, dataMax_};
    if (settledAutoScale_ == inputs) return;
    const AxisWindow window = AutoScaleWindow(YWindow(), rule, dataMin_, dataMax_);
    if (window == YWindow()) settledAutoScale_ = inputs;
    SetYAxisMax(window.Max);
    SetYAxisMin(window.Min);
}

void StripChartModel::ClearAllData() {
    times_.Clear();
    for (auto& channel : channels_) channel->Clear();
    for (auto& labels : labelChannels_) labels->Clear();
    firstVisibleIndex_ = lastVisibleIndex_ = -1;
    cursorIndex_ = 0;
    dataSet_ = false;
    dataMin_ = dataMax_ = 0.0;
    RequestRepaint();
    RequestDataUpdateEvent();
}

int StripChartModel::FindTimeIndex(double x) const { return FindTimeIndexFor(times_, x); }

std::unique_ptr<TStripChartChannel> StripChartModel::MakeChannel(const TChannelDefinition& definition) const {
    std::unique_ptr<TStripChartChannel> channel;
    if (discontinuousDataEnabled_)
        channel = std::make_unique<TStripChartDiscontinuousChannel>();
    else
        channel = std::make_unique<TStripChartContinuousChannel>();
    channel->Name = definition.Name;
    channel->Color = definition.Color;
    channel->LineStyle = definition.LineStyle;
    channel->LineWidth = definition.LineWidth;
    channel->SetCapacity(times_.Count());
    for (int i = 0; i < times_.Count(); ++i) channel->AppendEmpty();
    return channel;
}

int StripChartModel::AddChannel(const std::string& name, ChartColor color, TChannelLineStyle lineStyle,
                                int lineWidth) {
    channels_.push_back(MakeChannel({name, color, lineStyle, lineWidth}));
    if (cursorChannel_ < 0) cursorChannel_ = 0;
    RequestFullRedraw();
    return ChannelCount() - 1;
}

void StripChartModel::CheckChannel(int channel) const {
    if (channel < 0 || channel >= ChannelCount()) throw EStripChartError(ChartErrors::ChannelIndex);
}

TStripChartChannel& StripChartModel::GetChannel(int index) {
    CheckChannel(index);
    return *channels_[static_cast<std::size_t>(index)];
}

const TStripChartChannel& StripChartModel::GetChannel(int index) const {
    CheckChannel(index);
    return *channels_[static_cast<std::size_t>(index)];
}

int StripChartModel::AddLabelChannel() {
    auto labels = std::make_unique<TStripChartLabelChannel>();
    for (int i = 0; i < times_.Count(); ++i) labels->AppendEmpty();
    labelChannels_.push_back(std::move(labels));
    RequestFullRedraw();
    return LabelChannelCount() - 1;
}

TStripChartLabelChannel& StripChartModel::GetLabelChannel(int index) {
    if (index < 0 || index >= LabelChannelCount()) throw EStripChartError(ChartErrors::LabelChannelIndex);
    return *labelChannels_[static_cast<std::size_t>(index)];
}

const TStripChartLabelChannel& StripChartModel::GetLabelChannel(int index) const {
    if (index < 0 || index >= LabelChannelCount()) throw EStripChartError(ChartErrors::LabelChannelIndex);
    return *labelChannels_[static_cast<std::size_t>(index)];
}

std::vector<TChannelDefinition> StripChartModel::WriteChannels() const {
    std::vector<TChannelDefinition> definitions;
    for (const auto& channel : channels_)
        definitions.push_back({channel->Name, channel->Color, channel->LineStyle, channel->LineWidth});
    return definitions;
}

void StripChartModel::ReadChannels(const std::vector<TChannelDefinition>& channels) {
    ClearAllData();
    channels_.clear();
    for (const auto& definition : channels) channels_.push_back(MakeChannel(definition));
    if (!channels_.empty())
        SetCursorChannel(0);
    else
        cursorChannel_ = -1;  // no channel left to point at
    RequestFullRedraw();
}

void StripChartModel::UpdateVisibleRange() {
    firstVisibleIndex_ = FirstVisibleIndexFor(times_, xAxisMin_, firstVisibleIndex_);
    lastVisibleIndex_ = LastVisibleIndexFor(times_, xAxisMax_, lastVisibleIndex_);
}

void StripChartModel::SetXAxisMin(double value) {
    if (value == xAxisMin_) return;
    xAxisMin_ = value;
    firstVisibleIndex_ = FirstVisibleIndexFor(times_, xAxisMin_, firstVisibleIndex_);
    RequestRepaint();
    Fire(OnXAxisMinChange);
}

void StripChartModel::SetXAxisMax(double value) {
    if (value == xAxisMax_) return;
    xAxisMax_ = value;
    lastVisibleIndex_ = LastVisibleIndexFor(times_, xAxisMax_, lastVisibleIndex_);
    RequestRepaint();
    Fire(OnXAxisMaxChange);
}

void StripChartModel::SetYAxisMin(double value) {
    if (value == yAxisMin_) return;
    yAxisMin_ = value;
    RequestFullRedraw();
    Fire(OnYAxisMinChange);
}

void StripChartModel::SetYAxisMax(double value) {
    if (value == yAxisMax_) return;
    yAxisMax_ = value;
    RequestFullRedraw();
    Fire(OnYAxisMaxChange);
}

void StripChartModel::SetXWindow(const AxisWindow& window) {
    SetXAxisMin(window.Min);
    SetXAxisMax(window.Max);
}

void StripChartModel::SetYWindow(const AxisWindow& window) {
    SetYAxisMin(window.Min);
    SetYAxisMax(window.Max);
}

void StripChartModel::SetXAxisTickMajorCount(int count) {
    count = std::max(count, 2);
    if (count == xAxisTickMajorCount_) return;
    xAxisTickMajorCount_ = count;
    RequestFullRedraw();
}

void StripChartModel::SetYAxisTickMajorCount(int count) {
    count = std::max(count, 2);
    if (count == yAxisTickMajorCount_) return;
    yAxisTickMajorCount_ = count;
    RequestFullRedraw();
}

void StripChartModel::ZoomX(double factor) {
    if (auto window = ZoomWindow(XWindow(), factor)) SetXWindow(*window);
}

void StripChartModel::ZoomY(double factor) {
    if (auto window = ZoomWindow(YWindow(), factor)) SetYWindow(*window);
}

void StripChartModel::ScrollX(double delta) {
    SetXWindow({xAxisMin_ + delta, xAxisMax_ + delta});
    RequestRepaint();
}

void StripChartModel::ScrollY(double delta) {
    SetYWindow({yAxisMin_ + delta, yAxisMax_ + delta});
    RequestFullRedraw();
}

void StripChartModel::SetToolBarMode(TStripChartMode mode) {
    if (mode == toolBarMode_) return;
    if (toolBarMode_ == scmPlot) {
        savedX_ = XWindow();
        savedY_ = YWindow();
    }
    toolBarMode_ = mode;
    if (mode == scmPlot && RestoreXYAxisOnPlotMode()) {
        SetXWindow(savedX_);
        SetYWindow(savedY_);
    }
    if (mode == scmCursor) {
        cursorIndex_ = FindTimeIndex(xAxisMin_ + (xAxisMax_ - xAxisMin_) / 2);
        Fire(OnCursorIndexChange);
    }
    RequestFullRedraw();
    if (!loading_) Fire(OnModeChange);
}

void StripChartModel::SetCursorChannel(int channel) {
    channel = std::max(-1, std::min(channel, ChannelCount() - 1));
    if (channel == cursorChannel_) return;
    cursorChannel_ = channel;
    RequestFullRedraw();
    if (!loading_) Fire(OnCursorChange);
}

void StripChartModel::SetDiscontinuousDataEnabled(bool enabled) {
    if (enabled == discontinuousDataEnabled_) return;
    discontinuousDataEnabled_ = enabled;
    ClearAllData();
    const auto definitions = WriteChannels();
    channels_.clear();
    for (const auto& definition : definitions) channels_.push_back(MakeChannel(definition));
    RequestFullRedraw();
}

void StripChartModel::MoveCursor(int index) {
    const int count = times_.Count();
    if (count == 0) return;
    index = std::clamp(index, 0, count - 1);
    if (index == cursorIndex_) return;
    cursorIndex_ = index;
    BringCursorIntoView();
    // The toolbar's readout shows the value under the cursor.
    RequestFullRedraw();
    if (!loading_) Fire(OnCursorChange);
}

void StripChartModel::BringCursorIntoView() {
    const double t = times_.Get(cursorIndex_);
    if (cursorIndex_ < firstVisibleIndex_)
        ScrollX(t - xAxisMin_);
    else if (cursorIndex_ > lastVisibleIndex_)
        ScrollX(t - xAxisMax_);
    const double step = (xAxisMax_ - xAxisMin_) / (xAxisTickMajorCount_ - 1);
    // A zero span, or a step too small to move a window this far out, would never end.
    if (!(step > 0.0)) return;
    while (t <= xAxisMin_) {
        const double before = xAxisMin_;
        ScrollX(-step);
        if (xAxisMin_ == before) break;
    }
    while (t >= xAxisMax_) {
        const double before = xAxisMax_;
        ScrollX(step);
        if (xAxisMax_ == before) break;
    }
}

int StripChartModel::XLabelDecimals() const {
    return LabelDecimals(PrecisionStyle(), XAxisLabelPrecision(), xAxisMin_, xAxisMax_);
}

int StripChartModel::YLabelDecimals() const {
    return LabelDecimals(PrecisionStyle(), YAxisLabelPrecision(), yAxisMin_, yAxisMax_);
}

std::string StripChartModel::XLabelText(double value) const {
    if (XAxisDateTimeEnabled()) return FormatDateTimeLabel(value, XAxisDateTimeFormatString());
    return FormatNumberLabel(value, XLabelDecimals(), decimalSeparator_);
}

std::string StripChartModel::YLabelText(double value) const {
    return FormatNumberLabel(value, YLabelDecimals(), decimalSeparator_);
}

std::string StripChartModel::CursorReadout() const {
    if (cursorChannel_ < 0 || cursorIndex_ < 0 || cursorIndex_ >= times_.Count()) return std::string();
    const std::string x = XLabelText(times_.Get(cursorIndex_));
    bool null = true;
    const double y = GetChannel(cursorChannel_).GetValue(cursorIndex_, null);
    if (null) return "X = " + x + " Y = " + "Null";
    return "X = " + x + "  Y = " + YLabelText(y);
}

void StripChartModel::SetDecimalSeparator(char separator) {
    if (separator == decimalSeparator_) return;
    decimalSeparator_ = separator;
    RequestFullRedraw();
}
