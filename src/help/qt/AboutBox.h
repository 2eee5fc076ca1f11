#pragma once
// The about box: product, version, publisher link and the driver's versions,
// rebuilt each time it is shown. Created at start-up and kept.
#include <QDialog>
#include <functional>
#include <string>

class QLabel;
class QListWidget;
class QPushButton;
class TmexApi;

class AboutBox : public QDialog {
    Q_OBJECT
public:
    // openUrl receives the home page when the publisher link is clicked.
    AboutBox(TmexApi& driver, std::function<void(const std::string&)> openUrl, QWidget* parent = nullptr);

    QListWidget* VersionList() const { return versionList_; }
    QLabel* PublisherLink() const { return link_; }
    QPushButton* OKButton() const { return okButton_; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();

    TmexApi& driver_;
    std::function<void(const std::string&)> openUrl_;
    QListWidget* versionList_;
    QLabel* link_;
    QPushButton* okButton_;
};
