#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <cstdio>

#include "help/HelpLinks.h"
#include "help/qt/AboutBox.h"
#include "support/ScriptedDriver.h"

TEST(DriverVersionLines, MainDriverThenOnlyThePortTypesThatAnswer) {
    ScriptedDriver driver;
    EXPECT_EQ(DriverVersionLines(driver),
              (std::vector<std::string>{"Main Driver: Scripted driver", "Type 15: Scripted port"}));
}

namespace {
// A driver that forgets the terminator must not make the list read past its buffer.
class UnterminatedDriver : public ScriptedDriver {
public:
    std::int16_t Get_Version(char* buffer) override {
        std::fill(buffer, buffer + 256, 'v');
        return 1;
    }
    std::int16_t TMGetTypeVersion(std::int16_t type, char* buffer) override {
        if (type != 1 && type != 5 && type != 6) return 0;
        std::fill(buffer, buffer + 3, 't');
        return 1;
    }
};
}  // namespace

TEST(DriverVersionLines, ToleratesAMissingTerminatorAndListsTypesInOrder) {
    UnterminatedDriver driver;
    const auto lines = DriverVersionLines(driver);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Main Driver: " + std::string(256, 'v'));
    EXPECT_EQ(lines[1], "Type 1: ttt");
    EXPECT_EQ(lines[3], "Type 6: ttt");
}

TEST(AboutBox, RebuildsTheVersionListEachTimeItIsShown) {
    ScriptedDriver driver;
    AboutBox box(driver, nullptr);
    box.show();
    EXPECT_EQ(box.VersionList()->count(), 2);
    box.hide();
    box.show();
    EXPECT_EQ(box.VersionList()->count(), 2);
    EXPECT_EQ(box.size(), QSize(426, 184));
}

TEST(AboutBox, TheKeptBoxHidesOnOkAndItsLinkOpensTheHomePage) {
    ScriptedDriver driver;
    std::vector<std::string> opened;
    AboutBox box(driver, [&opened](const std::string& url) { opened.push_back(url); });
    box.show();
    QTest::mouseClick(box.PublisherLink(), Qt::LeftButton);
    EXPECT_EQ(opened, (std::vector<std::string>{HomePageUrl()}));
    QTest::mouseClick(box.OKButton(), Qt::LeftButton);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
}

namespace {
// A driver whose version text and port types can change between two shows.
class ChangingDriver : public ScriptedDriver {
public:
    std::string Version = "1.0";
    bool WithUsb = false;
    std::int16_t Get_Version(char* buffer) override {
        std::snprintf(buffer, 200, "driver %s", Version.c_str());
        return 1;
    }
    std::int16_t TMGetTypeVersion(std::int16_t type, char* buffer) override {
        if (type != 5 && !(WithUsb && type == 6)) return 0;
        std::snprintf(buffer, 200, "type %d", type);
        return 1;
    }
};
}  // namespace

TEST(AboutBox, EachShowAsksTheDriverAgain) {
    ChangingDriver driver;
    AboutBox box(driver, nullptr);
    box.show();
    ASSERT_EQ(box.VersionList()->count(), 2);
    EXPECT_EQ(box.VersionList()->item(0)->text(), QStringLiteral("Main Driver: driver 1.0"));
    box.hide();
    driver.Version = "2.0";
    driver.WithUsb = true;
    box.show();
    ASSERT_EQ(box.VersionList()->count(), 3);
    EXPECT_EQ(box.VersionList()->item(0)->text(), QStringLiteral("Main Driver: driver 2.0"));
    EXPECT_EQ(box.VersionList()->item(2)->text(), QStringLiteral("Type 6: type 6"));
    EXPECT_EQ(box.VersionList()->item(2)->sizeHint().height(), 14);
}
