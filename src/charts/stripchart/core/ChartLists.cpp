#include "charts/stripchart/core/ChartLists.h"

int GrownCapacity(int capacity) {
    int delta = 4;
    if (capacity > 64)
        delta = capacity / 4;
    else if (capacity > 8)
        delta = 16;
    if (capacity >= kMaxChartListSize) throw EStripChartError(ChartErrors::MaximumListSize);
    return static_cast<int>(std::min<long long>(static_cast<long long>(capacity) + delta, kMaxChartListSize));
}
