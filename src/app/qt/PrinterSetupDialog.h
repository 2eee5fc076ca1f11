#pragma once
// File > "Printer setup...": the printer and the page the next print goes to.
// It prints nothing, so it says OK; the print dialog then proposes what was
// chosen. Without an installed printer the prints go to a PDF file.
#include <QDialog>

class QComboBox;
class QLabel;
class QPrinter;
class QRadioButton;

class PrinterSetupDialog : public QDialog {
    Q_OBJECT
public:
    PrinterSetupDialog(QPrinter& printer, QWidget* parent = nullptr);

    QComboBox* Printers() const { return printers_; }
    QComboBox* PageSizes() const { return pageSizes_; }
    QRadioButton* Landscape() const { return landscape_; }
    // The entry that prints to a PDF file, always last in the printer list.
    static QString PdfEntry();

    void accept() override;

private:
    QPrinter& printer_;
    QComboBox* printers_;
    QComboBox* pageSizes_;
    QRadioButton* portrait_;
    QRadioButton* landscape_;
};
