#include <gtest/gtest.h>

#include <array>
#include <random>

#include "reports/DumpFormat.h"

namespace {
MemoryImage PatternedImage() {
    MemoryImage image;
    for (std::size_t i = 0; i < image.RegisterPage.size(); ++i)
        image.RegisterPage[i] = static_cast<std::uint8_t>(i * 7);
    for (std::size_t i = 0; i < image.UserArea.size(); ++i)
        image.UserArea[i] = static_cast<std::uint8_t>(0x20 + i % 90);
    for (std::size_t i = 0; i < image.AlarmArea.size(); ++i)
        image.AlarmArea[i] = static_cast<std::uint8_t>(255 - i);
    for (std::size_t i = 0; i < image.HistogramArea.size(); ++i)
        image.HistogramArea[i] = static_cast<std::uint8_t>(i * 3 + 1);
    for (std::size_t i = 0; i < image.LogArea.size(); ++i)
        image.LogArea[i] = static_cast<std::uint8_t>(i * 13 + 5);
    return image;
}

bool SameRegions(const MemoryImage& a, const MemoryImage& b) {
    return a.RegisterPage == b.RegisterPage && a.UserArea == b.UserArea && a.AlarmArea == b.AlarmArea &&
           a.HistogramArea == b.HistogramArea && a.LogArea == b.LogArea;
}

std::string Join(const std::vector<std::string>& lines, const char* end) {
    std::string text;
    for (const auto& line : lines) text += line + end;
    return text;
}

}  // namespace

TEST(HexCharToByte, DigitsOfEitherCaseAndNothingElse) {
    EXPECT_EQ(HexCharToByte('0'), 0);
    EXPECT_EQ(HexCharToByte('9'), 9);
    EXPECT_EQ(HexCharToByte('A'), 10);
    EXPECT_EQ(HexCharToByte('f'), 15);
    for (char c : {'G', 'g', ' ', '\0', '/', ':', '@', '`', '\xB0'})
        EXPECT_EQ(HexCharToByte(c), 255) << int(c);
}

TEST(ConvertToBin, TokensGiveOneValueEach) {
    std::array<std::uint8_t, 16> v{};
    EXPECT_EQ(ConvertToBin("00 7F ff a0 ", v), 4);
    EXPECT_EQ((std::array<int, 5>{v[0], v[1], v[2], v[3], v[4]}),
              (std::array<int, 5>{0, 0x7F, 0xFF, 0xA0, 0}));
    // A lone character stands for its own code, a non-hex first character for nothing.
    EXPECT_EQ(ConvertToBin("7  x5 #A", v), 3);
    EXPECT_EQ(v[0], 0x37);
    EXPECT_EQ(v[1], 5);
    EXPECT_EQ(v[2], 10);
}

TEST(ConvertToBin, BadTokenStopsAndZeroFillsTheRest) {
    std::array<std::uint8_t, 16> v{};
    v.fill(0xEE);
    EXPECT_EQ(ConvertToBin("12 34 567 89", v), -1);
    EXPECT_EQ(v[0], 0x12);
    EXPECT_EQ(v[1], 0x34);
    for (std::size_t i = 2; i < v.size(); ++i) EXPECT_EQ(v[i], 0) << i;
    EXPECT_EQ(ConvertToBin("12 3g", v), -1);
    EXPECT_EQ(ConvertToBin("Register Page:", v), -1);
    EXPECT_EQ(v[0], 0);  // the stopping token itself gives no value
}

TEST(ConvertToBin, NeverWritesPastTheBuffer) {
    std::array<std::uint8_t, 4> v{};
    EXPECT_EQ(ConvertToBin("01 02 03 04 05 06 07 08 09", v), 4);
    EXPECT_EQ(v[3], 4);
    std::string huge;
    for (int i = 0; i < 5000; ++i) huge += "AB ";
    std::array<std::uint8_t, 201> wide{};
    EXPECT_EQ(ConvertToBin(huge, wide), 201);
}

