#include "app/qt/FramePanels.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>
#include <QVBoxLayout>

#include "app/qt/DesktopFonts.h"

AdapterLight::AdapterLight(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setFixedSize(17, 17);
    setToolTip(QStringLiteral("Green when accessing adapter"));
}

void AdapterLight::SetOn(bool on) {
    if (on_ == on) return;
    on_ = on;
    update();
}

void AdapterLight::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Colour());
    painter.drawEllipse(QRectF(contentsRect()).adjusted(1.5, 1.5, -1.5, -1.5));
}

LinkLabel::LinkLabel(const QString& text, std::function<void()> onClick, QWidget* parent)
    : QLabel(text, parent), onClick_(std::move(onClick)) {
    QFont linkFont = WindowFont();
    linkFont.setUnderline(true);
    setFont(linkFont);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, Qt::blue);
    setPalette(colours);
    setCursor(Qt::PointingHandCursor);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && onClick_)
        onClick_();
    QLabel::mouseReleaseEvent(event);
}

QPixmap SvgPixmap(const QString& resource, QSize size) {
    QSvgRenderer renderer(resource);
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    return pixmap;
}

WelcomePanel::WelcomePanel(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);

    auto* picture = new QLabel;
    picture->setPixmap(SvgPixmap(QStringLiteral(":/kelvara/logger.svg"), QSize(120, 150)));
    picture->setAlignment(Qt::AlignCenter);

    auto* heading = new QLabel(QStringLiteral("Welcome!"));
    QFont headingFont = heading->font();
    headingFont.setPointSize(16);
    headingFont.setBold(true);
    heading->setFont(headingFont);

    auto* text = new QLabel(QStringLiteral(
        "Welcome to the DS1921 Kelvara software. You must now clip a DS1921 iButton into the Blue-Dot "
        "Adapter to start a new mission or to extract the results from an existing mission."));
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* endorsedLabel = new QLabel(QStringLiteral("Endorsed by:"));
    auto* endorsed = new QLabel;
    endorsed->setPixmap(SvgPixmap(QStringLiteral(":/kelvara/endorsed.svg"), QSize(120, 48)));

    auto* endorsedRow = new QHBoxLayout;
    endorsedRow->addWidget(endorsedLabel, 0, Qt::AlignVCenter);
    endorsedRow->addWidget(endorsed, 0, Qt::AlignVCenter);
    endorsedRow->addStretch(1);

    auto* right = new QVBoxLayout;
    right->setSpacing(10);
    right->addWidget(heading);
    right->addWidget(text);
    right->addStretch(1);
    right->addLayout(endorsedRow);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 12, 16, 12);
    layout->setSpacing(16);
    layout->addWidget(picture);
    layout->addLayout(right, 1);
}
