#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "model/MemoryImage.h"

TEST(RegisterPage, CountersAreLittleEndian) {
    std::array<std::uint8_t, 32> page{};
    page[Reg::MissionSamples] = 0x01;
    page[Reg::MissionSamples + 1] = 0x02;
    page[Reg::MissionSamples + 2] = 0x00;
    EXPECT_EQ(MissionSampleCount(page), 513);
    page[Reg::DeviceSamples] = 0xFF;
    page[Reg::DeviceSamples + 1] = 0xFF;
    page[Reg::DeviceSamples + 2] = 0xFF;
    EXPECT_EQ(DeviceSampleCount(page), 0xFFFFFF);
    page[Reg::StartDelayLow] = 0xFF;
    page[Reg::StartDelayHigh] = 0x00;
    EXPECT_EQ(StartDelayMinutes(page), 255);
    page[Reg::StartDelayHigh] = 0xFF;
    EXPECT_EQ(StartDelayMinutes(page), 65535);
}

TEST(PagePlacement, EachRegionTakesItsPages) {
    MemoryImage image;
    std::array<std::uint8_t, 32> data;
    for (int page : {0, 15, 16, 17, 19, 64, 67, 128, 191}) {
        data.fill(static_cast<std::uint8_t>(page));
        EXPECT_TRUE(image.StorePage(page, data)) << page;
    }
    EXPECT_EQ(image.UserArea[0], 0);
    EXPECT_EQ(image.UserArea[15 * 32 + 31], 15);
    EXPECT_EQ(image.RegisterPage[31], 16);
    EXPECT_EQ(image.AlarmArea[0], 17);
    EXPECT_EQ(image.AlarmArea[95], 19);
    EXPECT_EQ(image.HistogramArea[127], 67);
    EXPECT_EQ(image.LogArea[0], 128);
    EXPECT_EQ(image.LogArea[2047], 191);
    for (int page : {-1, 20, 63, 68, 127, 192, 255}) EXPECT_FALSE(image.StorePage(page, data)) << page;
}

TEST(UserTexts, ZeroBytesBecomeSpacesInTheImageItself) {
    MemoryImage image;
    auto page = image.PageSlot(3);
    std::fill(page.begin(), page.end(), ' ');
    page[0] = 'A';
    page[1] = 'n';
    page[2] = 'n';
    page[3] = 0x00;
    std::array<std::string, 16> texts;
    texts[15] = "kept";
    DecodeUserTexts(image, texts);
    EXPECT_EQ(texts[3], "Ann" + std::string(29, ' '));
    EXPECT_EQ(image.UserArea[3 * 32 + 3], 0x20);
    EXPECT_EQ(texts[0], std::string(32, ' '));  // an all-zero page
    EXPECT_EQ(texts[15], "kept");
    // Page 15 is stored but never decoded.
    EXPECT_EQ(image.UserArea[15 * 32], 0x00);
    EXPECT_EQ(DecodeUserPage(image, 16), "");
    EXPECT_EQ(image.RegisterPage[0], 0x00);
}
