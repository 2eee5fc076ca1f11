#pragma once
// What a user does to the wizard's widgets, for the view tests.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

// The widget of the named control; fails the test when the view lacks it.
template <typename Widget>
Widget* Find(const QWidget& view, const char* name) {
    auto* widget = view.findChild<Widget*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

// A choice from an open drop-down list: the widget moves, then reports activated.
inline void Choose(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    emit box->activated(index);
}

inline void Type(QLineEdit* edit, const QString& text) {
    for (const QString& piece : text.split(QString(), Qt::SkipEmptyParts)) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, piece);
        QApplication::sendEvent(edit, &press);
    }
}