TEST(SplitLines, AnyLineEndAndNoPhantomLastLine) {
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd").size(), 4u);
    EXPECT_EQ(SplitLines("a\r\n\r\n").size(), 2u);
    EXPECT_EQ(SplitLines("a\r\n\r\n")[1], "");
    EXPECT_TRUE(SplitLines("").empty());
}

TEST(DumpLines, LayoutOfTheDataFile) {
    MemoryImage image;
    const auto lines = DumpLines("DS1921 iButton - A766554433221121", "05/03/2004 14:20:00", image);
    ASSERT_EQ(lines.size(), 185u);
    EXPECT_EQ(lines[0], "DS1921 iButton - A766554433221121");
    EXPECT_EQ(lines[1], "Download at: 05/03/2004 14:20:00");
    EXPECT_EQ(lines[2], "Spare");
    EXPECT_EQ(lines[3], "Register Page:");
    EXPECT_EQ(lines[6], "User Page:");
    EXPECT_EQ(lines[39], "Alarms:");
    EXPECT_EQ(lines[46], "Histogram:");
    EXPECT_EQ(lines[55], "Log:");
    EXPECT_EQ(lines[184], "");
    std::string zeros;
    for (int i = 0; i < 16; ++i) zeros += "00 ";
    for (int n : {5, 6, 8, 39, 41, 46, 48, 55, 57, 184}) EXPECT_EQ(lines[n - 1], zeros) << "line " << n;
}

TEST(DumpLines, UpperCaseDigitsInMemoryOrder) {
    MemoryImage image;
    image.RegisterPage[0] = 0xAB;
    image.RegisterPage[31] = 0x0C;
    image.LogArea[2047] = 0xF0;
    const auto lines = DumpLines("c", "t", image);
    EXPECT_EQ(lines[4].substr(0, 3), "AB ");
    EXPECT_EQ(lines[5].substr(45), "0C ");
    EXPECT_EQ(lines[183].substr(45), "F0 ");
}

TEST(ReadDump, SaveThenLoadGivesBackEveryRegion) {
    const MemoryImage saved = PatternedImage();
    const auto lines = DumpLines("DS1921 iButton - 0F4F200000000021", "x", saved);
    for (const char* end : {"\r\n", "\n", "\r"}) {
        MemoryImage loaded;
        const auto result = ReadDump(Join(lines, end), loaded);
        ASSERT_TRUE(result.Ok) << result.Error;
        EXPECT_EQ(result.Caption, "DS1921 iButton - 0F4F200000000021");
        EXPECT_TRUE(SameRegions(saved, loaded));
    }
}

TEST(ReadDump, LowerCaseDigitsLoadTheSame) {
    const MemoryImage saved = PatternedImage();
    std::string text = Join(DumpLines("caption", "x", saved), "\r\n");
    const auto firstData = text.find("Register Page:");
    for (auto i = firstData + 14; i < text.size(); ++i)
        if (text[i] >= 'A' && text[i] <= 'F') text[i] = static_cast<char>(text[i] - 'A' + 'a');
    MemoryImage loaded;
    ASSERT_TRUE(ReadDump(text, loaded).Ok);
    EXPECT_TRUE(SameRegions(saved, loaded));
}

TEST(ReadDump, EmptyLineEndsReadingAndKeepsTheRest) {
    const MemoryImage before = PatternedImage();
    auto lines = DumpLines("caption", "x", MemoryImage{});
    lines[2] = "";
    MemoryImage image = before;
    const auto result = ReadDump(Join(lines, "\r\n"), image);
    EXPECT_TRUE(result.Ok);
    EXPECT_EQ(result.LinesRead, 2);
    EXPECT_TRUE(result.HasCaption);
    EXPECT_TRUE(SameRegions(before, image));

    // An empty line inside the log: the log positions after it keep their values.
    lines = DumpLines("caption", "x", MemoryImage{});
    lines[99] = "";
    image = before;
    EXPECT_TRUE(ReadDump(Join(lines, "\r\n"), image).Ok);
    EXPECT_EQ(image.LogArea[0], 0);
    EXPECT_EQ(image.LogArea[(100 - 57) * 16], before.LogArea[(100 - 57) * 16]);
}

