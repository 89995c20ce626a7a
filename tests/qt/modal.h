// Drives a modal box from inside its own event loop: once the box is up,
// the check runs on it (and must close it).
#pragma once

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

namespace kesrow::testing {

// Runs check(box) on the next modal widget that appears, polled every 10 ms.
inline void OnModal(std::function<void(QWidget*)> check)
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    int tries = 0;
    QObject::connect(poll, &QTimer::timeout, [poll, check, tries]() mutable {
        QWidget* box = QApplication::activeModalWidget();
        if (box && box->isVisible()) {
            poll->stop();
            poll->deleteLater();
            check(box);
        } else if (++tries > 500) {
            poll->stop();
            poll->deleteLater();
            ADD_FAILURE() << "no modal box appeared";
        }
    });
    poll->start();
}

// A key as the user types it: to the box's focused control, which passes on what it ignores.
inline void PressKey(QWidget* box, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* target = box->focusWidget() ? box->focusWidget() : box;
    QTest::keyClick(target, Qt::Key(key), modifiers);  // through the shortcut map, as typed
}

}  // namespace kesrow::testing
