#include "help/qt/AboutBox.h"

#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

#include "app/qt/ControlBinding.h"
#include "help/HelpLinks.h"

namespace {
constexpr int kClientWidth = 426, kClientHeight = 184;
constexpr int kPanelWidth = 409, kPanelHeight = 169;
constexpr int kVersionItemHeight = 14;

QFont Pixels(const QString& family, int pixels, bool bold, bool italic = false) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}
QFont Arial(int pixels, bool bold, bool italic = false) {
    return Pixels(QStringLiteral("Arial"), pixels, bold, italic);
}

QLabel* Text(QWidget* parent, const QString& text, const QFont& font, const QRect& place,
             Qt::Alignment align) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->setAlignment(align | Qt::AlignVCenter);
    label->setGeometry(place);
    return label;
}
}  // namespace

AboutBox::AboutBox(TmexApi& driver, std::function<void(const std::string&)> openUrl, QWidget* parent)
    : QDialog(parent), driver_(driver), openUrl_(std::move(openUrl)) {
    setWindowTitle(QStringLiteral("About..."));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFont(Arial(16, true));
    setFixedSize(kClientWidth, kClientHeight);

    // Panel1: a lowered outer bevel around a raised inner one.
    auto* outer = new QFrame(this);
    outer->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    outer->setGeometry((kClientWidth - kPanelWidth) / 2, (kClientHeight - kPanelHeight) / 2, kPanelWidth,
                       kPanelHeight);
    auto* panel = new QFrame(outer);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(1, 1, kPanelWidth - 2, kPanelHeight - 2);

    const int width = kPanelWidth - 2;
    Text(panel, QStringLiteral("Kelvara Software"), Arial(16, true), {0, 6, width, 20}, Qt::AlignHCenter);
    Text(panel, QStringLiteral("Version 1.40"), Arial(13, true), {0, 26, width, 16}, Qt::AlignHCenter);

    link_ = Text(panel,
                 QStringLiteral("The Kelvara project, free classroom datalogging: %1")
                     .arg(QString::fromLatin1(kWebServerText)),
                 Arial(13, false), {(width - 329) / 2, 44, 329, 33}, Qt::AlignHCenter);
    link_->setWordWrap(true);
    QFont underlined = link_->font();
    underlined.setUnderline(true);
    link_->setFont(underlined);
    QPalette blue = link_->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    link_->setPalette(blue);
    link_->setCursor(Qt::PointingHandCursor);
    link_->setToolTip(QString::fromStdString(HomePageUrl()));
    link_->installEventFilter(this);

    Text(panel, QStringLiteral("Blue Dot Adapter and Driver details: "), Arial(11, false),
         {8, 80, width - 16, 14}, Qt::AlignLeft);
    versionList_ = new QListWidget(panel);
    versionList_->setFont(Arial(11, false, true));
    versionList_->setGeometry((width - 393) / 2, 95, 393, 33);
    versionList_->setUniformItemSizes(true);

    okButton_ = new QPushButton(QStringLiteral("OK"), panel);
    okButton_->setFont(Pixels(QStringLiteral("MS Sans Serif"), 11, true));
    okButton_->setGeometry((width - 75) / 2, 135, 75, 25);
    okButton_->setDefault(true);
    // OKButtonClick: the box is hidden, not destroyed.
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    FormCreate();
}

bool AboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == link_ && event->type() == QEvent::MouseButtonRelease) {
        if (openUrl_) openUrl_(HomePageUrl());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void AboutBox::showEvent(QShowEvent* event) {
    FormCreate();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - frameGeometry().center() + pos());
    QDialog::showEvent(event);
}

void AboutBox::FormCreate() {
    versionList_->clear();
    for (const auto& line : DriverVersionLines(driver_)) {
        auto* item = new QListWidgetItem(ToQString(line), versionList_);
        item->setSizeHint(QSize(0, kVersionItemHeight));
    }
}
