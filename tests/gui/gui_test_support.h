// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QString>
#include <QWidget>

#include <functional>

// The test program's own folders (HOME and XDG_* point below it) and log.
QString testRoot();
// Everything logged since the program started.
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

// Checks that every visible label, button and box text below the widget fits
// its widget (nothing cut off); the number of texts checked.
int expectWholeTexts(QWidget* root);
