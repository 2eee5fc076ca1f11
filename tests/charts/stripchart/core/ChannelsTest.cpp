#include "TestChart.h"
#include "charts/stripchart/core/Channels.h"

TEST(ChannelsTest, ContinuousValuesAreZeroAndNullPastTheLastSetIndex) {
    TStripChartContinuousChannel channel;
    for (int i = 0; i < 4; ++i) channel.AppendEmpty();
    EXPECT_EQ(channel.LastDataIndex(), -1);
    channel.SetValue(2, 5.0);
    bool null = false;
    EXPECT_EQ(channel.GetValue(1, null), 0.0);
    EXPECT_FALSE(null);
    EXPECT_EQ(channel.GetValue(3, null), 0.0);
    EXPECT_TRUE(null);
    channel.SetNull(1);  // nothing to mark
    EXPECT_EQ(channel.GetValue(1, null), 0.0);
    EXPECT_FALSE(null);
    EXPECT_EQ(channel.LastDataIndex(), 2);
}

TEST(ChannelsTest, DiscontinuousValuesAreNullUntilSetAndMarksRaiseTheLastIndex) {
    TStripChartDiscontinuousChannel channel;
    for (int i = 0; i < 5; ++i) channel.AppendEmpty();
    bool null = false;
    channel.GetValue(0, null);
    EXPECT_TRUE(null);
    channel.SetValue(1, -3.5);
    EXPECT_EQ(channel.GetValue(1, null), -3.5);
    EXPECT_FALSE(null);
    channel.SetNull(4);
    EXPECT_EQ(channel.LastDataIndex(), 4);
    EXPECT_EQ(channel.GetValue(4, null), 0.0);
    EXPECT_TRUE(null);
}

TEST(ChannelsTest, DeletingTheFirstValuesKeepsTheLastIndexOnItsValue) {
    TStripChartContinuousChannel channel;
    for (int i = 0; i < 10; ++i) channel.AppendEmpty();
    channel.SetValue(6, 66.0);
    channel.DeleteFirst(4);
    EXPECT_EQ(channel.LastDataIndex(), 2);
    bool null = true;
    EXPECT_EQ(channel.GetValue(2, null), 66.0);
    EXPECT_FALSE(null);
    // Values 3..5 were never set: they must not turn into drawn zeros.
    channel.GetValue(3, null);
    EXPECT_TRUE(null);
    channel.DeleteFirst(5);
    EXPECT_EQ(channel.LastDataIndex(), -1);
}

TEST(ChannelsTest, LabelTextsAreCheckedByIndex) {
    TStripChartLabelChannel labels;
    labels.AppendEmpty();
    labels.SetText(0, "start");
    EXPECT_EQ(labels.Text(0), "start");
    ExpectChartError([&] { labels.SetText(1, "x"); }, "Index out of Bounds");
    ExpectChartError([&] { labels.DeleteFirst(1); }, "Delete size out of Range");
}
