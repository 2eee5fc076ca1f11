#include "help/AboutBox.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/qt/ControlBinding.h"
#include "help/HelpLinks.h"

namespace {
QFont ArialPixels(int pixels, bool bold, bool italic = false) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}
}  // namespace

AboutBox::AboutBox(TmexApi& driver, std::function<void(const std::string&)> openUrl, QWidget* parent)
    : QDialog(parent), driver_(driver), versionList_(new QListWidget) {
    setWindowTitle(QStringLiteral("About..."));
    setFont(ArialPixels(16, true));
    setFixedSize(426, 184);

    auto* panel = new QFrame;
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* product = new QLabel(QStringLiteral("Kelvara Software"));
    product->setAlignment(Qt::AlignCenter);
    auto* version = new QLabel(QStringLiteral("Version 1.40"));
    version->setFont(ArialPixels(13, true));
    version->setAlignment(Qt::AlignCenter);
    auto* link = new QLabel(QStringLiteral("Kelvara classroom datalogging: <a href=\"home\">%1</a>")
                                .arg(QString::fromLatin1(kWebServerText)));
    link->setFont(ArialPixels(13, false));
    link->setAlignment(Qt::AlignCenter);
    link->setWordWrap(true);
    link->setCursor(Qt::PointingHandCursor);
    connect(link, &QLabel::linkActivated, this, [openUrl](const QString&) {
        if (openUrl) openUrl(HomePageUrl());
    });
    auto* tmexLabel = new QLabel(QStringLiteral("Blue Dot Adapter and Driver details: "));
    tmexLabel->setFont(ArialPixels(11, false));
    versionList_->setFont(ArialPixels(11, false, true));
    versionList_->setFixedHeight(36);
    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* inner = new QVBoxLayout(panel);
    inner->setContentsMargins(8, 4, 8, 6);
    inner->setSpacing(2);
    inner->addWidget(product);
    inner->addWidget(version);
    inner->addWidget(link);
    inner->addWidget(tmexLabel);
    inner->addWidget(versionList_);
    inner->addWidget(ok, 0, Qt::AlignHCenter);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 7, 8, 7);
    outer->addWidget(panel);
}

void AboutBox::showEvent(QShowEvent* event) {
    FillVersions();
    QDialog::showEvent(event);
}

void AboutBox::FillVersions() {
    versionList_->clear();
    for (const auto& line : DriverVersionLines(driver_)) versionList_->addItem(ToQString(line));
}
