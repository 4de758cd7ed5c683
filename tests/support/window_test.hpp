#pragma once

#include "windows.hpp"

#include <QApplication>
#include <QTest>
#include <QWidget>

// Shows a window and waits until it is exposed and active, so that keys reach its focus widget.
inline bool showAndActivate(QWidget& window) {
    velmora::ui::Windows::show(window);
    return QTest::qWaitForWindowExposed(&window) && QTest::qWaitForWindowActive(&window);
}

// Presses `key` on whatever widget has the keyboard focus.
inline void pressOnFocus(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    QVERIFY(target != nullptr);
    QTest::keyClick(target, key, modifiers);
}
