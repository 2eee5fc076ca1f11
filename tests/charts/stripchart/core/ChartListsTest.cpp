#include <vector>

#include "TestChart.h"
#include "charts/stripchart/core/ChartLists.h"

TEST(ChartListsTest, AppendGrowsByFourThenSixteenThenAQuarter) {
    TDoubleList list;
    std::vector<int> capacities;
    for (int i = 0; i < 100; ++i) {
        list.Append(i);
        if (capacities.empty() || capacities.back() != list.Capacity()) capacities.push_back(list.Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95, 118}));
    EXPECT_EQ(list.Count(), 100);
    EXPECT_EQ(list.Get(99), 99.0);
}

TEST(ChartListsTest, GrowthStopsAtTheMaximumSize) {
    EXPECT_EQ(GrownCapacity(120000000), kMaxChartListSize);
    ExpectChartError([] { GrownCapacity(kMaxChartListSize); }, "Exceed Maximum List Size");
}

TEST(ChartListsTest, CapacityAboveTheMaximumIsRefusedAndTheListKept) {
    TDoubleList list;
    list.Append(1.5);
    ExpectChartError([&] { list.SetCapacity(kMaxChartListSize + 1); }, "Exceed Maximum List Size");
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Capacity(), 4);
    EXPECT_EQ(list.Get(0), 1.5);
}

TEST(ChartListsTest, AccessOutsideTheEntriesIsRefused) {
    TDoubleList list;
    list.Append(2.0);
    ExpectChartError([&] { list.Get(1); }, "Index out of Bounds");
    ExpectChartError([&] { list.Set(-1, 0.0); }, "Index out of Bounds");
}

TEST(ChartListsTest, DeleteFirstMovesTheRestToTheFrontButNeverDeletesAll) {
    TDoubleList list;
    for (int i = 0; i < 5; ++i) list.Append(i * 10);
    list.DeleteFirst(2);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Get(0), 20.0);
    EXPECT_EQ(list.Get(2), 40.0);
    ExpectChartError([&] { list.DeleteFirst(3); }, "Delete size out of Range");
    ExpectChartError([&] { list.DeleteFirst(-1); }, "Delete size out of Range");
    EXPECT_EQ(list.Count(), 3);
    list.DeleteFirst(0);
    EXPECT_EQ(list.Count(), 3);
}

TEST(ChartListsTest, DataNullEntriesCarryTheirFlag) {
    TDataNullList list;
    list.AppendNull();
    list.AppendNull();
    bool null = false;
    EXPECT_EQ(list.Get(0, null), 0.0);
    EXPECT_TRUE(null);
    list.Set(1, 7.25);
    EXPECT_EQ(list.Get(1, null), 7.25);
    EXPECT_FALSE(null);
    list.SetNull(1);
    EXPECT_EQ(list.Get(1, null), 0.0);
    EXPECT_TRUE(null);
}