TEST(ReadDump, ExactlyTheDataLinesLoadCompletely) {
    const MemoryImage saved = PatternedImage();
    auto lines = DumpLines("caption", "x", saved);
    lines.pop_back();
    std::string text = Join(lines, "\r\n");
    text.resize(text.size() - 2);  // not even a final line end
    MemoryImage loaded;
    ASSERT_TRUE(ReadDump(text, loaded).Ok);
    EXPECT_TRUE(SameRegions(saved, loaded));
    // Whatever follows line 184 is never read.
    MemoryImage again;
    EXPECT_TRUE(ReadDump(Join(lines, "\r\n") + "garbage\r\nFF FF\r\n", again).Ok);
    EXPECT_TRUE(SameRegions(saved, again));
}

TEST(ReadDump, ShortFileWithoutEmptyLineIsRefusedAndChangesNothing) {
    auto lines = DumpLines("caption", "x", PatternedImage());
    lines.resize(100);
    MemoryImage image;
    const auto result = ReadDump(Join(lines, "\r\n"), image);
    EXPECT_FALSE(result.Ok);
    EXPECT_NE(result.Error.find("100"), std::string::npos);
    EXPECT_TRUE(SameRegions(MemoryImage{}, image));
    EXPECT_FALSE(ReadDump("", image).Ok);
}

TEST(ReadDump, ShortOrBadDataLinesFillTheirRestWithZero) {
    auto lines = DumpLines("caption", "x", PatternedImage());
    lines[4] = "11 22";         // register page bytes 0-15
    lines[5] = "33 44 Z99 55";  // bytes 16-31: stopped by a bad token
    lines[7] = "01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12";  // more than 16 values
    MemoryImage image = PatternedImage();
    ASSERT_TRUE(ReadDump(Join(lines, "\r\n"), image).Ok);
    EXPECT_EQ(image.RegisterPage[1], 0x22);
    for (int i = 2; i < 16; ++i) EXPECT_EQ(image.RegisterPage[i], 0) << i;
    EXPECT_EQ(image.RegisterPage[17], 0x44);
    for (int i = 18; i < 32; ++i) EXPECT_EQ(image.RegisterPage[i], 0) << i;
    EXPECT_EQ(image.UserArea[15], 0x10);
    EXPECT_EQ(image.UserArea[16], PatternedImage().UserArea[16]);  // line 9 is its own line
}

// A seeded corpus of mutated and random files: no crash, no overrun, and a
// refused file never changes the image.
TEST(ReadDumpFuzz, SeededCorpusNeverCrashes) {
    std::mt19937 random(20261207);
    const std::string good =
        Join(DumpLines("DS1921 iButton - 0F4F200000000021", "x", PatternedImage()), "\r\n");
    std::string alphabet = "0123456789ABCDEFabcdefXYZ \r\n\t\xFF-:";
    alphabet.push_back('\0');
    for (int round = 0; round < 400; ++round) {
        std::string text = good;
        const int mutations = 1 + static_cast<int>(random() % 40);
        for (int m = 0; m < mutations && !text.empty(); ++m) {
            const std::size_t at = random() % text.size();
            switch (random() % 4) {
                case 0:
                    text[at] = alphabet[random() % alphabet.size()];
                    break;
                case 1:
                    text.erase(at, random() % 200);
                    break;
                case 2:
                    text.insert(at, std::string(random() % 300, alphabet[random() % alphabet.size()]));
                    break;
                default:
                    text.resize(at);
                    break;
            }
        }
        if (round % 10 == 0) {
            text.clear();
            for (int i = static_cast<int>(random() % 20000); i > 0; --i)
                text += alphabet[random() % alphabet.size()];
        }
        MemoryImage image = PatternedImage();
        const auto result = ReadDump(text, image);
        if (!result.Ok) {
            EXPECT_TRUE(SameRegions(image, PatternedImage()));
        }
        for (const auto line : SplitLines(text)) {
            std::array<std::uint8_t, 16> values{};
            const auto n = ConvertToBin(line, values);
            EXPECT_TRUE(n == -1 || (n >= 0 && n <= 16));
        }
    }
}
