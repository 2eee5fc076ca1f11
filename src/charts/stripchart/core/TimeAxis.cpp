#include "charts/stripchart/core/TimeAxis.h"

#include <algorithm>

namespace {
const double* Begin(const TDoubleList& times) { return times.Data(); }
const double* End(const TDoubleList& times) { return times.Data() + times.Count(); }
}  // namespace

int FirstVisibleIndexFor(const TDoubleList& times, double xMin) {
    const int count = times.Count();
    if (count == 0 || times.Data()[count - 1] < xMin) return -1;
    const int i = static_cast<int>(std::lower_bound(Begin(times), End(times), xMin) - Begin(times));
    if (i < count && times.Data()[i] == xMin) return i;
    return i == 0 ? 0 : i - 1;
}

int LastVisibleIndexFor(const TDoubleList& times, double xMax) {
    const int count = times.Count();
    if (count == 0 || times.Data()[0] > xMax) return -1;
    const int j = static_cast<int>(std::upper_bound(Begin(times), End(times), xMax) - Begin(times));
    if (j > 0 && times.Data()[j - 1] == xMax) return j - 1;
    return j == count ? count - 1 : j;
}

int FindTimeIndexFor(const TDoubleList& times, double x) {
    const int count = times.Count();
    if (count == 0) return 0;
    const int i = static_cast<int>(std::lower_bound(Begin(times), End(times), x) - Begin(times));
    return std::min(i, count - 1);
}
