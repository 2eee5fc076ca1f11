#include "app/qt/SurveyWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/Platform.h"
#include "app/Product.h"
#include "app/qt/ControlBinding.h"
#include "files/FileStore.h"

namespace {
// Columns a spreadsheet reads as numbers sort as numbers here too.
bool IsNumberColumn(const std::string& name) {
    return name == "sample_rate_minutes" || name == "samples" || name.starts_with("min_") ||
           name.starts_with("mean_") || name.starts_with("max_") || name.find("alarm") != std::string::npos;
}
}  // namespace

SurveyWindow::SurveyWindow(const std::vector<FilePath>& files, TempScale scale, Platform& platform,
                           FilePath saveFolder, std::function<void(const FilePath&)> openFile,
                           QWidget* parent)
    : QDialog(parent),
      rows_(SurveyDataFiles(files, false)),
      scale_(scale),
      platform_(platform),
      saveFolder_(std::move(saveFolder)),
      openFile_(std::move(openFile)) {
    setWindowTitle(QStringLiteral("Survey of data files"));
    auto* layout = new QVBoxLayout(this);
    summary_ = new QLabel;
    layout->addWidget(summary_);
    table_ = new QTableWidget;
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setAlternatingRowColors(true);
    table_->verticalHeader()->setVisible(false);
    layout->addWidget(table_, 1);
    auto* buttons = new QHBoxLayout;
    auto* hint = new QLabel(QStringLiteral("Double-click a row to open its data file."));
    buttons->addWidget(hint, 1);
    auto* save = new QPushButton(QStringLiteral("Save as CSV..."));
    auto* close = new QPushButton(QStringLiteral("Close"));
    buttons->addWidget(save);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(save, &QPushButton::clicked, this, &SurveyWindow::SaveCsv);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { OpenRow(row); });
    Fill();
    resize(1180, 420);
}

void SurveyWindow::Fill() {
    const std::vector<std::string> header = SurveyHeader(scale_);
    table_->setSortingEnabled(false);
    table_->setColumnCount(static_cast<int>(header.size()));
    table_->setRowCount(static_cast<int>(rows_.size()));
    QStringList labels;
    for (const auto& name : header) labels << QString::fromStdString(name);
    table_->setHorizontalHeaderLabels(labels);
    int needLook = 0;
    for (int r = 0; r < static_cast<int>(rows_.size()); ++r) {
        const std::vector<std::string> cells = SurveyCells(rows_[r], scale_);
        const bool noted = !cells.back().empty();
        needLook += noted;
        for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
            auto* item = new QTableWidgetItem;
            const QString text = QString::fromStdString(cells[c]);
            if (IsNumberColumn(header[c]) && !text.isEmpty())
                item->setData(Qt::DisplayRole, text.toDouble());
            else
                item->setText(text);
            if (c == 0) {
                // The name is enough on screen; the whole path is a hover away, and in the CSV.
                item->setData(Qt::UserRole, r);
                item->setText(PathToQString(FilePath(rows_[r].Path.Name())));
                item->setToolTip(text);
            }
            if (noted) item->setBackground(QColor(255, 244, 204));
            if (c + 1 == static_cast<int>(cells.size())) item->setToolTip(text);
            table_->setItem(r, c, item);
        }
    }
    table_->setSortingEnabled(true);
    // The notes are what the survey is for: beside the file name, not off to the right.
    table_->horizontalHeader()->moveSection(table_->columnCount() - 1, 1);
    table_->resizeColumnsToContents();
    // A long reason would push every other column out of sight; the whole note is its tooltip.
    constexpr int kNotesWidth = 380;
    if (table_->columnWidth(table_->columnCount() - 1) > kNotesWidth)
        table_->setColumnWidth(table_->columnCount() - 1, kNotesWidth);
    summary_->setText(
        QStringLiteral("%1 data files; %2 with a note to look at.").arg(rows_.size()).arg(needLook));
}

void SurveyWindow::OpenRow(int row) {
    const QTableWidgetItem* first = table_->item(row, 0);
    if (!first) return;
    const int index = first->data(Qt::UserRole).toInt();
    if (index < 0 || index >= static_cast<int>(rows_.size()) || !openFile_) return;
    openFile_(rows_[index].Path);
}

void SurveyWindow::SaveCsv() {
    FileDialogRequest request;
    request.Title = "Save survey";
    request.FileName = "survey.csv";
    request.DefaultExt = "csv";
    request.Filter = "Comma Separated Variable File (csv)|*.csv";
    request.InitialDir = saveFolder_;
    request.OverwritePrompt = true;
    request.PathMustExist = true;
    const auto path = platform_.SaveDialog(request);
    if (!path) return;
    std::string error;
    if (!DiskFileStore().Save(*path, SurveyCsv(rows_, scale_), error))
        platform_.MessageBox(error, kProductName, MsgButtons::Ok, MsgIcon::Error);
}
