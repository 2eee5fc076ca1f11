#pragma once
// The chart's data channels: one value per time index, continuous (0.0 until
// set) or discontinuous (null until set), and the text-label channels.
#include <array>
#include <string>
#include <vector>

#include "charts/stripchart/core/ChartLists.h"

// A horizontal line across the plot at a fixed value.
struct TReferenceLine {
    bool Enabled = false;
    double Value = 0.0;
    TChannelLineStyle LineStyle = clsSolid;
    ChartColor Color = ChartColors::White;
};

class TStripChartChannel {
public:
    virtual ~TStripChartChannel() = default;

    std::string Name;
    ChartColor Color = ChartColors::White;
    TChannelLineStyle LineStyle = clsSolid;
    int LineWidth = 1;
    bool Visible = true;
    bool ShowInLegend = true;
    std::array<TReferenceLine, 4> ReferenceLines{};
    // Plots the channel on a fixed 0 to 100 scale instead of the Y axis.
    bool PercentScale = false;

    // The highest time index whose value was set, -1 when none.
    int LastDataIndex() const { return lastDataIndex_; }

    virtual void Clear() = 0;
    virtual void SetCapacity(int capacity) = 0;
    // Deletes the first n values and keeps LastDataIndex on the same value.
    virtual void DeleteFirst(int n) = 0;
    virtual void AppendEmpty() = 0;
    virtual int Count() const = 0;
    virtual double GetValue(int index, bool& null) const = 0;
    virtual void SetValue(int index, double value) = 0;
    virtual void SetNull(int index) = 0;

protected:
    void RaiseLastDataIndex(int index) { lastDataIndex_ = std::max(lastDataIndex_, index); }
    void ShiftLastDataIndex(int n) { lastDataIndex_ = std::max(-1, lastDataIndex_ - n); }
    void ResetLastDataIndex() { lastDataIndex_ = -1; }

private:
    int lastDataIndex_ = -1;
};

class TStripChartContinuousChannel : public TStripChartChannel {
public:
    void Clear() override;
    void SetCapacity(int capacity) override { values_.SetCapacity(capacity); }
    void DeleteFirst(int n) override;
    void AppendEmpty() override { values_.Append(0.0); }
    int Count() const override { return values_.Count(); }
    // A value past LastDataIndex counts as null.
    double GetValue(int index, bool& null) const override;
    void SetValue(int index, double value) override;
    // A continuous channel has no null values to mark.
    void SetNull(int) override {}

    const TDoubleList& Values() const { return values_; }

private:
    TDoubleList values_;
};

class TStripChartDiscontinuousChannel : public TStripChartChannel {
public:
    void Clear() override;
    void SetCapacity(int capacity) override { values_.SetCapacity(capacity); }
    void DeleteFirst(int n) override;
    void AppendEmpty() override { values_.AppendNull(); }
    int Count() const override { return values_.Count(); }
    double GetValue(int index, bool& null) const override { return values_.Get(index, null); }
    void SetValue(int index, double value) override;
    void SetNull(int index) override;

    const TDataNullList& Values() const { return values_; }

private:
    TDataNullList values_;
};

// Texts drawn centred at their time index's X position, at HeightPercent of the
// plot height above its bottom.
class TStripChartLabelChannel {
public:
    ChartFont Font;
    int HeightPercent = 50;
    bool Visible = true;

    int Count() const { return static_cast<int>(texts_.size()); }
    const std::string& Text(int index) const;
    void SetText(int index, const std::string& text);

    void Clear() { texts_.clear(); }
    void AppendEmpty() { texts_.emplace_back(); }
    void DeleteFirst(int n);

private:
    std::vector<std::string> texts_;
};
