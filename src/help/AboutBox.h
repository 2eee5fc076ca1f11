#pragma once
// The about box: product, version, publisher link and the driver's versions,
// rebuilt each time it is shown.
#include <QDialog>
#include <functional>
#include <string>

class QListWidget;
class TmexApi;

class AboutBox : public QDialog {
    Q_OBJECT
public:
    AboutBox(TmexApi& driver, std::function<void(const std::string&)> openUrl, QWidget* parent = nullptr);

    QListWidget* VersionList() const { return versionList_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FillVersions();

    TmexApi& driver_;
    QListWidget* versionList_;
};
