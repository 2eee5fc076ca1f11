#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QPrinter>

#include "app/qt/ControlBinding.h"
#include "app/qt/PlatformText.h"
#include "app/qt/QtPlatform.h"
#include "app/qt/TextPrinting.h"
#include "support/PerTestPath.h"

// A path from a dialog keeps every character on its way to the file call and
// back into a box, while the text around it stays Windows-1252.
TEST(MessageBoxText, APathFromADialogIsShownAsItIsNamed) {
    const QString chosen =
        QString::fromUtf8("/home/\u0418\u0432\u0430\u043D/\u043C\u0438\u0441\u0441\u0438\u044F.dmp");
    const FilePath path = PathFromQString(chosen);
    EXPECT_EQ(path.Native(), chosen.toStdString());
    EXPECT_EQ(PathToQString(path), chosen);
    EXPECT_EQ(MessageBoxText("Cannot open file \"" + ShownPath(path) + "\".\r23\xB0"),
              QString::fromUtf8("Cannot open file \"") + chosen + QString::fromUtf8("\".\n23\u00B0"));
}

TEST(MessageBoxText, CarriageReturnsBecomeLineBreaksAndTheDegreeSignSurvives) {
    EXPECT_EQ(MessageBoxText("Blue-dot adapter not found!\r\rRun now?"),
              QStringLiteral("Blue-dot adapter not found!\n\nRun now?"));
    EXPECT_EQ(MessageBoxText("a\r\nb"), QStringLiteral("a\nb"));
    EXPECT_EQ(MessageBoxText("23.500\xB0"
                             "C"),
              QString::fromUtf8("23.500\u00B0C"));
}

TEST(FileFilter, WindowsPairsBecomeQtEntries) {
    EXPECT_EQ(QtFileFilter("Text File (txt)|*.txt"), QStringLiteral("Text File (txt) (*.txt)"));
    EXPECT_EQ(QtFileFilter("Data|*.dmp;*.txt|All files|*.*"),
              QStringLiteral("Data (*.dmp *.txt);;All files (*.*)"));
    EXPECT_EQ(SelectedQtFilter("Data|*.dmp|All files|*.*", 2), QStringLiteral("All files (*.*)"));
    EXPECT_TRUE(SelectedQtFilter("Data|*.dmp", 3).isEmpty());
    EXPECT_TRUE(QtFileFilter("").isEmpty());
    EXPECT_TRUE(QtFileFilter("dangling description").isEmpty());
}

TEST(DateTimeText, QtDatesRoundTripAndTheWindowWritesTheCliForm) {
    TDateTime value = 0;
    ASSERT_TRUE(TryEncodeDateTime(2004, 3, 5, 14, 20, 7, 0, value));
    EXPECT_EQ(FromTDateTime(value), QDateTime(QDate(2004, 3, 5), QTime(14, 20, 7)));
    EXPECT_DOUBLE_EQ(ToTDateTime(FromTDateTime(value)), value);
    // Whatever the locale, the "Download at:" text is the one kelvara-cli writes.
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QtPlatform platform;
    EXPECT_EQ(platform.DateTimeText(value), "05/03/2004 14:20:07");
    QLocale::setDefault(saved);
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

TEST(PrintTextStream, WritesEveryPageOfALongReportToThePrinter) {
    // Other test runs on the machine print at the same time: a name of this run's own.
    const QString path = QString::fromStdString(PerTestPath("kelvara-print").string() + ".pdf");
    QFile::remove(path);
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    std::vector<std::string> lines(2100,
                                   "05/03/2004 ,14:20 ,23.500\xB0"
                                   "C");
    std::string error;
    ASSERT_TRUE(PrintTextStream(printer, lines, error)) << error;
    EXPECT_TRUE(error.empty());
    QFile pdf(path);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    // Dozens of pages at the printer font's line height, not one crammed page.
    EXPECT_GT(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r"), 10);
    pdf.close();
    QFile::remove(path);
}

TEST(PrintTextStream, APrinterThatCannotStartReportsAnError) {
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QStringLiteral("/nonexistent-folder/kelvara.pdf"));
    std::string error;
    EXPECT_FALSE(PrintTextStream(printer, {"line"}, error));
    EXPECT_FALSE(error.empty());
}
