#include "charts/stripchart/core/Channels.h"

void TStripChartContinuousChannel::Clear() {
    values_.Clear();
    ResetLastDataIndex();
}

void TStripChartContinuousChannel::DeleteFirst(int n) {
    values_.DeleteFirst(n);
    ShiftLastDataIndex(n);
}

double TStripChartContinuousChannel::GetValue(int index, bool& null) const {
    const double value = values_.Get(index);
    null = index > LastDataIndex();
    return value;
}

void TStripChartContinuousChannel::SetValue(int index, double value) {
    values_.Set(index, value);
    RaiseLastDataIndex(index);
}

void TStripChartDiscontinuousChannel::Clear() {
    values_.Clear();
    ResetLastDataIndex();
}

void TStripChartDiscontinuousChannel::DeleteFirst(int n) {
    values_.DeleteFirst(n);
    ShiftLastDataIndex(n);
}

void TStripChartDiscontinuousChannel::SetValue(int index, double value) {
    values_.Set(index, value);
    RaiseLastDataIndex(index);
}

void TStripChartDiscontinuousChannel::SetNull(int index) {
    values_.SetNull(index);
    RaiseLastDataIndex(index);
}

const std::string& TStripChartLabelChannel::Text(int index) const {
    if (index < 0 || index >= Count()) throw EStripChartError(ChartErrors::ListIndex);
    return texts_[static_cast<std::size_t>(index)];
}

void TStripChartLabelChannel::SetText(int index, const std::string& text) {
    if (index < 0 || index >= Count()) throw EStripChartError(ChartErrors::ListIndex);
    texts_[static_cast<std::size_t>(index)] = text;
}

void TStripChartLabelChannel::DeleteFirst(int n) {
    if (n < 0 || n >= Count()) throw EStripChartError(ChartErrors::DeleteSize);
    texts_.erase(texts_.begin(), texts_.begin() + n);
}
