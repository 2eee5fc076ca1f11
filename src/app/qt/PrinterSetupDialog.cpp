#include "app/qt/PrinterSetupDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr QPageSize::PageSizeId kPageSizes[] = {QPageSize::A4, QPageSize::A5, QPageSize::A3,
                                                QPageSize::Letter, QPageSize::Legal};
}

QString PrinterSetupDialog::PdfEntry() { return QStringLiteral("PDF file"); }

PrinterSetupDialog::PrinterSetupDialog(QPrinter& printer, QWidget* parent)
    : QDialog(parent),
      printer_(printer),
      printers_(new QComboBox(this)),
      pageSizes_(new QComboBox(this)),
      portrait_(new QRadioButton(QStringLiteral("Portrait"), this)),
      landscape_(new QRadioButton(QStringLiteral("Landscape"), this)) {
    setWindowTitle(QStringLiteral("Printer Setup"));
    printers_->setObjectName("Printers");
    pageSizes_->setObjectName("PageSizes");

    const QStringList installed = QPrinterInfo::availablePrinterNames();
    printers_->addItems(installed);
    printers_->addItem(PdfEntry());
    const bool toPdf = installed.isEmpty() || printer.outputFormat() == QPrinter::PdfFormat ||
                       !installed.contains(printer.printerName());
    printers_->setCurrentIndex(toPdf ? printers_->count() - 1
                                     : static_cast<int>(installed.indexOf(printer.printerName())));

    const QPageSize::PageSizeId current = printer.pageLayout().pageSize().id();
    for (const QPageSize::PageSizeId id : kPageSizes) {
        pageSizes_->addItem(QPageSize::name(id), static_cast<int>(id));
        if (id == current) pageSizes_->setCurrentIndex(pageSizes_->count() - 1);
    }
    (printer.pageLayout().orientation() == QPageLayout::Landscape ? landscape_ : portrait_)->setChecked(true);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Printer:"), printers_);
    form->addRow(QStringLiteral("Paper size:"), pageSizes_);
    auto* orientation = new QHBoxLayout;
    orientation->addWidget(portrait_);
    orientation->addWidget(landscape_);
    orientation->addStretch(1);
    form->addRow(QStringLiteral("Orientation:"), orientation);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    if (installed.isEmpty()) {
        auto* note = new QLabel(
            QStringLiteral("No printer is installed: prints are saved as a PDF file, whose name the print "
                           "dialog asks for."),
            this);
        note->setWordWrap(true);
        layout->addWidget(note);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void PrinterSetupDialog::accept() {
    if (printers_->currentIndex() == printers_->count() - 1) {
        printer_.setOutputFormat(QPrinter::PdfFormat);
    } else {
        printer_.setOutputFormat(QPrinter::NativeFormat);
        printer_.setPrinterName(printers_->currentText());
    }
    printer_.setPageSize(QPageSize(static_cast<QPageSize::PageSizeId>(pageSizes_->currentData().toInt())));
    printer_.setPageOrientation(landscape_->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait);
    QDialog::accept();
}
