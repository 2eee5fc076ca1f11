#include "app/qt/PlatformText.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>

#include "app/qt/TextPrinting.h"

TEST(MessageBoxText, CarriageReturnsBecomeLineBreaksAndTheDegreeSignSurvives) {
    EXPECT_EQ(MessageBoxText("Blue-dot adapter not found!\r\rRun now?"),
              QStringLiteral("Blue-dot adapter not found!\n\nRun now?"));
    EXPECT_EQ(MessageBoxText("a\r\nb"), QStringLiteral("a\nb"));
    EXPECT_EQ(MessageBoxText("23.500\xB0" "C"), QString::fromUtf8("23.500\u00B0C"));
}

TEST(FileFilter, WindowsPairsBecomeQtEntries) {
    EXPECT_EQ(QtFileFilter("Text File (txt)|*.txt"), QStringLiteral("Text File (txt) (*.txt)"));
    EXPECT_EQ(QtFileFilter("Data|*.dmp;*.txt|All files|*.*"), QStringLiteral("Data (*.dmp *.txt);;All files (*.*)"));
    EXPECT_EQ(SelectedQtFilter("Data|*.dmp|All files|*.*", 2), QStringLiteral("All files (*.*)"));
    EXPECT_TRUE(SelectedQtFilter("Data|*.dmp", 3).isEmpty());
    EXPECT_TRUE(QtFileFilter("").isEmpty());
    EXPECT_TRUE(QtFileFilter("dangling description").isEmpty());
}

TEST(DateTimeText, CLocaleGivesDayMonthYearAndSecondsAndRoundTrips) {
    TDateTime value = 0;
    ASSERT_TRUE(TryEncodeDateTime(2004, 3, 5, 14, 20, 7, 0, value));
    EXPECT_EQ(ShortDateLongTime(QLocale::c(), value), QStringLiteral("05/03/2004 14:20:07"));
    EXPECT_EQ(FromTDateTime(value), QDateTime(QDate(2004, 3, 5), QTime(14, 20, 7)));
    EXPECT_DOUBLE_EQ(ToTDateTime(FromTDateTime(value)), value);
    // A real locale keeps its own order but drops Qt's time-zone name.
    const QString german = ShortDateLongTime(QLocale(QLocale::German, QLocale::Germany), value);
    EXPECT_TRUE(german.startsWith(QStringLiteral("05.03."))) << german.toStdString();
    EXPECT_TRUE(german.endsWith(QStringLiteral("14:20:07"))) << german.toStdString();
}

TEST(PaginateText, WrapsWideLinesAndStartsAPageWhenTheNextLineWouldNotFit) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(QStringLiteral("0123456789"));
    const int height = metrics.lineSpacing() * 3 + metrics.lineSpacing() / 2;  // room for three lines
    const auto pages = PaginateText({"abc", "", "01234567890123456789012", "x"}, metrics, width, height);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0], (QStringList{"abc", "", "0123456789"}));
    EXPECT_EQ(pages[1], (QStringList{"0123456789", "012", "x"}));
}

TEST(PaginateText, ALineNarrowerThanOneCharacterStillProgresses) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    const auto pages = PaginateText({"WWW"}, QFontMetrics(font), 1, 1);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[2], QStringList{"W"});
}
