// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QString>

#include <functional>

// Everything logged since the test program started (widget_test_main.cpp
// defines it for the widget tests; the desktop tests have their own main).
QString loggedText();

// Runs events until the condition holds or the time is up; the condition's last answer.
inline bool waitUntil(const std::function<bool()>& condition, int milliseconds = 5000) {
    QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}
