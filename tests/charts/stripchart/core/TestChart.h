#pragma once
// A screen-free chart for the tests: the model with a real update gate on a
// manual clock, counting the paints and events it asks for.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>

#include "charts/stripchart/core/ChartUpdateGate.h"
#include "charts/stripchart/core/Layout.h"
#include "charts/stripchart/core/StripChartModel.h"

class TestChart : public StripChartModel, private ChartUpdateGate::Sink {
public:
    TestChart() : gate(*this, [this] { return nowMs; }) {}

    std::int64_t nowMs = 0;
    ChartUpdateGate gate;
    int repaints = 0, fullRedraws = 0, dataUpdates = 0;

    void BeginUpdate() { gate.BeginUpdate(); }
    void EndUpdate() { gate.EndUpdate(); }
    void ResetCounts() { repaints = fullRedraws = dataUpdates = 0; }

protected:
    void RequestRepaint() override { gate.RequestRepaint(); }
    void RequestFullRedraw() override { gate.RequestFullRedraw(); }
    void RequestDataUpdateEvent() override { gate.RequestDataUpdate(); }

private:
    void Paint(bool full, bool) override { ++(full ? fullRedraws : repaints); }
    void FireDataUpdate() override {
        ++dataUpdates;
        Fire(OnDataUpdate);
    }
};

// Every character 6 pixels wide; a line 2 pixels higher than the font's pixel size.
class FixedMeasurer : public TextMeasurer {
public:
    TextSize Measure(const ChartFont& font, const std::string& text) const override {
        return {6 * static_cast<int>(text.size()), font.PixelSize() + 2};
    }
};

// Runs fn and expects the chart error with exactly this message.
template <typename Fn>
void ExpectChartError(Fn&& fn, const char* message) {
    try {
        fn();
        ADD_FAILURE() << "expected \"" << message << "\"";
    } catch (const EStripChartError& error) {
        EXPECT_STREQ(error.what(), message);
    }
}

// n time indexes 0, 1, 2, ... with no channel values.
inline void AddTimes(StripChartModel& chart, int n) {
    for (int i = 0; i < n; ++i) chart.AddTimeIndex(i);
}
