#include <gtest/gtest.h>

#include <QComboBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRadioButton>

#include "app/qt/PrinterSetupDialog.h"

TEST(PrinterSetupDialog, ChoosesThePrinterAndThePageForTheNextPrint) {
    QPrinter printer;
    PrinterSetupDialog dialog(printer);
    const int installed = static_cast<int>(QPrinterInfo::availablePrinterNames().size());
    ASSERT_EQ(dialog.Printers()->count(), installed + 1);
    EXPECT_EQ(dialog.Printers()->itemText(installed), PrinterSetupDialog::PdfEntry());
    if (installed == 0) {
        EXPECT_EQ(dialog.Printers()->currentIndex(), 0) << "without a printer: a PDF file";
    }

    dialog.Printers()->setCurrentIndex(installed);
    dialog.PageSizes()->setCurrentIndex(dialog.PageSizes()->findText(QPageSize::name(QPageSize::A5)));
    dialog.Landscape()->setChecked(true);
    dialog.accept();
    EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A5);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);

    // Opened again, it shows what was chosen.
    PrinterSetupDialog again(printer);
    EXPECT_EQ(again.PageSizes()->currentText(), QPageSize::name(QPageSize::A5));
    EXPECT_TRUE(again.Landscape()->isChecked());
    EXPECT_EQ(again.Printers()->currentIndex(), installed);
}
