#include "charts/stripchart/core/TimeAxis.h"

#include <algorithm>

namespace {
const double* Begin(const TDoubleList& times) { return times.Data(); }
const double* End(const TDoubleList& times) { return times.Data() + times.Count(); }

// The first index whose value is not "before" (values before it all are), found by
// galloping out from hint and then bisecting the bracket.
template <typename Before>
int BoundNear(const TDoubleList& times, int hint, Before before) {
    const double* t = times.Data();
    const int n = times.Count();
    if (hint < 0 || hint >= n) return static_cast<int>(std::partition_point(t, t + n, before) - t);
    int lo = hint, hi = hint;
    if (before(t[hint])) {
        lo = hi = hint + 1;
        for (int step = 1; hi < n && before(t[hi]); step *= 2) {
            lo = hi + 1;
            hi = std::min(n, lo + step);
        }
    } else {
        for (int step = 1; lo > 0 && !before(t[lo - 1]); step *= 2) {
            hi = lo - 1;
            lo = std::max(0, hi - step);
        }
    }
    return static_cast<int>(std::partition_point(t + lo, t + hi, before) - t);
}
}  // namespace

int FirstVisibleIndexFor(const TDoubleList& times, double xMin, int hint) {
    const int count = times.Count();
    if (count == 0 || times.Data()[count - 1] < xMin) return -1;
    const int i = BoundNear(times, hint, [xMin](double v) { return v < xMin; });
    if (i < count && times.Data()[i] == xMin) return i;
    return i == 0 ? 0 : i - 1;
}

int LastVisibleIndexFor(const TDoubleList& times, double xMax, int hint) {
    const int count = times.Count();
    if (count == 0 || times.Data()[0] > xMax) return -1;
    const int j = BoundNear(times, hint, [xMax](double v) { return v <= xMax; });
    if (j > 0 && times.Data()[j - 1] == xMax) return j - 1;
    return j == count ? count - 1 : j;
}

int FindTimeIndexFor(const TDoubleList& times, double x) {
    const int count = times.Count();
    if (count == 0) return 0;
    const int i = static_cast<int>(std::lower_bound(Begin(times), End(times), x) - Begin(times));
    return std::min(i, count - 1);
}
