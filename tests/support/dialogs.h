// Modal dialogs in widget tests: a timer plays the user on the dialog that is showing.
#pragma once

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace orvane {

// Waits (up to two seconds) for a modal dialog of type T, then runs Play on it.
template <class T>
void OnNextDialog(std::function<void(T&)> Play) {
    QTimer::singleShot(0, [Play] {
        T* dialog = nullptr;
        for (int i = 0; i < 200 && !dialog; ++i) {
            dialog = qobject_cast<T*>(QApplication::activeModalWidget());
            if (!dialog) QTest::qWait(10);
        }
        ASSERT_TRUE(dialog);
        Play(*dialog);
    });
}

}  // namespace orvane
