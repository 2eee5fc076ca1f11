#pragma once
// Small widgets of the main window's frame: the adapter light, the link
// label and the welcome panel.
#include <QColor>
#include <QFrame>
#include <QLabel>
#include <functional>

// The adapter activity light: lime green while a driver session is open.
class AdapterLight : public QFrame {
    Q_OBJECT
public:
    explicit AdapterLight(QWidget* parent = nullptr);
    void SetOn(bool on);
    QColor Colour() const { return on_ ? QColor(0, 255, 0) : QColor(128, 128, 128); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool on_ = false;
};

// Blue, underlined, hand cursor; a click calls the handler.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    LinkLabel(const QString& text, std::function<void()> onClick, QWidget* parent = nullptr);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::function<void()> onClick_;
};

// Shown while no device is in use.
class WelcomePanel : public QFrame {
    Q_OBJECT
public:
    explicit WelcomePanel(QWidget* parent = nullptr);
};

// An SVG of our own resources drawn at the given size.
QPixmap SvgPixmap(const QString& resource, QSize size);
