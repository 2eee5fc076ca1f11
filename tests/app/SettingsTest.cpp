#include <gtest/gtest.h>

#include "app/Settings.h"

TEST(Settings, MissingKeysGiveTheDefaults) {
    const TitlesSettings s = ParseTitlesIni("", FilePath("/prog/"));
    EXPECT_EQ(s.Titles[0], "First Name:");
    EXPECT_EQ(s.Titles[5], "Description:");
    EXPECT_EQ(s.SavePath, FilePath("/prog/"));
    EXPECT_EQ(s.SerialPort, "0");
    EXPECT_EQ(s.Adapter, "5");
    EXPECT_TRUE(s.Problems.empty());
}

TEST(Settings, ReadsTitlesAndNetworkWithCrLfAndAnyCase) {
    const TitlesSettings s = ParseTitlesIni(
        "[Title]\r\nstring0=Vorname:\r\nSTRING4=Projekt\r\n[network]\r\nSerialPort=2\r\nAdapter=6\r\n"
        "SavePath=/data/\r\n",
        FilePath("/prog/"));
    EXPECT_EQ(s.Titles[0], "Vorname:");
    EXPECT_EQ(s.Titles[1], "Surname:");
    EXPECT_EQ(s.Titles[4], "Projekt");
    EXPECT_EQ(s.SerialPort, "2");
    EXPECT_EQ(s.Adapter, "6");
    EXPECT_EQ(s.SavePath.Native(), "/data/");
}

TEST(Settings, EmptyTitleIsKeptEmptyAndEmptyPortKeysCountAsDefaults) {
    const TitlesSettings s =
        ParseTitlesIni("[Title]\nstring2=\n[Network]\nSerialPort=\nAdapter=\n", FilePath("/p/"));
    EXPECT_EQ(s.Titles[2], "");
    EXPECT_EQ(s.SerialPort, "0");
    EXPECT_EQ(s.Adapter, "5");
}

TEST(Settings, WindowsTextIsTakenByteForByte) {
    const TitlesSettings s = ParseTitlesIni("[Title]\nstring0=Pr\xE9nom:\n", FilePath("/p/"));
    EXPECT_EQ(s.Titles[0], "Pr\xE9nom:");
}

TEST(Settings, AUtf8FileWithItsMarkIsReadAsWindowsText) {
    const TitlesSettings s = ParseTitlesIni(
        "\xEF\xBB\xBF[Title]\r\nstring0=Pr\xC3\xA9nom:\r\n[Network]\r\nSerialPort=2\r\n", FilePath("/p/"));
    EXPECT_EQ(s.Titles[0], "Pr\xE9nom:");
    EXPECT_EQ(s.SerialPort, "2");
    EXPECT_TRUE(s.Problems.empty());
}

TEST(Settings, NonNumericPortsAndMalformedLinesAreReportedAndDefaulted) {
    const TitlesSettings s = ParseTitlesIni(
        "[Network]\nSerialPort=COM3\nAdapter=99999\ngarbage line\n[Title\nstring0=X\n", FilePath("/p/"));
    EXPECT_EQ(s.SerialPort, "0");
    EXPECT_EQ(s.Adapter, "5");
    ASSERT_EQ(s.Problems.size(), 4u);
    EXPECT_NE(s.Problems[0].find("line 4"), std::string::npos);
    // A key under an unclosed section header belongs to no section.
    EXPECT_EQ(s.Titles[0], "First Name:");
}

TEST(Settings, AnAdapterTypeTheDriverDoesNotKnowIsReportedAndDefaulted) {
    const TitlesSettings s = ParseTitlesIni("[Network]\nSerialPort=1\nAdapter=2\n", FilePath("/p/"));
    EXPECT_EQ(s.Adapter, "5");
    EXPECT_EQ(s.SerialPort, "1");
    ASSERT_EQ(s.Problems.size(), 1u);
    EXPECT_NE(s.Problems[0].find("Adapter \"2\""), std::string::npos);
    for (const char* known : {"5", "6", "15"})
        EXPECT_TRUE(ParseTitlesIni(std::string("[Network]\nAdapter=") + known + "\n", FilePath("/p/"))
                        .Problems.empty());
}

TEST(Settings, PortValues) {
    int v = -1;
    EXPECT_TRUE(ParsePortValue(" 2 ", v));
    EXPECT_EQ(v, 2);
    EXPECT_FALSE(ParsePortValue("-1", v));
    EXPECT_FALSE(ParsePortValue("1e3", v));
    EXPECT_FALSE(ParsePortValue("", v));
    EXPECT_FALSE(ParsePortValue("40000", v));
}
