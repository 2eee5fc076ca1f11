#include <cmath>
#include <initializer_list>

#include "TestChart.h"
#include "charts/stripchart/core/TimeAxis.h"

namespace {
TDoubleList Times(std::initializer_list<double> values) {
    TDoubleList list;
    for (double v : values) list.Append(v);
    return list;
}
}  // namespace

TEST(TimeAxisTest, WindowBetweenIndexesIncludesThePointsJustOutside) {
    TDoubleList times;
    for (int i = 0; i < 1000; ++i) times.Append(i);
    EXPECT_EQ(FirstVisibleIndexFor(times, 250.5), 250);
    EXPECT_EQ(LastVisibleIndexFor(times, 300.5), 301);
    EXPECT_EQ(FirstVisibleIndexFor(times, 250.0), 250);
    EXPECT_EQ(LastVisibleIndexFor(times, 300.0), 300);
}

TEST(TimeAxisTest, WindowsOutsideTheDataAndEmptyLists) {
    const TDoubleList empty;
    EXPECT_EQ(FirstVisibleIndexFor(empty, 0), -1);
    EXPECT_EQ(LastVisibleIndexFor(empty, 10), -1);
    const TDoubleList times = Times({5, 6, 7});
    EXPECT_EQ(FirstVisibleIndexFor(times, 8), -1);  // all left of the window
    EXPECT_EQ(LastVisibleIndexFor(times, 4), -1);   // all right of it
    EXPECT_EQ(FirstVisibleIndexFor(times, 0), 0);
    EXPECT_EQ(LastVisibleIndexFor(times, 100), 2);
}

TEST(TimeAxisTest, EqualTimesWidenTheRangeToAllOfThem) {
    const TDoubleList times = Times({1, 2, 2, 2, 3});
    EXPECT_EQ(FirstVisibleIndexFor(times, 2), 1);
    EXPECT_EQ(LastVisibleIndexFor(times, 2), 3);
    EXPECT_EQ(FindTimeIndexFor(times, 2), 1);
}

TEST(TimeAxisTest, FindTimeIndexPicksEqualOrNextAndClampsAtTheEnds) {
    EXPECT_EQ(FindTimeIndexFor(TDoubleList(), 3), 0);
    const TDoubleList times = Times({10, 20, 30});
    EXPECT_EQ(FindTimeIndexFor(times, 5), 0);
    EXPECT_EQ(FindTimeIndexFor(times, 20), 1);
    EXPECT_EQ(FindTimeIndexFor(times, 21), 2);
    EXPECT_EQ(FindTimeIndexFor(times, 99), 2);
}

TEST(TimeAxisTest, TheHintChangesOnlyTheCostNeverTheAnswer) {
    TDoubleList times;
    for (int i = 0; i < 300; ++i) times.Append(std::floor(i / 3.0));  // runs of equal values
    for (double x : {-5.0, 0.0, 0.5, 17.0, 50.5, 99.0, 99.5, 150.0}) {
        const int first = FirstVisibleIndexFor(times, x), last = LastVisibleIndexFor(times, x);
        for (int hint : {-1, 0, 1, 2, 51, 150, 152, 298, 299, 300, 1000}) {
            EXPECT_EQ(FirstVisibleIndexFor(times, x, hint), first) << x << " from " << hint;
            EXPECT_EQ(LastVisibleIndexFor(times, x, hint), last) << x << " from " << hint;
        }
    }
}
